#include <gtest/gtest.h>

#include <filesystem>

#include "core/elements.h"
#include "main/structure_loader.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

TEST(StructureLoader, RestoreReadsTheRememberedShelxFileAgain) {
    const fs::path work = fs::temp_directory_path() / "veldor_restore";
    fs::create_directories(work);
    const ProgramPaths paths{VELDOR_DATA_DIR, work.string()};
    StructureDocument doc;
    DrawingState drawing;
    RecordingMessages msg;
    const LoadOutcome loaded = load_structure(
        StructureFileKind::Shelx, VELDOR_SOURCE_DIR "/examples/thpp.ins", doc, drawing, paths, msg);
    ASSERT_TRUE(loaded.ok);
    const auto atoms = doc.asym.size();
    ASSERT_GT(atoms, 10u);
    const auto cell = doc.cell_parameters;

    doc.asym.resize(3);  // the user deleted most atoms
    const RestoreOutcome r = restore_initial_data(doc, data_file_reader(drawing, paths),
                                                  load_radii(paths.data_dir), msg);
    EXPECT_EQ(doc.asym.size(), atoms);
    EXPECT_EQ(doc.cell_parameters, cell);
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_FALSE(r.readers_run.empty());
    // Every position is unselected and no option is set.
    for (const EquivalentPosition& p : doc.positions)
        EXPECT_EQ(p.selected, 0);
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    fs::remove_all(work);
}

TEST(StructureLoader, UnknownKindIsRefused) {
    StructureDocument doc;
    DrawingState drawing;
    RecordingMessages msg;
    const LoadOutcome r =
        load_structure(StructureFileKind::Unknown, "x.txt", doc, drawing, {}, msg);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(msg.warnings.back(), "Unknown kind of structure file: x.txt");
}

}  // namespace
}  // namespace veldor
