#pragma once
// Reports (the analysis windows' text files) open in the desktop's own
// viewer, without waiting for it. $VELDOR_VIEWER, when set, is the command
// started instead (split into words as a shell would, with double quotes;
// the file name is added as its last argument); tests set it to a command
// that records the call.

#include <QString>

namespace veldor {

// Starts the viewer on `path`; false when it could not be started.
bool show_report(const QString& path);

}  // namespace veldor
