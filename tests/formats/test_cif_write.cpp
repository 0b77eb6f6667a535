// CIF writing: the exact layout on a small hand-made structure, the
// formula, the geometry loops with their site symmetry codes, and
// write -> read round trips on real structures.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/cif_read.h"
#include "formats/cif_syntax.h"
#include "formats/cif_write.h"
#include "generation/bonds.h"
#include "generation/generate.h"

namespace fs = std::filesystem;
using namespace veldor;

namespace {

std::string testdata(const std::string& name) {
    return std::string(VELDOR_TESTDATA_DIR) + "/" + name;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

Atom make_atom(const std::string& element, const std::string& label, Vec3 x,
               std::array<double, 6> adp) {
    Atom a;
    a.element = element;
    a.label = label;
    a.name = make_atom_name(element, label);
    a.set_position(x);
    a.adp = adp;
    a.iso = adp[1] == 0 && adp[2] == 0 ? 1 : 0;
    return a;
}

EquivalentPosition position(const std::string& text) {
    EquivalentPosition p;
    p.op = *decode_cif_operator(text);
    p.text = text;
    return p;
}

// A monoclinic cell in P21/c with one anisotropic and one isotropic atom.
StructureDocument small_structure() {
    StructureDocument doc;
    doc.cell_parameters = {5, 6, 7, 90, 100.5, 90};
    SilentMessages quiet;
    compute_metric(doc, quiet);
    doc.crystal_system = "MONO";
    doc.space_group = "P21/c";
    doc.lattice_letter = "P";
    for (const char* t : {"X,Y,Z", "-X,Y+1/2,-Z+1/2", "-X,-Y,-Z", "X,-Y+1/2,Z+1/2"})
        doc.positions.push_back(position(t));
    doc.positions[0].selected = 1;
    doc.generation_ops = {SymOp::identity()};
    doc.asym.push_back(
        make_atom("CL", "1", {0.1, 0.2, 0.3}, {0.02, 0.03, 0.04, 0.001, 0.002, 0.003}));
    doc.asym.push_back(make_atom("O", "12", {-0.25, 0.5, 0.75}, {0.05, 0, 0, 0, 0, 0}));
    return doc;
}

class CifWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        work = fs::temp_directory_path() / ("veldor_cif_write_" + std::to_string(rd()));
        fs::create_directories(work);
        paths = {VELDOR_DATA_DIR, work.string()};
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    fs::path work;
    ProgramPaths paths;
    RecordingMessages messages;
};

// Reads a CIF (its single or first structure block) into a fresh document.
StructureDocument read_back(const std::string& path, const ProgramPaths& paths,
                            Messages& messages) {
    StructureDocument doc;
    const CifLoadResult r =
        load_cif(path, doc, paths, messages, [](const std::vector<CifBlockInfo>&) { return 0; });
    EXPECT_EQ(r.status, 0) << path;
    return doc;
}

bool same_operators(const std::vector<EquivalentPosition>& a,
                    const std::vector<EquivalentPosition>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                if (std::abs(a[i].op.m[r][c] - b[i].op.m[r][c]) > 1e-9) return false;
    return true;
}

}  // namespace

