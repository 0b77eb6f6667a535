// CIF reading: real files from refinement programs and databases, the
// block scan, the label and ADP rules, and bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/adp.h"
#include "core/text.h"
#include "formats/cif_read.h"
#include "tests/work_folder.h"

namespace fs = std::filesystem;
using namespace veldor;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string testdata(const std::string& name) {
    return std::string(VELDOR_TESTDATA_DIR) + "/" + name;
}

// Operators compared modulo lattice translations.
bool same_operator(const SymOp& a, const SymOp& b) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            if (a.m[i][j] != b.m[i][j]) return false;
        const double d = a.m[i][3] - b.m[i][3];
        if (std::abs(d - std::round(d)) > 1e-6) return false;
    }
    return true;
}

bool contains_operator(const std::vector<EquivalentPosition>& list, const std::string& text) {
    const std::optional<SymOp> op = decode_cif_operator(text);
    if (!op) return false;
    return std::any_of(list.begin(), list.end(),
                       [&](const EquivalentPosition& p) { return same_operator(p.op, *op); });
}

const Atom* find_atom(const StructureDocument& doc, const std::string& name) {
    for (const Atom& a : doc.asym)
        if (a.name == name) return &a;
    return nullptr;
}

class CifRead : public ::testing::Test {
  protected:
    void SetUp() override { paths = {VELDOR_DATA_DIR, work.string()}; }
    CifLoadResult load(const std::string& path, const CifBlockChooser& choose = {}) {
        return load_cif(path, doc, paths, messages, choose);
    }
    CifLoadResult load_text(const std::string& text, const CifBlockChooser& choose = {}) {
        const fs::path p = work / "test.cif";
        std::ofstream(p, std::ios::binary) << text;
        return load(p.string(), choose);
    }

    veldor::testing::WorkFolder folder;
    const fs::path& work = folder.path();
    ProgramPaths paths;
    RecordingMessages messages;
    StructureDocument doc;
};

// A small structure block used by the edge cases.
std::string block(const std::string& name, const std::string& symmetry, const std::string& atoms,
                  const std::string& extra = "") {
    return "data_" + name +
           "\n_cell_length_a 5.0\n_cell_length_b 6.0\n_cell_length_c 7.0\n"
           "_cell_angle_alpha 90\n_cell_angle_beta 100.5\n_cell_angle_gamma 90\n" +
           symmetry + atoms + extra;
}

const char* const kP21c =
    "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n'-x, y+1/2, -z+1/2'\n"
    "'-x, -y, -z'\n'x, -y-1/2, z-1/2'\n";
const char* const kTwoAtoms =
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
    "_atom_site_U_iso_or_equiv\nC1 0.1 0.2 0.3 0.05\nO1 0.4 0.5 0.6 0\n";

}  // namespace

