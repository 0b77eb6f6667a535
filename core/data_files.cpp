#include "core/data_files.h"

#include <filesystem>
#include <system_error>

#include "core/text.h"

namespace veldor {

namespace fs = std::filesystem;

const std::vector<std::string>& required_data_files() {
    static const std::vector<std::string> files = {
        "veldor.html", "rayons.cst", "spgr2.dat", "spgr.peq", "cubi.pos", "hexa.pos",
        "mono.pos",    "orth.pos",   "rhom.pos",  "tetr.pos", "tric.pos"};
    return files;
}

namespace {
bool directory_exists(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}
}  // namespace

std::string find_data_directory(const std::string& exe_dir, const std::string& env_data_dir) {
    std::vector<fs::path> candidates;
    if (!env_data_dir.empty()) candidates.emplace_back(env_data_dir);
    candidates.push_back(fs::path(exe_dir) / "data");
    candidates.push_back(fs::path(exe_dir) / ".." / "share" / "veldor");
    for (const auto& c : candidates)
        if (directory_exists(c)) return fs::path(c).lexically_normal().string();
    return {};
}

std::string find_work_directory(const std::string& env_work_dir, const std::string& current_dir) {
    return env_work_dir.empty() ? current_dir : env_work_dir;
}

std::optional<std::string> find_file_nocase(const std::string& dir, std::string_view name) {
    std::error_code ec;
    const fs::path exact = fs::path(dir) / std::string(name);
    if (fs::is_regular_file(exact, ec)) return exact.string();
    const std::string wanted = to_lower(name);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (to_lower(it->path().filename().string()) == wanted && it->is_regular_file(ec))
            return it->path().string();
    }
    return std::nullopt;
}

std::optional<std::string> first_missing_data_file(const std::string& dir) {
    for (const auto& name : required_data_files())
        if (!find_file_nocase(dir, name)) return name;
    return std::nullopt;
}

std::string missing_data_file_message(const std::string& name) {
    return "The file " + name + " was not found!";
}

StructureFileKind structure_file_kind(std::string_view file_name) {
    // Only the file's own name counts: a folder such as "runs.out/" says
    // nothing of the files in it.
    const std::size_t slash = file_name.find_last_of("/\\");
    if (slash != std::string_view::npos) file_name.remove_prefix(slash + 1);
    const std::string name = to_lower(file_name);
    struct Ext {
        const char* ext;
        StructureFileKind kind;
    };
    static const Ext table[] = {
        {".vld", StructureFileKind::Vld},        {".ins", StructureFileKind::Shelx},
        {".shx", StructureFileKind::Shelx},      {".inp", StructureFileKind::Shelx},
        {".out", StructureFileKind::Shelx},      {".lst", StructureFileKind::Shelx},
        {".res", StructureFileKind::Shelx},      {".lzy", StructureFileKind::LazyPulverix},
        {".cel", StructureFileKind::PowderCell}, {".cry", StructureFileKind::Tessard},
        {".cif", StructureFileKind::Cif},
    };
    for (const auto& e : table)
        if (name.find(e.ext) != std::string::npos) return e.kind;
    return StructureFileKind::Unknown;
}

}  // namespace veldor