TEST_F(CifWrite, ExactLayout) {
    StructureDocument doc = small_structure();
    CifWriteOptions options;
    options.z = default_cif_z(doc);
    options.include_bonds = false;
    std::string formula;
    const std::string text = cif_text(doc, options, paths.data_dir, messages, &formula);
    const double ueq = u_equivalent(doc.asym[0], doc.metric);
    const std::string expected =
        "data_block1\n"
        "_chemical_formula_sum   'O1 Cl1'\n"
        "_cell_length_a                      5.0000\n"
        "_cell_length_b                      6.0000\n"
        "_cell_length_c                      7.0000\n"
        "_cell_angle_alpha                    90.00\n"
        "_cell_angle_beta                    100.50\n"
        "_cell_angle_gamma                    90.00\n"
        "_cell_formula_units_Z           4\n"
        "_symmetry_cell_setting          Monoclinic\n"
        "loop_\n"
        "          _symmetry_equiv_pos_as_xyz  \n"
        "         'X,Y,Z'\n"
        "         '-X,Y+1/2,-Z+1/2'\n"
        "         '-X,-Y,-Z'\n"
        "         'X,-Y+1/2,Z+1/2'\n"
        "\n"
        "_symmetry_space_group_name_H-M   'P 1 21/c 1'\n"
        "\n"
        "loop_\n"
        "_atom_site_label\n"
        "_atom_site_fract_x\n"
        "_atom_site_fract_y\n"
        "_atom_site_fract_z\n"
        "_atom_site_U_iso_or_equiv\n"
        "_atom_site_adp_type\n"
        "Cl1      0.10000   0.20000   0.30000" +
        format_fixed(ueq, 10, 5) +
        "  Uani\n"
        "O12     -0.25000   0.50000   0.75000   0.05000  Uiso\n"
        "\n"
        "loop_\n"
        "_atom_site_aniso_label\n"
        "_atom_site_aniso_U_11\n"
        "_atom_site_aniso_U_22\n"
        "_atom_site_aniso_U_33\n"
        "_atom_site_aniso_U_12\n"
        "_atom_site_aniso_U_13\n"
        "_atom_site_aniso_U_23\n"
        "Cl1      0.02000   0.03000   0.04000   0.00100   0.00200   0.00300\n"
        "\n"
        "\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(formula, "'O1 Cl1'");
    EXPECT_TRUE(messages.warnings.empty());
    // Ueq by hand for this cell, with a* a = c* c = 1 / sin beta:
    // (U11 / s2 + U22 + U33 / s2 + 2 U13 cos beta / s2) / 3.
    const double s2 = std::pow(std::sin(100.5 * M_PI / 180), 2);
    const double hand =
        (0.02 / s2 + 0.03 + 0.04 / s2 + 2 * 0.002 * std::cos(100.5 * M_PI / 180) / s2) / 3;
    EXPECT_NEAR(ueq, hand, 2e-6);
}

