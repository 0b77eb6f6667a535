#pragma once
// The block scan of the line rules (the tables they find are declared in
// cif_record.h). Internal to formats/.

#include <string>
#include <vector>

namespace veldor {

// Per line: true inside a text field that is closed (from its opening ";"
// line to its closing one). A ";" line never closed opens nothing, so an
// unterminated field does not swallow the rest of the file.
std::vector<bool> closed_text_fields(const std::vector<std::string>& lines);

// A data block found line by line: its "data_" line, its last line (before
// the next block or a "#end" line) and name, and its score (one point for
// "_cell_length_a", one for each symmetry item present).
struct CifBlockLines {
    int line = 0;  // 1-based
    int end = 0;   // 1-based, inclusive
    std::string name;
    int score = 0;
};
std::vector<CifBlockLines> scan_block_lines(const std::vector<std::string>& lines);

}  // namespace veldor
