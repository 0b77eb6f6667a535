#pragma once
// The syntax of a CIF, parsed: data blocks holding single items and loops,
// each value with its quotes or text-field markers removed. The parser is
// gemmi's; no gemmi type appears here. This header and cif_syntax.cpp keep
// to C++17, because gemmi's headers do not build with clang 14 in C++20
// mode (the fuzzing build compiles cif_syntax.cpp as C++17).

#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// A single item (one tag, one value) or a loop (its tags, then the values
// row by row).
struct CifItem {
    std::vector<std::string> tags;
    std::vector<std::string> values;  // "?" and "." are given as ""
    bool loop = false;
    int line = 0;  // 1-based line where the item starts

    std::size_t rows() const { return tags.empty() ? 0 : values.size() / tags.size(); }
};

struct CifBlockData {
    std::string name;  // the text after "data_"
    std::vector<CifItem> items;
};

struct CifSyntaxResult {
    bool ok = false;
    std::vector<CifBlockData> blocks;
    int error_line = 0;         // 1-based line of a syntax error, 0 when unknown
    std::string error_message;  // what is wrong there
};

// Parses CIF 1.1 text. Repeated tags are tolerated (the first one is used
// by the lookups of the readers); a tag without a value, an unterminated
// quote or text field, a loop whose values do not fill its rows are errors.
CifSyntaxResult parse_cif_syntax(std::string_view text);

}  // namespace veldor
