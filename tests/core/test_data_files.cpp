#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/data_files.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

class DataFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("veldor_data_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "bin" / "data");
    }
    void TearDown() override { fs::remove_all(root); }
    void touch(const fs::path& p) { std::ofstream(p) << "x\n"; }
    fs::path root;
};

TEST_F(DataFolder, RequiredFilesInCheckingOrder) {
    const auto& names = required_data_files();
    ASSERT_EQ(names.size(), 11u);
    EXPECT_EQ(names.front(), "veldor.html");
    EXPECT_EQ(names[1], "rayons.cst");
    EXPECT_EQ(names.back(), "tric.pos");

    const fs::path data = root / "bin" / "data";
    EXPECT_EQ(first_missing_data_file(data.string()), "veldor.html");
    for (const auto& n : names)
        touch(data / n);
    EXPECT_FALSE(first_missing_data_file(data.string()));
    fs::remove(data / "spgr.peq");
    EXPECT_EQ(first_missing_data_file(data.string()), "spgr.peq");
    EXPECT_EQ(missing_data_file_message("spgr.peq"), "The file spgr.peq was not found!");
}

TEST_F(DataFolder, FileNamesMatchWithoutRegardToCase) {
    const fs::path data = root / "bin" / "data";
    touch(data / "CUBI.POS");
    const auto found = find_file_nocase(data.string(), "cubi.pos");
    ASSERT_TRUE(found);
    EXPECT_EQ(fs::path(*found).filename(), "CUBI.POS");
    EXPECT_FALSE(find_file_nocase(data.string(), "tetr.pos"));
    EXPECT_FALSE(find_file_nocase((root / "nowhere").string(), "x"));
    // A folder of that name is no data file.
    fs::create_directories(data / "hexa.pos");
    EXPECT_FALSE(find_file_nocase(data.string(), "hexa.pos"));
}

TEST_F(DataFolder, DataAndWorkFolders) {
    const std::string exe = (root / "bin").string();
    EXPECT_EQ(find_data_directory(exe, ""), (root / "bin" / "data").string());
    // The environment variable wins when it names a folder.
    fs::create_directories(root / "elsewhere");
    EXPECT_EQ(find_data_directory(exe, (root / "elsewhere").string()),
              (root / "elsewhere").string());
    EXPECT_EQ(find_data_directory(exe, (root / "missing").string()),
              (root / "bin" / "data").string());
    // The installed layout: <prefix>/bin and <prefix>/share/veldor.
    fs::remove_all(root / "bin" / "data");
    fs::create_directories(root / "share" / "veldor");
    EXPECT_EQ(find_data_directory(exe, ""), (root / "share" / "veldor").string());
    fs::remove_all(root / "share");
    EXPECT_EQ(find_data_directory(exe, ""), "");

    EXPECT_EQ(find_work_directory("", "/cur"), "/cur");
    EXPECT_EQ(find_work_directory("/w", "/cur"), "/w");
}

TEST(StructureFileKind, ByFirstExtensionFound) {
    EXPECT_EQ(structure_file_kind("A.VLD"), StructureFileKind::Vld);
    EXPECT_EQ(structure_file_kind("x.ins"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.SHX"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.inp"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.out"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.lst"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.lzy"), StructureFileKind::LazyPulverix);
    EXPECT_EQ(structure_file_kind("x.cel"), StructureFileKind::PowderCell);
    EXPECT_EQ(structure_file_kind("x.cry"), StructureFileKind::Tessard);
    EXPECT_EQ(structure_file_kind("x.cif"), StructureFileKind::Cif);
    EXPECT_EQ(structure_file_kind("x.res"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("x.txt"), StructureFileKind::Unknown);
    // The extensions are searched in a fixed order, anywhere in the name.
    EXPECT_EQ(structure_file_kind("old.vld.cif"), StructureFileKind::Vld);
    // Folders do not count, whatever their names.
    EXPECT_EQ(structure_file_kind("/data/runs.out/x.cif"), StructureFileKind::Cif);
    EXPECT_EQ(structure_file_kind("C:\\a.lst\\x.res"), StructureFileKind::Shelx);
    EXPECT_EQ(structure_file_kind("notes.cif/readme"), StructureFileKind::Unknown);
}

}  // namespace
}  // namespace veldor
