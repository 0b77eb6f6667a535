#pragma once
// The rules every save command follows: the format's extension is added to
// a name without ".", and an existing file is replaced only after Yes to
// the question.

#include <string>

#include "core/messages.h"

namespace veldor {

inline constexpr const char* kOverwriteQuestion =
    "This file already exists. Do you want to continue?";

// `path` with `extension` (".vld") added when its file name has no ".".
std::string with_default_extension(const std::string& path, const std::string& extension);

// True when `path` may be written: it does not exist, or the answer to the
// question was Yes.
bool may_write(const std::string& path, Messages& messages);

}  // namespace veldor