TEST_F(CifWrite, FormulaComputedWhenEmpty) {
    StructureDocument doc;
    for (const auto& [e, l] : std::vector<std::pair<std::string, std::string>>{
             {"C", "1"}, {"C", "2"}, {"O", "1"}, {"H", "1"}})
        doc.asym.push_back(make_atom(e, l, {0, 0, 0}, {0.05, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cif_formula(doc), "'C2 H1 O1'");
    doc.asym.push_back(make_atom("FE", "1", {0, 0, 0}, {0.05, 0, 0, 0, 0, 0}));
    doc.asym.push_back(make_atom("N", "1", {0, 0, 0}, {0.05, 0, 0, 0, 0, 0}));
    doc.asym.push_back(make_atom("Cl", "1", {0, 0, 0}, {0.05, 0, 0, 0, 0, 0}));
    doc.asym.push_back(make_atom("CL", "2", {0, 0, 0}, {0.05, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cif_formula(doc), "'C2 H1 N1 O1 Fe1 Cl2'");
}

TEST_F(CifWrite, GivenFormulaIsQuotedWhenItHasBlanks) {
    StructureDocument doc = small_structure();
    CifWriteOptions options;
    options.include_bonds = false;
    options.formula = "C8 H9 N O2, H2 O";
    std::string used;
    const std::string text = cif_text(doc, options, paths.data_dir, messages, &used);
    EXPECT_EQ(lines_of(text)[1], "_chemical_formula_sum   'C8 H9 N O2, H2 O'");
    EXPECT_EQ(used, "C8 H9 N O2, H2 O");
    options.formula = "'C2 H6 O'";
    EXPECT_EQ(lines_of(cif_text(doc, options, paths.data_dir, messages))[1],
              "_chemical_formula_sum   'C2 H6 O'");
    options.formula = "NaCl";
    EXPECT_EQ(lines_of(cif_text(doc, options, paths.data_dir, messages))[1],
              "_chemical_formula_sum   NaCl");
}

TEST_F(CifWrite, AnisoWithZeroSumIsWrittenIso) {
    StructureDocument doc = small_structure();
    doc.asym[0].adp = {0.04, 0.01, -0.01, 0.002, -0.002, 0};  // last five sum to 0
    CifWriteOptions options;
    options.include_bonds = false;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_NE(text.find("Cl1      0.10000   0.20000   0.30000   0.04000  Uiso\n"),
              std::string::npos);
    EXPECT_EQ(text.find("_atom_site_aniso_label"), std::string::npos);
    EXPECT_EQ(doc.asym[0].iso, 1);
}

TEST_F(CifWrite, NoBondsMessageAndEnd) {
    StructureDocument doc = small_structure();
    CifWriteOptions options;
    options.include_bonds = true;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"No calculated bonds! Plot the structure"}));
    EXPECT_EQ(text.substr(text.size() - 6), "300\n\n\n");  // after the aniso loop
    EXPECT_EQ(text.find("_geom"), std::string::npos);
}

TEST_F(CifWrite, LabelForms) {
    EXPECT_EQ(cif_site_label("CL1"), "Cl1 ");
    EXPECT_EQ(cif_site_label("C 1"), "C1  ");
    EXPECT_EQ(cif_site_label("C12A"), "C12A");
    EXPECT_EQ(cif_site_label("FE 12"), "Fe12");
    EXPECT_EQ(cif_site_label("C 12"), "C12 ");  // a blank second: removed
    EXPECT_EQ(cif_geometry_label("CL1"), "Cl1 ");
    EXPECT_EQ(cif_geometry_label("C 1"), "C1  ");
    EXPECT_EQ(crystal_system_word("RHOM"), "Rhomboedral");
    EXPECT_EQ(crystal_system_word("TRIC"), "Triclinic");
    EXPECT_EQ(crystal_system_word(""), "?");
}

TEST_F(CifWrite, OperatorTextFromMatrix) {
    EXPECT_EQ(cif_operator_text(*decode_cif_operator("-x+y,1/2-x,z+1/3")), "-X+Y,-X+1/2,Z+1/3");
    EXPECT_EQ(cif_operator_text(*decode_cif_operator("x+z,-y-0.125,2z")), "X+Z,-Y-1/8,2Z");
    // A stored text that no longer stands for its operator (cut at 24
    // characters) is replaced.
    StructureDocument doc = small_structure();
    doc.positions[1].text = "-X,Y+1/2";
    CifWriteOptions options;
    options.include_bonds = false;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_NE(text.find("         '-X,Y+1/2,-Z+1/2'\n"), std::string::npos);
}

TEST_F(CifWrite, HallSymbolWhenNotInTheCatalogue) {
    StructureDocument doc = small_structure();
    doc.space_group = "-P 2YBC";
    CifWriteOptions options;
    options.include_bonds = false;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_NE(text.find("\n_symmetry_space_group_name_Hall  '-P 2ybc'\n\n"), std::string::npos)
        << text;
    doc.space_group = "NOT A GROUP";
    const std::string none = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_EQ(none.find("_symmetry_space_group_name"), std::string::npos);
}

TEST_F(CifWrite, SaveIsAtomicAndReadable) {
    StructureDocument doc = small_structure();
    const fs::path out = work / "small.cif";
    std::ofstream(out) << "old contents";
    CifWriteOptions options;
    options.z = 4;
    options.include_bonds = false;
    ASSERT_TRUE(write_cif(out.string(), doc, options, paths.data_dir, messages));
    EXPECT_EQ(messages.busy_depth, 0);
    const StructureDocument back = read_back(out.string(), paths, messages);
    EXPECT_EQ(back.cell_parameters, doc.cell_parameters);
    EXPECT_TRUE(same_operators(back.positions, doc.positions));
    ASSERT_EQ(back.asym.size(), 2u);
    EXPECT_EQ(back.asym[0].name, "Cl1");
    EXPECT_EQ(back.asym[0].element, "CL");
    EXPECT_EQ(back.asym[0].adp, doc.asym[0].adp);
    EXPECT_EQ(back.asym[1].name, "O12");
    EXPECT_EQ(back.asym[1].iso, 1);
    EXPECT_EQ(back.space_group, "P21/c");  // written 'P 1 21/c 1', read as the catalogue setting
    // A folder that does not exist: reported, nothing written.
    EXPECT_FALSE(
        write_cif((work / "no" / "x.cif").string(), doc, options, paths.data_dir, messages));
    EXPECT_EQ(messages.warnings.back(),
              "Cannot write the file " + (work / "no" / "x.cif").string());
}

// Real structures: read, write, read again: the same cell, operators and
// atoms, to the precision of the written fields.
TEST_F(CifWrite, RoundTripsOnRealStructures) {
    for (const char* f :
         {"cctbx_thpp.cif", "pyobjcryst_paracetamol_MeOH.cif", "gemmi_2013551_MgI2.cif",
          "pyobjcryst_BaTiO3.cif", "pymatgen_nosymm_HallOnly.cif", "pymatgen_Graphite.cif"}) {
        SCOPED_TRACE(f);
        StructureDocument doc = read_back(testdata(f), paths, messages);
        CifWriteOptions options;
        options.z = default_cif_z(doc);
        options.include_bonds = false;
        const fs::path out = work / (std::string("rt_") + f);
        ASSERT_TRUE(write_cif(out.string(), doc, options, paths.data_dir, messages));
        const StructureDocument back = read_back(out.string(), paths, messages);
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(back.cell_parameters[i], doc.cell_parameters[i], i < 3 ? 5e-5 : 5e-3);
        EXPECT_TRUE(same_operators(back.positions, doc.positions));
        ASSERT_EQ(back.asym.size(), doc.asym.size());
        for (std::size_t i = 0; i < doc.asym.size(); ++i) {
            const Atom& a = doc.asym[i];
            const Atom& b = back.asym[i];
            EXPECT_EQ(to_upper(b.name), to_upper(a.name));
            EXPECT_EQ(b.element, a.element);
            EXPECT_NEAR(b.x, a.x, 5.1e-6);
            EXPECT_NEAR(b.y, a.y, 5.1e-6);
            EXPECT_NEAR(b.z, a.z, 5.1e-6);
            EXPECT_EQ(b.iso, a.iso);
            for (int k = 0; k < 6; ++k)
                EXPECT_NEAR(b.adp[k], a.adp[k], 5.1e-6) << a.name;
        }
        // Written once more, the text no longer changes.
        StructureDocument second = back;
        const std::string text2 = cif_text(second, options, paths.data_dir, messages);
        const fs::path out2 = work / (std::string("rt2_") + f);
        std::ofstream(out2, std::ios::binary) << text2;
        StructureDocument third = read_back(out2.string(), paths, messages);
        EXPECT_EQ(cif_text(third, options, paths.data_dir, messages), text2);
    }
}

// Bonds and angles of a plotted structure: every bond line gives back its
// own length from the written operators and atoms through its site codes.
TEST_F(CifWrite, GeometryLoopsWithSiteCodes) {
    for (const char* f :
         {"gemmi_2013551_MgI2.cif", "pyobjcryst_BaTiO3.cif", "pyobjcryst_paracetamol_MeOH.cif"}) {
        SCOPED_TRACE(f);
        StructureDocument doc = read_back(testdata(f), paths, messages);
        SilentMessages quiet;
        build_bond_sorts(doc);
        set_generation_option(doc, GenerationMode::CellContents, quiet);
        generate(doc, quiet);
        ASSERT_FALSE(doc.bonds.empty());
        CifWriteOptions options;
        options.z = default_cif_z(doc);
        const std::string text = cif_text(doc, options, paths.data_dir, messages);
        // It parses as CIF.
        const CifScan scan = scan_cif_text(text, "geom.cif", messages);
        ASSERT_TRUE(scan.ok);

        const std::vector<std::string> lines = lines_of(text);
        auto it = std::find(lines.begin(), lines.end(), " _geom_bond_site_symmetry_2");
        ASSERT_NE(it, lines.end());
        int checked = 0;
        for (++it; it != lines.end() && !trim(*it).empty(); ++it) {
            const std::vector<std::string> w = split_tokens(*it);
            ASSERT_EQ(w.size(), 5u) << *it;
            Vec3 p[2];
            for (int k = 0; k < 2; ++k) {
                const std::string& code = w[3 + k];
                const int n = std::stoi(code.substr(0, code.find('_')));
                const std::string klm = code.substr(code.find('_') + 1);
                const Atom* a = nullptr;
                for (const Atom& x : doc.asym)
                    if (same_atom_name(trim(x.name), w[k])) a = &x;
                ASSERT_NE(a, nullptr) << w[k];
                ASSERT_GE(n, 1);
                p[k] = doc.positions[static_cast<std::size_t>(n - 1)].op.apply(a->position());
                for (int j = 0; j < 3; ++j)
                    p[k][j] += klm[static_cast<std::size_t>(j)] - '5';
            }
            EXPECT_NEAR(distance(p[0], p[1], doc.metric), std::stod(w[2]), 1.5e-3) << *it;
            ++checked;
        }
        EXPECT_EQ(checked, static_cast<int>(doc.bonds.size()));
        EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
        EXPECT_EQ(text.substr(text.size() - 3, 1), "\n");
    }
}

// MgI2: the Mg-I distance and the I-Mg-I and Mg-I-Mg angles published in the
// file (2.9183(5), 90.739(17)) come out of the plotted cell contents.
TEST_F(CifWrite, PublishedGeometryOfMgI2) {
    StructureDocument doc = read_back(testdata("gemmi_2013551_MgI2.cif"), paths, messages);
    SilentMessages quiet;
    build_bond_sorts(doc);
    set_generation_option(doc, GenerationMode::CellContents, quiet);
    generate(doc, quiet);
    CifWriteOptions options;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    bool bond = false, angle = false;
    for (const std::string& l : lines_of(text)) {
        const std::vector<std::string> w = split_tokens(l);
        if (w.size() == 5 && w[2].find('.') != std::string::npos &&
            std::abs(std::stod(w[2]) - 2.918) < 0.0015)
            bond = true;
        if (w.size() == 7 && w[0] == "Mg" && w[1] == "I" &&
            std::abs(std::stod(w[3]) - 90.739) < 0.01)
            angle = true;
    }
    EXPECT_TRUE(bond);
    EXPECT_TRUE(angle);
}

TEST_F(CifWrite, CoordinationResultColumns) {
    StructureDocument doc = small_structure();
    CifWriteOptions options;
    // Columns 1-18 and 47-53 of a bond line, 8-63 of an angle line.
    options.coordination_result = {pad_right("Cl1    -O12", 46) + "2.345)  rest", "",
                                   "Angle  " + pad_right("O12  -Cl1  -O12    109.47", 56) + "tail"};
    options.coordination_with_angles = true;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    const std::string expected_tail =
        "\nloop_\n _geom_bond_atom_site_label_1\n _geom_bond_atom_site_label_2\n"
        " _geom_bond_distance\n _geom_bond_site_symmetry_1\n _geom_bond_site_symmetry_2\n"
        "Cl1    -O12" +
        std::string(9, ' ') + "1_555   2.345\n" +
        "\nloop_\n _geom_angle_atom_site_label_1\n _geom_angle_atom_site_label_2\n"
        " _geom_angle_atom_site_label_3\n _geom_angle\n _geom_angle_site_symmetry_1\n"
        " _geom_angle_site_symmetry_2\n _geom_angle_site_symmetry_3\n" +
        pad_right("O12  -Cl1  -O12    109.47", 56) + "\n\n\n";
    ASSERT_GE(text.size(), expected_tail.size());
    EXPECT_EQ(text.substr(text.size() - expected_tail.size()), expected_tail);
    EXPECT_TRUE(messages.warnings.empty());
}

// Lines in the coordination layout: the columns give the labels, distance
// and codes; four-character labels shift the columns and the words are read
// instead; site codes never keep their parentheses.
TEST_F(CifWrite, CoordinationResultShiftedColumnsAndBareCodes) {
    StructureDocument doc = small_structure();
    CifWriteOptions options;
    const std::string op = pad_right(" (-X+1/2,Y+1/2,-Z+1/2", 26);
    const std::string code = pad_right(") (2_565)", 12);
    options.coordination_result = {
        " ",
        "Fe1   O1    2.013" + op + code + "  0.1000  0.2000  0.3000",
        "O1W1 O2W2 2.345" + op + code + "  0.1000  0.2000  0.3000",
        " ",
        " Angle: " + pad_right("O1", 6) + pad_right("Fe1", 6) + pad_right("O1", 6) + "  90.12" +
            "   " + pad_right("(2_565)", 9) + "  (1_555)  " + pad_right("(3_655)", 9),
        " Angle: O1W1 O2W2 O1W1  101.50   (2_565)    (1_555)  (10_655)"};
    options.coordination_with_angles = true;
    const std::vector<std::string> lines =
        lines_of(cif_text(doc, options, paths.data_dir, messages));
    auto after = [&](const std::string& item) {
        auto it = std::find(lines.begin(), lines.end(), item);
        EXPECT_NE(it, lines.end()) << item;
        return it == lines.end() ? it : it + 1;
    };
    auto bonds = after(" _geom_bond_site_symmetry_2");
    ASSERT_LE(bonds + 2, lines.end());
    EXPECT_EQ(bonds[0], "Fe1   O1    2.013   1_555   2_565");
    EXPECT_EQ(bonds[1], "O1W1 O2W2 2.345  1_555   2_565");
    auto angles = after(" _geom_angle_site_symmetry_3");
    ASSERT_LE(angles + 2, lines.end());
    EXPECT_EQ(angles[0], "O1    Fe1   O1      90.12   2_565    1_555  3_655");
    EXPECT_EQ(split_tokens(angles[1]), (std::vector<std::string>{"O1W1", "O2W2", "O1W1", "101.50",
                                                                 "2_565", "1_555", "10_655"}));
}

// Found by fuzzing: values too wide for their fields, odd labels (bytes
// that are not CIF text among them) and an empty operator list still give
// a CIF that the strict parser accepts and that reads back.
TEST_F(CifWrite, WrittenFileStaysValidCif) {
    StructureDocument doc = small_structure();
    doc.asym[0].z = 2007;
    doc.asym[0].name = "#C1'";
    doc.asym[1].name = "_O2";
    doc.asym.push_back(doc.asym[1]);
    doc.asym[2].name = "C\xff\x01\xe9";  // bytes that are not CIF text
    doc.positions.clear();
    CifWriteOptions options;
    options.include_bonds = false;
    options.formula = "C2 'H' \"x\" ";
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_NE(text.find("\"#c1'\"     0.10000   0.20000 2007.00000"), std::string::npos) << text;
    EXPECT_NE(text.find("         'X,Y,Z'\n"), std::string::npos);
    EXPECT_TRUE(parse_cif_syntax(text).ok);
    const CifScan scan = scan_cif_text(text, "odd.cif", messages);
    ASSERT_EQ(scan.candidates.size(), 1u);
    StructureDocument back;
    ASSERT_EQ(read_cif_block_text(text, "odd.cif", scan.candidates[0], back, paths, messages), 0);
    ASSERT_EQ(back.asym.size(), 3u);
    EXPECT_EQ(back.asym[2].name, "C___");
    EXPECT_EQ(back.asym[0].name, "#c1'");
    EXPECT_DOUBLE_EQ(back.asym[0].z, 2007);
    EXPECT_EQ(back.asym[1].name, "_o2");  // second character lower-cased
}

// The Ueq column against the cctbx oracle (oracle_cctbx.py cif ...): F1 of
// thpp 0.02951 (beta 90.6 degrees); C2 of paracetamol 0.02278 in its
// strongly monoclinic cell (the file gives 0.0228(6)).
TEST_F(CifWrite, UeqColumnAgainstOracle) {
    auto ueq_line = [&](const char* file, const std::string& label) {
        StructureDocument doc = read_back(testdata(file), paths, messages);
        CifWriteOptions options;
        options.include_bonds = false;
        for (const std::string& l : lines_of(cif_text(doc, options, paths.data_dir, messages))) {
            const std::vector<std::string> w = split_tokens(l);
            if (w.size() == 6 && w[0] == label && w[5] == "Uani") return std::stod(w[4]);
        }
        return -1.0;
    };
    EXPECT_NEAR(ueq_line("cctbx_thpp.cif", "F1"), 0.02951, 1.5e-5);
    EXPECT_NEAR(ueq_line("cctbx_thpp.cif", "N8"), 0.02198, 1.5e-5);
    EXPECT_NEAR(ueq_line("pyobjcryst_paracetamol_MeOH.cif", "C2"), 0.02278, 1e-5);
}

// Bond lengths written for the plotted cell contents against the cctbx
// oracle (oracle_cctbx.py cif ...): the same atom pairs at the same lengths.
TEST_F(CifWrite, BondLengthsAgainstOracle) {
    auto written_bonds = [&](const char* file) {
        StructureDocument doc = read_back(testdata(file), paths, messages);
        SilentMessages quiet;
        build_bond_sorts(doc);
        set_generation_option(doc, GenerationMode::CellContents, quiet);
        generate(doc, quiet);
        CifWriteOptions options;
        std::vector<std::vector<std::string>> bonds;
        for (const std::string& l : lines_of(cif_text(doc, options, paths.data_dir, messages))) {
            const std::vector<std::string> w = split_tokens(l);
            if (w.size() == 5 && w[3].find('_') != std::string::npos) bonds.push_back(w);
        }
        return bonds;
    };
    auto has = [](const std::vector<std::vector<std::string>>& bonds, const std::string& a,
                  const std::string& b, double d) {
        return std::any_of(bonds.begin(), bonds.end(), [&](const std::vector<std::string>& w) {
            return ((w[0] == a && w[1] == b) || (w[0] == b && w[1] == a)) &&
                   std::abs(std::stod(w[2]) - d) < 6e-4;
        });
    };
    const auto para = written_bonds("pyobjcryst_paracetamol_MeOH.cif");
    EXPECT_TRUE(has(para, "C1", "N7", 1.4202));
    EXPECT_TRUE(has(para, "C4", "O4", 1.3744));
    EXPECT_TRUE(has(para, "O4", "H4", 0.9278));
    EXPECT_TRUE(has(para, "C5", "C6", 1.3742));
    const auto bto = written_bonds("pyobjcryst_BaTiO3.cif");
    EXPECT_TRUE(has(bto, "Ba1", "O1", 2.8271));
    EXPECT_TRUE(has(bto, "Ba1", "O2", 2.7464));
}

TEST_F(CifWrite, SaveCheck) {
    StructureDocument doc = small_structure();
    EXPECT_EQ(check_cif_save(doc), CifSaveCheck::Ready);
    doc.space_group.clear();
    EXPECT_EQ(check_cif_save(doc), CifSaveCheck::NeedsSymbol);
    doc.asym.clear();
    EXPECT_EQ(check_cif_save(doc), CifSaveCheck::NothingToSave);
    EXPECT_STREQ(kCifNeedsSymbolLines[2], "Group symbol  (Hermann_Mauguin or");
}

namespace {

// A bond of 0.000 A (two images left on one site by an older file) is not
// a bond; an atom whose code falls outside the n_klm digits has "?", never
// 0_000; a computed formula becomes the document's.
TEST_F(CifWrite, NoShortBondsNoZeroCodesAndTheFormulaKept) {
    StructureDocument doc = small_structure();
    doc.gen = {doc.asym[0], doc.asym[0], doc.asym[0]};
    doc.gen[2].x += 4.1;  // four cells and a bit away: no site code
    doc.gen[1].x += 1;
    auto bond = [](int a, int b, double length) {
        CalcBond c;
        c.atom1 = a;
        c.atom2 = b;
        c.length = length;
        return c;
    };
    doc.bonds = {bond(1, 2, 1.5), bond(1, 3, 0.0), bond(2, 3, 1.7)};
    CifWriteOptions options;
    options.z = 4;
    const std::string text = cif_text(doc, options, paths.data_dir, messages);
    EXPECT_NE(text.find("Cl1  Cl1     1.500   1_555  1_655"), std::string::npos) << text;
    EXPECT_EQ(text.find("   0.000 "), std::string::npos) << text;
    EXPECT_EQ(text.find("0_000"), std::string::npos) << text;
    EXPECT_NE(text.find("Cl1  Cl1     1.700   1_655  ?\n"), std::string::npos) << text;
    EXPECT_EQ(doc.formula, "'O1 Cl1'");
}

// The symbol line names the operators the file lists: the setting of the
// symbol whose operators they are, and none when the symbol's operators
// are others (a file whose operators disagreed with its symbol).
TEST_F(CifWrite, SymbolLineNamesTheListedOperators) {
    CifWriteOptions options;
    options.include_bonds = false;
    auto symbol_line = [&](const StructureDocument& doc) {
        StructureDocument copy = doc;
        for (const std::string& l : lines_of(cif_text(copy, options, paths.data_dir, messages)))
            if (l.rfind("_symmetry_space_group_name", 0) == 0) return l;
        return std::string();
    };
    StructureDocument doc = small_structure();
    EXPECT_EQ(symbol_line(doc), "_symmetry_space_group_name_H-M   'P 1 21/c 1'");
    doc.positions = {position("X,Y,Z"), position("-X,-Y,-Z")};
    EXPECT_EQ(symbol_line(doc), "");
    doc.space_group = "Pnnn";  // origin choice 1 operators, the symbol without it
    doc.crystal_system = "ORTH";
    doc.positions.clear();
    for (const char* t : {"X,Y,Z", "-X,-Y,Z", "-X,Y,-Z", "X,-Y,-Z", "-X+1/2,-Y+1/2,-Z+1/2",
                          "X+1/2,Y+1/2,-Z+1/2", "X+1/2,-Y+1/2,Z+1/2", "-X+1/2,Y+1/2,Z+1/2"})
        doc.positions.push_back(position(t));
    EXPECT_EQ(symbol_line(doc), "_symmetry_space_group_name_H-M   'P n n n:1'");
    // A Hall symbol: written when the interpreter gives it these operators.
    doc.space_group = "P 2 2 -1n";
    EXPECT_EQ(symbol_line(doc), "_symmetry_space_group_name_Hall  'P 2 2 -1n'");
    doc.space_group = "-P 2ab 2bc";  // origin choice 2
    EXPECT_EQ(symbol_line(doc), "");
}

}  // namespace
