#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/data_files.h"
#include "main/command_line.h"
#include "main/startup.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               (std::string("veldor_startup_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "data");
        for (const auto& n : required_data_files())
            std::ofstream(root / "data" / n) << "x\n";
    }
    void TearDown() override { fs::remove_all(root); }
    StartupResult check(const std::string& file) {
        return check_startup(root.string(), "", "", "/tmp", file, msg);
    }
    fs::path root;
    RecordingMessages msg;
};

TEST_F(Startup, AllFilesPresentAndNoArgument) {
    const StartupResult r = check("");
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(msg.log.empty());
    EXPECT_EQ(r.paths.data_dir, (root / "data").string());
    EXPECT_EQ(r.paths.work_dir, "/tmp");
    EXPECT_TRUE(r.structure_file.empty());
}

TEST_F(Startup, MissingDataFileIsNamedAndStops) {
    fs::remove(root / "data" / "rayons.cst");
    fs::remove(root / "data" / "tric.pos");
    const StartupResult r = check("");
    EXPECT_FALSE(r.ok);
    // Only the first missing file, in checking order, is named.
    ASSERT_EQ(msg.log.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "The file rayons.cst was not found!");
}

TEST_F(Startup, StructureFileMustExist) {
    const std::string missing = (root / "nothere.cif").string();
    EXPECT_FALSE(check(missing).ok);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], missing + " not found");

    const std::string present = (root / "Here.INS").string();
    std::ofstream(present) << "TITL x\n";
    msg.log.clear();
    const StartupResult r = check(present);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.structure_file, present);
}

TEST_F(Startup, DataCheckComesBeforeTheStructureFile) {
    fs::remove(root / "data" / "veldor.html");
    EXPECT_FALSE(check((root / "nothere.cif").string()).ok);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "The file veldor.html was not found!");
}

TEST(CommandLine, OptionsAndFile) {
    CommandLine cl = parse_command_line({"veldor", "x.cif"});
    EXPECT_EQ(cl.structure_file, "x.cif");
    EXPECT_FALSE(cl.show_help);
    cl = parse_command_line({"veldor", "--help"});
    EXPECT_TRUE(cl.show_help);
    cl = parse_command_line({"veldor", "--version"});
    EXPECT_TRUE(cl.show_version);
    cl = parse_command_line({"veldor", "--frobnicate"});
    EXPECT_EQ(cl.error, "unknown option: --frobnicate");
    EXPECT_NE(help_text().find("Usage: veldor"), std::string::npos);
}

std::string run(const std::string& cmd, int* status) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    *status = pclose(p);
    return out;
}

TEST(CommandLine, VersionAndHelpNeedNoDisplay) {
    int status = -1;
    const std::string exe = VELDOR_EXECUTABLE;
    std::string out =
        run("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= '" + exe + "' --version", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, version_text());
    out = run("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= '" + exe + "' --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, help_text());
}

}  // namespace
}  // namespace veldor
