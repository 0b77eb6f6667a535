#pragma once
// Text helpers shared by every reader and writer: fixed-point fields
// (Fw.d, Iw, Aw) that never depend on the locale, trimming and case, and
// locale-independent number reading.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

std::string to_upper(std::string_view s);
std::string to_lower(std::string_view s);
// Removes leading and trailing blanks and control characters (<= ' ').
std::string trim(std::string_view s);
std::string trim_right(std::string_view s);
std::string trim_left(std::string_view s);
std::string remove_spaces(std::string_view s);

// Fw.d: fixed-point with d decimals, right-aligned in w columns, widened
// when too long, never an exponent, always a point as decimal separator.
// With d = 0 no decimal point is written.
std::string format_fixed(double value, int width, int decimals);
// Iw: integer right-aligned in w columns, widened when too long.
std::string format_int(long long value, int width);
// Aw: text left-aligned and padded with blanks to w columns (longer text kept whole).
std::string pad_right(std::string_view text, int width);
// Text right-aligned in w columns (longer text kept whole).
std::string pad_left(std::string_view text, int width);

// Reads a decimal number the way a user or a file writes it ("1.5", "-.25",
// "1e-3", "+2"): the whole text (surrounding blanks allowed) must be the
// number. Never depends on the locale.
std::optional<double> parse_double(std::string_view text);
std::optional<long long> parse_int(std::string_view text);
// What a user sees for a typed text that is not an integer:
// "'<text>' is not a valid integer value".
std::string not_an_integer_message(std::string_view text);

// Splits at any of the separator characters, dropping empty pieces.
std::vector<std::string> split_tokens(std::string_view text, std::string_view separators = " \t");

// Tidies a number text typed into a cell field before conversion: an empty
// text becomes "0"; " ." and ". " get a 0 in place of the blank; "-." gets a
// 0 after the minus sign; a trailing point gets a trailing 0.
std::string tidy_number_text(std::string_view text);

}  // namespace veldor
