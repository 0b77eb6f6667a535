#pragma once
// The manual page, made from the program's --help text so the two never
// tell different things.

#include <string>
#include <string_view>

namespace veldor {

struct ManPageTitle {
    std::string program;  // "veldor"
    std::string version;  // "2.0.0"
    std::string date;     // "2025-01-31"; may be empty
};

// Turns a help text into a troff page of section 1 (man macros).
//
// The help text is read by its layout:
// - "Usage: " and the lines below it that name the program: SYNOPSIS;
// - the first paragraph after it: the one-line summary of NAME, and the
//   start of DESCRIPTION;
// - a short line at the margin ending with ":": a section ("Options:");
// - an indented line with a term, two or more blanks, and its text: an
//   entry of a list; lines indented to the text's column continue it;
// - an indented line that starts with the program's name: a command line,
//   kept as it is;
// - an indented short line ending with ":": a subsection;
// - any other line: running text. A blank line ends a paragraph.
std::string man_page_from_help(std::string_view help, const ManPageTitle& title);

// Text made safe for troff: backslashes and hyphens escaped, and a line
// that would start with "." or "'" protected.
std::string troff_escape(std::string_view text);

}  // namespace veldor
