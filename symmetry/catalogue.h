#pragma once
// The space-group catalogue and the choice of the symmetry in the main
// window: crystal system with its cell constraints, a group from the
// catalogue file of that system ("Standard symbols"), the interpreter's
// settings list ("GETSPEC  symbols", read from "spgr2.dat"), the lookup of a
// group by symbol that the file readers share, and the cell-field rule.
//
// Catalogue files are named after the system code: "cubi.pos", "tetr.pos",
// "orth.pos", "hexa.pos", "rhom.pos", "mono.pos", "tric.pos" (found without
// regard to case). Each is a sequence of records:
//   an empty line
//   the symbol ("P21/c")
//   the centrosymmetric flag (1: complete the list by the inversion centre)
//   N, then N operators in the strict grammar ("-X,Y+1/2,-Z+1/2")
//   M, then M more lines (full symbol, Hall symbol, group number)
//
// These functions work on the structure document only; the main window
// shows what they return.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"
#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// The system list of the main window, in its order.
inline constexpr std::array<std::string_view, 7> kSystemEntries = {
    "Cubic", "Tetra.", "Ortho.", "Hexa.", "Rhombo.", "Monoc.", "Tricl."};
// A cell field fixed by the crystal system is shown in this colour.
inline constexpr Colour kConstrainedFieldColour = 12632256;  // RGB 192, 192, 192

// "Tetra." -> "TETR": the first four letters in upper case.
std::string system_code(std::string_view entry);
// The entry of kSystemEntries whose code is `code`, or -1.
int system_entry_index(std::string_view code);
// Every system code in the order a search by operators or by symbol takes
// them: `guessed` (the cell's system) first when it is one, then the others
// in the order of kSystemEntries.
std::vector<std::string> systems_in_search_order(std::string_view guessed);

// One record of a catalogue file.
struct CatalogueEntry {
    std::string symbol;  // as written, trailing blanks removed
    int centrosymmetric = 0;
    std::vector<std::string> operators;  // the N listed texts
    std::vector<std::string> notes;      // the M further lines
    // The full Hermann-Mauguin symbol, Hall symbol and group number when the
    // notes hold them (empty / 0 otherwise).
    std::string full_symbol() const;
    std::string hall() const;
    int number() const;
};

struct Catalogue {
    std::vector<CatalogueEntry> entries;
    // The symbols in file order, trimmed (the "Standard symbols" list).
    std::vector<std::string> symbols() const;
    // The entry a symbol names, compared without regard to case, blanks,
    // underscores and parentheses, against the entry's symbol and its full
    // symbol: 'P 21/c', 'P 1 21/n 1', 'P2(1)2(1)2(1)', 'R -3 :H'. A symbol
    // without an origin or axes suffix (":1", ":2", ":H", ":R") names the
    // default setting of International Tables among the entries that match
    // it once the suffix is removed: origin choice 1 (":1"), hexagonal axes
    // (":H"; a catalogue holds one kind of rhombohedral axes), else the
    // first. -1 when there is none.
    int find(std::string_view symbol) const;
};

// The full operator list of an entry in the catalogue of `system`: the
// listed operators completed by the centring of the symbol's first letter
// (R has centring vectors only in "HEXA") and, for a positive flag, by
// inversion. nullopt when a listed operator does not decode.
std::optional<std::vector<SymOp>> expanded_operators(const CatalogueEntry& entry,
                                                     std::string_view system);

// The catalogue setting whose full operator list (expanded_operators) is
// `ops`, modulo lattice translations, among the settings `symbol` names:
// the entries whose symbol or full symbol equals it once origin and axes
// suffixes are set aside (P n n n is Pnnn:1 or Pnnn:2), or for `hall` the
// entries of that Hall symbol. Every system's catalogue is searched, that of
// `guessed` first. nullopt when none has these operators.
struct CatalogueSetting {
    CatalogueEntry entry;
    std::string system;  // the code of the catalogue that lists it
};
std::optional<CatalogueSetting> catalogue_setting_with_operators(
    const std::filesystem::path& data_dir, std::string_view symbol, bool hall,
    std::string_view guessed, const std::vector<SymOp>& ops);

// The catalogue file of a system code in the data folder (case ignored);
// empty when absent.
std::filesystem::path catalogue_file(const std::filesystem::path& data_dir,
                                     std::string_view system_code);

// Reads a catalogue file. A missing file shows its name followed by
// " not found"; a damaged record shows "Damaged catalogue file " + name +
// " at line " + n. Both give nullopt.
std::optional<Catalogue> read_catalogue(const std::filesystem::path& file, Messages& messages);
// The same from text (for tests and fuzzing); `name` is used in messages.
std::optional<Catalogue> parse_catalogue(std::string_view text, const std::string& name,
                                         Messages& messages);

// The "GETSPEC  symbols" list of a system from "spgr2.dat": the lines of the
// system's block (TRIC 1-18, MONO 19-178, ORTH 179-370, TETR 371-480,
// HEXA 481-547, RHOM 548-556, CUBI 558-637), blank lines skipped, each as the
// Hermann-Mauguin symbol (columns 6-17) padded to 12, the Hall symbol
// (27-46) padded to 17 and the group number (47-49) padded to 3, all
// trimmed first. A missing file shows "spgr2.dat not found".
std::vector<std::string> getspec_entries(const std::filesystem::path& data_dir,
                                         std::string_view system_code, Messages& messages);
