#pragma once
// The narrow interface through which computation talks to the user: a
// warning, a Yes/No/Cancel question, a beep, and the busy cursor. The
// program implements it with message boxes, batch mode on standard error,
// tests with a recorder. Computation never calls a user-interface toolkit.

#include <deque>
#include <string>
#include <vector>

namespace veldor {

enum class Answer { Yes, No, Cancel };

class Messages {
  public:
    virtual ~Messages() = default;
    virtual void warn(const std::string& text) = 0;
    // Only Yes proceeds.
    virtual Answer confirm(const std::string& text) = 0;
    virtual void beep() = 0;
    // Busy cursor on (true) or off (false); calls nest.
    virtual void busy(bool on) = 0;
};

// Shows the busy cursor for its lifetime, restoring it on every path.
class BusyScope {
  public:
    explicit BusyScope(Messages& m) : messages_(m) { messages_.busy(true); }
    ~BusyScope() { messages_.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Messages& messages_;
};

// Records every call, for tests. Confirmations are answered from a queue of
// prepared answers, then with the default answer.
class RecordingMessages : public Messages {
  public:
    void warn(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    void beep() override;
    void busy(bool on) override;

    // Every call in order: "warn: <text>", "confirm: <text>", "beep".
    std::vector<std::string> log;
    // The warning texts alone.
    std::vector<std::string> warnings;
    std::deque<Answer> answers;
    Answer default_answer = Answer::No;
    int busy_depth = 0;
    int beeps = 0;
};

// Discards everything and answers No.
class SilentMessages : public Messages {
  public:
    void warn(const std::string&) override {}
    Answer confirm(const std::string&) override { return Answer::No; }
    void beep() override {}
    void busy(bool) override {}
};

}  // namespace veldor
