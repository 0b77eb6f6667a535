#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "main/save_target.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

TEST(SaveTarget, ExtensionAddedOnlyToNamesWithoutPoint) {
    EXPECT_EQ(with_default_extension("/tmp/picture", ".vld"), "/tmp/picture.vld");
    EXPECT_EQ(with_default_extension("/tmp/picture.txt", ".vld"), "/tmp/picture.txt");
    // A point in a folder name does not count.
    EXPECT_EQ(with_default_extension("/home/a.b/picture", ".shx"), "/home/a.b/picture.shx");
}

TEST(SaveTarget, ExistingFileNeedsYes) {
    const fs::path p = fs::temp_directory_path() / "veldor_save_target.vld";
    fs::remove(p);
    RecordingMessages msg;
    EXPECT_TRUE(may_write(p.string(), msg));
    EXPECT_TRUE(msg.log.empty());
    std::ofstream(p) << "x";
    EXPECT_FALSE(may_write(p.string(), msg));  // the recorder answers No
    msg.answers = {Answer::Cancel, Answer::Yes};
    EXPECT_FALSE(may_write(p.string(), msg));
    EXPECT_TRUE(may_write(p.string(), msg));
    ASSERT_EQ(msg.log.size(), 3u);
    EXPECT_EQ(msg.log[0], "confirm: This file already exists. Do you want to continue?");
    fs::remove(p);
}

}  // namespace
}  // namespace veldor
