#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <unistd.h>

#include "../qt_test_app.h"
#include "main/batch_files.h"
#include "main/batch_jobs.h"
#include "main/batch_report.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

BatchCommand parse(Strings args, int cores = 4) {
    return parse_batch_command(args, cores);
}

TEST(FileBatchCommand, ManyFilesIntoAFolder) {
    const BatchCommand c = parse({"--batch", "a.cif", "--generation", "cell", "b/x.ins", "--block",
                                  "y.cif", "--out-dir", "pics", "--to", "png, .CIF", "--yes"});
    ASSERT_TRUE(c.files) << c.error;
    const FileBatch& b = *c.files;
    EXPECT_EQ(b.inputs, (Strings{"a.cif", "b/x.ins"}));  // an option's value is no input
    EXPECT_EQ(b.extensions, (Strings{".png", ".CIF"}));
    EXPECT_EQ(b.jobs, 4);
    EXPECT_EQ(b.shared_args, (Strings{"--out-dir", "pics", "--to", "png, .CIF", "--generation",
                                      "cell", "--block", "y.cif", "--yes"}));
    const BatchOptions one = options_for(b, "b/x.ins");
    EXPECT_EQ(one.input, "b/x.ins");
    EXPECT_EQ(one.outputs, (Strings{"pics/x.png", "pics/x.CIF"}));
    EXPECT_EQ(one.generation, GenerationMode::CellContents);
    EXPECT_EQ(one.block, "y.cif");
    EXPECT_TRUE(one.yes);
    EXPECT_TRUE(one.own_folder.empty());  // nothing of its own to write there
}

TEST(FileBatchCommand, WhichFormIsMeant) {
    EXPECT_TRUE(parse({"--batch", "a.cif", "--out", "x.png"}).single);
    // The one-file form says what it always said.
    EXPECT_EQ(parse({"--batch", "a.cif"}).error, parse_batch_options({"--batch", "a.cif"}).error);
    EXPECT_EQ(parse({"--batch", "a.cif"}).error,
              "batch mode needs at least one --out OUT, --print PAGE.pdf or --report KIND");
    const BatchCommand one = parse({"--batch", "a.cif", "--out-dir", "d", "--to", "png"}, 0);
    ASSERT_TRUE(one.files) << one.error;
    EXPECT_EQ(one.files->jobs, 1);  // no core count known
    const BatchCommand worker = parse({"--batch", "--worker", "--out-dir", "d", "--to", "png"});
    ASSERT_TRUE(worker.files) << worker.error;
    EXPECT_TRUE(worker.files->worker);
}

TEST(FileBatchCommand, RefusedCommandLines) {
    const std::vector<std::pair<Strings, std::string>> cases = {
        {{"a.cif", "b.cif", "--out", "x.png"},
         "--out names the output of one file; for several files use --out-dir DIR and --to "
         "EXT,..."},
        {{"a.cif", "b.cif"}, "several files need --out-dir DIR and --to EXT,..."},
        {{"a.cif", "b.cif", "--to", "png"}, "--to needs --out-dir DIR"},
        {{"a.cif", "b.cif", "--out-dir", "d"},
         "--out-dir needs --to EXT,... (such as --to png,cif)"},
        {{"--out-dir", "d", "--to", "png"}, "--batch needs a FILE"},
        {{"a.cif", "--out-dir", "d", "--to", "png,,../cif"},
         "--to takes extensions separated by commas, such as png,cif"},
        {{"a.cif", "--out-dir", "d", "--to", "png,.PNG"}, "--to names PNG twice"},
        {{"a.cif", "--out-dir", "d", "--to", "png", "--jobs", "0"},
         "--jobs takes a number from 1 to 256"},
        {{"a.cif", "b.cif", "--out-dir", "d", "--to", "png", "--zoom"}, "--zoom needs a value"},
        // The shared options are checked as for one file.
        {{"a.cif", "--out-dir", "d", "--to", "png", "--probability", "15"},
         "--probability takes 10, 20, ... 100"},
    };
    for (const auto& [args, error] : cases) {
        Strings all{"--batch"};
        all.insert(all.end(), args.begin(), args.end());
        EXPECT_EQ(parse(all).error, error);
    }
}