// cctbx's refinement of thpp: today's "_space_group_" items only, in a lone
// "data_global" block.
TEST_F(CifRead, ModernTagsInGlobalBlock) {
    const CifLoadResult r = load(testdata("cctbx_thpp.cif"));
    ASSERT_EQ(r.status, 0) << (messages.warnings.empty() ? "" : messages.warnings[0]);
    EXPECT_TRUE(messages.warnings.empty());
    const std::array<double, 6> cell{6.920, 14.575, 9.725, 90, 90.637, 90};
    EXPECT_EQ(doc.cell_parameters, cell);
    ASSERT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.positions[0].text, "X,Y,Z");
    EXPECT_EQ(doc.positions[1].text, "-X+1/2,Y+1/2,-Z+1/2");
    EXPECT_EQ(doc.positions[3].text, "X-1/2,-Y-1/2,Z-1/2");
    EXPECT_EQ(doc.positions[3].op.m[0][3], 0.5);  // translations read into [0, 1)
    EXPECT_EQ(doc.positions[0].selected, 1);
    EXPECT_EQ(doc.positions[1].selected, 0);
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    // The H-M name 'P 1 21/n 1' is the catalogue's P21/n, whose operators these are.
    EXPECT_EQ(doc.space_group, "P21/n");
    EXPECT_EQ(r.space_group_text, "Space Group: P21/n");
    EXPECT_EQ(doc.lattice_letter, "P");
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_EQ(doc.centrosymmetric, 1);
    EXPECT_EQ(doc.title, "cctbx_thpp");  // no formula item: the file stem
    ASSERT_EQ(doc.asym.size(), 18u);
    const Atom* f1 = find_atom(doc, "F1");
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(f1->element, "F");
    EXPECT_EQ(f1->label, "1");
    EXPECT_EQ(f1->iso, 0);
    const std::array<double, 6> u{0.036554, 0.030705, 0.021215, -0.000878, -0.002582, -0.007459};
    EXPECT_EQ(f1->adp, u);
    EXPECT_DOUBLE_EQ(f1->z, -0.237575);
    const Atom* n3 = find_atom(doc, "N3");  // Uiso in the atom loop, no aniso row
    ASSERT_NE(n3, nullptr);
    EXPECT_EQ(n3->iso, 1);
    EXPECT_DOUBLE_EQ(n3->adp[0], 0.020782);
    const Atom* c7a = find_atom(doc, "C7A");
    ASSERT_NE(c7a, nullptr);
    EXPECT_EQ(c7a->element, "C");
    EXPECT_EQ(c7a->label, "7A");
    ASSERT_EQ(doc.element_sorts.size(), 3u);
    EXPECT_EQ(doc.element_sorts[0].symbol, "F");
    EXPECT_EQ(doc.element_sorts[1].symbol, "N");
    EXPECT_EQ(doc.element_sorts[2].symbol, "C");
    EXPECT_EQ(doc.data_file, testdata("cctbx_thpp.cif"));
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST_F(CifRead, MultiBlockScanAndBlockList) {
    const CifScan scan = scan_cif_file(testdata("pymatgen_MultiStructure.cif"), messages);
    ASSERT_TRUE(scan.ok);
    ASSERT_EQ(scan.candidates.size(), 2u);
    EXPECT_EQ(scan.candidates[0].name, "72545-ICSD");
    EXPECT_EQ(scan.candidates[0].start_line, 2);
    EXPECT_EQ(scan.candidates[0].end_line, 94);  // the "#End of data_..." line closes it
    EXPECT_EQ(scan.candidates[0].score, 3);      // cell, operator list, H-M name
    EXPECT_EQ(scan.candidates[1].name, "56291-ICSD");
    EXPECT_EQ(scan.candidates[1].start_line, 97);
    EXPECT_EQ(scan.candidates[1].end_line, 184);

    std::vector<std::string> offered;
    const CifLoadResult r = load(testdata("pymatgen_MultiStructure.cif"),
                                 [&](const std::vector<CifBlockInfo>& c) -> std::optional<int> {
                                     for (const auto& b : c)
                                         offered.push_back(b.name);
                                     return 1;
                                 });
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(offered, (std::vector<std::string>{"72545-ICSD", "56291-ICSD"}));
    EXPECT_EQ(slurp(work / "blocs.txt"), "   2  94 72545-ICSD\n  97 184 56291-ICSD\n");
    EXPECT_DOUBLE_EQ(doc.cell_parameters[2], 4.787);
    EXPECT_EQ(doc.positions.size(), 8u);
    EXPECT_EQ(doc.space_group, "Pnma");
    // The identity is listed last; it is the one selected.
    EXPECT_EQ(doc.positions[7].selected, 1);
    EXPECT_EQ(doc.positions[0].selected, 0);
    // This block gives anisotropic B values only, U = B / 8 pi^2; the
    // corrupt row (B33 0) is reset to its Ueq (no Biso is given).
    ASSERT_EQ(doc.asym.size(), 6u);
    const Atom* li1 = find_atom(doc, "Li1");
    EXPECT_EQ(li1->iso, 0);
    EXPECT_DOUBLE_EQ(li1->adp[0], 1.7 / kBOverU);
    EXPECT_DOUBLE_EQ(li1->adp[3], -0.27 / kBOverU);
    const Atom* p1 = find_atom(doc, "P1");
    EXPECT_EQ(p1->iso, 1);
    EXPECT_NE(std::find(messages.warnings.begin(), messages.warnings.end(),
                        "P1: has a non definite positive matrix Uij. Ueq was reset to 0.0035"),
              messages.warnings.end());
    // Type symbols such as "Fe2+" settle the element.
    EXPECT_EQ(find_atom(doc, "Fe1")->element, "FE");
    EXPECT_EQ(find_atom(doc, "Li1")->element, "LI");
    EXPECT_EQ(r.formula, "Li Fe (P O4)");  // structural comes before sum
    EXPECT_EQ(doc.title, "LiFe(PO4)");
}

