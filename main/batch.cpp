#include "main/batch.h"

#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <ostream>

#include "analysis/batch_reports.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "drawing/atom_edits.h"
#include "drawing/bond_edits.h"
#include "drawing/colours.h"
#include "drawing/labels.h"
#include "drawing/scene.h"
#include "drawing/ui/picture_export.h"
#include "drawing/view.h"
#include "formats/cif_write.h"
#include "formats/shelx.h"
#include "formats/vld.h"
#include "generation/generate.h"
#include "main/Tfmainmenu.h"
#include "main/plot.h"
#include "main/save_target.h"
#include "main/structure_loader.h"
#include "output/page_layout.h"
#include "output/ui/output_files.h"
#include "output/ui/printed_page.h"

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

// The colour row of the colour grid that a --colour NAME stands for.
std::optional<int> colour_row(const StructureDocument& doc, const std::string& name) {
    const std::string n = to_lower(name);
    if (n == "background" || n == "backgrd") return kBackgroundRow;
    if (n == "bonds" || n == "bond") return kBondsRow;
    if (n == "scale-bar" || n == "scalebar" || n == "scale") return kScaleBarRow;
    for (std::size_t k = 0; k < doc.element_sorts.size(); ++k)
        if (element_key(doc.element_sorts[k].symbol) == element_key(name))
            return kFirstElementRow + static_cast<int>(k);
    return std::nullopt;
}

// The picture options, applied as the drawing window's controls apply
// them: probability, thermal mode, overlays, labels, masks, bond width and
// taper, colours, black and white, the view, on a scene set up for the
// picture size.
bool prepare_picture(const BatchOptions& o, StructureDocument& doc, DrawingState& state,
                     const DrawingEnvironment& env, Messages& messages) {
    if (o.probability) state.view.probability_index = *o.probability / 10;
    DrawingOptions& opt = state.options;
    opt.iso_display = o.iso;
    opt.draw_cell = opt.draw_cell || o.cell;
    if (o.axes) opt.draw_planes_and_axes = true;
    if (o.planes && !o.axes) opt.draw_planes = true;
    if (o.gradation) opt.colour_gradation = true;
    if (o.bond_labels) opt.bond_labels = true;
    if (o.double_bonds) opt.double_triple_bonds = true;
    if (o.position_code) opt.add_position_code = true;
    if (!doc.colour_fragments) colour_atoms(doc.display, doc.element_sorts);
    if (o.labels == "none") {
        opt.labels_in_centre = false;
        opt.labels_off_centre = false;
    } else if (o.labels == "centre") {
        set_labels_in_centre(doc, state, true);
    } else if (o.labels == "off-centre") {
        // The labels where the file placed them; the others stay as they are.
        opt.labels_off_centre = true;
        opt.labels_in_centre = false;
    }
    for (const std::string& e : o.mask_elements) {
        if (std::none_of(
                doc.element_sorts.begin(), doc.element_sorts.end(),
                [&](const ElementSort& s) { return element_key(s.symbol) == element_key(e); })) {
            messages.warn("No element " + e + " in the structure");
            return false;
        }
    }
    mask_elements(doc, o.mask_elements);
    if (o.bond_width) scale_bond_widths(doc, *o.bond_width);
    if (o.perspective) state.view.bond_perspective = *o.perspective;
    for (const auto& [name, colour] : o.colours) {
        const std::optional<int> row = colour_row(doc, name);
        if (!row) {
            messages.warn("No element " + name + " in the structure");
            return false;
        }
        choose_colour(doc, state, *row, colour);
    }
    if (o.bw) set_black_and_white(doc, state, true);
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
    if (o.zoom) {
        state.view.zoom = *o.zoom;
        state.view.scale = state.view.zoom * state.view.base_scale;
    }
    return true;
}

// The main window's caption for a structure file, for the scene header.
std::string caption_of(const std::string& input) {
    return Tfmainmenu::caption_for(QFileInfo(QString::fromStdString(input)).fileName())
        .toStdString();
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
    if (is_picture_file(out) || is_output_file(out)) {
        // Every picture is the screen's 692-pixel picture, enlarged to --size.
        DrawingEnvironment env;
        env.work_dir = paths.work_dir;
        DrawingState picture_state = state;
        StructureDocument picture_doc = doc;
        if (!prepare_picture(o, picture_doc, picture_state, env, messages)) return false;
        if (is_picture_file(out))
            return write_picture(out, picture_doc, picture_state, env, messages,
                                 o.size.value_or(0));
        const OutputFileOptions files{o.size.value_or(0), o.pen.value_or(0), caption_of(o.input)};
        return write_output_file(out, picture_doc, picture_state, env, files, messages);
    }
    messages.warn("Unknown kind of output file: " + out +
                  " (use .vld, .shx, .cif, .png, .svg, .pdf, .pov, .emf, .bmp or .jpg)");
    return false;
}

// --print: the printed page of the picture as a PDF file.
bool write_print(const BatchOptions& o, const StructureDocument& doc, const DrawingState& state,
                 const ProgramPaths& paths, Messages& messages) {
    const std::string out = with_default_extension(o.print, ".pdf");
    if (!may_write(out, messages)) return false;
    DrawingEnvironment env;
    env.work_dir = paths.work_dir;
    DrawingState page_state = state;
    StructureDocument page_doc = doc;
    if (!prepare_picture(o, page_doc, page_state, env, messages)) return false;
    PrintSettings settings;
    settings.pixels_per_cm = o.dpi.value_or(300) / kDotsPerInchFactor;
    settings.stereo = o.stereo;
    settings.pen_width = o.pen.value_or(o.stereo ? kStereoPenWidth : kDefaultPrintPenWidth);
    return write_printed_pdf(out, page_doc, page_state, settings, messages);
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

    if (!o.own_folder.empty() && !std::filesystem::is_directory(o.own_folder, ec) &&
        !std::filesystem::create_directories(o.own_folder, ec)) {
        messages.warn("Cannot make the folder " + o.own_folder);
        return 1;
    }
    int status = 0;
    for (const std::string& out : o.outputs)
        if (!write_output(out, o, doc, state, paths, messages)) status = 1;
    if (!o.print.empty() && !write_print(o, doc, state, paths, messages)) status = 1;
    const std::string report_dir =
        !o.own_folder.empty() ? o.own_folder
        : o.outputs.empty()   ? paths.work_dir
                              : std::filesystem::path(o.outputs.front()).parent_path().string();
    if (!o.reports.empty() &&
        !write_batch_reports(doc, o.reports, report_dir.empty() ? "." : report_dir, messages))
        status = 1;
    return status;
}

}  // namespace veldor
