#include "main/startup.h"

#include <filesystem>

namespace veldor {

StartupResult check_startup(const std::string& exe_dir, const std::string& env_data,
                            const std::string& env_work, const std::string& current_dir,
                            const std::string& structure_file, Messages& messages) {
    StartupResult r;
    r.paths.data_dir = find_data_directory(exe_dir, env_data);
    r.paths.work_dir = find_work_directory(env_work, current_dir);
    if (const auto missing = first_missing_data_file(r.paths.data_dir)) {
        messages.warn(missing_data_file_message(*missing));
        return r;
    }
    if (!structure_file.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(structure_file, ec)) {
            messages.warn(structure_file + " not found");
            return r;
        }
        r.structure_file = structure_file;
    }
    r.ok = true;
    return r;
}

}  // namespace veldor
