#include "analysis/report_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace veldor {

std::string report_path(const std::string& dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    return (std::filesystem::path(dir) / std::string(name)).string();
}

bool write_report(const std::string& path, const std::vector<std::string>& lines,
                  Messages& messages) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temp = target;
    temp += ".veldor-save";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            for (const std::string& l : lines)
                out << l << '\n';
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