TEST_F(CifRead, MultiBlockFirstBlockAnisoU) {
    const CifLoadResult r = load(testdata("pymatgen_MultiStructure.cif"),
                                 [](const std::vector<CifBlockInfo>&) { return 0; });
    ASSERT_EQ(r.status, 0);
    EXPECT_DOUBLE_EQ(doc.cell_parameters[2], 4.692);
    const Atom* o3 = find_atom(doc, "O3");
    ASSERT_NE(o3, nullptr);
    EXPECT_EQ(o3->iso, 0);
    const std::array<double, 6> u{0.0099, 0.0069, 0.0075, 0.0023, 0.0015, 0.0001};
    EXPECT_EQ(o3->adp, u);
    EXPECT_DOUBLE_EQ(find_atom(doc, "Fe1")->x, 0.28222);
}

TEST_F(CifRead, CancelledChooserReadsNothing) {
    const CifLoadResult r = load(testdata("pymatgen_MultiStructure.cif"),
                                 [](const std::vector<CifBlockInfo>&) { return std::nullopt; });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(messages.warnings.empty());
}

// No operator loop: the operators come from the named group ('-P 2yn',
// 'P 1 21/n 1'); the oracles list the same four.
TEST_F(CifRead, NamedGroupWithoutOperators) {
    const CifLoadResult r = load(testdata("pymatgen_nosymm_HallOnly.cif"));
    ASSERT_EQ(r.status, 0);
    // The Hall name comes first in this file; the H-M name gives the same setting.
    EXPECT_EQ(doc.space_group, "P21/n");
    ASSERT_EQ(doc.positions.size(), 4u);
    for (const char* op : {"x,y,z", "-x+1/2,y+1/2,-z+1/2", "-x,-y,-z", "x-1/2,-y-1/2,z-1/2"})
        EXPECT_TRUE(contains_operator(doc.positions, op)) << op;
    EXPECT_EQ(doc.positions[0].selected, 1);
    EXPECT_EQ(doc.asym.size(), 41u);
    EXPECT_DOUBLE_EQ(doc.cell_parameters[4], 98.3);
    EXPECT_DOUBLE_EQ(find_atom(doc, "O1")->x, 0.4471);  // ".44710(10)"
    EXPECT_DOUBLE_EQ(find_atom(doc, "C14")->z, -0.2376);
}

TEST_F(CifRead, HallSymbolKeepsItsPrime) {
    const CifLoadResult r = load(testdata("gemmi_2013551_MgI2.cif"));
    ASSERT_EQ(r.status, 0);
    // The catalogue setting whose operators are those of the file (Hall '-P 3 2"').
    EXPECT_EQ(doc.space_group, "P-3m1");
    EXPECT_EQ(doc.crystal_system, "HEXA");
    EXPECT_EQ(doc.positions.size(), 12u);
    const Atom* mg = find_atom(doc, "Mg");
    ASSERT_NE(mg, nullptr);
    EXPECT_EQ(mg->element, "MG");
    EXPECT_EQ(mg->label, "");
    const std::array<double, 6> u{0.0091, 0.0091, 0.024, 0.0045, 0, 0};
    EXPECT_EQ(mg->adp, u);
    EXPECT_DOUBLE_EQ(find_atom(doc, "I")->z, 0.75763);
    EXPECT_EQ(r.formula, "I2 Mg");
}

TEST_F(CifRead, OrganicWithHydrogens) {
    const CifLoadResult r = load(testdata("pyobjcryst_paracetamol_MeOH.cif"));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.formula, "C8 H9 N O2, H2 O");  // moiety first
    EXPECT_EQ(doc.title, "C8H9NO2,H2O");
    EXPECT_EQ(doc.asym.size(), 23u);
    const Atom* h9a = find_atom(doc, "H9A");
    ASSERT_NE(h9a, nullptr);
    EXPECT_EQ(h9a->element, "H");
    EXPECT_EQ(h9a->label, "9A");
    EXPECT_EQ(h9a->iso, 1);
    EXPECT_DOUBLE_EQ(h9a->adp[0], 0.038);
    const Atom* o1w = find_atom(doc, "O1W");
    ASSERT_NE(o1w, nullptr);
    EXPECT_EQ(o1w->iso, 0);
    EXPECT_DOUBLE_EQ(o1w->adp[0], 0.0301);
    EXPECT_DOUBLE_EQ(o1w->adp[5], 0.0016);
}

