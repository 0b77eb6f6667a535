#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/identify.h"
#include "formats/shelx.h"
#include "formats/text_file.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

fs::path temp_dir(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("veldor_shelx_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

ProgramPaths paths_in(const fs::path& work) {
    return {VELDOR_DATA_DIR, work.string()};
}

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string data_file(const char* name) {
    return std::string(VELDOR_TESTDATA_DIR) + "/" + name;
}

const Atom* find_atom(const StructureDocument& doc, const std::string& name) {
    for (const Atom& a : doc.asym)
        if (a.name == name) return &a;
    return nullptr;
}

// Operators compared as a set, translations modulo 1.
bool same_operators(const std::vector<EquivalentPosition>& a,
                    const std::vector<EquivalentPosition>& b) {
    if (a.size() != b.size()) return false;
    for (const auto& p : a) {
        bool found = false;
        for (const auto& q : b) {
            bool same = p.op.rotation() == q.op.rotation();
            for (int k = 0; same && k < 3; ++k) {
                double d = std::fmod(p.op.m[k][3] - q.op.m[k][3] + 10.5, 1.0) - 0.5;
                same = std::fabs(d) < 1e-4;
            }
            found = found || same;
        }
        if (!found) return false;
    }
    return true;
}

// Reads an instruction file from text alone (no identification).
bool read_ins(const std::string& text, StructureDocument& doc, RecordingMessages& m,
              double* wavelength = nullptr) {
    reset(doc);
    double w = 0;
    const bool ok = read_shelx_instructions(split_lines(text), doc, w, m);
    if (wavelength) *wavelength = w;
    return ok;
}

TEST(Shelx, RealInstructionFileWithFreeVariablesPartsAndContinuations) {
    const auto work = temp_dir("thpp");
    StructureDocument doc;
    ShelxReadResult r;
    RecordingMessages m;
    ASSERT_TRUE(load_shelx(data_file("cctbx_thpp.ins"), doc, paths_in(work), r, m));
    EXPECT_TRUE(m.warnings.empty()) << m.warnings.front();
    EXPECT_DOUBLE_EQ(r.wavelength, 0.71073);
    EXPECT_EQ(r.title_stem, "CCTBX_THPP");
    EXPECT_EQ(doc.cell_parameters,
              (std::array<double, 6>{6.9196, 14.5749, 9.7248, 90, 90.637, 90}));
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_EQ(doc.lattice_letter, "P");
    EXPECT_EQ(doc.centrosymmetric, 1);
    ASSERT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.positions[1].text, "-X+1/2,Y+1/2,-Z+1/2");
    EXPECT_EQ(doc.positions[3].text, "X+1/2,-Y+1/2,Z+1/2");  // inverted, brought into [0, 1)
    EXPECT_EQ(doc.space_group, "P21/n");
    EXPECT_EQ(r.caption, "Space Group: P21/n");
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.positions[0].selected, 1);
    ASSERT_EQ(doc.asym.size(), 18u);
    const Atom* f1 = find_atom(doc, "F1");
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(f1->element, "F");
    EXPECT_EQ(f1->iso, 0);
    EXPECT_DOUBLE_EQ(f1->x, 0.16726);
    // File order U11 U22 U33 U23 U13 U12, stored U11 U22 U33 U12 U13 U23.
    EXPECT_EQ(f1->adp,
              (std::array<double, 6>{0.03596, 0.02944, 0.01904, -0.00009, -0.00298, -0.00761}));
    const Atom* n3 = find_atom(doc, "N3");
    ASSERT_NE(n3, nullptr);
    EXPECT_EQ(n3->iso, 1);
    EXPECT_DOUBLE_EQ(n3->adp[0], 0.02131);
    const Atom* c7a = find_atom(doc, "C7A");
    ASSERT_NE(c7a, nullptr);
    EXPECT_EQ(c7a->part, 1);
    EXPECT_EQ(c7a->label, "7A");
    EXPECT_EQ(find_atom(doc, "C14")->part, 0);
    EXPECT_EQ(find_atom(doc, "C7B")->part, 2);
    EXPECT_EQ(find_atom(doc, "C3")->part, 0);
    ASSERT_EQ(doc.element_sorts.size(), 3u);  // F, N, C in order of appearance
    EXPECT_EQ(doc.element_sorts[0].symbol, "F");
    EXPECT_EQ(doc.data_file, data_file("cctbx_thpp.ins"));
    // The operator normalisation leaves its trace in the work folder.
    const std::string trace = read_text(work / "espion_pos.txt");
    EXPECT_EQ(trace.rfind("npos=4\n   1 X,Y,Z\n   2 -X+1/2,Y+1/2,-Z+1/2\n", 0), 0u) << trace;
    EXPECT_FALSE(fs::exists(fs::path(VELDOR_DATA_DIR) / "espion_pos.txt"));
}

