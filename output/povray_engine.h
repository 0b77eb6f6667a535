#pragma once
// Finding the POV-Ray engine and the command that starts it on a scene.
//
// The engine is looked for once per run, on the first launch: the program
// named by $VELDOR_POVRAY, else "povray" (or "pvengine", "pvengine64") on
// the PATH, else a search of the folders POV-Ray is usually installed in.
// A found engine is kept until the program ends; a search that found
// nothing runs again at the next launch (the user may have installed it
// meanwhile). The busy cursor shows during the search, and a callback after
// each folder keeps the window responsive.

#include <functional>
#include <string>
#include <vector>

#include "core/messages.h"

namespace veldor {

inline constexpr const char* kEngineNotFound = "file Pvengine.exe not found!";
inline constexpr const char* kEngineVariable = "VELDOR_POVRAY";
// How deep below a usual installation folder the search goes.
inline constexpr int kEngineSearchDepth = 4;

// Where the engine is looked for, in order.
struct EngineSearchPlaces {
    std::string configured;                  // $VELDOR_POVRAY; empty when unset
    std::vector<std::string> path_folders;   // the PATH
    std::vector<std::string> usual_folders;  // searched below, kEngineSearchDepth deep
    std::vector<std::string> names;          // file names of the engine
};

// The places of this platform, from this process's environment.
EngineSearchPlaces engine_search_places();

// The one engine of a program run.
class PovrayEngine {
  public:
    // The engine's full path, searching first when none has been found in
    // this run; empty, after kEngineNotFound, when there is none.
    std::string locate(const EngineSearchPlaces& places, Messages& messages,
                       const std::function<void()>& keep_responsive = {});
    const std::string& path() const { return path_; }
    // How many searches ran (a found engine is never searched for again).
    int searches() const { return searches_; }

  private:
    std::string path_;
    int searches_ = 0;
};

// The search itself: the first executable file with one of the names, or
// "" when there is none. $VELDOR_POVRAY, when set, is the only candidate (a
// path, or a name looked up on the PATH).
std::string find_engine(const EngineSearchPlaces& places,
                        const std::function<void()>& keep_responsive = {});

// A program and its arguments, started without waiting.
struct EngineCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string working_folder;  // the scene's folder: POV-Ray writes its picture there
};
// `<engine> +I<scene>`, with no blank between "+I" and the name.
EngineCommand engine_command(const std::string& engine, const std::string& scene);

}  // namespace veldor
