#pragma once
// Atom labels: the state the picking tools put aside, placing a label off
// centre or in centre, the labelling list's bulk actions, and the label
// check boxes. Every change to a displayed atom's label is made on its
// generated atom too (same number), so the labels survive "Reset" and go
// with the structure when the main window saves it.

#include <string>
#include <vector>

#include "core/document.h"
#include "core/drawing_settings.h"

namespace veldor {

// The labels as they were when a picking tool started.
struct LabelState {
    std::vector<int> labelled;
    std::vector<std::pair<double, double>> offsets;
    bool labels_in_centre = false;
    bool labels_off_centre = false;
};
LabelState save_label_state(const StructureDocument& doc, const DrawingOptions& options);
// Puts the saved labels back (atoms added since keep theirs).
void restore_label_state(StructureDocument& doc, DrawingOptions& options, const LabelState& s);
// What a picking tool shows while it runs: every atom labelled in centre
// (its name and number), on the display copy only.
void show_centred_labels_for_picking(StructureDocument& doc, DrawingOptions& options);

// The text a label box offers for an atom: its drawn label text.
std::string current_label(const StructureDocument& doc, int atom);
// A moved label: the offset that puts the label's anchor at the clicked
// point (view angstrom: atom X - (x - x0) / scale, atom Y - (y0 - y) / scale),
// the label text from the box (at most 25 characters), labelled.
void place_label(StructureDocument& doc, const ViewState& view, int atom, double click_x,
                 double click_y, const std::string& text);
// A label in centre: offset zero, labelled.
void centre_label(StructureDocument& doc, int atom);
void delete_label(StructureDocument& doc, int atom);
// "Delete a label area" after Yes.
void delete_labels(StructureDocument& doc, const std::vector<int>& atoms);

// The labelling list's entries that act on all atoms at once.
enum class LabelBulkAction {
    DeleteAll,       // "Delete all labels"
    DeleteCentred,   // "Delete all centered labels"
    DeleteMoved,     // "Delete all the moved labels"
    RestoreCentred,  // "Restore centred labels"
    RestoreMoved,    // "Restore moved labels"
};
void apply_label_action(StructureDocument& doc, LabelBulkAction action);

// "Labels in centre" ticked: the label font becomes "Times New Roman" 8,
// black, no style; every drawn atom is labelled in centre; "Labels off
// centre" is unticked. Unticked: no atom is labelled.
void set_labels_in_centre(StructureDocument& doc, DrawingSettings& settings, bool on);
// "Labels off centre" ticked: every atom labelled (moved labels keep their
// place), "Labels in centre" unticked. Unticked: the labels are not drawn.
void set_labels_off_centre(StructureDocument& doc, DrawingOptions& options, bool on);

// A label font after the font dialog: the style text rebuilt from the
// style set ("Bold", "Italic", "Underline", "Strikeout", joined by ", ").
void set_label_font(LabelFont& font, const std::string& name, int size, Colour colour,
                    const FontStyle& style);

}  // namespace veldor
