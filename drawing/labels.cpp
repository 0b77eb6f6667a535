#include "drawing/labels.h"

#include <algorithm>

#include "drawing/scene.h"

namespace veldor {

namespace {

bool valid(const StructureDocument& doc, int atom) {
    return atom >= 0 && atom < static_cast<int>(doc.display.size());
}

// Applies a label change to the displayed atom and to its generated atom.
template <class F>
void on_label(StructureDocument& doc, int atom, F&& change) {
    if (!valid(doc, atom)) return;
    const std::size_t i = static_cast<std::size_t>(atom);
    change(doc.display[i]);
    if (i < doc.gen.size()) change(doc.gen[i]);
}

bool moved(const Atom& a) {
    return a.label_dx != 0 || a.label_dy != 0;
}

}  // namespace

LabelState save_label_state(const StructureDocument& doc, const DrawingOptions& options) {
    LabelState s;
    for (const Atom& a : doc.display) {
        s.labelled.push_back(a.labelled);
        s.offsets.emplace_back(a.label_dx, a.label_dy);
    }
    s.labels_in_centre = options.labels_in_centre;
    s.labels_off_centre = options.labels_off_centre;
    return s;
}

void restore_label_state(StructureDocument& doc, DrawingOptions& options, const LabelState& s) {
    const std::size_t n = std::min(doc.display.size(), s.labelled.size());
    for (std::size_t i = 0; i < n; ++i) {
        doc.display[i].labelled = s.labelled[i];
        doc.display[i].label_dx = s.offsets[i].first;
        doc.display[i].label_dy = s.offsets[i].second;
    }
    options.labels_in_centre = s.labels_in_centre;
    options.labels_off_centre = s.labels_off_centre;
}

void show_centred_labels_for_picking(StructureDocument& doc, DrawingOptions& options) {
    for (Atom& a : doc.display) {
        a.label_dx = a.label_dy = 0;
        a.labelled = 1;
    }
    options.labels_in_centre = true;
    options.labels_off_centre = false;
}

std::string current_label(const StructureDocument& doc, int atom) {
    return valid(doc, atom) ? atom_label_text(doc, atom) : std::string();
}

void place_label(StructureDocument& doc, const ViewState& view, int atom, double click_x,
                 double click_y, const std::string& text) {
    if (!valid(doc, atom) || atom >= static_cast<int>(view.points.size()) || view.scale == 0)
        return;
    const Vec3& p = view.points[static_cast<std::size_t>(atom)];
    const double dx = p[0] - (click_x - view.screen_centre[0]) / view.scale;
    const double dy = p[1] - (view.screen_centre[1] - click_y) / view.scale;
    on_label(doc, atom, [&](Atom& a) {
        a.label_dx = dx;
        a.label_dy = dy;
        a.labelled = 1;
    });
    const std::size_t i = static_cast<std::size_t>(atom);
    if (doc.gen_labels.size() <= i) {
        // A label for an atom without a drawn label text yet (a dummy atom):
        // the atoms before it keep their names as texts.
        for (std::size_t k = doc.gen_labels.size(); k < i; ++k)
            doc.gen_labels.push_back(atom_label_text(doc, static_cast<int>(k)));
        doc.gen_labels.resize(i + 1);
    }
    doc.gen_labels[i] = fit(text, kDrawnLabelLength);
}

void centre_label(StructureDocument& doc, int atom) {
    on_label(doc, atom, [](Atom& a) {
        a.label_dx = a.label_dy = 0;
        a.labelled = 1;
    });
}

void delete_label(StructureDocument& doc, int atom) {
    on_label(doc, atom, [](Atom& a) { a.labelled = 0; });
}

void delete_labels(StructureDocument& doc, const std::vector<int>& atoms) {
    for (int i : atoms)
        delete_label(doc, i);
}

void apply_label_action(StructureDocument& doc, LabelBulkAction action) {
    for (int i = 0; i < static_cast<int>(doc.display.size()); ++i) {
        const bool is_moved = moved(doc.display[static_cast<std::size_t>(i)]);
        on_label(doc, i, [&](Atom& a) {
            switch (action) {
                case LabelBulkAction::DeleteAll:
                    a.labelled = 0;
                    break;
                case LabelBulkAction::DeleteCentred:
                    if (!is_moved) a.labelled = 0;
                    break;
                case LabelBulkAction::DeleteMoved:
                    if (is_moved) a.labelled = 0;
                    break;
                case LabelBulkAction::RestoreCentred:
                    if (!is_moved) a.labelled = 1;
                    break;
                case LabelBulkAction::RestoreMoved:
                    if (is_moved) a.labelled = 1;
                    break;
            }
        });
    }
}

void set_labels_in_centre(StructureDocument& doc, DrawingSettings& settings, bool on) {
    settings.options.labels_in_centre = on;
    if (on) {
        settings.options.labels_off_centre = false;
        set_label_font(settings.atom_label_font, "Times New Roman", 8, kBlack, FontStyle{});
    }
    for (int i = 0; i < static_cast<int>(doc.display.size()); ++i) {
        const bool drawn = doc.display[static_cast<std::size_t>(i)].drawn == 1;
        on_label(doc, i, [&](Atom& a) {
            if (!on) {
                a.labelled = 0;
            } else if (drawn) {
                a.label_dx = a.label_dy = 0;
                a.labelled = 1;
            }
        });
    }
}

void set_labels_off_centre(StructureDocument& doc, DrawingOptions& options, bool on) {
    options.labels_off_centre = on;
    if (!on) return;
    options.labels_in_centre = false;
    for (int i = 0; i < static_cast<int>(doc.display.size()); ++i)
        on_label(doc, i, [](Atom& a) { a.labelled = 1; });
}

void set_label_font(LabelFont& font, const std::string& name, int size, Colour colour,
                    const FontStyle& style) {
    font.name = name;
    font.size = size;
    font.colour = colour;
    font.style = style;
    font.style_text = font_style_text(style);
}

}  // namespace veldor
