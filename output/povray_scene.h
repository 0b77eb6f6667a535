#pragma once
// The POV-Ray scene of the current picture, in the POV-Ray 3.0 language:
// every drawn atom as its thermal ellipsoid (plain, crossed by its three
// principal ellipses, or with the octant facing the viewer cut away), the
// bonds as cylinders, the atom and bond labels, a 1 A scale bar and, when
// the cell is drawn, its twelve edges with the letters "O", "a", "b", "c".
//
// The scene is made from the view coordinates and ellipsoid data of the
// drawing (its view table, `rotation`, eigenvalues and eigenvectors), never
// from pixels, so it renders at any size. The structure is centred on the
// box of its drawn points horizontally and vertically and shifted in depth
// so that every drawn point has Z >= 0, +Z towards the camera.

#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"

namespace veldor {

inline constexpr const char* kPovrayExtension = ".pov";

// The four header lines and what the drawing state does not hold.
struct PovraySceneInfo {
    std::string date;       // today, in the desktop's short date form
    std::string structure;  // the main window's caption
    std::string file_name;  // full name of the scene file
    // The radius setting of the bond customise dialog (hundredths of an
    // angstrom, the integer as stored): Bond_Dummy is this x bond width / 3.
    int custom_bond_radius = 6;
};

// The scene text. Bad data never makes an unreadable scene: quotes and
// backslashes in labels are escaped, and an atom whose colour name has no
// declaration (a fragment number 0, an element without a sort) gets one
// in its own colour.
std::string povray_scene(const StructureDocument& doc, const DrawingState& state,
                         const PovraySceneInfo& info);

// Writes the scene atomically; false after "Cannot write the file ...".
bool write_povray_scene(const std::string& path, const StructureDocument& doc,
                        const DrawingState& state, const PovraySceneInfo& info, Messages& messages);

}  // namespace veldor