TEST_F(CifRead, InorganicLabelsAndIsoAtoms) {
    ASSERT_EQ(load(testdata("pyobjcryst_BaTiO3.cif")).status, 0);
    EXPECT_EQ(doc.space_group, "P4mm");  // Hall 'P 4 -2' first in this file
    EXPECT_EQ(doc.centrosymmetric, 0);
    EXPECT_EQ(doc.crystal_system, "TETR");
    EXPECT_DOUBLE_EQ(doc.cell_parameters[0], 3.9905);
    ASSERT_EQ(doc.asym.size(), 4u);
    EXPECT_EQ(find_atom(doc, "Ba1")->element, "BA");
    EXPECT_EQ(find_atom(doc, "Ba1")->iso, 0);
    EXPECT_DOUBLE_EQ(find_atom(doc, "Ba1")->adp[2], 0.0108);
    EXPECT_EQ(find_atom(doc, "Ti1")->iso, 1);
    EXPECT_DOUBLE_EQ(find_atom(doc, "Ti1")->adp[0], 0.005);
    EXPECT_DOUBLE_EQ(find_atom(doc, "O2")->z, 0.533);

    StructureDocument d2;
    ASSERT_EQ(load_cif(testdata("pymatgen_Cu7Te5.cif"), d2, paths, messages).status, 0);
    EXPECT_EQ(d2.positions.size(), 16u);  // "_space_group_symop_operation_xyz"
    EXPECT_EQ(d2.positions[1].text, "1/2-X,1/2-Y,Z");
    EXPECT_EQ(d2.positions[1].op.m[0][3], 0.5);
    ASSERT_EQ(d2.asym.size(), 3u);
    EXPECT_EQ(d2.asym[1].name, "Te");
    EXPECT_EQ(d2.asym[1].element, "TE");
    EXPECT_EQ(d2.asym[1].label, "");
}

TEST_F(CifRead, OperatorListNotStartingWithIdentity) {
    ASSERT_EQ(load(testdata("pymatgen_Graphite.cif")).status, 0);
    ASSERT_EQ(doc.positions.size(), 24u);
    EXPECT_EQ(doc.positions[0].text, "X,X-Y,-Z+1/2");
    EXPECT_EQ(doc.positions[0].selected, 0);
    EXPECT_EQ(doc.positions[23].text, "X,Y,Z");
    EXPECT_EQ(doc.positions[23].selected, 1);
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    EXPECT_EQ(doc.space_group, "P63/mmc");
    EXPECT_DOUBLE_EQ(find_atom(doc, "C2")->y, 0.6667);
}

// A quoted value left open over several lines: gemmi refuses the file, the
// line rules read it, and the warning names the line where the strict
// parse stopped.
TEST_F(CifRead, InvalidCifIsReadByTheLineRules) {
    const CifLoadResult r = load(testdata("bad_srycoo_unterminated.cif"));
    ASSERT_EQ(r.status, 0);
    ASSERT_FALSE(messages.warnings.empty());
    EXPECT_EQ(messages.warnings[0],
              "The file bad_srycoo_unterminated.cif is not a valid CIF: error at line 14: "
              "unterminated 'string'; it is read line by line");
    EXPECT_EQ(r.formula, "(Sr0.7 Y0.3) Co O2.62");
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{7.6239, 7.6239, 15.327, 90, 90, 90}));
    EXPECT_EQ(doc.positions.size(), 32u);
    EXPECT_EQ(doc.space_group, "I4/mmm");
    EXPECT_EQ(doc.lattice_letter, "I");
    EXPECT_EQ(doc.centrosymmetric, 1);
    ASSERT_EQ(doc.asym.size(), 12u);
    EXPECT_EQ(find_atom(doc, "Y1")->element, "Y");
    EXPECT_DOUBLE_EQ(find_atom(doc, "Co1")->x, 0.7483);
    EXPECT_DOUBLE_EQ(find_atom(doc, "O4")->adp[0], 0.00379954);
    EXPECT_EQ(doc.data_file, testdata("bad_srycoo_unterminated.cif"));
}

