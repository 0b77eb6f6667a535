#pragma once
// The program's command line: options that work without a display
// (--version, --help) and the optional structure file.

#include <string>
#include <vector>

namespace veldor {

struct CommandLine {
    bool show_version = false;
    bool show_help = false;
    std::string structure_file;  // the first argument that is not an option
    std::string error;           // an unknown option
};

CommandLine parse_command_line(const std::vector<std::string>& args);

std::string version_text();
std::string help_text();

}  // namespace veldor
