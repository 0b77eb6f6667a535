#pragma once
// The block scan of the line rules (the tables they find are declared in
// cif_record.h). Internal to formats/.

#include <string>
#include <vector>

namespace veldor {

// Per line: true inside a text field that is closed (from its opening ";"
// line to its closing one); a ";" line never closed opens nothing. For a
// file the strict parser refused (`tolerant`), a ";" line not closed
// before the next line that begins with "_", "loop_" or "data_" opens
// nothing either, so an unterminated field does not swallow the file.
std::vector<bool> closed_text_fields(const std::vector<std::string>& lines, bool tolerant);

// A data block found line by line: its "data_" line, its last line (before
// the next block or a "#end" line) and name, and its score (one point for
// "_cell_length_a", one for each symmetry item present).
struct CifBlockLines {
    int line = 0;  // 1-based
    int end = 0;   // 1-based, inclusive
    std::string name;
    int score = 0;
};
std::vector<CifBlockLines> scan_block_lines(const std::vector<std::string>& lines, bool tolerant);

}  // namespace veldor