// Values computed independently with cctbx (iotbx.shelx) from the same file.
TEST(Shelx, RealInstructionFileAgreesWithAnIndependentReading) {
    const auto work = temp_dir("oracle");
    StructureDocument doc;
    ShelxReadResult r;
    RecordingMessages m;
    ASSERT_TRUE(load_shelx(data_file("cctbx_thpp.ins"), doc, paths_in(work), r, m));
    const std::pair<const char*, double> ueq[] = {
        {"F1", 0.02817}, {"F2", 0.03012}, {"N12", 0.03767}, {"C6", 0.03155}, {"C7A", 0.02502}};
    for (const auto& [name, value] : ueq) {
        const Atom* a = find_atom(doc, name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_NEAR(u_equivalent(*a, doc.metric), value, 6e-5) << name;
    }
    // Occupancies 21, -21 and 31 with FVAR 0.35838 0.87977 0.5.
    const std::vector<double> fv{0.35838, 0.87977, 0.5};
    EXPECT_NEAR(shelx_parameter(21.0, false, fv), 0.8798, 5e-5);
    EXPECT_NEAR(shelx_parameter(-21.0, false, fv), 0.1202, 5e-5);
    EXPECT_NEAR(shelx_parameter(31.0, false, fv), 0.5, 1e-12);
}

TEST(Shelx, RealResFileWithRidingHydrogenAndPeaksAfterEnd) {
    const auto work = temp_dir("res");
    StructureDocument doc;
    ShelxReadResult r;
    RecordingMessages m;
    ASSERT_TRUE(load_shelx(data_file("shelxfile_p21c_minimal.res"), doc, paths_in(work), r, m));
    EXPECT_TRUE(m.warnings.empty()) << m.warnings.front();
    EXPECT_EQ(doc.title, "p21c in P2(1)/c");
    ASSERT_EQ(doc.asym.size(), 6u);  // the Q peaks after END are not atoms
    EXPECT_EQ(doc.asym[3].name, "C3");
    EXPECT_DOUBLE_EQ(doc.asym[3].x, -0.103502);
    EXPECT_DOUBLE_EQ(doc.asym[3].adp[3], -0.00667);  // U12
    EXPECT_DOUBLE_EQ(doc.asym[3].adp[5], -0.00621);  // U23
    const Atom* h = find_atom(doc, "H34");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->element, "H");
    EXPECT_EQ(h->iso, 1);
    // Uiso -1.2 rides on the last atom that is not a hydrogen (C4).
    EXPECT_NEAR(h->adp[0], 1.2 * u_equivalent(doc.asym[4], doc.metric), 1e-12);
    EXPECT_LT(h->adp[0], 0.1);
    EXPECT_EQ(doc.space_group, "P21/c");
}

TEST(Shelx, FileKindByName) {
    EXPECT_TRUE(is_shelx_instruction_file("/a/b/x.ins"));
    EXPECT_TRUE(is_shelx_instruction_file("X.INP"));
    EXPECT_TRUE(is_shelx_instruction_file("x.shx"));
    EXPECT_TRUE(is_shelx_instruction_file("x.res"));
    EXPECT_FALSE(is_shelx_instruction_file("x.lst"));
    EXPECT_FALSE(is_shelx_instruction_file("x.out"));
}

TEST(Shelx, WithoutLattTheStructureIsCentrosymmetricP) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C\nFVAR 1\n"
                 "C1 1 0.1 0.2 0.3 11.0 0.02\nEND\n",
                 doc, m));
    EXPECT_EQ(doc.lattice_letter, "P");
    EXPECT_EQ(doc.centrosymmetric, 1);
    ASSERT_EQ(doc.positions.size(), 2u);
    EXPECT_EQ(doc.positions[1].text, "-X,-Y,-Z");
}

