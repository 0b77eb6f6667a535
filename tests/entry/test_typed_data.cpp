// A structure typed in ("Data keybord", "OK") and what the main window
// shows after a load.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/elements.h"
#include "entry/positions_grid.h"
#include "entry/refresh.h"
#include "entry/typed_data.h"
#include "formats/shelx.h"
#include "symmetry/catalogue.h"

namespace veldor {
namespace {

const std::array<std::string, 6> kCell = {"5.2", "6", "7", "90", "100", "90"};

StructureDocument typed_group(const char* symbol) {
    StructureDocument doc;
    DrawingState drawing;
    start_typed_data(doc, drawing);
    RecordingMessages m;
    choose_system(doc, "Monoc.", VELDOR_DATA_DIR, m);
    doc.cell_parameters = {5.2, 6, 7, 90, 100, 90};
    EXPECT_EQ(choose_catalogue_group(doc, symbol, VELDOR_DATA_DIR, m), CatalogueChoice::Chosen);
    return doc;
}

std::vector<AsymGridRow> two_atoms() {
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = {"", "c", "1", "0.1", "0.2", "0.3"};
    rows[1] = {"", "O", "1", "0.2", "0.2", "0.3", "0.02", "0.03", "0.04", "0", "0", "0"};
    return rows;
}

TEST(TypedData, DataKeybordStartsAfreshAndClearsTheDrawingChecks) {
    StructureDocument doc;
    doc.data_file = "x.ins";
    doc.space_group = "P-1";
    doc.asym.resize(3);
    doc.positions.resize(2);
    doc.gen.resize(5);
    doc.cell_parameters = {5, 6, 7, 90, 90, 90};
    DrawingState drawing;
    DrawingOptions& o = drawing.options;
    o.draw_cell = o.draw_planes = o.draw_planes_and_axes = o.labels_in_centre = true;
    o.labels_off_centre = o.colour_gradation = o.black_and_white = o.bond_labels = true;
    start_typed_data(doc, drawing);
    EXPECT_TRUE(doc.data_file.empty());
    EXPECT_TRUE(doc.space_group.empty());
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.gen.empty());
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_DOUBLE_EQ(doc.cell_parameters[0], 5);  // the cell stays to be edited
    DrawingOptions cleared;
    cleared.bond_labels = true;  // not one of the checks a load clears
    EXPECT_EQ(o, cleared);
}

TEST(TypedData, OkTakesCellPositionsAndAtoms) {
    StructureDocument doc = typed_group("P21/c");
    std::vector<AsymGridRow> atoms = two_atoms();
    RecordingMessages m;
    const TypedDataResult r = take_typed_data(doc, kCell, positions_grid_rows(doc), atoms,
                                              ThermalExpression::U, load_radii(VELDOR_DATA_DIR), m);
    ASSERT_EQ(r.status, TypedDataStatus::Taken) << (m.warnings.empty() ? "" : m.warnings[0]);
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_DOUBLE_EQ(doc.cell_parameters[0], 5.2);
    EXPECT_GT(doc.metric.volume, 0);
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[0].name, "C1");
    EXPECT_EQ(doc.asym[0].iso, 1);
    EXPECT_EQ(doc.asym[1].iso, 0);
    ASSERT_EQ(doc.element_sorts.size(), 2u);
    EXPECT_EQ(doc.bond_sorts.size(), 3u);
    EXPECT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_FALSE(doc.elements_changed);
}

TEST(TypedData, OkRefusesWhatIsMissing) {
    const RadiiTable radii = load_radii(VELDOR_DATA_DIR);
    {
        StructureDocument doc = typed_group("P21/c");
        std::vector<AsymGridRow> atoms = two_atoms();
        RecordingMessages m;
        auto cell = kCell;
        cell[3] = "0";
        EXPECT_EQ(take_typed_data(doc, cell, {}, atoms, ThermalExpression::U, radii, m).status,
                  TypedDataStatus::CellError);
        EXPECT_EQ(m.warnings, std::vector<std::string>{"Cell parameters error"});
    }
    {
        StructureDocument doc;
        std::vector<AsymGridRow> atoms = two_atoms();
        RecordingMessages m;
        EXPECT_EQ(take_typed_data(doc, kCell, {}, atoms, ThermalExpression::U, radii, m).status,
                  TypedDataStatus::NoPositions);
        EXPECT_EQ(m.warnings, std::vector<std::string>{"No equivalent positions"});
    }
    {
        StructureDocument doc = typed_group("P21/c");
        std::vector<AsymGridRow> atoms = empty_asym_grid();
        RecordingMessages m;
        EXPECT_EQ(take_typed_data(doc, kCell, positions_grid_rows(doc), atoms, ThermalExpression::U,
                                  radii, m)
                      .status,
                  TypedDataStatus::NoAtoms);
        EXPECT_EQ(m.warnings, std::vector<std::string>{"No coordinates!"});
    }
    {
        StructureDocument doc = typed_group("P21/c");
        std::vector<AsymGridRow> atoms = two_atoms();
        atoms[1][kColumnX + 2] = "0,3";
        RecordingMessages m;
        const TypedDataResult r = take_typed_data(doc, kCell, positions_grid_rows(doc), atoms,
                                                  ThermalExpression::U, radii, m);
        EXPECT_EQ(r.status, TypedDataStatus::GridError);
        EXPECT_EQ(r.grid.error, (GridCell{2, 5}));
        EXPECT_TRUE(m.warnings.empty());           // the red cell says it
        EXPECT_EQ(atoms[1][kColumnX + 2], "0,3");  // what was typed stays
    }
}

TEST(Refresh, CaptionNamesTheFile) {
    StructureDocument doc;
    EXPECT_EQ(data_caption(doc), "VELDOR V2");
    doc.data_file = "/some/where/thpp.ins";
    EXPECT_EQ(data_caption(doc), "VELDOR V2. Data for thpp.ins");
    doc.title = "THPP";
    doc.vld_file = "/x/plot.vld";
    EXPECT_EQ(data_caption(doc), "VELDOR V2. Data for THPP [plot.vld]");
}

TEST(Refresh, AfterALoadEveryPanelIsFilled) {
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / "veldor_entry_refresh";
    std::filesystem::create_directories(work);
    const ProgramPaths paths{VELDOR_DATA_DIR, work.string()};
    StructureDocument doc;
    ShelxReadResult result;
    RecordingMessages m;
    ASSERT_TRUE(load_shelx(VELDOR_SOURCE_DIR "/examples/thpp.ins", doc, paths, result, m));
    const DataView v = data_view(doc, ThermalExpression::U, paths, false, m);
    EXPECT_EQ(v.caption, "VELDOR V2. Data for thpp.ins");
    EXPECT_EQ(v.cell[0], "6.9196");
    EXPECT_EQ(v.symbols.system_index, system_entry_index("MONO"));
    ASSERT_GE(v.symbols.standard_index, 0);
    EXPECT_EQ(v.symbols.standard_symbols[static_cast<std::size_t>(v.symbols.standard_index)],
              "P21/n");
    EXPECT_FALSE(v.symbols.interpreter_ran);
    EXPECT_EQ(v.positions.size(), 4u);
    EXPECT_EQ(v.atoms[0][kColumnElement], "F");
    EXPECT_EQ(v.atoms[doc.asym.size()], AsymGridRow{});
    std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace veldor
