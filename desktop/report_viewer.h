#pragma once
// Reports open in the desktop's own viewer, without waiting for it. When
// $VELDOR_VIEWER is set, it is the command started instead: split into
// words as a shell would (with double quotes), the file's path added as its
// last argument.

#include <string>

namespace veldor {

// Starts the viewer on `path`; false when no viewer could be started (the
// caller has done its own work already and says nothing more).
bool show_report(const std::string& path);

}  // namespace veldor
