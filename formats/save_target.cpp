#include "formats/save_target.h"

#include <filesystem>

namespace veldor {

std::string with_default_extension(const std::string& path, const std::string& extension) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.find('.') != std::string::npos) return path;
    return path + extension;
}

bool may_write(const std::string& path, Messages& messages) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    return messages.confirm(kOverwriteQuestion) == Answer::Yes;
}

}  // namespace veldor
