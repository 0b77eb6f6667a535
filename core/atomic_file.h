#pragma once
// Saving a file whole or not at all: the content goes to a temporary file
// beside the target, which is then renamed over it, so a failed write
// (a full disk, a folder without write permission) leaves an existing file
// as it was. Every writer of the program saves this way.

#include <string>
#include <string_view>

#include "core/messages.h"

namespace veldor {

// A failure shows "Cannot write the file " + path and returns false.
bool save_file_atomically(const std::string& path, std::string_view content, Messages& messages);

}  // namespace veldor
