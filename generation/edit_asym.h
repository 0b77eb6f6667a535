#pragma once
// The five commands that shrink or reset the asymmetric unit before the next
// Plot, as functions over the document and the texts of their dialogs. Each
// sets the regeneration-needed flag first. The dialogs (windows) only show
// the grids these functions fill and pass their cell texts back.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/elements.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kDeleteAtomsQuestion =
    "Are you sure to want to delete the selected atoms ?";
inline constexpr const char* kDeleteElementsQuestion =
    "Are you sure to want to systematicaly delete the selected types of atom?";
// "Are you sure to want to delete the atoms " + from + " to " + to + " ?"
std::string delete_block_question(long long from, long long to);

// A dialog row is selected when its text holds a "*".
bool has_mark(std::string_view cell);
// A click: appends a "*" to an unmarked text, removes the first "*" otherwise.
std::string toggle_mark(std::string_view cell);

// The atom grid of the atom and block dialogs: count + 2 rows of two cells,
// row 0 "Nb", "Atom", row k the number k and the name of atom k, the last
// row empty.
std::vector<std::array<std::string, 2>> atom_grid(const StructureDocument& doc);
// The element grid: element-sort count + 2 rows, row 0 "Nb", row k the
// symbol of element sort k, the last row empty.
std::vector<std::string> element_grid(const StructureDocument& doc);

// What the dialog does after its "OK".
enum class DeleteOutcome {
    NothingToDo,  // closes, nothing changed
    Kept,         // the question was answered No or Cancel: stays open
    Deleted,      // closes; the main window refills its grid
    BadNumber,    // a block limit is not an integer: conversion message shown
};

// "A" dialog: atom_cells[k - 1] is the "Atom" cell of row k. The unmarked
// atoms remain, in order. Beeps and asks kDeleteAtomsQuestion first.
DeleteOutcome delete_marked_atoms(StructureDocument& doc,
                                  const std::vector<std::string>& atom_cells, Messages& messages);

// "B" dialog: "From Nb" and "To Nb" (swapped when To < From); atoms
// from..to are removed, numbers beyond the count select nothing. An empty
// box does nothing; a text that is not an integer shows
// "'<text>' is not a valid integer value" and deletes nothing.
DeleteOutcome delete_block(StructureDocument& doc, std::string_view from_text,
                           std::string_view to_text, Messages& messages);

// "E" dialog: element_cells[k - 1] is the cell of element sort k. Every atom
// of a marked element goes, with its element sort; then the element sorts
// (with radii and element indices) and the bond sorts are rebuilt.
DeleteOutcome delete_elements(StructureDocument& doc, const std::vector<std::string>& element_cells,
                              const RadiiTable& radii, Messages& messages);

// The readers "Restore the initial Data" can run again, filled in by the
// file formats.
enum class DataFileKind { Shelx, ShelxListing, LazyPulverix, PowderCell, Cif, Vld };
using DataFileReader = std::function<void(DataFileKind kind, const std::string& path,
                                          StructureDocument& doc, Messages& messages)>;

// The readers chosen by a foreign-format file name, in the order they run:
// ".inp"/".ins" SHELX, ".out" SHELX listing, ".lzy", ".cel", ".cif"
// (case-insensitive; a name may choose several).
std::vector<DataFileKind> readers_for(std::string_view file_name);

struct RestoreOutcome {
    std::vector<DataFileKind> readers_run;
    bool hide_no_space_group_label = false;  // a foreign-format file was read again
    std::string space_group_label;           // "Space Group: <symbol>" or "No Space Group found"
};

// "Restore the initial Data": empties the generated atoms, the asymmetric
// unit, centring vectors, positions, generation operators, element sorts,
// bond sorts and bonds and the space-group symbol; reads the remembered data
// file (or else the remembered VLD file) again through `reader`; unselects
// every position (no generation operators), sets "No option"; rebuilds
// element sorts and bond sorts. The main window sets "Aniso" and refills its
// grids. With no remembered file everything stays empty.
RestoreOutcome restore_initial_data(StructureDocument& doc, const DataFileReader& reader,
                                    const RadiiTable& radii, Messages& messages);

// "Erase all the coordinates": the three remembered file names and the
// asymmetric unit are emptied.
void erase_all(StructureDocument& doc);

}  // namespace veldor
