#include "main/batch_report.h"

#include <cstdio>
#include <ostream>
#include <vector>

#include "formats/text_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace veldor {

std::string file_report(const std::string& input, const FileOutcome& outcome) {
    std::vector<std::string> lines;
    for (const std::string& line : split_lines(outcome.messages))
        if (!line.empty()) lines.push_back(line);
    std::string report;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        report += input + (!outcome.ok && last ? ": failed: " : ": ") + lines[i] + '\n';
    }
    if (!outcome.ok && lines.empty()) report += input + ": failed\n";
    return report;
}

std::string summary_line(std::size_t written, std::size_t failed) {
    return std::to_string(written) + " written, " + std::to_string(failed) + " failed";
}

std::string progress_text(std::size_t done, std::size_t total, const std::string& current,
                          int width) {
    const std::string count = "[" + std::to_string(done) + "/" + std::to_string(total) + "] ";
    const std::string text = count + current;
    const std::size_t room = width > 1 ? static_cast<std::size_t>(width - 1) : 0;
    if (width <= 0 || text.size() <= room) return text;
    if (room <= count.size() + 3) return text.substr(0, room);
    // Bytes count as columns, so a name in UTF-8 is cut short rather than
    // too long, and never inside a character.
    std::size_t from = current.size() - (room - count.size() - 3);
    while (from < current.size() && (static_cast<unsigned char>(current[from]) & 0xC0) == 0x80)
        ++from;
    return count + "..." + current.substr(from);
}

BatchReporter::BatchReporter(std::ostream& out, std::size_t total, bool progress, int width)
    : out_(out), total_(total), progress_(progress), width_(width) {}

void BatchReporter::started(const std::string& input) {
    current_ = input;
    draw_progress();
}

void BatchReporter::finished(std::size_t index, const std::string& input,
                             const FileOutcome& outcome) {
    ++(outcome.ok ? written_ : failed_);
    waiting_[index] = file_report(input, outcome);
    bool cleared = false;
    for (auto it = waiting_.find(next_); it != waiting_.end(); it = waiting_.find(next_)) {
        if (!it->second.empty()) {
            if (!cleared) clear_progress();
            cleared = true;
            out_ << it->second;
        }
        waiting_.erase(it);
        ++next_;
    }
    draw_progress();
}

void BatchReporter::finish() {
    clear_progress();
    // Reports still waiting (a file that never finished) come in order.
    for (const auto& [index, report] : waiting_)
        out_ << report;
    waiting_.clear();
    out_ << summary_line(written_, failed_) << '\n' << std::flush;
}

void BatchReporter::clear_progress() {
    if (drawn_ == 0) return;
    out_ << '\r' << std::string(drawn_, ' ') << '\r';
    drawn_ = 0;
}

void BatchReporter::draw_progress() {
    if (!progress_) return;
    const std::string text = progress_text(written_ + failed_, total_, current_, width_);
    out_ << '\r' << text;
    if (text.size() < drawn_) out_ << std::string(drawn_ - text.size(), ' ') << '\r' << text;
    out_ << std::flush;
    drawn_ = text.size();
}

bool standard_error_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

int terminal_width() {
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stderr), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
    return 80;
}

}  // namespace veldor
