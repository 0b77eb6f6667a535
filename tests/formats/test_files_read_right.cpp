// Real files read and written right: the space group recognised from the
// operators whatever the cell suggests, the lattice and the centre a CIF's
// operators describe carried into the SHELX file, the tolerant reading of
// damaged CIFs, B values, unknown coordinates and symbols.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/adp.h"
#include "core/elements.h"
#include "core/text.h"
#include "formats/cif_read.h"
#include "formats/cif_record.h"
#include "formats/identify.h"
#include "formats/shelx.h"
#include "formats/text_file.h"
#include "generation/bonds.h"
#include "generation/generate.h"
#include "symmetry/lattice.h"
#include "tests/work_folder.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string testdata(const std::string& name) {
    return std::string(VELDOR_TESTDATA_DIR) + "/" + name;
}

bool has(const std::vector<std::string>& warnings, const std::string& text) {
    return std::find(warnings.begin(), warnings.end(), text) != warnings.end();
}

struct Site {
    std::string element;
    Vec3 p;
};

// The cell contents, as the "Cell contents" option gives them.
std::vector<Site> cell_contents(StructureDocument doc) {
    SilentMessages quiet;
    set_generation_option(doc, GenerationMode::CellContents, quiet);
    generate(doc, quiet);
    std::vector<Site> out;
    for (const Atom& a : doc.gen)
        out.push_back({element_key(a.element), a.position()});
    return out;
}

bool same_sites(const std::vector<Site>& a, const std::vector<Site>& b) {
    if (a.size() != b.size()) return false;
    std::vector<bool> used(b.size(), false);
    for (const Site& s : a) {
        bool found = false;
        for (std::size_t i = 0; i < b.size() && !found; ++i) {
            if (used[i] || b[i].element != s.element) continue;
            bool close = true;
            for (int k = 0; k < 3; ++k)
                close = close && std::fabs(b[i].p[k] - s.p[k]) < 2e-4;
            if (close) used[i] = found = true;
        }
        if (!found) return false;
    }
    return true;
}

