#include "analysis/report_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/atomic_file.h"

namespace veldor {

std::string report_path(const std::string& dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    return (std::filesystem::path(dir) / std::string(name)).string();
}

bool write_report(const std::string& path, const std::vector<std::string>& lines,
                  Messages& messages) {
    std::string text;
    for (const std::string& l : lines)
        text.append(l).push_back('\n');
    return save_file_atomically(path, text, messages);
}

std::optional<std::vector<std::string>> read_report(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(std::move(l));
    }
    if (in.bad()) return std::nullopt;
    return lines;
}

void remove_report(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

std::string file_name_only(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace veldor
