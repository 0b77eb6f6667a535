// The powder-diffraction formats: Lazy Pulverix, PowderCell and Tessard,
// with the operators taken from the catalogue and "spa.grp".

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/adp.h"
#include "core/text.h"
#include "formats/powder.h"
#include "symmetry/operators.h"

namespace fs = std::filesystem;
using namespace veldor;

namespace {

class Powder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        work = fs::temp_directory_path() / ("veldor_powder_" + std::to_string(rd()));
        fs::create_directories(work);
        paths = {VELDOR_DATA_DIR, work.string()};
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    std::string file(const std::string& name, const std::string& text) {
        const fs::path p = work / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    fs::path work;
    ProgramPaths paths;
    RecordingMessages messages;
    StructureDocument doc;
};

bool has_translation(const StructureDocument& doc, double x, double y, double z) {
    return std::any_of(
        doc.positions.begin(), doc.positions.end(), [&](const EquivalentPosition& p) {
            return p.op.rotation() == identity3() && std::abs(p.op.m[0][3] - x) < 1e-6 &&
                   std::abs(p.op.m[1][3] - y) < 1e-6 && std::abs(p.op.m[2][3] - z) < 1e-6;
        });
}

const char* const kRockSalt =
    "TITLE Rock salt\n"
    "CELL 5.6402 5.6402 5.6402 90 90 90\n"
    "SPCGRP F m -3 m\n"
    "ATOM NA1   0.0 0.0 0.0 0.0\n"
    "ATOM CL1   0.5 0.5 0.5 1.2 ignored\n";

}  // namespace

TEST_F(Powder, LazyPulverixRockSalt) {
    const PowderLoadResult r =
        load_lazy_pulverix(file("nacl.lzy", kRockSalt), doc, paths, messages);
    ASSERT_EQ(r.status, 0) << (messages.warnings.empty() ? "" : messages.warnings[0]);
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_EQ(doc.title, "Rock salt");
    EXPECT_EQ(doc.space_group, "Fm-3m");
    EXPECT_EQ(r.space_group_text, "Space Group: Fm-3m");
    EXPECT_EQ(doc.crystal_system, "CUBI");
    EXPECT_EQ(doc.lattice_letter, "F");
    EXPECT_DOUBLE_EQ(doc.cell_parameters[0], 5.6402);
    // 24 listed operators, times 4 for the F centring, times 2 for the centre.
    ASSERT_EQ(doc.positions.size(), 192u);
    EXPECT_EQ(doc.centrosymmetric, 1);
    EXPECT_EQ(doc.positions[0].text, " X, Y, Z");
    EXPECT_EQ(doc.positions[0].selected, 1);
    EXPECT_EQ(std::count_if(doc.positions.begin(), doc.positions.end(),
                            [](const EquivalentPosition& p) { return p.selected; }),
              1);
    EXPECT_TRUE(has_translation(doc, 0, 0.5, 0.5));
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    ASSERT_EQ(doc.asym.size(), 2u);
    const Atom& na = doc.asym[0];
    EXPECT_EQ(na.element, "NA");
    EXPECT_EQ(na.label, "1");
    EXPECT_EQ(na.name, "Na1");
    EXPECT_EQ(na.iso, 1);
    // B = 0 is read as 1: Uiso = 1 / (8 pi^2), the conversion of typed B
    // values and of CIF B items too.
    EXPECT_DOUBLE_EQ(na.adp[0], u_from_b(1));
    EXPECT_NEAR(na.adp[0], 0.012665, 5e-6);
    EXPECT_DOUBLE_EQ(doc.asym[1].adp[0], u_from_b(1.2));
    EXPECT_EQ(doc.asym[1].element, "CL");
    EXPECT_DOUBLE_EQ(doc.asym[1].z, 0.5);
    ASSERT_EQ(doc.element_sorts.size(), 2u);
    EXPECT_EQ(doc.data_file, (work / "nacl.lzy").string());
}

// "0,25" is one unreadable number, not two: the load fails, as a batch run
// does (status 1), instead of reading shifted coordinates.
TEST_F(Powder, CommaInsideANumberIsAReadError) {
    std::string text = kRockSalt;
    text.replace(text.find("0.5 0.5 0.5"), 11, "0,5 0.5 0.5");
    EXPECT_EQ(load_lazy_pulverix(file("c.lzy", text), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));
    messages.warnings.clear();
    EXPECT_EQ(load_tessard(file("c.cry", "t\nCUBI\nPm-3m\n4,0 4 4 90 90 90\nNA  1 0 0 0 1\n"), doc,
                           paths, messages)
                  .status,
              1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));
}

