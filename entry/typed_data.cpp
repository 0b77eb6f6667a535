#include "entry/typed_data.h"

#include "core/metric.h"
#include "entry/cell_fields.h"
#include "entry/positions_grid.h"
#include "formats/cif_read.h"
#include "generation/bonds.h"

namespace veldor {

void reset_drawing_checks(DrawingOptions& options) {
    options.draw_planes = false;
    options.draw_planes_and_axes = false;
    options.draw_cell = false;
    options.labels_in_centre = false;
    options.colour_gradation = false;
    options.black_and_white = false;
    options.labels_off_centre = false;
}

void start_typed_data(StructureDocument& doc, DrawingState& drawing) {
    doc.data_file.clear();
    doc.vld_file.clear();
    doc.written_file.clear();
    doc.startup_file.clear();
    doc.asym.clear();
    doc.asym_backup.clear();
    doc.space_group.clear();
    doc.lattice_letter.clear();
    doc.centrosymmetric = 0;
    doc.centring.clear();
    doc.positions.clear();
    doc.generation_ops.clear();
    doc.gen.clear();
    doc.gen_labels.clear();
    doc.display.clear();
    doc.bonds.clear();
    doc.generation_mode = GenerationMode::None;
    doc.regeneration_needed = true;
    reset_drawing_checks(drawing.options);
}

TypedDataResult take_typed_data(StructureDocument& doc, const std::array<std::string, 6>& cell,
                                const std::vector<PositionsGridRow>& positions,
                                std::vector<AsymGridRow>& atoms, ThermalExpression expr,
                                const RadiiTable& radii, Messages& messages) {
    TypedDataResult result;
    const CellRead read = read_cell_fields(cell);
    if (read.status != CellReadStatus::Read) {
        messages.warn(kCellParametersError);
        return result;
    }
    doc.cell_parameters = read.cell;
    if (!compute_metric(doc, messages)) return result;
    doc.cell_changed = false;

    if (!read_positions_from_grid(positions, doc, messages)) {
        result.status = TypedDataStatus::PositionError;
        return result;
    }
    result.grid = read_asym_grid(atoms, doc, expr);
    if (result.grid.too_many) messages.warn(kTooManyAtomsMessage);
    if (!result.grid.ok) {
        result.status = TypedDataStatus::GridError;
        return result;
    }
    if (doc.positions.empty()) {
        messages.warn(kNoEquivalentPositions);
        result.status = TypedDataStatus::NoPositions;
        return result;
    }
    if (doc.asym.empty()) {
        messages.warn(kNoCoordinates);
        result.status = TypedDataStatus::NoAtoms;
        return result;
    }
    if (!build_element_sorts(doc, radii, messages)) {
        result.status = TypedDataStatus::SortsFailed;
        return result;
    }
    build_bond_sorts(doc);
    doc.elements_changed = false;
    doc.regeneration_needed = true;
    result.status = TypedDataStatus::Taken;
    return result;
}

}  // namespace veldor
