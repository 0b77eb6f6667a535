#include "main/batch.h"

#include <filesystem>
#include <ostream>

#include "core/metric.h"
#include "core/text.h"
#include "drawing/scene.h"
#include "drawing/ui/picture_export.h"
#include "drawing/view.h"
#include "formats/cif_write.h"
#include "formats/shelx.h"
#include "formats/vld.h"
#include "generation/generate.h"
#include "main/plot.h"
#include "main/save_target.h"
#include "main/structure_loader.h"

namespace veldor {

void StreamMessages::warn(const std::string& text) {
    ++warnings_;
    out_ << text << '\n';
}

Answer StreamMessages::confirm(const std::string& text) {
    out_ << text << (yes_ ? " Yes" : " No") << '\n';
    return yes_ ? Answer::Yes : Answer::No;
}

namespace {

std::string extension_of(const std::string& path) {
    return to_lower(std::filesystem::path(path).extension().string());
}

// The generation choices of the command line, as the generation-option
// list and the box and sphere dialogs would set them.
bool apply_generation_options(const BatchOptions& o, StructureDocument& doc, Messages& messages) {
    bool changed = false;
    if (o.select_all) {
        for (EquivalentPosition& p : doc.positions)
            p.selected = 1;
        changed = true;
    }
    if (o.generation) {
        set_generation_option(doc, *o.generation, messages);
        changed = true;
    }
    if (o.box_edges) doc.enclosure.box = *o.box_edges;
    if (o.centre) doc.enclosure.centre = *o.centre;
    if (o.sphere_radius) doc.enclosure.radius = *o.sphere_radius;
    if (o.cut) {
        doc.cut_box = *o.cut;
        doc.cut_sphere = *o.cut;
    }
    if (o.box_edges || o.centre || o.sphere_radius || o.cut) changed = true;
    if (doc.generation_mode == GenerationMode::Sphere && doc.enclosure.radius <= 0) {
        messages.warn("The sphere of enclosure needs a radius: --sphere r");
        return false;
    }
    if (changed) doc.regeneration_needed = true;
    return true;
}

// The picture options: probability, thermal mode, overlays, labels, black
// and white, and the view, on a scene set up for the picture size.
bool prepare_picture(const BatchOptions& o, StructureDocument& doc, DrawingState& state,
                     const DrawingEnvironment& env, Messages& messages) {
    if (o.probability) state.view.probability_index = *o.probability / 10;
    state.options.iso_display = o.iso;
    state.options.draw_cell = state.options.draw_cell || o.cell;
    if (o.axes) state.options.draw_planes_and_axes = true;
    if (o.planes && !o.axes) state.options.draw_planes = true;
    if (o.gradation) state.options.colour_gradation = true;
    if (o.labels == "none") {
        state.options.labels_in_centre = false;
        state.options.labels_off_centre = false;
    } else if (o.labels == "centre") {
        state.options.labels_in_centre = true;
        state.options.labels_off_centre = false;
        for (Atom& a : doc.display) {
            a.label_dx = a.label_dy = 0;
            a.labelled = a.drawn;
        }
    }
    initialise_view(doc, state, env, messages);
    if (o.view == "best") {
        best_view(doc, state, env, messages);
    } else if (o.view.rfind("direction:", 0) == 0) {
        const auto parts = split_tokens(o.view.substr(10), ",");
        Vec3 uvw{};
        for (std::size_t i = 0; i < 3 && i < parts.size(); ++i)
            uvw[i] = parse_double(parts[i]).value_or(0);
        if (uvw == Vec3{0, 0, 0}) {
            messages.warn("The direction of projection must not be 0,0,0");
            return false;
        }
        if (!project_along(doc, state, frac_to_cart(uvw, doc.metric), env, messages)) return false;
    }
    if (o.bw) {
        state.options.black_and_white = true;
        for (Atom& a : doc.display)
            a.colour = kWhite;
        doc.background_colour = kWhite;
        state.scale_bar_colour = kBlack;
    }
    if (o.zoom) {
        state.view.zoom = *o.zoom;
        state.view.scale = state.view.zoom * state.view.base_scale;
    }
    return true;
}

bool write_output(const std::string& out, const BatchOptions& o, StructureDocument& doc,
                  DrawingState& state, const ProgramPaths& paths, Messages& messages) {
    if (!may_write(out, messages)) return false;
    const std::string ext = extension_of(out);
    if (ext == ".vld") return write_vld(out, doc, state, messages);
    if (ext == ".shx") return write_shelx(out, doc, paths, ShelxWriteOptions{}, messages);
    if (ext == ".cif") {
        CifWriteOptions cif;
        // Without --formula, the formula the CIF read gave, as the dialog proposes it.
        cif.formula = o.formula.empty() ? doc.formula : o.formula;
        cif.z = o.z.value_or(default_cif_z(doc));
        cif.include_bonds = o.include_bonds.value_or(true);
        return write_cif(out, doc, cif, paths.data_dir, messages);
    }
    if (is_picture_file(out)) {
        DrawingEnvironment env;
        env.width = env.height = o.size.value_or(kPictureSize);
        env.work_dir = paths.work_dir;
        DrawingState picture_state = state;
        StructureDocument picture_doc = doc;
        if (!prepare_picture(o, picture_doc, picture_state, env, messages)) return false;
        return write_picture(out, picture_doc, picture_state, env, messages);
    }
    messages.warn("Unknown kind of output file: " + out +
                  " (use .vld, .shx, .cif, .png, .svg or .pdf)");
    return false;
}

}  // namespace

int run_batch(const BatchOptions& o, const ProgramPaths& paths, Messages& messages) {
    StructureDocument doc;
    DrawingState state;
    const StructureFileKind kind = structure_file_kind(o.input);
    std::error_code ec;
    if (!std::filesystem::exists(o.input, ec)) {
        messages.warn(o.input + " not found");
        return 1;
    }
    if (kind == StructureFileKind::Unknown) {
        messages.warn("Unknown kind of structure file: " + o.input +
                      " (use .vld, .ins, .shx, .inp, .out, .lst, .cif, .lzy, .cel or .cry)");
        return 1;
    }
    CifBlockChooser choose = [&](const std::vector<CifBlockInfo>& blocks) -> std::optional<int> {
        if (o.block.empty()) return 0;
        for (std::size_t i = 0; i < blocks.size(); ++i)
            if (to_lower(blocks[i].name) == to_lower(o.block)) return static_cast<int>(i);
        std::string names;
        for (const CifBlockInfo& b : blocks)
            names += (names.empty() ? "" : ", ") + b.name;
        messages.warn("No data block " + o.block + " in " + o.input + " (blocks: " + names + ")");
        return std::nullopt;
    };
    const LoadOutcome loaded = load_structure(kind, o.input, doc, state, paths, messages, choose);
    if (!loaded.ok) return 1;

    if (!apply_generation_options(o, doc, messages)) return 1;
    // A VLD file brings its generated atoms along: it is plotted anew only
    // when the command line changes the generation.
    if (kind != StructureFileKind::Vld || doc.regeneration_needed || doc.gen.empty()) {
        if (kind != StructureFileKind::Vld) doc.regeneration_needed = true;
        if (plot(doc, state, paths, messages) == PlotOutcome::Stopped) return 1;
    } else if (doc.display.empty()) {
        doc.display = doc.gen;
    }

    int status = 0;
    for (const std::string& out : o.outputs)
        if (!write_output(out, o, doc, state, paths, messages)) status = 1;
    return status;
}

}  // namespace veldor