class FilesReadRight : public ::testing::Test {
  protected:
    void SetUp() override { paths = {VELDOR_DATA_DIR, work.string()}; }
    fs::path write(const std::string& name, const std::string& text) {
        const fs::path p = work / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    int load_cif_text(const std::string& text, StructureDocument& doc) {
        return load_cif(write("t.cif", text).string(), doc, paths, messages).status;
    }
    bool load_ins(const std::string& text, StructureDocument& doc) {
        ShelxReadResult r;
        return load_shelx_text(text, "t.ins", doc, paths, r, messages);
    }
    // Written as a SHELX file and read back.
    StructureDocument through_shelx(const StructureDocument& doc) {
        const fs::path out = work / "x.shx";
        EXPECT_TRUE(write_shelx(out.string(), doc, paths, ShelxWriteOptions{}, messages));
        StructureDocument back;
        ShelxReadResult r;
        EXPECT_TRUE(load_shelx(out.string(), back, paths, r, messages));
        return back;
    }

    veldor::testing::WorkFolder folder;
    const fs::path& work = folder.path();
    ProgramPaths paths;
    RecordingMessages messages;
};

std::string shelx_file(const std::string& cell, const std::string& latt_and_symm) {
    return "TITL t\nCELL 0.71073 " + cell + "\n" + latt_and_symm +
           "SFAC C\nUNIT 4\nFVAR 1\nC1 1 0.1 0.2 0.3 11 0.02\nEND\n";
}

// The operators decide; the cell only orders the search.
TEST_F(FilesReadRight, GroupsAreRecognisedWhateverTheCellSuggests) {
    struct Case {
        const char* cell;
        const char* symm;
        const char* group;
        const char* system;
        bool departs;
    } cases[] = {
        // P1 in a cell with two right angles (guessed monoclinic).
        {"5 6 7 90 100 90", "LATT -1\n", "P1", "TRIC", false},
        // P-1 in an orthogonal cell.
        {"5 6 7 90 90 90", "LATT 1\n", "P-1", "TRIC", false},
        // A monoclinic group with beta 90.00.
        {"5 6 7 90 90 90", "LATT 1\nSYMM -X,Y+1/2,-Z+1/2\n", "P21/c", "MONO", false},
        // Nearly orthorhombic, nearly hexagonal (guessed monoclinic, triclinic).
        {"5 6 7 90 89.98 90",
         "LATT 1\nSYMM 1/2-X,-Y,1/2+Z\nSYMM -X,1/2+Y,-Z\nSYMM 1/2+X,1/2-Y,1/2-Z\n", "Pnma", "ORTH",
         true},
        {"5 5 7 90 90 120.01",
         "LATT 1\nSYMM -Y,X-Y,Z\nSYMM -X+Y,-X,Z\nSYMM -X,-Y,Z+1/2\n"
         "SYMM Y,-X+Y,Z+1/2\nSYMM X-Y,X,Z+1/2\n",
         "P63/m", "HEXA", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group);
        messages.warnings.clear();
        StructureDocument doc;
        ASSERT_TRUE(load_ins(shelx_file(c.cell, c.symm), doc));
        EXPECT_EQ(doc.space_group, c.group);
        EXPECT_EQ(doc.crystal_system, c.system);
        EXPECT_EQ(has(messages.warnings, std::string(kCellDepartsMessage) + c.group), c.departs);
    }
    // Operators that match nothing still get the messages they always had.
    messages.warnings.clear();
    StructureDocument doc;
    ASSERT_TRUE(load_ins(shelx_file("5 6 7 90 90 90", "LATT -1\nSYMM X+1/3,-Y,-Z\n"), doc));
    EXPECT_TRUE(doc.space_group.empty());
    EXPECT_TRUE(has(messages.warnings, "VELDOR Cannot identify the Space Group in the Shelx file"));
}

// A SHELXD or SHELXT input: no FVAR, instructions of the solution programs,
// no atoms.
TEST_F(FilesReadRight, SolutionProgramInstructionsAreNotAtoms) {
    StructureDocument doc;
    ASSERT_TRUE(
        load_ins("TITL s\nCELL 0.71073 5 6 7 90 100 90\nZERR 4 0 0 0 0 0 0\nLATT 1\n"
                 "SYMM -X,1/2+Y,1/2-Z\nSFAC C N\nUNIT 24 8\nSHEL 999 1.2\nPATS\n"
                 "FIND 4\nMIND 1.0 -0.1\nNTRY 100\nDSUL 2\nSEED 1\nTEST 0 99\nHKLF 4\nEND\n",
                 doc));
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"No atoms in the ShelX file !!!"}));
    // The "ERR" line of earlier Veldor files, and translations written as x+5/2.
    messages.warnings.clear();
    ASSERT_TRUE(
        load_ins("TITL s\nCELL 0.71073 5 6 7 90 100 90\nERR     1 0 0 0 0 0\nLATT 1\n"
                 "SYMM -X,Y+5/2,-Z-3/2\nSFAC C\nUNIT 4\nC1 1 0.1 0.2 0.3 11 0.02\nEND\n",
                 doc));
    ASSERT_EQ(doc.asym.size(), 1u);
    EXPECT_EQ(doc.space_group, "P21/c");
    for (const EquivalentPosition& p : doc.positions)
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(p.op.m[k][3] >= 0 && p.op.m[k][3] < 1) << p.text;
}