TEST(Shelx, LattMinus2WithOneSymmGivesFourOperators) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nLATT -2\nSYMM -X,-Y,Z\nSFAC C\n"
                 "FVAR 1\nC1 1 0.1 0.2 0.3 11.0 0.02\nEND\n",
                 doc, m));
    EXPECT_EQ(doc.lattice_letter, "I");
    EXPECT_EQ(doc.centrosymmetric, 0);
    ASSERT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.positions[0].text, "X,Y,Z");
    EXPECT_EQ(doc.positions[1].text, "-X,-Y,Z");
    EXPECT_EQ(doc.positions[2].text, "X+1/2,Y+1/2,Z+1/2");
    EXPECT_EQ(doc.positions[3].text, "-X+1/2,-Y+1/2,Z+1/2");
}

TEST(Shelx, SymmListWithTheCentredOperatorsIsNotDoubled) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nLATT -2\nSYMM -X,-Y,Z\n"
                 "SYMM 1/2+X,1/2+Y,1/2+Z\nSYMM 0.5-X, 0.5-Y, 0.5+Z\nSFAC C\nFVAR 1\n"
                 "C1 1 0.1 0.2 0.3 11.0 0.02\nEND\n",
                 doc, m));
    EXPECT_EQ(doc.positions.size(), 4u);
}

TEST(Shelx, IsotropicCarbonAtomLine) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C O\nFVAR 1\n"
                 "C1    1    0.12345    0.23456    0.34567    11.00000    0.02345\nEND\n",
                 doc, m));
    ASSERT_EQ(doc.asym.size(), 1u);
    const Atom& a = doc.asym[0];
    EXPECT_EQ(a.name, "C1");
    EXPECT_EQ(a.element, "C");
    EXPECT_EQ(a.label, "1");
    EXPECT_EQ(a.iso, 1);
    EXPECT_DOUBLE_EQ(a.adp[0], 0.02345);
    EXPECT_DOUBLE_EQ(a.z, 0.34567);
}

TEST(Shelx, FreeVariablesInOccupationsAndCoordinates) {
    const std::vector<double> fv{0.5, 0.75};
    EXPECT_DOUBLE_EQ(shelx_parameter(21.0, false, fv), 0.75);
    EXPECT_DOUBLE_EQ(shelx_parameter(-21.0, false, fv), 0.25);
    EXPECT_DOUBLE_EQ(shelx_parameter(11.0, false, fv), 1.0);
    EXPECT_DOUBLE_EQ(shelx_parameter(10.5, true, fv), 0.5);
    EXPECT_DOUBLE_EQ(shelx_parameter(-10.25, true, fv), -0.25);
    EXPECT_DOUBLE_EQ(shelx_parameter(0.3, true, fv), 0.3);
    EXPECT_DOUBLE_EQ(shelx_parameter(31.0, false, fv), 0.0);  // no third free variable
    // Coordinates through the reader.
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C\nFVAR 1 0.5 0.75\n"
                 "C1 1 10.5 20.5 -21.0 11.0 0.02\nEND\n",
                 doc, m));
    EXPECT_DOUBLE_EQ(doc.asym[0].x, 0.5);
    EXPECT_DOUBLE_EQ(doc.asym[0].y, 0.25);  // 0.5 x fv(2)
    EXPECT_DOUBLE_EQ(doc.asym[0].z, 0.5);   // -1 x (fv(2) - 1)
}

TEST(Shelx, AnisotropicAtomSplitByEqualsIsReadWhole) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C O\nFVAR 1\nO1 2 0.1 0.2 0.3 "
                 "11.0 0.03 0.04 =\n   0.05 0.001 0.002 0.003\nC2 1 0.4 0.5 0.6 11 0.02\n"
                 "END\n",
                 doc, m));
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[0].element, "O");
    EXPECT_EQ(doc.asym[0].iso, 0);
    EXPECT_EQ(doc.asym[0].adp, (std::array<double, 6>{0.03, 0.04, 0.05, 0.003, 0.002, 0.001}));
    EXPECT_EQ(doc.asym[1].name, "C2");
}