TEST_F(CifRead, GlobalBlockThenStructureNeedsNoChooser) {
    bool asked = false;
    const std::string text = "data_global\n_publ_section_title 'A paper'\n_cell_length_a 5\n" +
                             block("s1", kP21c, kTwoAtoms);
    const CifLoadResult r = load_text(text, [&](const std::vector<CifBlockInfo>&) {
        asked = true;
        return 0;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(asked);
    EXPECT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(slurp(work / "blocs.txt"), "   4  24 s1\n");
}

TEST_F(CifRead, QuotedHmNameOnly) {
    const CifLoadResult r =
        load_text(block("s", "_symmetry_space_group_name_H-M 'P 21/c'\n", kTwoAtoms));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(doc.space_group, "P21/c");
    EXPECT_EQ(r.space_group_text, "Space Group: P21/c");
    // The operators of the named group, from the catalogue.
    ASSERT_EQ(doc.positions.size(), 4u);
    for (const char* op : {"x,y,z", "-x,y+1/2,-z+1/2", "-x,-y,-z", "x,-y+1/2,z+1/2"})
        EXPECT_TRUE(contains_operator(doc.positions, op)) << op;
}

// Operators without a name: the group is recognised as after a SHELX read.
TEST_F(CifRead, UnnamedOperatorsAreRecognised) {
    const CifLoadResult r = load_text(block("s", kP21c, kTwoAtoms));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(doc.space_group, "P21/c");
    EXPECT_EQ(r.space_group_text, "Space Group: P21/c");
    // Translations brought into [0, 1), texts without blanks.
    ASSERT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.positions[3].op.m[2][3], 0.5);
    EXPECT_EQ(doc.positions[0].selected, 1);
    EXPECT_TRUE(fs::exists(work / "espion_pos.txt"));
}

TEST_F(CifRead, ListedOperatorsWinOverTheName) {
    // Named P21/c, listed P-1: the list is kept, and the symbol follows it.
    const std::string sym =
        "_symmetry_space_group_name_H-M 'P 21/c'\nloop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n"
        "-x,-y,-z\n";
    ASSERT_EQ(load_text(block("s", sym, kTwoAtoms)).status, 0);
    ASSERT_EQ(doc.positions.size(), 2u);
    EXPECT_EQ(doc.positions[1].text, "-X,-Y,-Z");
    EXPECT_EQ(doc.space_group, "P-1");
    EXPECT_EQ(doc.crystal_system, "TRIC");
    EXPECT_NE(std::find(messages.warnings.begin(), messages.warnings.end(),
                        "The operators of the file are those of P-1, not of the space group P21/c"),
              messages.warnings.end());
}

TEST_F(CifRead, NumberedOperatorLines) {
    const std::string sym =
        "loop_\n_symmetry_equiv_pos_site_id\n_symmetry_equiv_pos_as_xyz\n1 x,y,z\n"
        "2 -x,y+1/2,-z+1/2\n";
    ASSERT_EQ(load_text(block("s", sym, kTwoAtoms)).status, 0);
    ASSERT_EQ(doc.positions.size(), 2u);
    EXPECT_EQ(doc.positions[0].text, "X,Y,Z");
    EXPECT_EQ(doc.positions[1].text, "-X,Y+1/2,-Z+1/2");
    // Numbers inside one quoted value are dropped too.
    StructureDocument d2;
    const std::string quoted = "loop_\n_symmetry_equiv_pos_as_xyz\n'1 x,y,z'\n'2 -x,-y,-z'\n";
    const fs::path p = work / "q.cif";
    std::ofstream(p) << block("s", quoted, kTwoAtoms);
    ASSERT_EQ(load_cif(p.string(), d2, paths, messages).status, 0);
    EXPECT_EQ(d2.positions[1].text, "-X,-Y,-Z");
}

TEST(CifOperator, Coordinates) {
    auto row = [](const char* t) { return decode_cif_coordinate(t); };
    ASSERT_TRUE(row("-x+y"));
    EXPECT_EQ(*row("-x+y"), (OperatorRow{{-1, 1, 0}, 0}));
    EXPECT_EQ(*row("1/2+x"), (OperatorRow{{1, 0, 0}, 0.5}));
    EXPECT_EQ(*row("X-Y"), (OperatorRow{{1, -1, 0}, 0}));
    EXPECT_EQ(*row("-Z+1/2"), (OperatorRow{{0, 0, -1}, 0.5}));
    EXPECT_EQ(*row("x-1/2"), (OperatorRow{{1, 0, 0}, -0.5}));
    EXPECT_EQ(*row("+Y"), (OperatorRow{{0, 1, 0}, 0}));
    EXPECT_EQ(*row("z+0.25"), (OperatorRow{{0, 0, 1}, 0.25}));
    EXPECT_EQ(*row(" -y + 3/4 "), (OperatorRow{{0, -1, 0}, 0.75}));
    // Terms the old table missed are read, not mistaken.
    EXPECT_EQ(*row("x+z"), (OperatorRow{{1, 0, 1}, 0}));
    EXPECT_EQ(*row("x-z+1/2"), (OperatorRow{{1, 0, -1}, 0.5}));
    EXPECT_NEAR(row("y+1/3")->t, 1.0 / 3, 1e-15);
    for (const char* bad : {"", "q", "1/2", "x+1/0", "xy", "x+", "0.5x", "x 1/2"})
        EXPECT_FALSE(row(bad)) << bad;
    EXPECT_TRUE(decode_cif_operator("x,y,z"));
    EXPECT_FALSE(decode_cif_operator("x,y"));
    EXPECT_FALSE(decode_cif_operator("x,y,z,x"));
}

TEST(CifNumber, UncertaintiesAndFractions) {
    EXPECT_EQ(*read_cif_number("0.1234(5)"), 0.1234);
    EXPECT_EQ(*read_cif_number("12.109(2)"), 12.109);
    EXPECT_EQ(*read_cif_number(".44710(10)"), 0.4471);
    EXPECT_EQ(*read_cif_number("-.1089(2)"), -0.1089);
    EXPECT_EQ(*read_cif_number("90."), 90.0);
    EXPECT_NEAR(*read_cif_number("1/3"), 1.0 / 3, 1e-15);
    for (const char* bad : {"", "?", ".", "abc", "1/0", "(5)"})
        EXPECT_FALSE(read_cif_number(bad)) << bad;
}

TEST(CifLabel, ElementRules) {
    EXPECT_EQ(element_from_cif_label("Ca1"), "CA");
    EXPECT_EQ(element_from_cif_label("C12"), "C");
    EXPECT_EQ(element_from_cif_label("HA1"), "H");  // "HA" is no element
    EXPECT_EQ(element_from_cif_label("Cl1"), "CL");
    EXPECT_EQ(element_from_cif_label("O"), "O");
    EXPECT_EQ(element_from_cif_label("Q1"), "Q");
    EXPECT_EQ(element_from_type_symbol("Fe2+"), "FE");
    EXPECT_EQ(element_from_type_symbol("O2-"), "O");
    EXPECT_EQ(element_from_type_symbol("Li1+"), "LI");
    EXPECT_EQ(element_from_type_symbol("C0+"), "C");
    EXPECT_EQ(element_from_type_symbol("Uani"), "U");  // leading letters of an element
    EXPECT_EQ(element_from_type_symbol("Xx"), "");
    EXPECT_EQ(element_from_type_symbol(""), "");
}

TEST_F(CifRead, LabelsWithAndWithoutTypeSymbols) {
    const std::string atoms =
        "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
        "Ca1 0 0 0\nC12 0.1 0 0\nHA1 0.2 0 0\nQ1 0.3 0 0\n";
    ASSERT_EQ(load_text(block("s", kP21c, atoms)).status, 0);
    ASSERT_EQ(doc.asym.size(), 4u);
    EXPECT_EQ(doc.asym[0].element, "CA");
    EXPECT_EQ(doc.asym[0].label, "1");
    EXPECT_EQ(doc.asym[1].element, "C");
    EXPECT_EQ(doc.asym[1].label, "12");
    EXPECT_EQ(doc.asym[2].element, "H");
    EXPECT_EQ(doc.asym[2].name, "HA1");
    EXPECT_EQ(doc.asym[3].element, "Q");  // kept all the same
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"cannot decode LabelQ1"}));
    // No U column: Uiso 0.1.
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], 0.1);
    EXPECT_EQ(doc.asym[0].iso, 1);

    StructureDocument d2;
    RecordingMessages m2;
    const std::string typed =
        "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
        "_atom_site_fract_y\n_atom_site_fract_z\nM1 Fe3+ 0 0 0\nOW1 O 0.5 0 0\n";
    const fs::path p = work / "t2.cif";
    std::ofstream(p) << block("s", kP21c, typed);
    ASSERT_EQ(load_cif(p.string(), d2, paths, m2).status, 0);
    EXPECT_EQ(d2.asym[0].element, "FE");
    EXPECT_EQ(d2.asym[0].name, "M1");
    EXPECT_EQ(d2.asym[1].element, "O");
    EXPECT_EQ(d2.asym[1].label, "W1");
    EXPECT_TRUE(m2.warnings.empty());
}

