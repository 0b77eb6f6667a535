#include "core/messages.h"

namespace veldor {

void RecordingMessages::warn(const std::string& text) {
    log.push_back("warn: " + text);
    warnings.push_back(text);
}

Answer RecordingMessages::confirm(const std::string& text) {
    log.push_back("confirm: " + text);
    if (answers.empty()) return default_answer;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingMessages::beep() {
    log.push_back("beep");
    ++beeps;
}

void RecordingMessages::busy(bool on) {
    busy_depth += on ? 1 : -1;
}

}  // namespace veldor
