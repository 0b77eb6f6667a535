#pragma once
// The 23 windows of the program, by form name, in the order the program
// makes them, each with the way its command opens it: what
// `veldor --grab NAME` shows. A window that another part of the program
// provides joins by giving its entry an opener; until then it has none and
// `--grab` answers that it is not built yet.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace veldor {

class Tfmainmenu;

struct StartupWindow {
    const char* name;
    // Opens the window as its command would, with the structure file
    // `file` loaded (it may be empty), and returns it; empty when the
    // window is not built yet.
    std::function<QWidget*(Tfmainmenu& main, const std::string& file)> open;
};

const std::vector<StartupWindow>& startup_windows();
// nullptr for a name that is none of the 23.
const StartupWindow* find_startup_window(std::string_view name);

}  // namespace veldor