TEST_F(CifRead, AnisoRulesAndPositiveDefiniteReset) {
    const std::string aniso =
        "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n"
        "_atom_site_aniso_U_33\n_atom_site_aniso_U_12\n_atom_site_aniso_U_13\n"
        "_atom_site_aniso_U_23\n"
        "X9 0.01 0.01 0.01 0 0 0\n"              // no such atom: ignored
        "c1 0.02 0.03 0.04 0.05 0 0\n"           // not positive definite
        "O1 0.03(1) 0.06(2) 0.09(3) 0.2 0 0\n";  // idem, loop Uiso 0
    ASSERT_EQ(load_text(block("s", kP21c, kTwoAtoms, aniso)).status, 0);
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[0].iso, 1);
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], 0.05);  // its Uiso from the atom loop
    EXPECT_EQ(doc.asym[1].iso, 1);
    EXPECT_DOUBLE_EQ(doc.asym[1].adp[0], 0.06);  // (U11 + U22 + U33) / 3
    EXPECT_EQ(doc.asym[1].adp[1], 0);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{
                  "C1: has a non definite positive matrix Uij. Ueq was reset to 0.0500",
                  "O1: has a non definite positive matrix Uij. Ueq was reset to 0.0600"}));
}

TEST_F(CifRead, LongLabelsAreCutAlikeInBothLoops) {
    const std::string atoms =
        "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
        "C10A_a1 0.1 0.2 0.3\n";
    const std::string aniso =
        "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n"
        "_atom_site_aniso_U_33\n_atom_site_aniso_U_12\n_atom_site_aniso_U_13\n"
        "_atom_site_aniso_U_23\nC10A_a1 0.02 0.03 0.04 0 0.001 0\n";
    ASSERT_EQ(load_text(block("s", kP21c, atoms, aniso)).status, 0);
    ASSERT_EQ(doc.asym.size(), 1u);
    EXPECT_EQ(doc.asym[0].name, "C10A_a");
    EXPECT_EQ(doc.asym[0].label, "10A_");  // four characters kept
    EXPECT_EQ(doc.asym[0].iso, 0);
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[4], 0.001);
}