TEST(Shelx, WithoutFvarTheAtomsStartAfterTheInstructions) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nZERR 4 0 0 0 0 0 0\nLATT 1\nSFAC C N\n"
                 "UNIT 4 4\nL.S. 4\nPLAN 5\n\nN1 2 0.1 0.2 0.3 11 0.02\nHKLF 4\nEND\n",
                 doc, m));
    ASSERT_EQ(doc.asym.size(), 1u);
    EXPECT_EQ(doc.asym[0].element, "N");
}

TEST(Shelx, NameDecidesTheElementWithoutSfac) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nFVAR 1\nCL1 1 0.1 0.2 0.3 11 0.02\n"
                 "C12 1 0.1 0.2 0.3 11 0.02\nEND\n",
                 doc, m));
    EXPECT_EQ(doc.asym[0].element, "CL");
    EXPECT_EQ(doc.asym[0].name, "Cl1");
    EXPECT_EQ(doc.asym[1].element, "C");
    EXPECT_EQ(doc.asym[1].label, "12");
}

TEST(Shelx, WindowsLineEndsLowerCaseKeywordsAndLongSfac) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("titl t\r\ncell 0.7 5 6 7 90 90 90\r\nlatt -1\r\nsymm -x,y+1/2,-z\r\n"
                 "SFAC C 2.31 20.84 1.02 10.21 1.59 0.57 0.87 51.65 0.16 0 0 0.0 1.7 12\r\n"
                 "SFAC Cl 11.46 0.01 7.20 1.17 6.26 18.52 1.65 47.78 -9.56 0 0 0 1.0 35\r\n"
                 "fvar 1\r\ncl1 2 0.1 0.2 0.3 11 0.02 ! a comment\r\nend\r\n",
                 doc, m));
    EXPECT_EQ(doc.title, "t");
    EXPECT_EQ(doc.centrosymmetric, 0);
    ASSERT_EQ(doc.positions.size(), 2u);
    EXPECT_EQ(doc.positions[1].text, "-X,Y+1/2,-Z");
    ASSERT_EQ(doc.asym.size(), 1u);
    EXPECT_EQ(doc.asym[0].element, "CL");
    EXPECT_EQ(doc.asym[0].name, "Cl1");
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], 0.02);
}

TEST(Shelx, InstructionsAmongTheAtomsAreNotAtoms) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C O\nFVAR 1\n"
                 "C1 1 0.1 0.2 0.3 11 0.02\nSADI 0.02 C1 C2 =\n  C3 C4\nDFIX 1.5 C1 C2\n"
                 "RESI 1 ABC\nREM C9 1 0.1 0.1 0.1 11 0.05\nAFIX 43\nO2 2 0.5 0.5 0.5 11 0.03\n"
                 "AFIX 0\nEND\nQ1 1 0.1 0.2 0.3 11 0.05 1.2\n",
                 doc, m));
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[1].name, "O2");
}

TEST(Shelx, FileWithoutAtoms) {
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C\nFVAR 1\nEND\n", doc, m));
    EXPECT_TRUE(doc.asym.empty());
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(m.warnings[0], "No atoms in the ShelX file !!!");
}

TEST(Shelx, ReadErrorsNameTheLine) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"TITL t\nCELL 0.7 5 6 x 90 90 90\n", "Read error(1) at line Nb 2"},
        {"TITL t\nCELL 0.7 5 6 7 90 90 90\nFVAR 1 a\nC1 1 0 0 0 11 0.02\n",
         "Read error(2) at line Nb 3"},
        {"TITL t\nCELL 0.7 5 6 7 90 90 90\nLATT x\n", "Read error(3) at line Nb 3"},
        {"TITL t\nCELL 0.7 5 6 7 90 90 90\nFVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nC2 1 0.1 0.2b\n",
         "Read error at line Nb 5"},
        {"TITL t\nCELL 0.7 5 6 7 90 90 90\nSYMM X,Y,2Z\n", "Non decoded position: X,Y,2Z"},
        {"TITL t\n", "No CELL line in the file"},
    };
    for (const Case& c : cases) {
        StructureDocument doc;
        RecordingMessages m;
        EXPECT_FALSE(read_ins(c.text, doc, m)) << c.text;
        ASSERT_FALSE(m.warnings.empty()) << c.text;
        EXPECT_EQ(m.warnings.back(), c.message);
    }
}

