#pragma once
// Reports open in the desktop's viewer, not waited for: the command named
// by $VELDOR_VIEWER (the file's path added as its last argument) when set,
// else the default application of the file. Nothing is reported when no
// viewer starts.

#include <string>

namespace veldor {

void open_report(const std::string& path);

}  // namespace veldor
