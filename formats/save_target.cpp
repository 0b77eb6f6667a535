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

std::optional<std::string> export_target(const std::string& chosen, const std::string& extension,
                                         Messages& messages) {
    if (chosen.empty()) return std::nullopt;
    const std::string path = with_default_extension(chosen, extension);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        messages.beep();
        if (messages.confirm(kOverwriteQuestion) != Answer::Yes) return std::nullopt;
    }
    return path;
}

}  // namespace veldor