TEST(Shelx, MoreThan1000AtomsAreRefused) {
    std::string text = "TITL t\nCELL 0.7 5 6 7 90 90 90\nSFAC C\nFVAR 1\n";
    for (int i = 0; i < 1001; ++i)
        text += "C" + std::to_string(i % 999) + " 1 0.1 0.2 0.3 11 0.02\n";
    StructureDocument doc;
    RecordingMessages m;
    EXPECT_FALSE(read_ins(text, doc, m));
    EXPECT_EQ(doc.asym.size(), 1000u);
    EXPECT_EQ(m.warnings.back(), "The number of atoms is > 1000!");
}

TEST(Shelx, NonPositiveDefiniteMatrixBecomesIsotropic) {
    StructureDocument doc;
    RecordingMessages m;
    Atom a;
    a.name = "C1";
    a.adp = {0.01, 0.02, 0.03, 0.05, 0, 0};
    doc.asym.push_back(a);
    reset_non_positive_definite(doc, m);
    EXPECT_EQ(doc.asym[0].iso, 1);
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], 0.02);
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(m.warnings[0], "C1: has a non definite positive matrix Uij. Ueq was reset to 0.0200");
}

TEST(Shelx, FractionsAreWrittenAsDecimals) {
    EXPECT_EQ(decimal_fractions("-X+1/2,Y+1/2,-Z+1/2"), "-X+0.5,Y+0.5,-Z+0.5");
    EXPECT_EQ(decimal_fractions("X+1/3,Y+2/3,Z+1/6"), "X+0.3333333,Y+0.6666667,Z+0.166667");
    EXPECT_EQ(decimal_fractions("X+5/6,Y+3/4,Z+1/4"), "X+0.83333,Y+0.75,Z+0.25");
}

void expect_same_structure(const StructureDocument& a, const StructureDocument& b) {
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(a.cell_parameters[k], b.cell_parameters[k], 1e-4);
    EXPECT_TRUE(same_operators(a.positions, b.positions));
    ASSERT_EQ(a.asym.size(), b.asym.size());
    for (std::size_t i = 0; i < a.asym.size(); ++i) {
        const Atom& x = a.asym[i];
        const Atom& y = b.asym[i];
        EXPECT_EQ(to_upper(x.name), to_upper(y.name));
        EXPECT_EQ(x.element, y.element);
        EXPECT_NEAR(x.x, y.x, 1e-5);
        EXPECT_NEAR(x.y, y.y, 1e-5);
        EXPECT_NEAR(x.z, y.z, 1e-5);
        EXPECT_EQ(x.iso, y.iso);
        EXPECT_EQ(x.part, y.part) << x.name;  // PART lines written
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(x.adp[k], y.adp[k], 1e-5) << x.name;
    }
}

TEST(Shelx, WriteReadRoundTripOfRealStructures) {
    const std::pair<const char*, const char*> files[] = {
        {"cctbx_thpp.ins", "\nSYMM -X+0.5,Y+0.5,-Z+0.5\n"},
        {"shelxfile_p21c_minimal.res", "\nSYMM -X,Y+0.5,-Z+0.5\n"}};
    for (const auto& [file, symm] : files) {
        const auto work = temp_dir("round");
        RecordingMessages m;
        const auto text = read_file_text(data_file(file), m);
        ASSERT_TRUE(text);
        StructureDocument doc;
        ShelxReadResult r;
        ASSERT_TRUE(load_shelx_text(*text, "x.ins", doc, paths_in(work), r, m));
        ShelxWriteOptions options;
        options.title = r.title_stem;
        EXPECT_DOUBLE_EQ(doc.wavelength, r.wavelength);  // the document carries it to the writer
        const std::string out = (work / "out.shx").string();
        ASSERT_TRUE(write_shelx(out, doc, paths_in(work), options, m));
        const std::string written = read_text(out);
        EXPECT_EQ(written.rfind("TITL X\nCELL  0.71073 ", 0), 0u) << written;
        EXPECT_NE(written.find("\nLATT 1" + std::string(symm) + "SFAC"), std::string::npos)
            << written;
        StructureDocument back;
        ShelxReadResult r2;
        ASSERT_TRUE(load_shelx(out, back, paths_in(work), r2, m)) << file;
        EXPECT_TRUE(m.warnings.empty());
        expect_same_structure(doc, back);
        EXPECT_EQ(back.space_group, doc.space_group);
        EXPECT_DOUBLE_EQ(r2.wavelength, r.wavelength);
    }
}