// What a CIF's operators say decides LATT and the SYMM lines: a C-centred
// list written as LATT 1 would read back with half its operators, a centre
// off the origin written as a positive LATT with a wrong sign.
TEST_F(FilesReadRight, LatticeAndCentreOfCifOperatorsReachTheShelxFile) {
    const std::string cell =
        "_cell_length_a 10\n_cell_length_b 6\n_cell_length_c 8\n_cell_angle_alpha 90\n"
        "_cell_angle_beta 105\n_cell_angle_gamma 90\n";
    const std::string atoms =
        "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
        "C1 0.1 0.2 0.3\nO1 0.3 0.1 0.45\n";
    struct Case {
        const char* name;
        std::string symmetry;
        const char* letter;
        int centre;
        const char* group;
        int latt;
    } cases[] = {
        {"C-centred, no symbol",
         "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n-x,y,-z+1/2\n-x,-y,-z\nx,-y,z+1/2\n"
         "x+1/2,y+1/2,z\n-x+1/2,y+1/2,-z+1/2\n-x+1/2,-y+1/2,-z\nx+1/2,-y+1/2,z+1/2\n",
         "C", 1, "C2/c", 7},
        {"origin choice 1, named without it",
         "_symmetry_space_group_name_H-M 'P n n n'\nloop_\n_symmetry_equiv_pos_as_xyz\n"
         "x,y,z\n-x,-y,z\n-x,y,-z\nx,-y,-z\n-x+1/2,-y+1/2,-z+1/2\nx+1/2,y+1/2,-z+1/2\n"
         "x+1/2,-y+1/2,z+1/2\n-x+1/2,y+1/2,z+1/2\n",
         "P", 0, "Pnnn:1", -1},
        {"origin choice 2, named without it",
         "_symmetry_space_group_name_H-M 'P n n n'\nloop_\n_symmetry_equiv_pos_as_xyz\n"
         "x,y,z\n-x+1/2,-y+1/2,z\n-x+1/2,y,-z+1/2\nx,-y+1/2,-z+1/2\n-x,-y,-z\n"
         "x+1/2,y+1/2,-z\nx+1/2,-y,z+1/2\n-x,y+1/2,z+1/2\n",
         "P", 1, "Pnnn:2", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "data_t\n" + cell + c.symmetry + atoms;
        // The Pnnn cases need an orthogonal cell.
        if (std::string(c.group).rfind("Pnnn", 0) == 0) text.replace(text.find("105"), 3, "90");
        StructureDocument doc;
        ASSERT_EQ(load_cif_text(text, doc), 0) << messages.warnings.back();
        EXPECT_EQ(doc.lattice_letter, c.letter);
        EXPECT_EQ(doc.centrosymmetric, c.centre);
        EXPECT_EQ(doc.space_group, c.group);
        EXPECT_EQ(latt_code(doc), c.latt);
        const StructureDocument back = through_shelx(doc);
        EXPECT_EQ(back.positions.size(), doc.positions.size());
        EXPECT_TRUE(same_operator_set(operators_of(back.positions), operators_of(doc.positions)));
        EXPECT_TRUE(same_sites(cell_contents(doc), cell_contents(back)));
    }
    // Given only a symbol, the default setting: origin choice 1.
    StructureDocument doc;
    ASSERT_EQ(load_cif_text(
                  "data_t\n" + cell + "_symmetry_space_group_name_H-M 'F d -3 m'\n" + atoms, doc),
              0);
    EXPECT_EQ(doc.space_group, "Fd-3m:1");
    EXPECT_EQ(doc.centrosymmetric, 0);
    EXPECT_EQ(doc.crystal_system, "CUBI");
}

// Every real CIF of the tests: through a SHELX file, the same operators
// (modulo lattice translations) and the same cell contents.
TEST_F(FilesReadRight, RealCifsKeepTheirStructureThroughShelx) {
    for (const auto& entry : fs::directory_iterator(VELDOR_TESTDATA_DIR)) {
        if (entry.path().extension() != ".cif") continue;
        SCOPED_TRACE(entry.path().filename().string());
        StructureDocument doc;
        ASSERT_EQ(
            load_cif(entry.path().string(), doc, paths, messages, [](const auto&) { return 0; })
                .status,
            0);
        const StructureDocument back = through_shelx(doc);
        EXPECT_TRUE(same_operator_set(operators_of(back.positions), operators_of(doc.positions)));
        EXPECT_EQ(back.space_group, doc.space_group);
        EXPECT_TRUE(same_sites(cell_contents(doc), cell_contents(back)));
    }
}

// Damaged copies of a real file that the strict parser refuses: the line
// rules give the same structure, with a warning naming the line.
TEST_F(FilesReadRight, DamagedCopiesOfARealFileAreReadLineByLine) {
    const std::string original = slurp(testdata("cctbx_thpp.cif"));
    StructureDocument intact;
    ASSERT_EQ(load_cif_text(original, intact), 0);
    struct Damage {
        const char* what;
        std::string from, to;
    } damages[] = {
        {"an unclosed quote", "'P 1 21/n 1'\n_space_group_name_Hall",
         "'P 1 21/n 1\n_space_group_name_Hall"},
        {"an unquoted value with blanks", "_symmetry_space_group_name_H-M    'P 1 21/n 1'",
         "_symmetry_space_group_name_H-M    P 1 21/n 1"},
        {"a loop its rows do not fill",
         "  C3   C  0.222142  0.430307   0.129790  0.020871  Uiso  0.499984",
         "  C3   C  0.222142  0.430307   0.129790  0.020871  Uiso"},
        {"an unclosed text field", "loop_\n", "_publ_section_comment\n;\nnever closed\nloop_\n"},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        std::string text = original;
        const std::size_t at = text.find(d.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, d.from.size(), d.to);
        messages.warnings.clear();
        StructureDocument doc;
        ASSERT_EQ(load_cif_text(text, doc), 0) << messages.warnings.back();
        ASSERT_FALSE(messages.warnings.empty());
        EXPECT_EQ(
            messages.warnings[0].rfind("The file t.cif is not a valid CIF: error at line ", 0), 0u)
            << messages.warnings[0];
        EXPECT_NE(messages.warnings[0].find("; it is read line by line"), std::string::npos);
        EXPECT_EQ(doc.space_group, intact.space_group);
        EXPECT_EQ(doc.cell_parameters, intact.cell_parameters);
        ASSERT_EQ(doc.asym.size(), intact.asym.size());
        for (std::size_t i = 0; i < doc.asym.size(); ++i) {
            EXPECT_EQ(doc.asym[i].name, intact.asym[i].name);
            EXPECT_EQ(doc.asym[i].position(), intact.asym[i].position());
            EXPECT_EQ(doc.asym[i].adp, intact.asym[i].adp) << doc.asym[i].name;
        }
    }
    // Nothing either reader can use: an error.
    messages.warnings.clear();
    StructureDocument doc;
    EXPECT_EQ(load_cif_text("loop_\n'open\n", doc), 1);
    EXPECT_EQ(messages.warnings.back(), kNoCifBlockMessage);
}

// An unquoted value with blanks shifts the values of a loop that gemmi
// still accepts: the rows are read again line by line.
TEST_F(FilesReadRight, LoopThatDoesNotLineUpIsReadLineByLine) {
    const std::string head =
        "data_t\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n"
        "_symmetry_space_group_name_H-M 'P 1'\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
        "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_type_symbol\n";
    StructureDocument doc;
    ASSERT_EQ(load_cif_text(head + "Fe1 0.1 0.2 0.3 Fe 2+\nO1 0.4 0.5 0.6\n", doc), 0);
    EXPECT_TRUE(has(messages.warnings,
                    "The atom sites of data_t do not line up with their items "
                    "(at 2+): the block is read line by line"));
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[1].name, "O1");
    EXPECT_DOUBLE_EQ(doc.asym[1].x, 0.4);
    // A row the line rules cannot read either: the read fails, never with shifted values.
    messages.warnings.clear();
    EXPECT_EQ(load_cif_text(head + "Fe1 Fe 0.1 0.2 0.3\nO1 0.4 0.5 0.6 O\n", doc), 1);
    EXPECT_EQ(messages.warnings.back(),
              "The atom site at line 12 cannot be read: its values do not line up with the items "
              "of its loop");
}

