#pragma once
// What the main window shows of the document after a load, a restore or
// typed data: the caption, the cell fields, the symmetry lists with their
// selections, the positions grid and the asymmetric-unit grid.

#include <array>
#include <string>
#include <vector>

#include "core/adp.h"
#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "entry/asym_grid.h"
#include "symmetry/catalogue.h"
#include "symmetry/operators.h"

namespace veldor {

inline constexpr const char* kCaptionPrefix = "VELDOR V2. Data for ";
inline constexpr const char* kPlainCaption = "VELDOR V2";

// "VELDOR V2. Data for " followed by the data file's name; for a VLD file
// the title and the VLD file's name in brackets ("thpp [thpp.vld]"); the
// plain "VELDOR V2" when the document names neither.
std::string data_caption(const StructureDocument& doc);

struct DataView {
    std::string caption;
    std::array<std::string, 6> cell;
    LoadedSymbolMatch symbols;  // the three lists and what they select
    std::vector<PositionsGridRow> positions;
    std::vector<AsymGridRow> atoms;
};

// Everything the window refills: the symmetry lists are matched to the
// loaded symbol (which may run the interpreter into paths.work_dir unless
// a CIF listed its positions, and for RHOM sets the lattice letter to "P").
DataView data_view(StructureDocument& doc, ThermalExpression expr, const ProgramPaths& paths,
                   bool cif_positions_read, Messages& messages);

}  // namespace veldor