TEST(FileBatchCommand, SameOutputNamesAreRefusedAfterTheFirst) {
    const BatchCommand c = parse(
        {"--batch", "a/x.cif", "b/x.ins", "y.cif", "a/x.cif", "--out-dir", "d", "--to", "png"});
    ASSERT_TRUE(c.files) << c.error;
    const auto clashes = output_clashes(*c.files);
    ASSERT_EQ(clashes.size(), 4u);
    EXPECT_FALSE(clashes[0]);
    EXPECT_EQ(clashes[1], (fs::path("d") / "x.png").string() + " is the output of a/x.cif already");
    EXPECT_FALSE(clashes[2]);
    EXPECT_EQ(clashes[3], clashes[1]);
}

TEST(BatchReport, FileReportsAndSummary) {
    EXPECT_EQ(file_report("a.cif", {true, ""}), "");
    EXPECT_EQ(file_report("a.cif", {true, "No calculated bonds!\n"}),
              "a.cif: No calculated bonds!\n");
    EXPECT_EQ(file_report("a.cif", {false, "first\r\n\nsecond\n"}),
              "a.cif: first\na.cif: failed: second\n");
    EXPECT_EQ(file_report("a.cif", {false, ""}), "a.cif: failed\n");
    EXPECT_EQ(summary_line(14, 2), "14 written, 2 failed");
}

TEST(BatchReport, ProgressLineFitsTheTerminal) {
    EXPECT_EQ(progress_text(3, 10, "a.cif", 80), "[3/10] a.cif");
    EXPECT_EQ(progress_text(3, 10, "some/long/path/name.cif", 20), "[3/10] .../name.cif");
    EXPECT_EQ(progress_text(3, 10, "a.cif", 5), "[3/1");
    // Never cut inside a UTF-8 character: "abcdé.cif" keeps ".cif" rather than half an "é".
    EXPECT_EQ(progress_text(1, 1, "abcd\xC3\xA9.cif", 15), "[1/1] ....cif");
    EXPECT_EQ(progress_text(1, 1, "abcd\xC3\xA9.cif", 16), "[1/1] ...\xC3\xA9.cif");
}

// Files finish out of order; the reports come in input order, and the
// progress line is cleared before each and drawn again after.
TEST(BatchReport, ReportsComeInInputOrderUnderTheProgressLine) {
    for (const bool progress : {false, true}) {
        std::ostringstream out;
        BatchReporter r(out, 3, progress, 40);
        r.started("a");
        r.started("b");
        r.finished(1, "b", {false, "bad\n"});
        r.finished(0, "a", {true, ""});
        r.started("c");
        r.finished(2, "c", {true, "note\n"});
        r.finish();
        EXPECT_EQ(r.written(), 2u);
        EXPECT_EQ(r.failed(), 1u);
        const std::string clear = "\r" + std::string(7, ' ') + "\r";
        const std::string expected =
            progress
                ? "\r[0/3] a\r[0/3] b\r[1/3] b" + clear + "b: failed: bad\n\r[2/3] b" +
                      "\r[2/3] c" + clear + "c: note\n\r[3/3] c" + clear + "2 written, 1 failed\n"
                : "b: failed: bad\nc: note\n2 written, 1 failed\n";
        EXPECT_EQ(out.str(), expected) << progress;
    }
}

TEST(WorkerFrames, ArriveWholeWhateverThePiecesAndBadBytesAreSeen) {
    const Strings payloads = {"", "two\nlines and 12\n", std::string(70000, 'x')};
    std::string stream;
    for (const std::string& p : payloads)
        stream += frame(p);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, stream.size()}) {
        FrameReader reader;
        Strings got;
        for (std::size_t i = 0; i < stream.size(); i += piece) {
            reader.append(std::string_view(stream).substr(i, piece));
            while (const auto f = reader.next())
                got.push_back(*f);
        }
        EXPECT_EQ(got, payloads) << piece;
    }
    std::istringstream in(stream);
    bool broken = false;
    Strings got;
    while (const auto f = read_frame(in, broken))
        got.push_back(*f);
    EXPECT_EQ(got, payloads);
    EXPECT_FALSE(broken);

    for (const std::string bad : {"12x\nabc", "1234567890123\n", "99999999999\n", "\n", "5\nab"}) {
        FrameReader reader;
        reader.append(bad);
        EXPECT_FALSE(reader.next()) << bad;
        EXPECT_EQ(reader.broken(), bad != "5\nab") << bad;  // the rest of a frame may come
        std::istringstream bytes(bad);
        broken = false;
        EXPECT_FALSE(read_frame(bytes, broken)) << bad;
        EXPECT_TRUE(broken) << bad;  // a stream that ends inside a frame is broken
    }
    EXPECT_EQ(outcome_from_answer(answer_payload({false, "m\n"})).messages, "m\n");
    EXPECT_TRUE(outcome_from_answer("0").ok);
    EXPECT_FALSE(outcome_from_answer("").ok);
}