// B instead of U: converted by the program's one factor; "." and "?" as a
// coordinate read as 0 and keep the atom; a symbol that nothing can read,
// without operators, fails the read.
TEST_F(FilesReadRight, BValuesUnknownCoordinatesAndUnreadableSymbols) {
    const std::string head =
        "data_t\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n"
        "_symmetry_space_group_name_H-M 'P m -3 m'\n";
    StructureDocument doc;
    ASSERT_EQ(load_cif_text(head + "loop_\n_atom_site_label\n_atom_site_fract_x\n"
                                   "_atom_site_fract_y\n_atom_site_fract_z\n"
                                   "_atom_site_B_iso_or_equiv\nCa1 . . . 0.5\n"
                                   "Ti1 0.5 ? 0.5 0.3(1)\nO1 0.5 0.5 0 .\n",
                            doc),
              0);
    ASSERT_EQ(doc.asym.size(), 3u);
    EXPECT_EQ(doc.asym[0].position(), (Vec3{0, 0, 0}));
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], u_from_b(0.5));
    EXPECT_DOUBLE_EQ(doc.asym[1].y, 0);
    EXPECT_DOUBLE_EQ(doc.asym[1].adp[0], u_from_b(0.3));
    EXPECT_DOUBLE_EQ(doc.asym[2].adp[0], kDefaultIsoValue);  // unknown B
    EXPECT_TRUE(has(messages.warnings, "Unknown atom coordinates (\"?\" or \".\") read as 0"));
    EXPECT_EQ(doc.formula, "");

    messages.warnings.clear();
    std::string modulated = head;
    modulated.replace(modulated.find("'P m -3 m'"), 10, "'X4bm'");
    EXPECT_EQ(load_cif_text(modulated + "_chemical_formula_sum 'Ca Ti O3'\nloop_\n"
                                        "_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                                        "_atom_site_fract_z\nCa1 0 0 0\n",
                            doc),
              1);
    EXPECT_EQ(messages.warnings.back(),
              "The space group symbol X4bm cannot be read, and the file lists no symmetry "
              "operators");
    EXPECT_EQ(doc.formula, "Ca Ti O3");  // kept for the "Create a CIF" dialog
    reset(doc);
    EXPECT_EQ(doc.formula, "");
}

