#pragma once
// File helpers shared by the readers and writers: whole-file reading into
// lines whatever the line ends, and the label rule the readers use to find
// the element in an atom name. Saving is core/atomic_file.h.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace veldor {

// Splits a text into lines. LF, CR LF and a lone CR all end a line, so
// files from any platform read alike without being rewritten. A final line
// end does not open an empty last line.
std::vector<std::string> split_lines(std::string_view text);

// Reads a whole file. A file that cannot be opened shows
// "Cannot open the file " + path and gives nullopt.
std::optional<std::string> read_file_text(const std::string& path, Messages& messages);

// The label normalisation the readers apply before taking the element from
// an atom name: trimmed, upper case, and a blank inserted after a one-letter
// element symbol, so that the first two characters are the element
// ("C12" -> "C 12", "CL1" -> "CL1", "H" -> "H").
std::string normalise_label(std::string_view name);

// The numbers of a text split at blanks (and at commas when `commas`);
// nullopt when a piece does not read as a number.
std::optional<std::vector<double>> split_numbers(std::string_view text, bool commas);

// Fw.d without a negative zero ("-0.000" is written "0.000"), so that a
// value written, read and written again gives the same text.
std::string fixed_field(double value, int width, int decimals);

}  // namespace veldor
