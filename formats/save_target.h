#pragma once
// The rules every save command follows: the format's extension is added to
// a name without ".", and an existing file is replaced only after Yes to
// the question.

#include <optional>
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

// The file an export command writes: nullopt for an empty name; the
// extension added to a name without "."; an existing file gives a beep and
// the question, and only Yes goes on.
std::optional<std::string> export_target(const std::string& chosen, const std::string& extension,
                                         Messages& messages);

}  // namespace veldor
