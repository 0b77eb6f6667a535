#pragma once
// Start-up: finds the data and work folders, checks the required data
// files and the file named on the command line, before any window exists.

#include <optional>
#include <string>

#include "core/data_files.h"
#include "core/messages.h"

namespace veldor {

struct StartupResult {
    bool ok = false;
    ProgramPaths paths;
    std::string structure_file;  // empty when none was named
};

// exe_dir: the folder of the executable. env_data / env_work: the values of
// VELDOR_DATA and VELDOR_WORKDIR (empty when unset). current_dir: the
// current folder. A missing data file reports "The file <name> was not
// found!", a missing structure file "<name> not found"; both give ok = false.
StartupResult check_startup(const std::string& exe_dir, const std::string& env_data,
                            const std::string& env_work, const std::string& current_dir,
                            const std::string& structure_file, Messages& messages);

}  // namespace veldor