TEST(Shelx, WriterLayout) {
    const auto work = temp_dir("layout");
    StructureDocument doc;
    RecordingMessages m;
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0 5 6 7 90 90 90\nSFAC C O\nFVAR 1\n"
                 "O1 2 0.1 0.2 0.3 11.0 0.03 0.04 0.05 0.001 0.002 0.003\n"
                 "C2 1 0.4 0.5 0.6 11 0.02\nEND\n",
                 doc, m));
    build_element_sorts(doc, {}, m);
    ShelxWriteOptions options;
    options.title = "T";
    const auto text = shelx_text(doc, paths_in(work), options, m);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "TITL T\n"
              "CELL  0.71060    5.0000    6.0000    7.0000   90.0000   90.0000   90.0000\n"
              "ZERR     2 0 0 0 0 0\n"  // ZERR, which SHELX programs read
              "LATT 1\n"
              "SFAC O C \n"
              "UNIT   1  1\n"
              "FVAR     1\n"
              "O1     1   0.10000   0.20000   0.30000   11.0000   0.03000   0.04000   =\n"
              "   0.05000   0.00100   0.00200   0.00300\n"
              "C2     2   0.40000   0.50000   0.60000   11.0000   0.02000\n"
              "END\n");
    StructureDocument empty;
    EXPECT_FALSE(shelx_text(empty, paths_in(work), options, m));
    EXPECT_EQ(m.warnings.back(), "No data");
}

TEST(Shelx, LattCodes) {
    StructureDocument doc;
    doc.centrosymmetric = 1;
    const std::pair<const char*, int> cases[] = {{"P", 1}, {"I", 2}, {"F", 4}, {"A", 5},
                                                 {"B", 6}, {"C", 7}, {"", 1}};
    for (const auto& [letter, code] : cases) {
        doc.lattice_letter = letter;
        EXPECT_EQ(latt_code(doc), code) << letter;
    }
    doc.lattice_letter = "R";
    doc.crystal_system = "HEXA";
    EXPECT_EQ(latt_code(doc), 3);
    doc.crystal_system = "RHOM";
    doc.centrosymmetric = 0;
    EXPECT_EQ(latt_code(doc), -1);
}

TEST(Shelx, CatalogueGroupIsWrittenWithItsListedOperatorsAndReadBack) {
    const auto work = temp_dir("catalogue");
    RecordingMessages m;
    StructureDocument doc;
    doc.cell_parameters = {10, 6, 8, 90, 105, 90};
    compute_metric(doc, m);
    choose_system(doc, "Monoc.", VELDOR_DATA_DIR, m);
    ASSERT_EQ(choose_catalogue_group(doc, "C2/c", VELDOR_DATA_DIR, m), CatalogueChoice::Chosen);
    ASSERT_EQ(doc.positions.size(), 8u);
    Atom a;
    a.element = "C";
    a.label = "1";
    a.name = "C1";
    a.x = 0.1;
    a.y = 0.2;
    a.z = 0.3;
    a.adp = {0.02, 0, 0, 0, 0, 0};
    a.iso = 1;
    doc.asym.push_back(a);
    build_element_sorts(doc, {}, m);
    const std::string out = (work / "c2c.shx").string();
    ASSERT_TRUE(write_shelx(out, doc, paths_in(work), {}, m));
    const std::string text = read_text(out);
    EXPECT_NE(text.find("LATT 7\nSYMM -X,Y,-Z+0.5\nSFAC"), std::string::npos) << text;
    StructureDocument back;
    ShelxReadResult r;
    ASSERT_TRUE(load_shelx(out, back, paths_in(work), r, m));
    EXPECT_TRUE(same_operators(doc.positions, back.positions));
    EXPECT_EQ(back.space_group, "C2/c");
    EXPECT_EQ(r.caption, "Space Group: C2/c");
}

