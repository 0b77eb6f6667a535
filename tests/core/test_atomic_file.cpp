#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/atomic_file.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFileAndNoScratch) {
    const fs::path dir =
        fs::temp_directory_path() /
        ("veldor_atomic_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    RecordingMessages msg;
    const fs::path file = dir / "a.txt";
    ASSERT_TRUE(save_file_atomically(file.string(), std::string("first\0line\n", 11), msg));
    EXPECT_EQ(read_all(file), std::string("first\0line\n", 11));  // bytes as given
    ASSERT_TRUE(save_file_atomically(file.string(), "second\n", msg));
    EXPECT_EQ(read_all(file), "second\n");
    EXPECT_TRUE(msg.warnings.empty());

    // A target that cannot be replaced (a folder with a file in it) stays
    // as it was, and no scratch file is left beside it.
    fs::create_directories(dir / "taken");
    std::ofstream(dir / "taken" / "inside.txt") << "kept\n";
    EXPECT_FALSE(save_file_atomically((dir / "taken").string(), "lost\n", msg));
    EXPECT_EQ(read_all(dir / "taken" / "inside.txt"), "kept\n");
    EXPECT_FALSE(save_file_atomically((dir / "no" / "such" / "b.txt").string(), "x", msg));
    ASSERT_EQ(msg.warnings.size(), 2u);
    EXPECT_EQ(msg.warnings[0], "Cannot write the file " + (dir / "taken").string());
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 2u);  // a.txt and taken
    fs::remove_all(dir);
}

}  // namespace
}  // namespace veldor
