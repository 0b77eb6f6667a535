// The main window's cell fields and grids as texts: what they show, what
// typing into them gives, and the messages of bad input.

#include <gtest/gtest.h>

#include "core/metric.h"
#include "entry/asym_grid.h"
#include "entry/cell_fields.h"
#include "entry/positions_grid.h"
#include "symmetry/catalogue.h"

namespace veldor {
namespace {

AsymGridRow row(std::initializer_list<const char*> cells) {
    AsymGridRow r;
    std::size_t i = 0;
    for (const char* c : cells)
        r[i++] = c;
    return r;
}

StructureDocument cubic_cell(double a) {
    StructureDocument doc;
    doc.cell_parameters = {a, a, a, 90, 90, 90};
    RecordingMessages m;
    compute_metric(doc, m);
    return doc;
}

TEST(CellFields, ShowShortNumbersAndEmptyForNoCell) {
    EXPECT_EQ(cell_field_texts({5.2, 10.123456789, 7, 90, 101.25, 120}),
              (std::array<std::string, 6>{"5.2", "10.123457", "7", "90", "101.25", "120"}));
    EXPECT_EQ(cell_field_texts({}), (std::array<std::string, 6>{}));
}

TEST(CellFields, ReadTidiesAndTellsWhatWentWrong) {
    CellRead r = read_cell_fields({" .5", "6", "7.", "90", "-.5", "90"});
    EXPECT_EQ(r.status, CellReadStatus::Read);
    EXPECT_DOUBLE_EQ(r.cell[0], 0.5);
    EXPECT_DOUBLE_EQ(r.cell[2], 7);
    EXPECT_DOUBLE_EQ(r.cell[4], -0.5);
    // An empty field reads as 0, so the product is 0.
    EXPECT_EQ(read_cell_fields({"5", "", "7", "90", "90", "90"}).status,
              CellReadStatus::ZeroProduct);
    r = read_cell_fields({"5", "6", "7,1", "90", "90", "90"});
    EXPECT_EQ(r.status, CellReadStatus::Unreadable);
    EXPECT_EQ(r.field, 2);
    EXPECT_EQ(read_cell_fields({"5", "6", "7", "90", "inf", "90"}).status,
              CellReadStatus::Unreadable);
}

TEST(AsymGrid, HeadingsOfEachExpression) {
    EXPECT_EQ(asym_grid_headings(ThermalExpression::U),
              (AsymGridRow{"No", "Elem.", "Label", "X", "Y", "Z", "u11", "u22", "u33", "u12", "u13",
                           "u23", "Uiso"}));
    EXPECT_EQ(asym_grid_headings(ThermalExpression::B)[6], "B11");
    EXPECT_EQ(asym_grid_headings(ThermalExpression::B)[12], "Biso");
    EXPECT_EQ(asym_grid_headings(ThermalExpression::Beta)[11], "Beta23");
    EXPECT_EQ(asym_grid_headings(ThermalExpression::Beta)[12], "BETAiso");
}

TEST(AsymGrid, FillShowsEachAtomAndEnoughEmptyRows) {
    StructureDocument doc = cubic_cell(10);
    Atom cl;
    cl.element = "CL";
    cl.label = "1";
    cl.name = "Cl1";
    cl.x = 0.123456;
    cl.y = -0.5;
    cl.z = 1;
    cl.adp = {0.02, 0.03, 0.04, 0.000001, 0, 0.001};
    Atom o = cl;
    o.element = "O";
    o.label = "2A";
    o.name = "O2A";
    o.adp = {0.05, 0, 0, 0, 0, 0};
    doc.asym = {cl, o};
    std::vector<AsymGridRow> rows = fill_asym_grid(doc, ThermalExpression::U);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kAsymGridRows));
    EXPECT_EQ(rows[0], row({"1", "Cl", "1", "0.12346", "-0.50000", "1.00000", "0.020000",
                            "0.030000", "0.040000", "0", "0", "0.001000", ""}));
    EXPECT_EQ(rows[1], row({"2", "O", "2A", "0.12346", "-0.50000", "1.00000", "", "", "", "", "",
                            "", "0.05000"}));
    EXPECT_EQ(doc.asym[1].iso, 1);
    EXPECT_EQ(rows[2], AsymGridRow{});

    // B values: U times the program's 8 pi^2.
    rows = fill_asym_grid(doc, ThermalExpression::B);
    EXPECT_EQ(rows[1][kColumnIso], "3.94784");

    doc.asym.assign(100, cl);
    EXPECT_EQ(fill_asym_grid(doc, ThermalExpression::U).size(), 105u);
}