TEST(Shelx, DocumentOperatorsAreWrittenWithoutThoseLattImplies) {
    const auto work = temp_dir("document");
    RecordingMessages m;
    StructureDocument doc;
    ASSERT_TRUE(read_ins(
        "TITL t\nCELL 0.7 5 6 7 90 90 90\nLATT 2\nSYMM -X,-Y,Z\nSYMM -X,Y,-Z\nSYMM X,-Y,-Z\n"
        "SFAC C\nFVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nEND\n",
        doc, m));
    ASSERT_EQ(doc.positions.size(), 16u);  // Immm
    build_element_sorts(doc, {}, m);
    ShelxWriteOptions options;
    options.symm = SymmSource::Document;
    const auto text = shelx_text(doc, paths_in(work), options, m);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("LATT 2\nSYMM -X,-Y,Z\nSYMM -X,Y,-Z\nSYMM X,-Y,-Z\nSFAC"),
              std::string::npos)
        << *text;
    StructureDocument back;
    ASSERT_TRUE(read_ins(*text, back, m));
    EXPECT_TRUE(same_operators(doc.positions, back.positions));
}

TEST(Shelx, InterpreterOperatorsComeFromScfsDat) {
    const auto work = temp_dir("scfs");
    RecordingMessages m;
    ASSERT_TRUE(run_getspec("P 21/c", work, m));
    StructureDocument doc;
    doc.cell_parameters = {10, 6, 8, 90, 105, 90};
    compute_metric(doc, m);
    set_crystal_system_from_cell(doc);
    ASSERT_TRUE(read_scfs(work / "scfs.dat", doc, m));
    doc.space_group = "P21/c";
    doc.lattice_letter = "P";
    Atom a;
    a.element = "C";
    a.name = "C1";
    a.adp = {0.02, 0, 0, 0, 0, 0};
    doc.asym.push_back(a);
    build_element_sorts(doc, {}, m);
    ShelxWriteOptions options;
    options.symm = SymmSource::Interpreter;
    const auto text = shelx_text(doc, paths_in(work), options, m);
    ASSERT_TRUE(text) << (m.warnings.empty() ? "" : m.warnings.back());
    EXPECT_NE(text->find("LATT 1\nSYMM -X,Y+0.5,-Z+0.5\nSFAC"), std::string::npos) << *text;
    // Without the file the write stops with a message.
    fs::remove(work / "scfs.dat");
    EXPECT_FALSE(shelx_text(doc, paths_in(work), options, m));
}

TEST(Shelx, ListingFilesInBothLayouts) {
    const std::string header =
        "TITL listing\n CELL  0.71073  5.000  6.000  7.000  90.00  90.00  90.00\n"
        " LATT -1\n SYMM -X, 1/2+Y, -Z\n SFAC C O\n";
    const std::string newer = header +
                              "\n ATOM      X/A       Y/B       Z/C      SOF      U11   U22   U33"
                              "   U23   U13   U12\n\n"
                              " C1     0.10000   0.20000   0.30000   1.00000  0.0300 0.0200 0.0100 "
                              "0.0010 0.0020 0.0030\n esds\n"
                              " O12    0.40000   0.50000   0.60000   1.00000  0.0250 0 0 0 0 0\n"
                              " esds\n\n";
    StructureDocument doc;
    RecordingMessages m;
    double w = 0;
    ASSERT_TRUE(read_shelx_listing(split_lines(newer), "a.lst", doc, w, m));
    EXPECT_EQ(doc.title, "listing");  // the first line keeps columns 1 to 4
    EXPECT_EQ(doc.centrosymmetric, 0);
    EXPECT_EQ(doc.positions.size(), 2u);
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[0].name, "C1");
    EXPECT_EQ(doc.asym[0].adp, (std::array<double, 6>{0.03, 0.02, 0.01, 0.003, 0.002, 0.001}));
    EXPECT_EQ(doc.asym[1].name, "O12");
    EXPECT_EQ(doc.asym[1].iso, 1);

    const std::string older = header +
                              " ATOM           x         y         z        sof       U11\n\n"
                              " C1     0.10000   0.20000   0.30000   1.00000  0.0300 0 0 0 0 0\n"
                              " esd\n extra\n"
                              " N2     0.40000   0.50000   0.60000   1.00000  0.0250 0 0 0 0 0\n";
    StructureDocument doc2;
    ASSERT_TRUE(read_shelx_listing(split_lines(older), "b.lst", doc2, w, m));
    ASSERT_EQ(doc2.asym.size(), 2u);
    EXPECT_EQ(doc2.asym[1].element, "N");

    StructureDocument doc3;
    RecordingMessages m3;
    EXPECT_FALSE(read_shelx_listing(split_lines("hello\n"), "c.lst", doc3, w, m3));
    EXPECT_EQ(m3.warnings.at(0), "The file c.lst Seems not to be a Shelx file");
}

