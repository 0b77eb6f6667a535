#include "output/povray_engine.h"

#include <cstdlib>
#include <filesystem>

#include "core/text.h"

namespace veldor {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kPathSeparator = ';';
#else
constexpr char kPathSeparator = ':';
#endif

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool same_name(const std::string& a, const std::string& b) {
#ifdef _WIN32
    return to_lower(a) == to_lower(b);
#else
    return a == b;
#endif
}

bool is_engine_file(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return false;
#ifdef _WIN32
    return true;
#else
    const fs::perms perms = fs::status(p, ec).permissions();
    return !ec && (perms & (fs::perms::owner_exec | fs::perms::group_exec |
                            fs::perms::others_exec)) != fs::perms::none;
#endif
}

std::string in_folders(const std::vector<std::string>& folders,
                       const std::vector<std::string>& names) {
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        for (const std::string& name : names) {
            const fs::path candidate = fs::path(folder) / name;
            if (is_engine_file(candidate)) return candidate.string();
        }
    }
    return {};
}

// Depth-first below `root`, without following links (no loops) and passing
// over folders that cannot be read.
std::string below(const fs::path& root, const std::vector<std::string>& names,
                  const std::function<void()>& keep_responsive) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return {};
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code type_ec;
        if (entry.is_directory(type_ec) && !entry.is_symlink(type_ec)) {
            if (keep_responsive) keep_responsive();
            if (it.depth() + 1 >= kEngineSearchDepth) it.disable_recursion_pending();
            continue;
        }
        const std::string file = entry.path().filename().string();
        for (const std::string& name : names)
            if (same_name(file, name) && is_engine_file(entry.path())) return entry.path().string();
    }
    return {};
}

}  // namespace

EngineSearchPlaces engine_search_places() {
    EngineSearchPlaces p;
    p.configured = environment(kEngineVariable);
    for (const std::string& folder :
         split_tokens(environment("PATH"), std::string(1, kPathSeparator)))
        p.path_folders.push_back(folder);
#ifdef _WIN32
    p.names = {"pvengine64.exe", "pvengine.exe", "povray.exe"};
    for (const char* var : {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)", "LOCALAPPDATA"}) {
        const std::string root = environment(var);
        if (!root.empty()) p.usual_folders.push_back((fs::path(root) / "POV-Ray").string());
    }
#elif defined(__APPLE__)
    p.names = {"povray", "pvengine"};
    p.usual_folders = {"/Applications", "/opt/homebrew/bin", "/opt/local/bin", "/usr/local/bin"};
#else
    p.names = {"povray", "pvengine", "pvengine64"};
    p.usual_folders = {"/usr/bin", "/usr/local/bin", "/usr/games", "/snap/bin", "/opt"};
    const std::string home = environment("HOME");
    if (!home.empty()) {
        p.usual_folders.push_back((fs::path(home) / ".local" / "bin").string());
        p.usual_folders.push_back((fs::path(home) / "bin").string());
    }
#endif
    return p;
}

std::string find_engine(const EngineSearchPlaces& places,
                        const std::function<void()>& keep_responsive) {
    if (!places.configured.empty()) {
        const fs::path named(places.configured);
        if (named.has_parent_path()) return is_engine_file(named) ? named.string() : std::string();
        return in_folders(places.path_folders, {places.configured});
    }
    if (std::string found = in_folders(places.path_folders, places.names); !found.empty())
        return found;
    for (const std::string& folder : places.usual_folders)
        if (std::string found = below(folder, places.names, keep_responsive); !found.empty())
            return found;
    return {};
}

std::string PovrayEngine::locate(const EngineSearchPlaces& places, Messages& messages,
                                 const std::function<void()>& keep_responsive) {
    if (path_.empty()) {
        BusyScope busy(messages);
        ++searches_;
        path_ = find_engine(places, keep_responsive);
    }
    if (path_.empty()) messages.warn(kEngineNotFound);
    return path_;
}

EngineCommand engine_command(const std::string& engine, const std::string& scene) {
    EngineCommand c;
    c.program = engine;
    c.arguments = {"+I" + scene};
    c.working_folder = fs::path(scene).parent_path().string();
    return c;
}

}  // namespace veldor
