#include "entry/refresh.h"

#include <filesystem>

#include "core/text.h"
#include "entry/cell_fields.h"
#include "entry/positions_grid.h"

namespace veldor {

namespace {
std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}
}  // namespace

std::string data_caption(const StructureDocument& doc) {
    if (!doc.vld_file.empty())
        return kCaptionPrefix + trim(doc.title + " [" + file_name(doc.vld_file) + "]");
    if (!doc.data_file.empty()) return kCaptionPrefix + file_name(doc.data_file);
    return kPlainCaption;
}

DataView data_view(StructureDocument& doc, ThermalExpression expr, const ProgramPaths& paths,
                   bool cif_positions_read, Messages& messages) {
    DataView view;
    view.symbols =
        match_loaded_symbol(doc, paths.data_dir, paths.work_dir, cif_positions_read, messages);
    view.caption = data_caption(doc);
    view.cell = cell_field_texts(doc.cell_parameters);
    view.positions = positions_grid_rows(doc);
    view.atoms = fill_asym_grid(doc, expr);
    return view;
}

}  // namespace veldor
