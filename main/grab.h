#pragma once
// `veldor --grab NAME OUT.png [FILE] [--screen WIDTHxHEIGHT] [--width W]`:
// loads FILE as the command line would, opens the window NAME as its
// command does (the drawing window after a Plot) and writes its picture,
// scaled smoothly down to W pixels wide when it is wider. Needs no display:
// without one it runs on Qt's offscreen platform, on a screen of the given
// size (1280 x 900 unless told; 800 pixels wide or less gives the compact
// layout).

#include <optional>
#include <string>
#include <vector>

namespace veldor {

struct GrabOptions {
    std::string window;
    std::string output;
    std::string file;  // empty: no structure
    int screen_width = 1280;
    int screen_height = 900;
    int width = 0;  // 0: as the window is
};

// `args` start after "--grab". nullopt with `error` set for a bad command line.
std::optional<GrabOptions> parse_grab_options(const std::vector<std::string>& args,
                                              std::string& error);

// The whole run; the exit status: 0 written, 1 failed (a message on
// standard error), 2 a bad command line or a window not built yet.
int grab_main(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace veldor
