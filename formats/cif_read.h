#pragma once
// Reading a structure from a Crystallographic Information File.
//
// The CIF syntax (quoted values, semicolon text fields, loops whose rows
// span lines) is parsed by a real CIF parser; a file it refuses is read by
// line rules instead, with a warning. Either way the values go into one
// record (cif_record.h), and what is taken from it follows the program's
// own rules: the title from the formula items, the cell with its standard
// uncertainties dropped, the operators or the space-group symbol (the old
// "_symmetry_" items and today's "_space_group_" items alike), the atom
// sites with their label rules, U or B, and the anisotropic U or B loop
// with its positive-definiteness reset.
//
// Scratch files in the work directory: "blocs.txt" (the data-block table)
// and "dummy.cif" (the chosen block's lines). An empty work directory
// writes neither.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "symmetry/operators.h"

namespace veldor {

// The data-block table holds this many blocks.
inline constexpr int kMaxCifBlocks = 10;

inline constexpr const char* kCifBlockListFile = "blocs.txt";
inline constexpr const char* kCifBlockCopyFile = "dummy.cif";

inline constexpr const char* kNoCifBlockMessage = "Veldor cannot finf any valuable bloc";
inline constexpr const char* kNoCifSymmetryMessage =
    "Veldor cannot find symmetry operators or Space group";
inline constexpr const char* kNoAtomSiteMessage = "No atom site found";
inline constexpr const char* kTooManyAtomsMessage = "The number of atoms is > 1000!";
inline constexpr const char* kCannotDecodePosition = "cannot decode position";
inline constexpr const char* kCannotDecodeLabel = "cannot decode Label";
inline constexpr const char* kNonDefinitePositiveReset =
    ": has a non definite positive matrix Uij. Ueq was reset to ";
inline constexpr const char* kSpaceGroupPrefix = "Space Group: ";
inline constexpr const char* kNoSpaceGroupFound = "No Space Group found";

// One data block of a CIF.
struct CifBlockInfo {
    int index = 0;       // position among all data blocks of the file (0-based)
    int start_line = 0;  // 1-based line of its "data_" header (0 when unknown)
    int end_line = 0;    // 1-based last line (before the next block or a "#end" line)
    std::string name;    // the text after "data_"
    // One point for the cell ("_cell_length_a") and one for each symmetry
    // item present (operator list, H-M or Hall name, old or new form).
    int score = 0;
    // Found by the line rules (the file is not valid CIF): the block is read
    // by them too.
    bool by_lines = false;
};

struct CifScan {
    bool ok = false;                   // false: the file could not be read or is not CIF (reported)
    std::vector<CifBlockInfo> blocks;  // every data block, in file order
    // The data-block table: the blocks that look like structures (score
    // above 1), at most kMaxCifBlocks. A block named "global" is listed only
    // when no other block qualifies.
    std::vector<CifBlockInfo> candidates;
};

// Parses the text and lists its blocks. `file_name` only names the file in
// messages. A file that the strict CIF parser refuses is not lost: the
// warning names the line where the parse stopped ("The file x.cif is not a
// valid CIF: error at line 14: ...; it is read line by line") and the
// blocks are found by the line rules (an unquoted value with blanks, a
// loop that its rows do not fill, an unclosed quote or text field are
// tolerated). Only a text that neither finds a block in gives no candidate.
CifScan scan_cif_text(std::string_view text, const std::string& file_name, Messages& messages);
// The line rules alone, whatever the strict parser would say (the tolerant
// reader's entry point for tests and fuzzing): every block is by_lines.
CifScan scan_cif_text_by_lines(std::string_view text, const std::string& file_name,
                               Messages& messages);
// The same on a file; a file that cannot be opened is reported.
CifScan scan_cif_file(const std::string& path, Messages& messages);

// "blocs.txt": one line per listed block, start line (I4), end line (I4), a
// blank and the name. False when the file cannot be written.
bool write_block_list(const std::vector<CifBlockInfo>& candidates, const std::string& work_dir);

// What a block read found besides the document.
struct CifReadInfo {
    std::string formula;  // first of the formula items, "" when none (also doc.formula)
    // True when the block named its group but listed no operators and the
    // operators were taken from the catalogue or the interpreter.
    bool operators_from_symbol = false;
    // True when the block lists operators and names a group none of whose
    // settings has them (the load command then recognises the group from
    // the operators).
    bool symbol_disagrees = false;
};

// Reads one block (as listed by the scan of the same text) into the
// document, which should have been reset. On success (0): cell, metric and
// crystal system, operators (translations in [0, 1); only the identity
// generates), the lattice letter and centrosymmetric flag the operators
// describe, the symbol (the catalogue setting whose operators are the
// file's; for a symbol alone its default setting), the atoms with their
// ADPs (B items converted to U), the formula, the element sorts, the
// data-file name and the flags asking for a rebuild. An atom-site loop
// whose values do not line up with its items is read again by the line
// rules, with a warning; a row that they cannot read either fails the
// read. On failure (1) the message has been shown and the document keeps
// what was read.
int read_cif_block_text(std::string_view text, const std::string& file_name,
                        const CifBlockInfo& block, StructureDocument& doc,
                        const ProgramPaths& paths, Messages& messages, CifReadInfo* info = nullptr);
int read_cif_block(const std::string& path, const CifBlockInfo& block, StructureDocument& doc,
                   const ProgramPaths& paths, Messages& messages, CifReadInfo* info = nullptr);

// Picks one of the candidate blocks (0-based index into the list), nullopt
// to cancel: the "Select a data block" chooser, or batch mode's --block.
using CifBlockChooser =
    std::function<std::optional<int>(const std::vector<CifBlockInfo>& candidates)>;

struct CifLoadResult {
    int status = 1;                // 0 read, 1 failed or cancelled
    bool cancelled = false;        // the chooser was cancelled: nothing was read
    std::string formula;           // the document's formula for the CIF writer's dialog
    std::string space_group_text;  // "Space Group: P21/c" or "No Space Group found"
};

// The load command: deletes "dummy.cif" and "dummy.shx" from the work
// directory, resets the document, scans the blocks and writes "blocs.txt";
// no candidate gives "Veldor cannot finf any valuable bloc"; one is read at
// once; several go through the chooser (without one, the first is read).
// The title is the file name's stem until a formula replaces it. Listed
// operators without a symbol, or with one that they disagree with, are
// recognised as after a SHELX read. After a failed read the data-file name
// is forgotten.
CifLoadResult load_cif(const std::string& path, StructureDocument& doc, const ProgramPaths& paths,
                       Messages& messages, const CifBlockChooser& choose = {});

// One coordinate of a CIF symmetry operator ("-x+1/2", "1/2+X", "x-y",
// "-X+Y+0.25", upper or lower case): the coefficients on x, y, z and the
// translation. A sum of signed terms, each a variable with an optional
// integer factor ("2x") or a number, a fraction p/q or a decimal. nullopt
// for anything else.
std::optional<OperatorRow> decode_cif_coordinate(std::string_view text);
// A whole operator "x,y+1/2,-z": exactly three coordinates.
std::optional<SymOp> decode_cif_operator(std::string_view text);

// A CIF number: standard uncertainties in parentheses removed
// ("0.1234(5)" -> 0.1234), "p/q" read as a fraction. nullopt when it does
// not read.
std::optional<double> read_cif_number(std::string_view text);

// The element of an atom-site label: the first two characters when the
// second is not a digit, else the first; a two-character symbol that is not
// an element loses its second character. Upper case.
std::string element_from_cif_label(std::string_view label);
// The element of an "_atom_site_type_symbol" ("Fe2+", "O2-", "Li1+"):
// its leading letters when they name an element; "" otherwise.
std::string element_from_type_symbol(std::string_view type_symbol);

// A Hall symbol as the interpreter reads it: everything after the lattice
// letter in lower case ("-P 2YBC" -> "-P 2ybc"), undoing the upper case in
// which the document keeps it.
std::string hall_symbol_lower(std::string_view hall);

}  // namespace veldor