TEST_F(CifRead, UnknownAngleIsRightAngle) {
    std::string text = block("s", kP21c, kTwoAtoms);
    text.replace(text.find("100.5"), 5, "?");
    ASSERT_EQ(load_text(text).status, 0);
    EXPECT_EQ(doc.cell_parameters[4], 90);
    // An orthogonal cell, but the operators are monoclinic: their system wins.
    EXPECT_EQ(doc.crystal_system, "MONO");
}

TEST_F(CifRead, MissingCellLength) {
    std::string text = block("s", kP21c, kTwoAtoms);
    text.replace(text.find("_cell_length_b 6.0"), 18, "_cell_length_b ?");
    EXPECT_EQ(load_text(text).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Cannot read the cell parameter _cell_length_b"}));
    EXPECT_TRUE(doc.data_file.empty());
}

TEST_F(CifRead, Refusals) {
    load_text("data_a\n_cell_length_a 5\n_journal_year 2001\n");
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Veldor cannot finf any valuable bloc"}));

    messages.warnings.clear();
    // Score 2 from the cell and the Hall name, but the name is "?".
    std::string noname = block("s", "_symmetry_space_group_name_Hall ?\n", kTwoAtoms);
    EXPECT_EQ(load_text(noname).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Veldor cannot find symmetry operators or Space group"}));

    messages.warnings.clear();
    EXPECT_EQ(load_text(block("s", kP21c, "")).status, 1);
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"No atom site found"}));
    EXPECT_EQ(doc.positions.size(), 4u);  // what was read stays

    messages.warnings.clear();
    EXPECT_EQ(
        load_text(block("s", "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x,q,z'\n", kTwoAtoms))
            .status,
        1);
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"cannot decode positionQ"}));
}

TEST_F(CifRead, AtomTableLimit) {
    std::string atoms =
        "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";
    for (int i = 1; i <= 1001; ++i)
        atoms += "C" + std::to_string(i) + " 0.1 0.2 0.3\n";
    EXPECT_EQ(load_text(block("s", kP21c, atoms)).status, 1);
    EXPECT_EQ(doc.asym.size(), 1000u);
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"The number of atoms is > 1000!"}));
}

TEST_F(CifRead, OperatorTableLimit) {
    std::string sym = "_symmetry_space_group_name_H-M 'P 1'\nloop_\n_symmetry_equiv_pos_as_xyz\n";
    for (int i = 0; i < 200; ++i)
        sym += "x,y,z+" + std::to_string(i) + "\n";
    EXPECT_EQ(load_text(block("s", sym, kTwoAtoms)).status, 0);
    EXPECT_EQ(doc.positions.size(), 192u);
    EXPECT_EQ(
        messages.warnings,
        (std::vector<std::string>{"Too many symmetry operators: only the first 192 are kept"}));
}

