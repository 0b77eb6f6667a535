#pragma once
// Batch mode: the same readers, generation, bond search, renderer and
// writers as the windows, without a display.

#include <iosfwd>

#include "core/data_files.h"
#include "core/messages.h"
#include "main/batch_options.h"

namespace veldor {

// Messages on a stream (standard error): every warning on a line of its
// own; questions are printed with the answer given, Yes only with --yes.
class StreamMessages : public Messages {
  public:
    StreamMessages(std::ostream& out, bool answer_yes) : out_(out), yes_(answer_yes) {}
    void warn(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    void beep() override {}
    void busy(bool) override {}
    int warnings() const { return warnings_; }

  private:
    std::ostream& out_;
    bool yes_;
    int warnings_ = 0;
};

// Loads, generates and writes every output. Returns the exit status: 0 when
// every step succeeded, 1 otherwise.
int run_batch(const BatchOptions& options, const ProgramPaths& paths, Messages& messages);

}  // namespace veldor