// A cell that is not quite cubic (89.98 degrees) still finds its group, in
// the catalogue of the group's system, with a word about the cell; a
// symbol without origin choice is origin choice 1; a symbol nothing can
// read fails the read instead of giving P1.
TEST_F(Powder, SymbolLookupAcrossSystemsAndDefaultOrigin) {
    const std::string text =
        "CELL 5.43 5.43 5.43 90 89.98 90\nSPCGRP F d -3 m\nATOM SI1   0.0 0.0 0.0 0.5\n";
    ASSERT_EQ(load_lazy_pulverix(file("si.lzy", text), doc, paths, messages).status, 0);
    EXPECT_EQ(doc.crystal_system, "CUBI");
    EXPECT_EQ(doc.positions.size(), 192u);
    EXPECT_EQ(doc.centrosymmetric, 0);  // origin choice 1: the centre is at 1/8, 1/8, 1/8
    EXPECT_EQ(
        messages.warnings,
        (std::vector<std::string>{"The cell departs from the metric of the space group Fd-3m"}));
    messages.warnings.clear();
    const std::string unknown = "CELL 5 5 5 90 90 90\nSPCGRP X4bm\nATOM SI1   0.0 0.0 0.0 0.5\n";
    EXPECT_EQ(load_lazy_pulverix(file("x.lzy", unknown), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"The space group symbol X4bm cannot be read",
                                        "Error while reading input file"}));
    // A symbol the interpreter reads, though no catalogue lists it.
    messages.warnings.clear();
    std::string other = unknown;
    other.replace(other.find("X4bm"), 4, "P 1 1 21/b");
    other.replace(other.find("90 90 90"), 8, "90 90 110");
    ASSERT_EQ(load_lazy_pulverix(file("o.lzy", other), doc, paths, messages).status, 0)
        << messages.warnings.front();
    EXPECT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.centrosymmetric, 1);
}

TEST_F(Powder, LazyPulverixOneLetterElementAndTitleStem) {
    const std::string text =
        "CELL 5 6 7 90 100 90\nSPCGRP P 21/c\nATOM C12   0.1 0.2 0.3 2.0\nATOM O1    0.4 0.5 0.6 "
        "3\n";
    const PowderLoadResult r = load_lazy_pulverix(file("mol.lzy", text), doc, paths, messages);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(doc.title, "mol");
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(doc.asym[0].element, "C");
    EXPECT_EQ(doc.asym[0].label, "12");
    EXPECT_EQ(doc.asym[0].name, "C12");
    EXPECT_EQ(doc.asym[1].element, "O");
}

