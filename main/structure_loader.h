#pragma once
// Loading a structure file by its kind: one place that the main window,
// batch mode and "Restore the initial Data" share.

#include <functional>
#include <optional>
#include <string>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "formats/cif_read.h"
#include "generation/edit_asym.h"

namespace veldor {

struct LoadOutcome {
    bool ok = false;
    std::string space_group_caption;  // what the main window shows above the positions
    bool cancelled = false;           // the CIF block chooser was cancelled
};

// Reads `path` as a structure file of `kind` into the document (and, for a
// VLD file, the drawing state).
LoadOutcome load_structure(StructureFileKind kind, const std::string& path, StructureDocument& doc,
                           DrawingState& drawing, const ProgramPaths& paths, Messages& messages,
                           const CifBlockChooser& choose_block = {});

// The reader "Restore the initial Data" runs to read the remembered file
// again: the same load commands, without any question (a CIF gives its
// first structure block).
DataFileReader data_file_reader(DrawingState& drawing, const ProgramPaths& paths);

}  // namespace veldor