class Workers : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qt_app();
        scratch = fs::temp_directory_path() /
                  (std::string("veldor_workers_") + std::to_string(getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }

    std::vector<std::size_t> run(const std::string& program, const Strings& inputs, int jobs) {
        WorkerLaunch launch;
        launch.program = program;
        launch.scratch_root = scratch.string();
        std::vector<std::size_t> todo(inputs.size());
        for (std::size_t i = 0; i < todo.size(); ++i)
            todo[i] = i;
        return run_on_workers(
            launch, jobs, inputs, todo, [&](std::size_t i) { started.push_back(i); },
            [&](std::size_t i, const FileOutcome& o) { finished.emplace(i, o); });
    }
    fs::path scratch;
    std::vector<std::size_t> started;
    std::multimap<std::size_t, FileOutcome> finished;
};

TEST_F(Workers, EveryFileIsAnsweredOnceAndACrashCostsOnlyItsFile) {
    const Strings inputs = {"a", "crash:b", "c", "stop:d", "e", "f", "g"};
    EXPECT_TRUE(run(FAKE_BATCH_WORKER, inputs, 2).empty());
    std::vector<std::size_t> sorted = started;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(finished.size(), inputs.size());
    std::set<std::string> folders;
    for (const auto& [i, outcome] : finished) {
        const std::string said = outcome.messages;
        if (i == 1 || i == 3) {
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(said, i == 1 ? "the worker process crashed on it\n"
                                   : "the worker process stopped on it (exit status 3)\n");
            continue;
        }
        EXPECT_EQ(said.rfind("drew " + inputs[i] + " in job", 0), 0u) << said;
        folders.insert(said.substr(said.find(" in ")));
    }
    // Each worker works in a folder of its own under the scratch root; which
    // worker drew which file is up to their speeds.
    for (const std::string& folder : folders)
        EXPECT_TRUE(fs::is_directory(scratch / folder.substr(4, folder.size() - 5))) << folder;
}