TEST_F(Powder, LazyPulverixMessages) {
    EXPECT_EQ(
        load_lazy_pulverix(file("a.lzy", "CELL 5 5 x 90 90 90\n"), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Cell not found", "Error while reading input file"}));
    EXPECT_TRUE(doc.data_file.empty());

    messages.warnings.clear();
    EXPECT_EQ(load_lazy_pulverix(file("b.lzy", "CELL 5 5 5 90 90 90\nATOM C1    0.1 0.2\n"), doc,
                                 paths, messages)
                  .status,
              1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));

    messages.warnings.clear();
    std::string many = "CELL 5 5 5 90 90 90\nSPCGRP P 1\n";
    for (int i = 1; i <= 1001; ++i)
        many += "ATOM C" + std::to_string(i) + "  0.1 0.2 0.3 1\n";
    EXPECT_EQ(load_lazy_pulverix(file("c.lzy", many), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings, (std::vector<std::string>{"The number of atoms is > 1000!",
                                                           "Error while reading input file"}));
    EXPECT_EQ(doc.asym.size(), 1000u);

    messages.warnings.clear();
    EXPECT_EQ(load_lazy_pulverix(file("d.lzy", "TITLE no cell\n"), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Cell not found", "Error while reading input file"}));
}

// A cubic symbol in the notation of the program's time (m3m for today's
// m-3m) is the group it names, not P1.
TEST_F(Powder, OldCubicSymbolIsTodaysGroup) {
    const std::string text = "CELL 5 5 5 90 90 90\nSPCGRP F M 3 M\nATOM NA1   0 0 0 1\n";
    const PowderLoadResult r = load_lazy_pulverix(file("old.lzy", text), doc, paths, messages);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(doc.space_group, "FM3M");
    EXPECT_EQ(doc.positions.size(), 192u);
    EXPECT_EQ(doc.centrosymmetric, 1);
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(Powder, SpaceGroupNumbers) {
    EXPECT_EQ(*space_group_of_number(14, paths.data_dir, messages), "P21/c");
    EXPECT_EQ(*space_group_of_number(166, paths.data_dir, messages), "R-3m");
    EXPECT_EQ(*space_group_of_number(227, paths.data_dir, messages), "Fd-3m:2");
    EXPECT_FALSE(space_group_of_number(231, paths.data_dir, messages));
    EXPECT_EQ(messages.warnings.back(), "No space group number 231 in spa.grp");
    EXPECT_FALSE(space_group_of_number(14, work.string(), messages));
    EXPECT_EQ(messages.warnings.back(), "The file spa.grp was not found!");
}

TEST_F(Powder, PowderCellSilicon) {
    const std::string text =
        "CELL  5.4310  5.4310  5.4310  90.000  90.000  90.000\n"
        "natom  2\n"
        "Si1  14 0.12500 0.12500 0.12500 1.0000 0.5000\n"
        "14   14   0.0 0.0 0.0 1.0 0.0\n"
        "\n"
        "rgnr  227 2\n";
    const PowderLoadResult r = load_powdercell(file("si.cel", text), doc, paths, messages);
    ASSERT_EQ(r.status, 0) << (messages.warnings.empty() ? "" : messages.warnings[0]);
    EXPECT_EQ(doc.space_group, "Fd-3m:2");
    EXPECT_EQ(doc.crystal_system, "CUBI");
    EXPECT_EQ(doc.positions.size(), 192u);
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[0].element, "SI");
    EXPECT_EQ(doc.asym[0].label, "1");
    EXPECT_EQ(doc.asym[0].name, "Si1");
    EXPECT_DOUBLE_EQ(doc.asym[0].x, 0.125);
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], u_from_b(0.5));
    // A name that is an atomic number: the element, with no suffix.
    EXPECT_EQ(doc.asym[1].element, "SI");
    EXPECT_EQ(doc.asym[1].label, "");
    EXPECT_EQ(doc.asym[1].name, "Si");
    EXPECT_DOUBLE_EQ(doc.asym[1].adp[0], u_from_b(1));
    EXPECT_EQ(doc.title, "si");
}

TEST_F(Powder, PowderCellColumnsAndErrors) {
    // The atomic number is the field of columns 6 and 7, whatever it holds:
    // an empty one does not take x away.
    const std::string blank =
        "CELL  4.0 4.0 4.0 90 90 90\n"
        "Ti1     0.10000  0.20000  0.30000  1.00000  0.50000\n"
        "O1   8  0.50000  0.00000  0.00000  1.00000  0.60000\n"
        "RGNR  221\n";
    ASSERT_EQ(load_powdercell(file("w.cel", blank), doc, paths, messages).status, 0);
    EXPECT_EQ(doc.space_group, "Pm-3m");
    EXPECT_DOUBLE_EQ(doc.asym[0].x, 0.1);
    EXPECT_DOUBLE_EQ(doc.asym[0].adp[0], u_from_b(0.5));
    EXPECT_EQ(doc.asym[1].element, "O");
    EXPECT_DOUBLE_EQ(doc.asym[1].x, 0.5);

    // A number cut by the column boundary, or a comma inside a number, is a
    // read error, never shifted or split coordinates.
    for (const char* line : {"Ti1   22  0.00000  0.00000  0.00000  1.00000  0.50000\n",
                             "O1   8  0,50000  0.00000  0.00000  1.00000  0.60000\n"}) {
        messages.warnings.clear();
        EXPECT_EQ(load_powdercell(
                      file("c.cel", std::string("CELL 4 4 4 90 90 90\n") + line + "RGNR 221\n"),
                      doc, paths, messages)
                      .status,
                  1)
            << line;
        EXPECT_EQ(messages.warnings,
                  (std::vector<std::string>{"Read error", "Error while reading input file"}));
    }

    messages.warnings.clear();
    EXPECT_EQ(load_powdercell(file("e.cel", "CELL 4 4 4 90 90 90\nXx1  99 0 0 0 1 1\n"), doc, paths,
                              messages)
                  .status,
              1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));
    messages.warnings.clear();
    EXPECT_EQ(load_powdercell(file("f.cel", "natom 1\n"), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Cell not found", "Error while reading input file"}));
}

TEST_F(Powder, TessardRhombohedralInHexagonalAxes) {
    const std::string text =
        "Calcite\n"
        "HEXA\n"
        "R-3c\n"
        "4.990 4.990\n17.061 90 90 120\n"
        "CA  1  0.0 0.0 0.0 0.5\n"
        "C   1  0.0 0.0 0.25 0.6\n"
        "O   1  0.257 0.0 0.25 0.9\n";
    const PowderLoadResult r = load_tessard(file("calcite.cry", text), doc, paths, messages);
    ASSERT_EQ(r.status, 0) << (messages.warnings.empty() ? "" : messages.warnings[0]);
    EXPECT_EQ(doc.crystal_system, "HEXA");
    EXPECT_EQ(doc.space_group, "R-3c");
    EXPECT_EQ(doc.lattice_letter, "R");
    EXPECT_DOUBLE_EQ(doc.cell_parameters[2], 17.061);
    // 6 listed, doubled by the centre, tripled by the R centring.
    EXPECT_EQ(doc.positions.size(), 36u);
    EXPECT_TRUE(has_translation(doc, 0.3333333333, 0.6666666666, 0.6666666666));
    EXPECT_TRUE(has_translation(doc, 0.6666666666, 0.3333333333, 0.3333333333));
    ASSERT_EQ(doc.asym.size(), 3u);
    EXPECT_EQ(doc.asym[0].element, "CA");
    EXPECT_EQ(doc.asym[0].name, "Ca1");
    EXPECT_EQ(doc.asym[2].name, "O1");
    EXPECT_DOUBLE_EQ(doc.asym[2].x, 0.257);
    EXPECT_DOUBLE_EQ(doc.asym[2].adp[0], u_from_b(0.9));
}

TEST_F(Powder, TessardErrors) {
    EXPECT_EQ(
        load_tessard(file("a.cry", "t\nCUBI\nPm-3m\n4 4 4 90 90 x\n"), doc, paths, messages).status,
        1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));
    messages.warnings.clear();
    EXPECT_EQ(load_tessard(file("b.cry", "t\nCUBI\nPm-3m\n4 4 4 90 90 90\nNA  1 0 0 zero 1\n"), doc,
                           paths, messages)
                  .status,
              1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Read error", "Error while reading input file"}));
    messages.warnings.clear();
    EXPECT_EQ(load_tessard(file("c.cry", "t\nCUBI\n"), doc, paths, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"Cell not found", "Error while reading input file"}));
}

TEST_F(Powder, MissingCatalogueFile) {
    ProgramPaths empty{work.string(), work.string()};
    EXPECT_EQ(load_lazy_pulverix(file("x.lzy", kRockSalt), doc, empty, messages).status, 1);
    EXPECT_EQ(messages.warnings,
              (std::vector<std::string>{"cubi.pos not found", "Error while reading input file"}));
}

// Damaged versions of valid files: a status every time, the tables kept.
TEST_F(Powder, DamagedFilesNeverBreakTheReaders) {
    const std::string lzy = kRockSalt;
    const std::string cel =
        "CELL  5.4310  5.4310  5.4310  90.000  90.000  90.000\nnatom 1\n"
        "Si1  14 0.12500 0.12500 0.12500 1.0000 0.5000\nrgnr  227\n";
    const std::string cry = "t\nHEXA\nR-3c\n4.99 4.99 17.06 90 90 120\nCA  1  0 0 0 0.5\n";
    using Reader = int (*)(std::string_view, StructureDocument&, const ProgramPaths&, Messages&);
    const std::pair<const std::string*, Reader> cases[] = {
        {&lzy, read_lazy_pulverix_text}, {&cel, read_powdercell_text}, {&cry, read_tessard_text}};
    std::mt19937 rng(2024);
    const std::string junk = " \n\t-+.0123456789eEATOMCELLrgnr/,x";
    SilentMessages quiet;
    for (const auto& [text, reader] : cases) {
        for (int k = 0; k < 200; ++k) {
            std::string t = *text;
            if (k % 2 == 0) {
                t.resize(rng() % (t.size() + 1));
            } else {
                for (int n = 0; n < 4; ++n)
                    t[rng() % t.size()] = junk[rng() % junk.size()];
            }
            StructureDocument d;
            const int status = reader(t, d, paths, quiet);
            EXPECT_TRUE(status == 0 || status == 1);
            EXPECT_LE(d.positions.size(), 192u);
            EXPECT_LE(d.asym.size(), 1000u);
        }
    }
}
