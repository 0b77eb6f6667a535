#pragma once
// GETSPEC, Veldor's space-group interpreter: turns a Hermann-Mauguin or Hall
// symbol into the operators of that setting (from gemmi's space-group
// tables), writes them to the exchange file "scfs.dat" and reads that file
// back into the structure document.
//
// "scfs.dat" has two sections:
//   1. a title line (ignored by the reader), then one line per operator with
//      twelve numbers R11 R12 R13 t1 R21 R22 R23 t2 R31 R32 R33 t3, ended
//      by an empty line. The lattice-centring translations are not listed:
//      the reader adds them from the lattice letter.
//   2. a line holding "Symmetry Operators", then one line per operator: an
//      11-character field (the operator number) and the operator text, such
//      as "-X,Y+1/2,-Z+1/2". The first of these lines is the identity, which
//      SHELX leaves implicit, so the SHELX writer passes over it. When the
//      inversion centre is at the origin, the operators without inversion
//      come first and "-X,-Y,-Z" opens their inverted copies, so the SHELX
//      writer stops there and writes a positive LATT. An empty line ends it.
//
// No gemmi type appears here; only interpreter.cpp includes gemmi.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// One setting of a space group that the interpreter and the catalogue
// files know.
struct SpaceGroupSetting {
    int number = 0;              // 1..230
    std::string symbol;          // short form, no blanks: "P21/c", "Fd-3m:2", "R-3:H"
    std::string full_symbol;     // with blanks: "P 1 21/c 1", "F d -3 m:2", "R -3:H"
    std::string hall;            // "-P 2ybc"
    std::string crystal_system;  // "TRIC" ... "CUBI"; trigonal groups "HEXA", except
                                 // rhombohedral axes "RHOM"
    char lattice = 'P';          // centring letter, the symbol's first character
    bool reference = false;      // the standard setting of its group number
};

// Every setting, in catalogue order: by crystal system (TRIC, MONO, ORTH,
// TETR, HEXA, RHOM, CUBI), then by group number. Of two origin choices,
// origin choice 2 (inversion centre at the origin) comes first. The table
// holds the settings of International Tables volume A and gemmi's extra
// centred cells (A1 ... I-1, C112, C1121, F2/m, C422, ..., F4/mmm).
const std::vector<SpaceGroupSetting>& known_settings();

// A symbol reduced for comparison: upper case, without blanks, underscores
// and parentheses ("P 1 21/n 1" -> "P121/N1", "P2(1)/c" -> "P21/C"); a
// cubic symbol of the notation before 1983 in today's ("F M 3 M" ->
// "FM-3M", "P 4 3 m" -> "P-43M").
std::string symbol_key(std::string_view symbol);
// The key without an origin or axes suffix (":1", ":2", ":H", ":R").
std::string symbol_key_without_suffix(std::string_view symbol);

// True for the suffixes of the settings International Tables take when a
// symbol names neither: ":1" (origin choice 1) and ":H" (hexagonal axes).
bool is_default_setting_suffix(std::string_view symbol);

// Index into known_settings() of the setting a symbol names: its short or
// full symbol compared by symbol_key. A symbol without a suffix names the
// default setting of its group (origin choice 1, hexagonal axes: the
// setting is_default_setting_suffix accepts), else the first setting whose
// symbol without suffix matches it. nullopt when none does.
std::optional<std::size_t> find_setting(std::string_view symbol);

// The operators of a setting, without the centring translations.
struct InterpretedGroup {
    std::string symbol;  // the setting's short symbol, or the Hall symbol given
    std::string hall;
    int number = 0;      // 0 for a Hall symbol of no tabulated setting
    char lattice = 'P';  // first letter of the symbol (of the Hall symbol's lattice)
    bool inversion_at_origin = false;
    // Identity first. With the inversion centre at the origin the operators
    // without inversion (proper rotations) come first, then each of them
    // inverted, in the same order. Translations in [0, 1).
    std::vector<SymOp> ops;
    // Number of operators with the lattice translations added.
    int order = 0;
};

// Interprets a Hermann-Mauguin symbol (short, full, with or without
// blanks and origin suffix), a group number or a Hall symbol. nullopt and
// `error` set when it cannot be interpreted.
std::optional<InterpretedGroup> interpret_symbol(std::string_view symbol, std::string& error);

// An interpreted group made the document's symmetry: its operators, the
// crystal system of its setting (when tabulated), its lattice letter and
// centring, the list completed by the centring. False when something did
// not fit in kMaxOperators.
bool take_interpreted_operators(StructureDocument& doc, const InterpretedGroup& group);

// The operator of rotation `rot` and translation `tran` written in the
// catalogue's strict grammar ("-X+Y,Y,-Z+1/2"), translations in [0, 1).
// nullopt when a rotation row or translation has no such form.
std::optional<std::string> catalogue_operator_text(const SymOp& op);

// The interpreter entry: writes "scfs.dat" for `symbol` into `work_dir`
// (replacing an older one). A symbol it cannot interpret shows
// "GETSPEC cannot interpret the space group symbol " + symbol, leaves any
// existing "scfs.dat" alone and returns false; a failed write shows
// "Cannot write " + path.
bool run_getspec(std::string_view symbol, const std::filesystem::path& work_dir,
                 Messages& messages);

// Writes the two sections for an interpreted group.
bool write_scfs(const InterpretedGroup& group, const std::filesystem::path& file,
                Messages& messages);

// Reads "scfs.dat" into doc.positions: the title line is passed over; every
// following line up to the end or the first empty line gives one operator
// (" ." and "-." get their 0, commas count as blanks, a number that does not
// read is 0). doc.centrosymmetric becomes -1, or 1 when an operator text
// contains "-X,-Y,-Z"; texts are rebuilt, flags cleared, and the list is
// completed by the centring translations of doc.lattice_letter and
// doc.crystal_system (doc.centring set). At most kMaxOperators operators.
// A file that cannot be opened shows "Cannot read " + path and returns
// false with doc.positions as far as it got.
bool read_scfs(const std::filesystem::path& file, StructureDocument& doc, Messages& messages);

// A click in the "GETSPEC  symbols" list: the entry's first 12 characters,
// trimmed, are the symbol. It is interpreted, "scfs.dat" is written to
// `work_dir` and read back; the symbol becomes doc.space_group and its
// setting's centring letter doc.lattice_letter; only operator 1 is selected
// and it alone is the generation operator; the regeneration-needed flag is
// set and the generation option returns to none. An uninterpretable symbol
// leaves the document as it was and returns false.
bool choose_getspec_setting(StructureDocument& doc, std::string_view entry,
                            const std::filesystem::path& work_dir, Messages& messages);

}  // namespace veldor
