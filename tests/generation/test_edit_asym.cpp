// The five commands that edit the asymmetric unit.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "generation/edit_asym.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::build_sorts;
using testing::make_document;

StructureDocument seven_atoms() {
    StructureDocument doc = make_document({10, 11, 12, 90, 95, 90}, "P21/c");
    const char* elements[7] = {"C", "H", "O", "C", "H", "N", "C"};
    for (int i = 0; i < 7; ++i)
        add_atom(doc, elements[i], std::to_string(i + 1), 0.1 * i, 0.2, 0.3);
    build_sorts(doc);
    doc.regeneration_needed = false;
    return doc;
}

std::vector<std::string> names(const StructureDocument& doc) {
    std::vector<std::string> n;
    for (const Atom& a : doc.asym)
        n.push_back(a.name);
    return n;
}

TEST(DeletionMarks, ClickAppendsOrRemovesTheStar) {
    EXPECT_EQ(toggle_mark("C1"), "C1*");
    EXPECT_EQ(toggle_mark("C1*"), "C1");
    EXPECT_EQ(toggle_mark("*C1*"), "C1*");
    EXPECT_TRUE(has_mark("C*1"));
    EXPECT_FALSE(has_mark("C1"));
}

TEST(DeletionGrids, AtomAndElementRows) {
    const StructureDocument doc = seven_atoms();
    const auto rows = atom_grid(doc);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0][0], "Nb");
    EXPECT_EQ(rows[0][1], "Atom");
    EXPECT_EQ(rows[3][0], "3");
    EXPECT_EQ(rows[3][1], "O3");
    EXPECT_EQ(rows[8][0], "");
    const auto elements = element_grid(doc);
    ASSERT_EQ(elements, (std::vector<std::string>{"Nb", "C", "H", "O", "N", ""}));
}

TEST(DeleteAtoms, NothingMarkedClosesWithoutAsking) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    EXPECT_EQ(delete_marked_atoms(doc, {"C1", "H2"}, m), DeleteOutcome::NothingToDo);
    EXPECT_TRUE(m.log.empty());
    EXPECT_EQ(doc.asym.size(), 7u);
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST(DeleteAtoms, NoOrCancelKeepsEverything) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::No, Answer::Cancel};
    EXPECT_EQ(delete_marked_atoms(doc, {"C1", "H2*"}, m), DeleteOutcome::Kept);
    EXPECT_EQ(delete_marked_atoms(doc, {"C1", "H2*"}, m), DeleteOutcome::Kept);
    EXPECT_EQ(doc.asym.size(), 7u);
    EXPECT_EQ(m.log[0], "beep");
    EXPECT_EQ(m.log[1], "confirm: Are you sure to want to delete the selected atoms ?");
}

TEST(DeleteAtoms, YesPacksTheUnmarkedAtomsInOrder) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes};
    const std::vector<std::string> cells{"C1*", "H2", "O3*", "C4", "H5", "N6", "C7*"};
    EXPECT_EQ(delete_marked_atoms(doc, cells, m), DeleteOutcome::Deleted);
    EXPECT_EQ(names(doc), (std::vector<std::string>{"H2", "C4", "H5", "N6"}));
}

TEST(DeleteAtoms, EveryAtomMarkedLeavesAnEmptyUnit) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes};
    std::vector<std::string> cells;
    for (const Atom& a : doc.asym)
        cells.push_back(a.name + "*");
    EXPECT_EQ(delete_marked_atoms(doc, cells, m), DeleteOutcome::Deleted);
    EXPECT_TRUE(doc.asym.empty());
}

TEST(DeleteBlock, LimitsAreSwappedWhenReversed) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_EQ(delete_block(doc, "7", "3", m), DeleteOutcome::Deleted);
    EXPECT_EQ(names(doc), (std::vector<std::string>{"C1", "H2"}));
    EXPECT_EQ(m.log, (std::vector<std::string>{
                         "beep", "confirm: Are you sure to want to delete the atoms 3 to 7 ?"}));
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST(DeleteBlock, FromOneToTheCountDeletesEverything) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_EQ(delete_block(doc, "1", "7", m), DeleteOutcome::Deleted);
    EXPECT_TRUE(doc.asym.empty());
}

