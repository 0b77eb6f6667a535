#include "drawing/colours.h"

#include <algorithm>

#include "core/elements.h"

namespace veldor {

namespace {
void colour_display(StructureDocument& doc) {
    colour_atoms(doc.display, doc.element_sorts);
}
}  // namespace

std::vector<ColourRow> colour_grid_rows(const StructureDocument& doc, const DrawingState& state) {
    std::vector<ColourRow> rows = {{"BackGrd", doc.background_colour},
                                   {"Bonds", doc.bond_colour},
                                   {"Scale bar", state.scale_bar_colour}};
    for (const ElementSort& s : doc.element_sorts)
        rows.push_back({element_display_text(s.symbol), s.colour});
    return rows;
}

bool choose_colour(StructureDocument& doc, DrawingState& state, int row, Colour colour) {
    const int elements = static_cast<int>(doc.element_sorts.size());
    if (row < 0 || row >= kFirstElementRow + elements) return false;
    const bool was_black_and_white = state.options.black_and_white;
    if (was_black_and_white) set_black_and_white(doc, state, false);
    SavedColours& saved = state.saved_colours;
    if (row == kBackgroundRow) {
        doc.background_colour = colour;
        saved.background = colour;
    } else if (row == kBondsRow) {
        const Colour previous = doc.bond_colour;
        for (CalcBond& b : doc.bonds)
            if (b.colour == previous) b.colour = colour;
        doc.bond_colour = colour;
        saved.bonds = colour;
    } else if (row == kScaleBarRow) {
        state.scale_bar_colour = colour;
        saved.scale_bar = colour;
    } else {
        const std::size_t k = static_cast<std::size_t>(row - kFirstElementRow);
        doc.element_sorts[k].colour = colour;
        if (k < saved.elements.size()) saved.elements[k] = colour;
    }
    colour_display(doc);
    return was_black_and_white;
}

void set_black_and_white(StructureDocument& doc, DrawingState& state, bool on) {
    SavedColours& saved = state.saved_colours;
    if (on) {
        if (!state.options.black_and_white) {
            saved.elements.clear();
            for (const ElementSort& s : doc.element_sorts)
                saved.elements.push_back(s.colour);
            saved.bonds = doc.bond_colour;
            saved.background = doc.background_colour;
            saved.scale_bar = state.scale_bar_colour;
        }
        for (ElementSort& s : doc.element_sorts)
            s.colour = kWhite;
        doc.bond_colour = kWhite;
        doc.background_colour = kWhite;
        state.scale_bar_colour = kBlack;
    } else if (state.options.black_and_white) {
        if (!saved.elements.empty()) {
            for (std::size_t k = 0; k < doc.element_sorts.size() && k < saved.elements.size(); ++k)
                doc.element_sorts[k].colour = saved.elements[k];
            doc.bond_colour = saved.bonds;
            doc.background_colour = saved.background;
            state.scale_bar_colour = saved.scale_bar;
        }
        const bool all_white = std::all_of(doc.element_sorts.begin(), doc.element_sorts.end(),
                                           [](const ElementSort& s) { return s.colour == kWhite; });
        if (all_white)
            for (ElementSort& s : doc.element_sorts)
                s.colour = default_element_colour(s.symbol);
        saved.elements.clear();
    }
    state.options.black_and_white = on;
    colour_display(doc);
}

}  // namespace veldor
