#pragma once
// The analysis reports are small text files with fixed names in the work
// folder: written whole (a temporary file renamed over the old one), read
// back as lines, deleted when their window is left.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace veldor {

// `dir` + "/" + `name` (just `name` when dir is empty).
std::string report_path(const std::string& dir, std::string_view name);

// Writes the lines, each ended by a line break, atomically. A failure shows
// "Cannot write the file " + path and returns false.
bool write_report(const std::string& path, const std::vector<std::string>& lines,
                  Messages& messages);

// The lines of a text file (LF or CR LF), nullopt when it cannot be read.
std::optional<std::vector<std::string>> read_report(const std::string& path);

// Deletes the file when it exists; nothing is reported.
void remove_report(const std::string& path);

// The file name of a path without its folder ("/a/b/x.ins" -> "x.ins").
std::string file_name_only(std::string_view path);

}  // namespace veldor