TEST_F(CifRead, BlockTableLimit) {
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += block("b" + std::to_string(i), kP21c, kTwoAtoms);
    const CifScan scan = scan_cif_text(text, "many.cif", messages);
    ASSERT_TRUE(scan.ok);
    EXPECT_EQ(scan.blocks.size(), 12u);
    ASSERT_EQ(scan.candidates.size(), 10u);
    EXPECT_EQ(scan.candidates[9].name, "b10");
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{
                  "The CIF file contains more than 10 data blocks: only the first 10 are listed"}));
}

TEST_F(CifRead, BlockCopyAndTextFields) {
    // A text field holding a line that begins with "data_" opens no block.
    const std::string text =
        "# header\n\ndata_one  # a note\n_publ_section_comment\n;\ndata_not_a_block\n"
        "#end of nothing\n;\n" +
        block("x", kP21c, kTwoAtoms).substr(7) + "#END\n_trailing_item 1\n";
    ASSERT_EQ(load_text(text).status, 0);
    const CifScan scan = scan_cif_text(text, "t.cif", messages);
    ASSERT_EQ(scan.blocks.size(), 1u);
    EXPECT_EQ(scan.blocks[0].start_line, 3);
    const std::string copy = slurp(work / "dummy.cif");
    EXPECT_EQ(
        copy.rfind(
            "data_one  # a note\n_publ_section_comment\n;\ndata_not_a_block\n#end of nothing\n;\n",
            0),
        0u);
    EXPECT_EQ(copy.find("#END"), std::string::npos);
    EXPECT_EQ(copy.find("   "), std::string::npos);   // lines trimmed
    EXPECT_EQ(copy.substr(copy.size() - 2), "\n\n");  // one empty line at the end
    EXPECT_EQ(doc.asym.size(), 2u);
}

TEST_F(CifRead, CrLfAndByteOrderMark) {
    std::string text = "\xEF\xBB\xBF" + block("s", kP21c, kTwoAtoms);
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(load_text(crlf).status, 0);
    EXPECT_EQ(doc.asym.size(), 2u);
    EXPECT_DOUBLE_EQ(doc.asym[1].z, 0.6);
    EXPECT_EQ(slurp(work / "blocs.txt"), "   1  21 s\n");
}

TEST_F(CifRead, ScratchFilesFromEarlierLoadsAreRemoved) {
    std::ofstream(work / "dummy.shx") << "old";
    std::ofstream(work / "dummy.cif") << "old";
    load_text("data_a\n");
    EXPECT_FALSE(fs::exists(work / "dummy.shx"));
    EXPECT_FALSE(fs::exists(work / "dummy.cif"));
}

// Hundreds of damaged versions of the real files: each read ends with a
// status, within the tables, and never crashes or hangs.
TEST_F(CifRead, DamagedFilesNeverBreakTheReader) {
    const char* const files[] = {"cctbx_thpp.cif", "pymatgen_MultiStructure.cif",
                                 "gemmi_2013551_MgI2.cif", "pymatgen_Graphite.cif",
                                 "pyobjcryst_BaTiO3.cif"};
    std::mt19937 rng(12345);
    const std::string junk = " \n\t'\";_#()/-+.?0123456789xyzXYZ_data_loop_";
    SilentMessages quiet;
    int runs = 0;
    for (const char* f : files) {
        const std::string original = slurp(testdata(f));
        for (int k = 0; k < 80; ++k) {
            std::string t = original;
            switch (k % 4) {
                case 0:
                    t.resize(rng() % (t.size() + 1));
                    break;
                case 1:
                    for (int n = 0; n < 8; ++n)
                        t[rng() % t.size()] = junk[rng() % junk.size()];
                    break;
                case 2: {
                    const std::size_t a = rng() % t.size(), len = rng() % 200;
                    t.erase(a, len);
                    break;
                }
                default: {
                    const std::size_t a = rng() % t.size(), len = rng() % 300;
                    t.insert(rng() % t.size(), t.substr(a, len));
                }
            }
            // Both readers: the strict one (with its fallback) and the line rules alone.
            for (const CifScan& scan :
                 {scan_cif_text(t, f, quiet), scan_cif_text_by_lines(t, f, quiet)})
                for (const CifBlockInfo& b : scan.candidates) {
                    StructureDocument d;
                    const int status = read_cif_block_text(t, f, b, d, paths, quiet);
                    EXPECT_TRUE(status == 0 || status == 1);
                    EXPECT_LE(d.positions.size(), 192u);
                    EXPECT_LE(d.asym.size(), 1000u);
                    ++runs;
                }
        }
    }
    EXPECT_GT(runs, 50);
}