// The disorder groups of a CIF are the SHELX parts: the two positions of
// a disordered atom never bond to each other, each bonds to the ordered
// rest.
TEST_F(FilesReadRight, CifDisorderGroupsAreParts) {
    StructureDocument doc;
    ASSERT_EQ(load_cif_text("data_t\n_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n"
                            "_symmetry_space_group_name_H-M 'P 1'\nloop_\n_atom_site_label\n"
                            "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                            "_atom_site_disorder_group\nC1 0.1 0.1 0.1 .\nC2A 0.25 0.1 0.1 1\n"
                            "C2B 0.24 0.13 0.1 2\nC3 0.1 0.25 0.1 -1\nC4 0.1 0.1 0.25 A\n",
                            doc),
              0);
    std::vector<int> parts;
    for (const Atom& a : doc.asym)
        parts.push_back(a.part);
    EXPECT_EQ(parts, (std::vector<int>{0, 1, 2, -1, 0}));
    ASSERT_TRUE(build_bond_sorts(doc));
    generate(doc, messages);
    std::vector<std::string> bonds;
    for (const CalcBond& b : doc.bonds)
        bonds.push_back(doc.gen[b.atom1 - 1].name + "-" + doc.gen[b.atom2 - 1].name);
    EXPECT_EQ(bonds, (std::vector<std::string>{"C1-C2A", "C1-C2B", "C1-C3", "C1-C4"}));
}

// The line rules alone, on every real CIF: the same record as gemmi's parse
// where the file is valid.
TEST(CifLineRules, AgreeWithTheStrictReaderOnValidFiles) {
    for (const char* f :
         {"cctbx_thpp.cif", "pyobjcryst_paracetamol_MeOH.cif", "gemmi_2013551_MgI2.cif",
          "pymatgen_Graphite.cif", "pyobjcryst_BaTiO3.cif", "pymatgen_Cu7Te5.cif",
          "pymatgen_nosymm_HallOnly.cif"}) {
        SCOPED_TRACE(f);
        const std::string text = slurp(testdata(f));
        SilentMessages quiet;
        const CifScan strict = scan_cif_text(text, f, quiet);
        const CifScan lines = scan_cif_text_by_lines(text, f, quiet);
        ASSERT_EQ(strict.candidates.size(), 1u);
        ASSERT_EQ(lines.candidates.size(), 1u);
        EXPECT_EQ(lines.candidates[0].start_line, strict.candidates[0].start_line);
        const ProgramPaths paths{VELDOR_DATA_DIR, ""};
        StructureDocument a, b;
        ASSERT_EQ(read_cif_block_text(text, f, strict.candidates[0], a, paths, quiet), 0);
        ASSERT_EQ(read_cif_block_text(text, f, lines.candidates[0], b, paths, quiet), 0);
        EXPECT_EQ(b.space_group, a.space_group);
        EXPECT_EQ(b.formula, a.formula);
        EXPECT_EQ(b.cell_parameters, a.cell_parameters);
        EXPECT_TRUE(same_operator_set(operators_of(b.positions), operators_of(a.positions)));
        ASSERT_EQ(b.asym.size(), a.asym.size());
        for (std::size_t i = 0; i < a.asym.size(); ++i) {
            EXPECT_EQ(b.asym[i].name, a.asym[i].name);
            EXPECT_EQ(b.asym[i].element, a.asym[i].element);
            EXPECT_EQ(b.asym[i].position(), a.asym[i].position());
            EXPECT_EQ(b.asym[i].adp, a.asym[i].adp) << a.asym[i].name;
        }
    }
}

}  // namespace
}  // namespace veldor
