#pragma once
// The box and sphere dialogs' values ("Definition of the box", "Definition
// of the sphere of enclosure"): what they show on opening, their list of
// asymmetric-unit atoms to take a centre from, the reading of the typed
// fields, and the warning shown while the fragments are not cut.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"

namespace veldor {

// Shown while "Cut the fragments?" is "No".
inline constexpr std::array<const char*, 5> kNoCutWarningLines = {
    "Warning", "A large polymeric structure could", "cause  some problem to Veldor",
    "when  the  \"No cut the fragments\"", "option is selected"};

// The texts of a dialog: the box edges (or, for the sphere, the radius in
// sizes[0]), the centre, and the cut choice.
struct EnclosureFields {
    std::array<std::string, 3> sizes;  // box: edges along a, b, c; sphere: radius, "", ""
    std::array<std::string, 3> centre;
    bool cut = false;
};

// On opening: the box edges and the radius with 3 decimals, the centre
// with 4, the cut choice of that dialog.
EnclosureFields box_fields(const StructureDocument& doc);
EnclosureFields sphere_fields(const StructureDocument& doc);

// One line per asymmetric-unit atom: its name, then x, y, z with 4 decimals.
struct EnclosureAtom {
    std::string name;
    std::array<std::string, 3> xyz;
};
std::vector<EnclosureAtom> enclosure_atoms(const StructureDocument& doc);

// One field: an empty text becomes "0"; a text that is not a number, or a
// negative size, gives nullopt (the dialog beeps and takes the focus back).
std::optional<double> read_enclosure_field(std::string& text, bool size);

// OK: every field read, then stored (box edges and cut-box flag, or the
// radius and cut-sphere flag; the shared centre). -1 when stored, else the
// index of the first field that did not read (0..2 sizes, 3..5 centre);
// nothing is stored then.
int store_box_fields(StructureDocument& doc, EnclosureFields& fields);
int store_sphere_fields(StructureDocument& doc, EnclosureFields& fields);

}  // namespace veldor