TEST_F(Workers, WhenNoWorkerStartsTheCallerGetsEveryFileBack) {
    EXPECT_EQ(run((scratch / "no-such-program").string(), {"a", "b", "c"}, 2),
              (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(finished.empty());
}

// The real program: the many-file batch against one process per file.
std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::map<std::string, std::string> files_in(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = read_all(e.path());
    return files;
}

// Runs the program in `dir` without a display; the status and standard error.
FileOutcome veldor(const fs::path& dir, const Strings& args, int& status) {
    fs::create_directories(dir / "out");
    std::string cmd = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                      VELDOR_EXECUTABLE + "'";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    const int raw = std::system((cmd + " 2> ../stderr.txt").c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return {status == 0, read_all(dir / "../stderr.txt")};
}

TEST(ManyFileBatch, WritesAndSaysWhatOneProcessPerFileDoes) {
    // Other checkouts may run this test at the same time.
    const fs::path root =
        fs::temp_directory_path() / ("veldor_many_file_batch_" + std::to_string(getpid()));
    fs::remove_all(root);
    Strings inputs;
    for (const auto& e : fs::directory_iterator(VELDOR_TESTDATA_DIR))
        inputs.push_back(e.path().string());
    std::sort(inputs.begin(), inputs.end());
    const Strings shared = {"--generation", "cell", "--size", "240"};
    const Strings extensions = {".png", ".svg", ".cif", ".vld", ".shx"};
    int status = 0;

    // One process per file, in the same order, into the same folder.
    std::vector<FileOutcome> alone;
    for (const std::string& input : inputs) {
        Strings args = {"--batch", input};
        args.insert(args.end(), shared.begin(), shared.end());
        for (const std::string& ext : extensions)
            args.insert(args.end(), {"--out", "out/" + fs::path(input).stem().string() + ext});
        alone.push_back(veldor(root / "single", args, status));
    }
    const auto reference = files_in(root / "single/out");

    Strings args = {"--batch"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), shared.begin(), shared.end());
    args.insert(args.end(), {"--out-dir", "out", "--to", "png,svg,cif,vld,shx"});
    // What the batch must say: each file's own messages under its name, in
    // order; the later of two files with one name is refused.
    const auto clashes = output_clashes(*parse_batch_command(args, 1).files);
    std::string expected;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const FileOutcome outcome = clashes[i] ? FileOutcome{false, *clashes[i]} : alone[i];
        expected += file_report(inputs[i], outcome);
        failed += outcome.ok ? 0 : 1;
    }
    expected += summary_line(inputs.size() - failed, failed) + "\n";
    EXPECT_EQ(failed, 2u);  // README.md, the second thpp
    // The broken CIF is read line by line, with its warning.
    EXPECT_NE(expected.find("The file bad_srycoo_unterminated.cif is not a valid CIF: error at "
                            "line 14: unterminated 'string'; it is read line by line"),
              std::string::npos)
        << expected;
    EXPECT_EQ(reference.size(), (inputs.size() - failed) * extensions.size());

    for (const std::string jobs : {"1", "3"}) {
        Strings with_jobs = args;
        with_jobs.insert(with_jobs.end(), {"--jobs", jobs});
        const fs::path many = root / ("jobs" + jobs);
        EXPECT_EQ(veldor(many, with_jobs, status).messages, expected) << jobs;
        EXPECT_EQ(status, 1) << jobs;
        const auto written = files_in(many / "out");
        EXPECT_EQ(written.size(), reference.size()) << jobs;
        for (const auto& [name, bytes] : reference)
            EXPECT_TRUE(written.count(name) && written.at(name) == bytes) << jobs << " " << name;
        // The runs' scratch files stayed out of the user's folder.
        EXPECT_EQ(files_in(many).size(), 1u) << jobs;
    }
    fs::remove_all(root);
}

// Reports and printed pages have fixed names: each file writes its own
// into DIR/NAME, whichever worker runs it.
TEST(ManyFileBatch, EachFileHasItsReportsAndPageInAFolderOfItsOwn) {
    const fs::path root =
        fs::temp_directory_path() / ("veldor_batch_reports_" + std::to_string(getpid()));
    fs::remove_all(root);
    const Strings inputs = {VELDOR_SOURCE_DIR "/examples/thpp.ins",
                            VELDOR_TESTDATA_DIR "/pymatgen_Graphite.cif"};
    Strings args = {"--batch",      inputs[0],   inputs[1],
                    "--report",     "distances", "--report",
                    "coordination", "--print",   "elsewhere/page.pdf",
                    "--out-dir",    "out",       "--to",
                    "png",          "--jobs",    "2"};
    const BatchOptions thpp = options_for(*parse(args).files, inputs[0]);
    EXPECT_EQ(thpp.own_folder, "out/thpp");
    EXPECT_EQ(thpp.print, "out/thpp/page.pdf");
    int status = 0;
    const FileOutcome r = veldor(root, args, status);
    ASSERT_EQ(status, 0) << r.messages;
    EXPECT_TRUE(r.messages.find("2 written, 0 failed") != std::string::npos) << r.messages;
    for (const char* name : {"thpp", "pymatgen_Graphite"}) {
        const fs::path own = root / "out" / name;
        EXPECT_TRUE(fs::exists(root / "out" / (std::string(name) + ".png"))) << name;
        EXPECT_TRUE(fs::exists(own / "distances.txt")) << name;
        EXPECT_TRUE(fs::exists(own / "dist.txt")) << name;
        EXPECT_EQ(read_all(own / "page.pdf").substr(0, 5), "%PDF-") << name;
    }
    // Each report is its own file's: it starts with that file's name.
    EXPECT_EQ(read_all(root / "out/thpp/distances.txt").substr(0, 9), "thpp.ins\n");
    EXPECT_EQ(read_all(root / "out/pymatgen_Graphite/distances.txt").substr(0, 22),
              "pymatgen_Graphite.cif\n");
    EXPECT_FALSE(fs::exists(root / "out/distances.txt"));
    fs::remove_all(root);
}

}  // namespace
}  // namespace veldor