TEST(DeleteBlock, NumbersBeyondTheCountSelectNothing) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(delete_block(doc, "9", "20", m), DeleteOutcome::Deleted);
    EXPECT_EQ(doc.asym.size(), 7u);
    EXPECT_EQ(delete_block(doc, "6", "20", m), DeleteOutcome::Deleted);
    EXPECT_EQ(names(doc), (std::vector<std::string>{"C1", "H2", "O3", "C4", "H5"}));
}

TEST(DeleteBlock, EmptyBoxOrBadNumberDeletesNothing) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.default_answer = Answer::Yes;
    EXPECT_EQ(delete_block(doc, "", "3", m), DeleteOutcome::NothingToDo);
    EXPECT_EQ(delete_block(doc, "2", "", m), DeleteOutcome::NothingToDo);
    EXPECT_TRUE(m.log.empty());
    EXPECT_EQ(delete_block(doc, "2", "x3", m), DeleteOutcome::BadNumber);
    EXPECT_EQ(m.warnings, std::vector<std::string>{"'x3' is not a valid integer value"});
    EXPECT_EQ(doc.asym.size(), 7u);
    m.answers = {Answer::No};
    EXPECT_EQ(delete_block(doc, "2", "3", m), DeleteOutcome::Kept);
    EXPECT_EQ(doc.asym.size(), 7u);
}

TEST(DeleteElements, RemovesTheAtomsTheSortAndItsBondSorts) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    m.answers = {Answer::Yes};
    // Rows: C, H*, O, N.
    EXPECT_EQ(delete_elements(doc, {"C", "H*", "O", "N"}, testing::test_radii(), m),
              DeleteOutcome::Deleted);
    EXPECT_EQ(m.log[1],
              "confirm: Are you sure to want to systematicaly delete the selected types of atom?");
    EXPECT_EQ(names(doc), (std::vector<std::string>{"C1", "O3", "C4", "N6", "C7"}));
    ASSERT_EQ(doc.element_sorts.size(), 3u);
    EXPECT_EQ(doc.element_sorts[1].symbol, "O");
    EXPECT_EQ(doc.asym[3].element_index, 3);  // N is now sort 3
    EXPECT_EQ(doc.bond_sorts.size(), 6u);
    for (const BondSort& s : doc.bond_sorts) {
        EXPECT_NE(s.element1, "H");
        EXPECT_NE(s.element2, "H");
    }
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST(DeleteElements, NothingMarkedOrNoKeepsEverything) {
    StructureDocument doc = seven_atoms();
    RecordingMessages m;
    EXPECT_EQ(delete_elements(doc, {"C", "H", "O", "N"}, testing::test_radii(), m),
              DeleteOutcome::NothingToDo);
    EXPECT_EQ(delete_elements(doc, {"C*", "H", "O*", "N"}, testing::test_radii(), m),
              DeleteOutcome::Kept);
    EXPECT_EQ(doc.asym.size(), 7u);
    EXPECT_EQ(doc.element_sorts.size(), 4u);
}

TEST(RestoreInitialData, ReadersChosenByTheNameInOrder) {
    EXPECT_EQ(readers_for("a.ins"), std::vector<DataFileKind>{DataFileKind::Shelx});
    EXPECT_EQ(readers_for("A.INP"), std::vector<DataFileKind>{DataFileKind::Shelx});
    EXPECT_EQ(readers_for("b.out"), std::vector<DataFileKind>{DataFileKind::ShelxListing});
    EXPECT_EQ(readers_for("c.lzy"), std::vector<DataFileKind>{DataFileKind::LazyPulverix});
    EXPECT_EQ(readers_for("d.cel"), std::vector<DataFileKind>{DataFileKind::PowderCell});
    EXPECT_EQ(readers_for("e.cif"), std::vector<DataFileKind>{DataFileKind::Cif});
    EXPECT_EQ(readers_for("x.ins.cif"),
              (std::vector<DataFileKind>{DataFileKind::Shelx, DataFileKind::Cif}));
    EXPECT_TRUE(readers_for("f.cry").empty());
}

