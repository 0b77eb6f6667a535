#include "main/plot.h"

#include <filesystem>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "entry/positions_grid.h"
#include "formats/vld.h"
#include "generation/bonds.h"
#include "generation/generate.h"
#include "symmetry/operators.h"

namespace veldor {

bool read_selected_positions(StructureDocument& doc, Messages& messages) {
    return read_positions_grid(positions_grid_rows(doc), doc, messages);
}

bool build_sorts(StructureDocument& doc, const ProgramPaths& paths, Messages& messages) {
    if (!build_element_sorts(doc, load_radii(paths.data_dir), messages)) return false;
    build_bond_sorts(doc);
    return true;
}

namespace {
// Atoms are drawn in their element's colour, unless their fragment's was chosen.
void colour_display(StructureDocument& doc) {
    if (!doc.colour_fragments) colour_atoms(doc.display, doc.element_sorts);
}
}  // namespace

PlotOutcome plot(StructureDocument& doc, DrawingState& drawing, const ProgramPaths& paths,
                 Messages& messages) {
    if (trim(doc.space_group).empty()) {
        messages.warn("No space_group");
        return PlotOutcome::Stopped;
    }
    if (doc.asym.empty()) {
        messages.warn("No coordinates!");
        return PlotOutcome::Stopped;
    }
    if (!doc.regeneration_needed && !doc.gen.empty()) {
        for (Atom& a : doc.gen)
            a.drawn = 1;
        doc.display = doc.gen;
        return PlotOutcome::Redisplayed;
    }

    BusyScope busy(messages);
    if (doc.cell_changed || doc.metric.volume <= 0) {
        double product = 1;
        for (double v : doc.cell_parameters)
            product *= v;
        if (product == 0) {
            messages.warn("No cell parameters");
            return PlotOutcome::Stopped;
        }
        if (!compute_metric(doc, messages)) return PlotOutcome::Stopped;
    }
    if (!read_selected_positions(doc, messages)) return PlotOutcome::Stopped;
    if (doc.elements_changed || doc.element_sorts.empty()) {
        if (!build_sorts(doc, paths, messages)) return PlotOutcome::Stopped;
    }
    generate(doc, messages);
    if (doc.gen.empty()) {
        messages.beep();
        messages.warn("No data");
        return PlotOutcome::Stopped;
    }
    colour_display(doc);
    doc.cell_changed = false;
    doc.elements_changed = false;
    reset_orientation(drawing.view, doc.metric);
    const auto snapshot = std::filesystem::path(paths.work_dir) / kSnapshotFileName;
    write_vld(snapshot.string(), doc, drawing, messages);
    return PlotOutcome::Generated;
}

}  // namespace veldor
