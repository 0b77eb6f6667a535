#pragma once
// What the many-file batch tells the user: each file's messages under its
// name, a progress line on a terminal, and the summary line at the end.

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>

namespace veldor {

// The outcome of one input's run.
struct FileOutcome {
    bool ok = false;
    std::string messages;  // what the run said, a message a line
};

// The lines reporting one input, each ending with a line end: every message
// line as "FILE: text"; the last line of a failed file is
// "FILE: failed: <its last message>" ("FILE: failed" when it said nothing).
// Empty for a file that succeeded in silence.
std::string file_report(const std::string& input, const FileOutcome& outcome);

// "N written, M failed".
std::string summary_line(std::size_t written, std::size_t failed);

// "[done/total] current", the file name shortened from the left ("...") so
// the line fits in `width` - 1 columns (no limit when width <= 0).
std::string progress_text(std::size_t done, std::size_t total, const std::string& current,
                          int width);

// Prints the reports in input order, whatever order the files finish in,
// so that any number of jobs tells the same; with `progress`, a progress
// line stays under them, rewritten in place.
class BatchReporter {
  public:
    BatchReporter(std::ostream& out, std::size_t total, bool progress, int width);
    void started(const std::string& input);
    void finished(std::size_t index, const std::string& input, const FileOutcome& outcome);
    // Clears the progress line and prints the summary line.
    void finish();
    std::size_t written() const { return written_; }
    std::size_t failed() const { return failed_; }

  private:
    void clear_progress();
    void draw_progress();

    std::ostream& out_;
    std::size_t total_;
    bool progress_;
    int width_;
    std::string current_;
    std::size_t drawn_ = 0;  // characters of the progress line on the screen
    std::size_t next_ = 0;   // the next input to report
    std::size_t written_ = 0, failed_ = 0;
    std::map<std::size_t, std::string> waiting_;  // reports of files finished early
};

// Whether standard error is a terminal, and its width in columns (80 when
// it cannot be told).
bool standard_error_is_terminal();
int terminal_width();

}  // namespace veldor