TEST(RestoreInitialData, ReadsTheRememberedFileAgainAndResetsTheChoices) {
    StructureDocument doc = seven_atoms();
    doc.data_file = "/data/x.ins.cif";
    doc.generation_mode = GenerationMode::CellContents;
    doc.gen = doc.asym;
    doc.bonds.push_back({});
    std::vector<std::string> calls;
    const DataFileReader reader = [&](DataFileKind kind, const std::string& path,
                                      StructureDocument& d, Messages&) {
        calls.push_back(std::to_string(static_cast<int>(kind)) + " " + path);
        if (calls.size() == 1) {  // emptied before reading
            EXPECT_TRUE(d.gen.empty());
            EXPECT_TRUE(d.positions.empty());
            EXPECT_TRUE(d.space_group.empty());
        }
        d.asym.clear();
        add_atom(d, "FE", "1", 0, 0, 0);
        add_atom(d, "S", "1", 0.2, 0.2, 0.2);
        d.positions = testing::group_positions("P-1");
        for (auto& p : d.positions)
            p.selected = 1;
        d.space_group = "P-1";
    };
    RecordingMessages m;
    const RestoreOutcome out = restore_initial_data(doc, reader, testing::test_radii(), m);
    EXPECT_EQ(calls, (std::vector<std::string>{"0 /data/x.ins.cif", "4 /data/x.ins.cif"}));
    EXPECT_TRUE(out.hide_no_space_group_label);
    EXPECT_EQ(out.space_group_label, "Space Group: P-1");
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_TRUE(doc.generation_ops.empty());
    for (const auto& p : doc.positions)
        EXPECT_EQ(p.selected, 0);
    EXPECT_TRUE(doc.gen.empty());
    EXPECT_TRUE(doc.bonds.empty());
    ASSERT_EQ(doc.element_sorts.size(), 2u);
    EXPECT_EQ(doc.element_sorts[0].symbol, "FE");
    EXPECT_EQ(doc.bond_sorts.size(), 3u);
}

TEST(RestoreInitialData, VldFileWhenNoForeignFile) {
    StructureDocument doc = seven_atoms();
    doc.vld_file = "s.vld";
    std::vector<DataFileKind> kinds;
    RecordingMessages m;
    const auto out = restore_initial_data(
        doc,
        [&](DataFileKind k, const std::string&, StructureDocument&, Messages&) {
            kinds.push_back(k);
        },
        testing::test_radii(), m);
    EXPECT_EQ(kinds, std::vector<DataFileKind>{DataFileKind::Vld});
    EXPECT_FALSE(out.hide_no_space_group_label);
}

TEST(RestoreInitialData, NoRememberedFileLeavesEverythingEmpty) {
    StructureDocument doc = seven_atoms();
    int calls = 0;
    RecordingMessages m;
    const auto out = restore_initial_data(
        doc, [&](DataFileKind, const std::string&, StructureDocument&, Messages&) { ++calls; },
        testing::test_radii(), m);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(out.space_group_label, "No Space Group found");
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.element_sorts.empty());
    EXPECT_TRUE(doc.bond_sorts.empty());
    EXPECT_TRUE(doc.space_group.empty());
}

TEST(EraseAll, EmptiesTheFileNamesAndTheUnit) {
    StructureDocument doc = seven_atoms();
    doc.data_file = "a.ins";
    doc.vld_file = "b.vld";
    doc.written_file = "c.cif";
    erase_all(doc);
    EXPECT_TRUE(doc.data_file.empty());
    EXPECT_TRUE(doc.vld_file.empty());
    EXPECT_TRUE(doc.written_file.empty());
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_EQ(doc.positions.size(), 4u);  // the symmetry stays
}

}  // namespace
}  // namespace veldor
