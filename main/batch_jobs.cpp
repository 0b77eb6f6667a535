#include "main/batch_jobs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <deque>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>

#include "main/batch.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace veldor {

namespace fs = std::filesystem;

namespace {

// A frame's header is at most this long; a longer one is not a frame.
constexpr std::size_t kMaxHeader = 12;
constexpr std::size_t kMaxFrame = std::size_t{1} << 26;

std::optional<std::size_t> frame_length(std::string_view header) {
    if (header.empty() || header.size() > kMaxHeader) return std::nullopt;
    std::size_t n = 0;
    for (char c : header) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n > kMaxFrame) return std::nullopt;
    return n;
}

void empty_folder(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
    }
}

}  // namespace

std::string frame(std::string_view payload) {
    return std::to_string(payload.size()) + '\n' + std::string(payload);
}

std::optional<std::string> FrameReader::next() {
    if (broken_) return std::nullopt;
    const std::size_t eol = buffer_.find('\n');
    if (eol == std::string::npos) {
        broken_ = buffer_.size() > kMaxHeader;
        return std::nullopt;
    }
    const auto n = frame_length(std::string_view(buffer_).substr(0, eol));
    if (!n) {
        broken_ = true;
        return std::nullopt;
    }
    if (buffer_.size() - eol - 1 < *n) return std::nullopt;
    std::string payload = buffer_.substr(eol + 1, *n);
    buffer_.erase(0, eol + 1 + *n);
    return payload;
}

std::optional<std::string> read_frame(std::istream& in, bool& broken) {
    std::string header;
    for (int c = in.get(); c != '\n'; c = in.get()) {
        if (c == std::char_traits<char>::eof()) {
            broken = !header.empty();
            return std::nullopt;
        }
        header += static_cast<char>(c);
        if (header.size() > kMaxHeader) break;
    }
    const auto n = frame_length(header);
    if (!n) {
        broken = true;
        return std::nullopt;
    }
    std::string payload(*n, '\0');
    if (!in.read(payload.data(), static_cast<std::streamsize>(*n))) {
        broken = true;
        return std::nullopt;
    }
    return payload;
}

std::string answer_payload(const FileOutcome& outcome) {
    return (outcome.ok ? "0" : "1") + outcome.messages;
}

FileOutcome outcome_from_answer(const std::string& payload) {
    FileOutcome outcome;
    outcome.ok = !payload.empty() && payload[0] == '0';
    outcome.messages = payload.empty() ? std::string() : payload.substr(1);
    return outcome;
}

FileOutcome run_one_input(const FileBatch& batch, const std::string& input,
                          const ProgramPaths& paths) {
    // Each file starts from an empty scratch folder, as a run of its own
    // would, so the order the files come in changes nothing.
    empty_folder(paths.work_dir);
    std::ostringstream said;
    StreamMessages messages(said, batch.options.yes);
    FileOutcome outcome;
    try {
        outcome.ok = run_batch(options_for(batch, input), paths, messages) == 0;
    } catch (const std::exception& e) {
        // One file's trouble never ends the others' run.
        said << e.what() << '\n';
        outcome.ok = false;
    }
    outcome.messages = said.str();
    return outcome;
}

int run_batch_worker(const FileBatch& batch, const ProgramPaths& paths, std::istream& in,
                     std::ostream& out) {
    bool broken = false;
    while (const auto input = read_frame(in, broken)) {
        out << frame(answer_payload(run_one_input(batch, *input, paths))) << std::flush;
        if (!out) return 2;
    }
    return broken ? 2 : 0;
}

namespace {

struct Worker {
    std::unique_ptr<QProcess> process;
    FrameReader answers;
    std::optional<std::size_t> current;  // the input it is drawing
    bool ended = false;
};

QString qstring(const std::string& s) {
    return QString::fromStdString(s);
}

std::string stop_reason(const QProcess& p) {
    if (p.exitStatus() == QProcess::CrashExit) return "the worker process crashed on it";
    return "the worker process stopped on it (exit status " + std::to_string(p.exitCode()) + ")";
}

}  // namespace

