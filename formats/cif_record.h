#pragma once
// What one CIF data block says about a structure, as plain text values:
// the record that both CIF readers fill -- the strict one from gemmi's
// parse, the tolerant one by line rules -- and from which one function
// builds the document. The readers only find values (as tables of tags and
// rows); every rule about what the values mean (numbers, operators,
// labels, B or U, the symmetry) lives in the builder.
//
// Internal to formats/; the tests reach it to check each reader alone.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

namespace veldor {

struct CifBlockData;
struct CifReadInfo;

// A value as written, quotes removed. "?" stands for an unknown or
// inapplicable value ("?", ".", an empty quoted string); nullopt for a
// value the file does not give at all (a row that ends early).
using CifValue = std::optional<std::string>;

inline constexpr const char* kCifUnknown = "?";

// The values of a block as the readers find them: each loop is a table,
// each single item a table of one tag and one row. Tags are kept as
// cif_tags::key gives them.
struct CifRow {
    int line = 0;  // 1-based line of the row in the file (0 when unknown)
    std::vector<CifValue> values;
};
struct CifTable {
    std::vector<std::string> tags;
    std::vector<CifRow> rows;
    bool loop = false;
};
using CifBlockTables = std::vector<CifTable>;

// The tables of a block parsed by gemmi.
CifBlockTables tables_from_syntax(const CifBlockData& block);
// The tables the line rules find in a block's lines (`lines` from the
// block's "data_" line on; `first_line` the 1-based number of the first).
CifBlockTables tables_from_lines(const std::vector<std::string>& lines, int first_line);

// Which quantity a displacement column holds.
enum class CifDisplacement { None, U, B };

struct CifAtomSite {
    int line = 0;
    CifValue label, type_symbol, x, y, z, displacement;
    CifValue disorder_group;  // the SHELX part: "1", "2", "-1" (special position); "." none
};

struct CifAnisoSite {
    int line = 0;
    CifValue label;
    std::array<CifValue, 6> values;  // 11, 22, 33, 12, 13, 23
};

struct CifBlockRecord {
    std::string formula;                 // first non-empty of the five formula items, one line
    std::array<CifValue, 6> cell;        // a, b, c, alpha, beta, gamma; nullopt when absent
    std::vector<std::string> operators;  // operator texts as written, one per row
    CifValue hm, hall;                   // space-group names (old or new items)
    bool hall_first = false;             // the Hall item comes before the H-M item
    bool atom_loop = false;              // label and x, y, z columns were found
    CifDisplacement iso_kind = CifDisplacement::None;
    std::vector<CifAtomSite> atoms;
    CifDisplacement aniso_kind = CifDisplacement::None;  // None: no complete aniso columns
    std::vector<CifAnisoSite> aniso;
};

CifBlockRecord record_from_tables(const CifBlockTables& tables);

// The first atom-site row whose values do not line up with the loop's
// items: a label that reads as a number, or a coordinate that is neither a
// number nor "?". nullopt when every row lines up.
std::optional<CifAtomSite> misaligned_atom_site(const CifBlockRecord& record);

// Reading a block from its record: cell, operators or symbol, atoms, aniso
// parameters, metric and crystal system, the space group, element sorts,
// the formula. 0 on success; 1 after a message, the document keeping what
// was read.
int build_cif_document(const CifBlockRecord& record, const std::string& file_name,
                       StructureDocument& doc, const ProgramPaths& paths, Messages& messages,
                       CifReadInfo& info);

// Marks the identity (the first operator when there is none) as the one
// selected and generating, as the positions grid shows after a file is read.
void select_identity_operator(StructureDocument& doc);

}  // namespace veldor
