#include "core/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace veldor {

bool save_file_atomically(const std::string& path, std::string_view content, Messages& messages) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temp = target;
    temp += ".veldor-save";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
            out.flush();
            ok = static_cast<bool>(out);
        }
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        messages.warn("Cannot write the file " + path);
    }
    return ok;
}

}  // namespace veldor