TEST(Shelx, UnidentifiedOperatorsAreReported) {
    const auto work = temp_dir("unknown");
    StructureDocument doc;
    RecordingMessages m;
    // x+1/4 translations that no orthorhombic group lists.
    ASSERT_TRUE(
        read_ins("TITL t\nCELL 0.7 5 6 7 90 90 90\nLATT -1\nSYMM X+1/3,-Y,-Z\nSFAC C\n"
                 "FVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nEND\n",
                 doc, m));
    normalise_operator_list(doc, work);
    EXPECT_EQ(identify_space_group(doc, VELDOR_DATA_DIR, m), "Space Group not identified: ");
    EXPECT_EQ(m.warnings.back(), "VELDOR Cannot identify the Space Group in the Shelx file");
    EXPECT_EQ(space_group_caption(doc), "No Space Group found");
}

TEST(Shelx, NormalisationRemovesRepeatsAndTraces) {
    const auto work = temp_dir("normalise");
    StructureDocument doc;
    for (const char* t : {"X,Y,Z", "-X,-Y,-Z"})
        doc.positions.push_back({*decode_operator(t), t, 0});
    SymOp shifted = SymOp::identity();
    shifted.m[0][3] = 1.0;  // X+1 is X again
    doc.positions.push_back({shifted, "", 0});
    SymOp negative = *decode_operator("-X,-Y,-Z");
    negative.m[2][3] = -0.5;
    doc.positions.push_back({negative, "", 0});
    normalise_operator_list(doc, work);
    ASSERT_EQ(doc.positions.size(), 3u);
    EXPECT_EQ(doc.positions[2].text, "-X,-Y,-Z+1/2");
    EXPECT_DOUBLE_EQ(doc.positions[2].op.m[2][3], 0.5);
    const std::string trace = read_text(work / "espion_pos.txt");
    EXPECT_NE(trace.find("npos=4\n"), std::string::npos);
    EXPECT_NE(trace.find("npos=3\n   1 X,Y,Z\n   2 -X,-Y,-Z\n   3 -X,-Y,-Z+1/2\n"),
              std::string::npos)
        << trace;
}

TEST(Shelx, IdentificationInEverySystemFromCatalogueGroups) {
    // Groups chosen from the catalogue, their operators read back as a SHELX
    // file would give them, are recognised again.
    const std::pair<const char*, std::array<double, 6>> cases[] = {
        {"P-1", {5, 6, 7, 80, 85, 95}},    {"P21/c", {5, 6, 7, 90, 100, 90}},
        {"Pnma", {5, 6, 7, 90, 90, 90}},   {"I41/a", {5, 5, 7, 90, 90, 90}},
        {"P63/m", {5, 5, 7, 90, 90, 120}}, {"Fm-3m", {5, 5, 5, 90, 90, 90}},
    };
    const auto work = temp_dir("identify");
    for (const auto& [symbol, cell] : cases) {
        RecordingMessages m;
        StructureDocument doc;
        doc.cell_parameters = cell;
        compute_metric(doc, m);
        set_crystal_system_from_cell(doc);
        doc.lattice_letter = std::string(1, symbol[0]);
        ASSERT_EQ(look_up_group(doc, symbol, VELDOR_DATA_DIR, m), LookupStatus::Found) << symbol;
        const auto expected = doc.positions;
        normalise_operator_list(doc, work);
        const std::string caption = identify_space_group(doc, VELDOR_DATA_DIR, m);
        EXPECT_EQ(caption.rfind("Possible Space Group : ", 0), 0u) << symbol << caption;
        EXPECT_TRUE(same_operators(doc.positions, expected)) << symbol;
        EXPECT_EQ(doc.space_group.rfind(symbol, 0), 0u) << symbol << " " << doc.space_group;
    }
}

}  // namespace
}  // namespace veldor