TEST(AsymGrid, ReadTypedRowsIntoTheDocument) {
    StructureDocument doc = cubic_cell(10);
    Atom before;
    before.name = "Cl1";
    before.element = "CL";
    before.part = 2;
    doc.asym = {before};
    doc.element_sorts = {{0, 0.99, "CL"}};
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = row({"", "cl", "1", "0.25", "", " .5", "0.02", "0.03", "0.04", "", "", "", ""});
    rows[2] = row({"", "O", "2", "0", "0", "0", "", "", "", "", "", "", ""});
    rows[3] = row({"", "", "9", "x", "y", "z"});  // no element: skipped
    const AsymGridRead r = read_asym_grid(rows, doc, ThermalExpression::U);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(doc.asym.size(), 2u);
    const Atom& cl = doc.asym[0];
    EXPECT_EQ(cl.name, "Cl1");
    EXPECT_EQ(cl.element, "CL");
    EXPECT_DOUBLE_EQ(cl.y, 0);
    EXPECT_DOUBLE_EQ(cl.z, 0.5);
    EXPECT_EQ(cl.iso, 0);
    EXPECT_EQ(cl.part, 2);           // kept from the atom it replaces
    EXPECT_EQ(cl.element_index, 1);  // its element sort
    EXPECT_EQ(rows[0][4], "0");      // an empty coordinate is written back
    // 22 and 33 empty: isotropic, the empty iso cell gives 0.1, shown back.
    const Atom& o = doc.asym[1];
    EXPECT_EQ(o.iso, 1);
    EXPECT_DOUBLE_EQ(o.adp[0], kDefaultIsoValue);
    EXPECT_EQ(rows[2][kColumnIso], "0.100000");
    EXPECT_EQ(o.element_index, 0);
    EXPECT_TRUE(doc.elements_changed);
}

TEST(AsymGrid, BValuesAreStoredAsU) {
    StructureDocument doc = cubic_cell(10);
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = row({"", "C", "1", "0", "0", "0", "", "", "", "", "", "", "0"});
    ASSERT_TRUE(read_asym_grid(rows, doc, ThermalExpression::B).ok);
    // The 0.1 default comes before the conversion.
    EXPECT_NEAR(doc.asym[0].adp[0], 0.1 / kBOverU, 1e-9);
}

TEST(AsymGrid, ABadCellStopsTheReadingAndNamesRowAndColumn) {
    StructureDocument doc = cubic_cell(10);
    Atom kept;
    kept.name = "N1";
    doc.asym = {kept};
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = row({"1", "C", "1", "0.1", "0.2", "0.3"});
    rows[1] = row({"2", "C", "2", "0.1.2", "0.2", "0.3"});
    AsymGridRead r = read_asym_grid(rows, doc, ThermalExpression::U);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, (GridCell{2, kColumnX}));
    EXPECT_EQ(asym_grid_error_text(r.error), "Erreur \xC3\xA0 la ligne 2 ,colonne 4");
    ASSERT_EQ(doc.asym.size(), 1u);  // the document is left as it was
    EXPECT_EQ(doc.asym[0].name, "N1");

    rows[1] = row({"2", "C", "2", "0", "0", "0", "0.01", "0.02", "0.03", "1e", "0", "0"});
    r = read_asym_grid(rows, doc, ThermalExpression::U);
    EXPECT_EQ(r.error, (GridCell{2, 9}));
    rows[1] = row({"2", "C", "2", "0", "0", "0", "", "", "", "", "", "", "big"});
    r = read_asym_grid(rows, doc, ThermalExpression::U);
    EXPECT_EQ(r.error, (GridCell{2, kColumnIso}));
    EXPECT_EQ(asym_grid_error_text(r.error), "Erreur \xC3\xA0 la ligne 2 ,colonne 13");
}

TEST(AsymGrid, MoreThanAThousandAtomsReadNothing) {
    StructureDocument doc;
    std::vector<AsymGridRow> rows(1001, row({"", "C", "1", "0", "0", "0"}));
    const AsymGridRead r = read_asym_grid(rows, doc, ThermalExpression::U);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.too_many);
    EXPECT_TRUE(doc.asym.empty());
}

TEST(AsymGrid, LeavingARowWithoutElementDeletesItAndRenumbers) {
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = row({"1", "C", "1", "0.1"});
    rows[1] = row({"2", "", "2", "0.2"});
    rows[2] = row({"3", "N", "3", "0.3"});
    // Staying in the row, or leaving from the number column, keeps it.
    EXPECT_EQ(leave_asym_cell(rows, {2, 1}, 2), RowEdit::None);
    EXPECT_EQ(leave_asym_cell(rows, {2, 0}, 3), RowEdit::None);
    EXPECT_EQ(leave_asym_cell(rows, {2, 1}, 3), RowEdit::Deleted);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kAsymGridRows));
    EXPECT_EQ(rows[1][kColumnElement], "N");
    EXPECT_EQ(rows[1][kColumnNumber], "2");
    EXPECT_EQ(rows[2], AsymGridRow{});
}