// The block of "spgr2.dat" lines (1-based, inclusive) of a system code;
// {0, -1} for an unknown code.
std::pair<int, int> getspec_block(std::string_view system_code);

// What the main window shows after a system is chosen.
struct SystemChoice {
    // Cell fields a, b, c, alpha, beta, gamma: true when fixed by the system
    // (shown in kConstrainedFieldColour).
    std::array<bool, 6> constrained{};
    // True for the fields whose value the system set (copied or fixed).
    std::array<bool, 6> changed{};
    std::vector<std::string> standard_symbols;  // file order
    std::vector<std::string> getspec_symbols;
};

// A click in the system list: sets the regeneration-needed flag, the
// crystal system (first four letters, upper case), the provisional lattice
// letter (the code's first letter), and applies the system's constraints to
// doc.cell_parameters (CUBI: b = c = a, angles 90; TETR: b = a, angles 90;
// ORTH: angles 90; HEXA: b = a, alpha = beta = 90, gamma = 120; RHOM: b = c
// = a, beta = gamma = alpha). The positions grid is the caller's to clear.
SystemChoice choose_system(StructureDocument& doc, std::string_view entry,
                           const std::filesystem::path& data_dir, Messages& messages);

// The lookup of a group by symbol in the catalogue of doc.crystal_system:
// the entry's operators (upper case) become doc.positions, decoded by the
// strict decoder; doc.centrosymmetric takes the entry's flag; the list is
// completed by the centring of doc.lattice_letter and, for a positive flag,
// by inversion (doc.centring set). A symbol not in the file leaves the list
// empty (NotFound). A missing or damaged file, or an operator the strict
// decoder refuses, is reported and leaves the document as it was (Failed).
enum class LookupStatus { Found, NotFound, Failed };
LookupStatus look_up_group(StructureDocument& doc, std::string_view symbol,
                           const std::filesystem::path& data_dir, Messages& messages);

// The lookup the file readers make: the catalogue of doc.crystal_system
// first, then those of the other systems in the order of kSystemEntries, so
// that a cell that is not quite of its group's system (89.98 degrees) still
// finds the group. Found sets doc.crystal_system to the system whose
// catalogue lists the symbol. Faults of the first catalogue are reported
// (Failed); the others are searched silently.
LookupStatus look_up_group_in_any_system(StructureDocument& doc, std::string_view symbol,
                                         const std::filesystem::path& data_dir, Messages& messages);

// A click in the "Standard symbols" list. Refused with "No Space group
// available for C monoclinic cell" when the system is MONO, beta is 90 and
// gamma is not (MonoclinicCCell: the window clears the list selection), and
// with "Select the system" when no system is chosen (NoSystem). Otherwise
// the symbol becomes the space group, its first character the lattice
// letter, the catalogue fills the positions, their texts are rebuilt, only
// operator 1 is selected and is the only generation operator, the
// generation option returns to none and the regeneration-needed flag is set
// (Chosen). A missing or damaged catalogue is reported (LookupFailed) and
// leaves the document as it was.
enum class CatalogueChoice { Chosen, MonoclinicCCell, NoSystem, LookupFailed };
CatalogueChoice choose_catalogue_group(StructureDocument& doc, std::string_view symbol,
                                       const std::filesystem::path& data_dir, Messages& messages);

// Selections in the main window's lists after a file was read.
struct LoadedSymbolMatch {
    int system_index = -1;    // in kSystemEntries
    int standard_index = -1;  // in standard_symbols
    int getspec_index = -1;   // in getspec_symbols
    std::vector<std::string> standard_symbols;
    std::vector<std::string> getspec_symbols;
    bool interpreter_ran = false;
};

// After a file is read: the system entry of doc.crystal_system; the
// "Standard symbols" entry of the symbol (Catalogue::find); when there is
// none, the "GETSPEC  symbols" entry whose first field (up to the first
// blank), or whose text after the first double blank cut to 15 characters,
// equals the symbol (trimmed, upper case). Such a match runs the interpreter
// into `work_dir` unless `cif_positions_read`. For RHOM the lattice letter
// becomes "P".
LoadedSymbolMatch match_loaded_symbol(StructureDocument& doc, const std::filesystem::path& data_dir,
                                      const std::filesystem::path& work_dir,
                                      bool cif_positions_read, Messages& messages);

// Leaving cell field `field` (0 a, 1 b, 2 c, 3 alpha, 4 beta, 5 gamma) with
// `text`: the text is tidied and converted; a text that does not read shows
// "Type error!" and returns false (the caller puts the focus back).
// Otherwise the value is stored and the constrained fields follow: a is
// copied into b and c for CUBI and RHOM, into b for TETR and HEXA; alpha
// into beta and gamma for RHOM. The cell-changed and regeneration-needed
// flags are set.
bool edit_cell_field(StructureDocument& doc, int field, std::string_view text, Messages& messages);

}  // namespace veldor