std::vector<std::size_t> run_on_workers(
    const WorkerLaunch& launch, int jobs, const std::vector<std::string>& inputs,
    const std::vector<std::size_t>& todo, const std::function<void(std::size_t)>& started,
    const std::function<void(std::size_t, const FileOutcome&)>& finished) {
    std::deque<std::size_t> queue(todo.begin(), todo.end());
    if (queue.empty() || jobs < 1) return {queue.begin(), queue.end()};
    QEventLoop loop;
    // Every worker ever started lives until the end, so that no process is
    // destroyed inside one of its own signals.
    std::vector<std::unique_ptr<Worker>> workers;
    int running = 0;

    auto feed = [&](Worker& w) {
        if (w.ended) return;
        if (queue.empty()) {
            w.process->closeWriteChannel();  // the worker ends when its input does
            return;
        }
        w.current = queue.front();
        queue.pop_front();
        started(*w.current);
        const std::string request = frame(inputs[*w.current]);
        w.process->write(request.data(), static_cast<qint64>(request.size()));
    };
    auto read_answers = [&](Worker& w) {
        w.answers.append(w.process->readAllStandardOutput().toStdString());
        while (const auto answer = w.answers.next()) {
            if (!w.current) {  // an answer nobody asked for
                w.process->kill();
                return;
            }
            const std::size_t index = *w.current;
            w.current.reset();
            finished(index, outcome_from_answer(*answer));
            feed(w);
        }
        if (w.answers.broken()) w.process->kill();
    };
    std::function<void()> start_worker;
    auto on_end = [&](Worker& w) {
        if (w.ended) return;
        w.ended = true;
        --running;
        read_answers(w);
        if (w.current) {
            // Only the file it was drawing is lost; a fresh worker goes on.
            const std::size_t index = *w.current;
            w.current.reset();
            finished(index, FileOutcome{false, stop_reason(*w.process) + "\n"});
            if (!queue.empty()) start_worker();
        }
        // A worker that ends holding nothing has finished its share, or
        // could not start: it is not replaced.
        if (running == 0) loop.quit();
    };
    start_worker = [&] {
        auto worker = std::make_unique<Worker>();
        Worker& w = *worker;
        workers.push_back(std::move(worker));
        const fs::path scratch =
            fs::path(launch.scratch_root) / ("job" + std::to_string(workers.size()));
        std::error_code ec;
        fs::create_directories(scratch, ec);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : launch.environment)
            env.insert(qstring(name), qstring(value));
        env.insert(QStringLiteral("VELDOR_WORKDIR"), qstring(scratch.string()));
        QStringList args;
        for (const std::string& a : launch.args)
            args << qstring(a);

        w.process = std::make_unique<QProcess>();
        QProcess* p = w.process.get();
        p->setProgram(qstring(launch.program));
        p->setArguments(args);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(p, &QProcess::started, [&] { feed(w); });
        QObject::connect(p, &QProcess::readyReadStandardOutput, [&] { read_answers(w); });
        QObject::connect(p, &QProcess::finished, [&] { on_end(w); });
        QObject::connect(p, &QProcess::errorOccurred, [&](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) on_end(w);
        });
        ++running;
        p->start();
    };

    const std::size_t count = std::min(static_cast<std::size_t>(jobs), queue.size());
    for (std::size_t i = 0; i < count; ++i)
        start_worker();
    if (running > 0) loop.exec();
    for (const auto& w : workers)
        if (w->process->state() != QProcess::NotRunning) w->process->waitForFinished(-1);
    return {queue.begin(), queue.end()};
}

int run_file_batch(const FileBatch& batch, const ProgramPaths& paths, const std::string& program,
                   std::ostream& err, bool progress) {
    std::error_code ec;
    fs::create_directories(batch.out_dir, ec);
    if (!fs::is_directory(batch.out_dir, ec)) {
        err << "Cannot make the folder " << batch.out_dir << '\n';
        return 1;
    }
    // Scratch files (dummy.vld, scfs.dat, ...) of each file stay out of the
    // user's folders; they are removed with the batch.
    QTemporaryDir scratch(qstring((fs::temp_directory_path() / "veldor-batch-XXXXXX").string()));
    if (!scratch.isValid()) {
        err << "Cannot make a scratch folder in " << fs::temp_directory_path().string() << '\n';
        return 1;
    }
    const std::string scratch_root = scratch.path().toStdString();

    BatchReporter reporter(err, batch.inputs.size(), progress, progress ? terminal_width() : 0);
    const auto clashes = output_clashes(batch);
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < batch.inputs.size(); ++i) {
        if (clashes[i])
            reporter.finished(i, batch.inputs[i], FileOutcome{false, *clashes[i] + "\n"});
        else
            todo.push_back(i);
    }
    const auto started = [&](std::size_t i) { reporter.started(batch.inputs[i]); };
    const auto finished = [&](std::size_t i, const FileOutcome& outcome) {
        reporter.finished(i, batch.inputs[i], outcome);
    };
    if (batch.jobs > 1 && todo.size() > 1) {
        WorkerLaunch launch;
        launch.program = program;
        launch.args = {"--batch", "--worker"};
        launch.args.insert(launch.args.end(), batch.shared_args.begin(), batch.shared_args.end());
        launch.environment["VELDOR_DATA"] = paths.data_dir;
        launch.scratch_root = scratch_root;
        todo = run_on_workers(launch, batch.jobs, batch.inputs, todo, started, finished);
    }
    // One job, or whatever no worker could take, runs here.
    const ProgramPaths here{paths.data_dir, (fs::path(scratch_root) / "job0").string()};
    for (const std::size_t i : todo) {
        started(i);
        finished(i, run_one_input(batch, batch.inputs[i], here));
    }
    reporter.finish();
    return reporter.failed() == 0 ? 0 : 1;
}

int run_batch_command(const BatchCommand& command, const ProgramPaths& paths, Messages& messages) {
    if (command.single) return run_batch(*command.single, paths, messages);
    const FileBatch& batch = *command.files;
    if (batch.worker) {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        return run_batch_worker(batch, paths, std::cin, std::cout);
    }
    return run_file_batch(batch, paths, QCoreApplication::applicationFilePath().toStdString(),
                          std::cerr, standard_error_is_terminal());
}

}  // namespace veldor
