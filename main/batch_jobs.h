#pragma once
// Running a many-file batch: each input through the one-file run, in this
// process or spread over worker processes (veldor --batch --worker), each
// with a scratch folder of its own, so that the outputs and the report are
// the same for any number of jobs.
//
// A worker reads the names of its inputs on standard input and answers each
// on standard output, both as frames (a decimal length, a line end, then
// that many bytes). An answer is "0" (written) or "1" (failed) followed by
// what the run said.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_files.h"
#include "core/messages.h"
#include "main/batch_files.h"
#include "main/batch_report.h"

namespace veldor {

std::string frame(std::string_view payload);

// Takes the bytes of frames as they arrive, in pieces of any size.
class FrameReader {
  public:
    void append(std::string_view bytes) { buffer_.append(bytes); }
    // The next whole frame, if it has arrived.
    std::optional<std::string> next();
    // True once the bytes cannot be frames (the stream is not to be trusted).
    bool broken() const { return broken_; }

  private:
    std::string buffer_;
    bool broken_ = false;
};

// Reads one frame from a stream; nullopt at the end of the stream or on
// bytes that are not a frame (then `broken` is set).
std::optional<std::string> read_frame(std::istream& in, bool& broken);

std::string answer_payload(const FileOutcome& outcome);
FileOutcome outcome_from_answer(const std::string& payload);

// One input of a many-file batch: its scratch folder (paths.work_dir) is
// emptied first, then the one-file run writes its outputs; everything the
// run says is kept in the outcome.
FileOutcome run_one_input(const FileBatch& batch, const std::string& input,
                          const ProgramPaths& paths);

// The worker side: answers every input named on `in` until it ends.
// Returns 0, or 2 when `in` carries something that is not a frame.
int run_batch_worker(const FileBatch& batch, const ProgramPaths& paths, std::istream& in,
                     std::ostream& out);

// How to start a worker process.
struct WorkerLaunch {
    std::string program;
    std::vector<std::string> args;
    std::map<std::string, std::string> environment;  // added to this process's
    std::string scratch_root;  // worker K works in <scratch_root>/jobK (VELDOR_WORKDIR)
};

// Spreads the inputs `todo` (indices into `inputs`) over `jobs` worker
// processes, each taking the next input when it has answered. A worker that
// stops while drawing a file fails that file and is replaced. Returns the
// inputs no worker could take (none could start): the caller runs them.
std::vector<std::size_t> run_on_workers(
    const WorkerLaunch& launch, int jobs, const std::vector<std::string>& inputs,
    const std::vector<std::size_t>& todo, const std::function<void(std::size_t)>& started,
    const std::function<void(std::size_t, const FileOutcome&)>& finished);

// The many-file batch: makes the output folder, runs every input (over
// batch.jobs workers started as `program`), reports on `err` (with a
// progress line when `progress`). Returns 0 when no file failed, else 1.
int run_file_batch(const FileBatch& batch, const ProgramPaths& paths, const std::string& program,
                   std::ostream& err, bool progress);

// Runs a parsed batch command: the one-file run with messages on standard
// error, a many-file batch, or a worker on standard input and output.
int run_batch_command(const BatchCommand& command, const ProgramPaths& paths, Messages& messages);

}  // namespace veldor