TEST(AsymGrid, LeavingACellTidiesItsRow) {
    std::vector<AsymGridRow> rows = empty_asym_grid();
    rows[0] = row({"", "cl", "1a", "0.1", "", "", "", "", "", "", "", "", ""});
    EXPECT_EQ(leave_asym_cell(rows, {1, 3}, 1), RowEdit::Tidied);
    // Upper case (the element keeps its second letter small), the number,
    // and "0" in the empty cells right of the one left, up to column 11.
    EXPECT_EQ(rows[0], row({"1", "Cl", "1A", "0.1", "0", "0", "0", "0", "0", "0", "0", "0", ""}));
    rows[1] = row({"", "o", "", "", "", ""});
    leave_asym_cell(rows, {2, 1}, 2);
    EXPECT_EQ(rows[1][kColumnLabel], "");  // "Label" is never filled
    EXPECT_EQ(rows[1][kColumnX], "0");
}

StructureDocument p21c() {
    StructureDocument doc;
    doc.cell_parameters = {5, 6, 7, 90, 100, 90};
    RecordingMessages m;
    choose_system(doc, "Monoc.", VELDOR_DATA_DIR, m);
    EXPECT_EQ(choose_catalogue_group(doc, "P21/c", VELDOR_DATA_DIR, m), CatalogueChoice::Chosen);
    return doc;
}

TEST(PositionsGrid, RowsSelectionAndClicks) {
    const StructureDocument doc = p21c();
    std::vector<PositionsGridRow> rows = positions_grid_rows(doc);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].a, "X");
    EXPECT_EQ(rows[0].selected, "*");
    EXPECT_EQ(rows[1].b, "Y+1/2");
    EXPECT_EQ(rows[1].selected, "");
    rows.resize(kPositionsGridRows);
    select_all_positions(rows);
    EXPECT_EQ(rows[3].selected, "*");
    EXPECT_EQ(rows[4].selected, "");  // empty rows stay unmarked
    EXPECT_TRUE(toggle_position(rows, 3));
    EXPECT_EQ(rows[3].selected, "");
    EXPECT_FALSE(toggle_position(rows, 4));
    unselect_all_positions(rows);
    EXPECT_EQ(rows[0].selected, "");
}

TEST(PositionsGrid, ReadKeepsShownOperatorsAndDecodesTypedOnes) {
    StructureDocument doc = p21c();
    const SymOp second = doc.positions[1].op;
    std::vector<PositionsGridRow> rows = positions_grid_rows(doc);
    rows[1].selected = "*";
    rows[2] = {"x + 1/4", "-y", "Z+0.5", " * "};
    rows.resize(kPositionsGridRows);
    RecordingMessages m;
    ASSERT_TRUE(read_positions_from_grid(rows, doc, m));
    EXPECT_TRUE(m.log.empty());
    // The list ends at the last filled row; the unchanged row is exact.
    ASSERT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.positions[1].op, second);
    EXPECT_EQ(doc.positions[2].text, "X+1/4,-Y,Z+0.5");
    EXPECT_DOUBLE_EQ(doc.positions[2].op.m[0][3], 0.25);
    EXPECT_DOUBLE_EQ(doc.positions[2].op.m[2][3], 0.5);
    EXPECT_EQ(doc.generation_ops.size(), 3u);
    EXPECT_EQ(doc.positions[3].selected, 0);
}

TEST(PositionsGrid, AnUndecodableRowEmptiesThePositions) {
    StructureDocument doc = p21c();
    std::vector<PositionsGridRow> rows = positions_grid_rows(doc);
    rows[1].b = "Q+1/2";
    RecordingMessages m;
    EXPECT_FALSE(read_positions_from_grid(rows, doc, m));
    EXPECT_EQ(m.warnings,
              std::vector<std::string>{"Decoding Error: -X, Q+1/2, -Z+1/2. Position Nb 2"});
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.generation_ops.empty());
}

TEST(PositionsGrid, AtMost192Positions) {
    StructureDocument doc;
    std::vector<PositionsGridRow> rows(kPositionsGridRows, {"x", "y", "z", ""});
    RecordingMessages m;
    EXPECT_TRUE(read_positions_from_grid(rows, doc, m));
    EXPECT_EQ(doc.positions.size(), 192u);
    EXPECT_EQ(m.warnings, std::vector<std::string>{kTooManyPositions});
}

}  // namespace
}  // namespace veldor
