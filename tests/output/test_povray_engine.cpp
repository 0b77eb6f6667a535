#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "output/povray_engine.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

class EngineSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("veldor_engine_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        places.names = {"povray", "pvengine"};
    }
    void TearDown() override { fs::remove_all(dir); }
    // An executable file (or, with `executable` false, a plain one).
    std::string program(const fs::path& path, bool executable = true) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n";
        if (executable) fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
        return path.string();
    }
    fs::path dir;
    EngineSearchPlaces places;
};

TEST_F(EngineSearch, PathComesBeforeTheUsualFoldersAndNeedsAnExecutable) {
    program(dir / "bin" / "povray", false);  // not executable: passed over
    const std::string deep = program(dir / "opt" / "POV-Ray" / "v3.7" / "bin" / "pvengine");
    places.path_folders = {(dir / "bin").string()};
    places.usual_folders = {(dir / "opt").string()};
    EXPECT_EQ(find_engine(places), deep);
    const std::string on_path = program(dir / "bin2" / "povray");
    places.path_folders.push_back((dir / "bin2").string());
    EXPECT_EQ(find_engine(places), on_path);
}

TEST_F(EngineSearch, TheUsualFoldersAreSearchedOnlySoDeep) {
    program(dir / "opt" / "a" / "b" / "c" / "d" / "povray");  // five folders down
    places.usual_folders = {(dir / "opt").string()};
    int folders = 0;
    EXPECT_EQ(find_engine(places, [&] { ++folders; }), "");
    EXPECT_EQ(folders, kEngineSearchDepth);  // the window was kept alive at each folder
    const std::string found = program(dir / "opt" / "a" / "b" / "c" / "povray");
    EXPECT_EQ(find_engine(places), found);
}

TEST_F(EngineSearch, TheConfiguredEngineIsTheOnlyCandidate) {
    program(dir / "bin" / "povray");
    places.path_folders = {(dir / "bin").string()};
    const std::string mine = program(dir / "my engine" / "render");
    places.configured = mine;
    EXPECT_EQ(find_engine(places), mine);
    places.configured = (dir / "missing").string();
    EXPECT_EQ(find_engine(places), "");
    // A bare name is looked up on the PATH.
    places.configured = "povray";
    EXPECT_EQ(find_engine(places), (dir / "bin" / "povray").string());
}

TEST_F(EngineSearch, FoundOncePerRunAndNotFoundSaysSo) {
    RecordingMessages msg;
    PovrayEngine engine;
    int busy_seen = 0;
    EXPECT_EQ(engine.locate(places, msg, [&] { busy_seen = msg.busy_depth; }), "");
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"file Pvengine.exe not found!"}));
    EXPECT_EQ(msg.busy_depth, 0);
    // Installed meanwhile: the next launch searches again and finds it.
    places.usual_folders = {dir.string()};
    const std::string found = program(dir / "sub" / "povray");
    EXPECT_EQ(engine.locate(places, msg, [&] { busy_seen = msg.busy_depth; }), found);
    EXPECT_EQ(busy_seen, 1);  // the busy cursor showed during the search
    // Later launches take it without searching.
    places.usual_folders.clear();
    EXPECT_EQ(engine.locate(places, msg), found);
    EXPECT_EQ(engine.searches(), 2);
    EXPECT_EQ(msg.warnings.size(), 1u);
}

TEST(EngineCommand, SceneFollowsPlusIWithoutABlank) {
    const EngineCommand c = engine_command("/usr/bin/povray", "/home/me/my scenes/a b.pov");
    EXPECT_EQ(c.program, "/usr/bin/povray");
    EXPECT_EQ(c.arguments, (std::vector<std::string>{"+I/home/me/my scenes/a b.pov"}));
    EXPECT_EQ(c.working_folder, "/home/me/my scenes");
}

}  // namespace
}  // namespace veldor
