#pragma once
// Plot: from the data of the main window to the generated atoms and bonds
// that the drawing window shows, with the "dummy.vld" snapshot. No toolkit:
// the main window and batch mode both run it.

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"

namespace veldor {

inline constexpr const char* kSnapshotFileName = "dummy.vld";

enum class PlotOutcome {
    Stopped,      // a message said why; nothing to show
    Generated,    // atoms and bonds were built anew (and the snapshot written)
    Redisplayed,  // nothing changed since the last plot: the same atoms again
};

// The generation operators from the selection flags of the equivalent
// positions, read as the positions grid shows them. False after
// "Decoding Error: ..." (the positions are then emptied).
bool read_selected_positions(StructureDocument& doc, Messages& messages);

// Builds the element sorts (radii from the data folder) and the bond sorts.
bool build_sorts(StructureDocument& doc, const ProgramPaths& paths, Messages& messages);

// Runs Plot on the document: "No space_group" without a symbol; with atoms
// and a needed regeneration: the cell metric when the cell changed ("No
// cell parameters" for a zero cell), the generation operators, the sorts
// when the elements changed, the generation, then the snapshot in the work
// folder ("No data" when nothing was generated); without a needed
// regeneration the atoms are shown again, all drawn.
PlotOutcome plot(StructureDocument& doc, DrawingState& drawing, const ProgramPaths& paths,
                 Messages& messages);

}  // namespace veldor
