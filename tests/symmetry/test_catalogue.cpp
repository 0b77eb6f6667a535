// Choosing the symmetry: crystal system and its cell constraints, a group
// from the catalogue, lookups by the symbols files write, the cell fields.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VELDOR_DATA_DIR;

struct Folder {
    fs::path path;
    explicit Folder(const std::string& tag) {
        path = fs::temp_directory_path() / ("veldor_cat_" + tag + "_" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
    }
};

StructureDocument doc_with_cell(std::array<double, 6> cell, const std::string& system = "") {
    StructureDocument doc;
    doc.cell_parameters = cell;
    doc.crystal_system = system;
    return doc;
}

TEST(SystemChoice, TetragonalCopiesAIntoBAndFixesTheAngles) {
    auto doc = doc_with_cell({5.2, 6.1, 7.3, 91, 92, 93});
    RecordingMessages msg;
    const SystemChoice c = choose_system(doc, "Tetra.", kData, msg);
    EXPECT_TRUE(msg.warnings.empty());
    EXPECT_EQ(doc.crystal_system, "TETR");
    EXPECT_EQ(doc.lattice_letter, "T");
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{5.2, 5.2, 7.3, 90, 90, 90}));
    EXPECT_EQ(c.constrained, (std::array<bool, 6>{false, true, false, true, true, true}));
    EXPECT_EQ(kConstrainedFieldColour, rgb(192, 192, 192));
    // Both lists come from the tetragonal files, in file order.
    ASSERT_FALSE(c.standard_symbols.empty());
    EXPECT_EQ(c.standard_symbols.front(), "P4");
    EXPECT_NE(std::find(c.standard_symbols.begin(), c.standard_symbols.end(), "I41/amd:2"),
              c.standard_symbols.end());
    ASSERT_FALSE(c.getspec_symbols.empty());
    EXPECT_EQ(c.getspec_symbols.front(), "P4          P 4              75 ");
}

TEST(SystemChoice, EachSystemConstrainsItsOwnFields) {
    struct Case {
        const char* entry;
        std::array<double, 6> cell;
        std::array<bool, 6> constrained;
    };
    const Case cases[] = {
        {"Cubic", {4, 4, 4, 90, 90, 90}, {false, true, true, true, true, true}},
        {"Ortho.", {4, 5, 6, 90, 90, 90}, {false, false, false, true, true, true}},
        {"Hexa.", {4, 4, 6, 90, 90, 120}, {false, true, false, true, true, true}},
        {"Rhombo.", {4, 4, 4, 80, 80, 80}, {false, true, true, false, true, true}},
        {"Monoc.", {4, 5, 6, 80, 100, 110}, {}},
        {"Tricl.", {4, 5, 6, 80, 100, 110}, {}},
    };
    for (const Case& c : cases) {
        auto doc = doc_with_cell({4, 5, 6, 80, 100, 110});
        RecordingMessages msg;
        const SystemChoice choice = choose_system(doc, c.entry, kData, msg);
        EXPECT_EQ(doc.cell_parameters, c.cell) << c.entry;
        EXPECT_EQ(choice.constrained, c.constrained) << c.entry;
        EXPECT_FALSE(choice.standard_symbols.empty()) << c.entry;
        EXPECT_FALSE(choice.getspec_symbols.empty()) << c.entry;
        EXPECT_TRUE(msg.warnings.empty()) << c.entry;
    }
    EXPECT_EQ(system_code("Rhombo."), "RHOM");
    EXPECT_EQ(system_entry_index("MONO"), 5);
    EXPECT_EQ(system_entry_index("XXXX"), -1);
}

TEST(SystemChoice, GetspecListSkipsBlankLinesAndKeepsItsColumns) {
    RecordingMessages msg;
    const auto rhom = getspec_entries(kData, "RHOM", msg);
    ASSERT_EQ(rhom.size(), 7u);  // 9 lines in the block, two blank
    EXPECT_EQ(rhom[1], "R-3:R       -P 3*            148");
    const auto mono = getspec_entries(kData, "MONO", msg);
    EXPECT_NE(std::find(mono.begin(), mono.end(), "P21/c       -P 2ybc          14 "), mono.end());
    EXPECT_TRUE(getspec_entries(kData, "NONE", msg).empty());
    EXPECT_TRUE(msg.warnings.empty());

    Folder empty("nospgr");
    EXPECT_TRUE(getspec_entries(empty.path, "MONO", msg).empty());
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"spgr2.dat not found"});
}

TEST(CatalogueGroup, MonoclinicCellWithGammaNot90IsRefused) {
    auto doc = doc_with_cell({5, 6, 7, 90, 90, 100}, "MONO");
    RecordingMessages msg;
    EXPECT_EQ(choose_catalogue_group(doc, "P21/c", kData, msg), CatalogueChoice::MonoclinicCCell);
    EXPECT_EQ(msg.warnings,
              std::vector<std::string>{"No Space group available for C monoclinic cell"});
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.space_group.empty());

    doc.cell_parameters = {5, 6, 7, 90, 100, 90};
    msg.warnings.clear();
    EXPECT_EQ(choose_catalogue_group(doc, "P21/c", kData, msg), CatalogueChoice::Chosen);
    EXPECT_TRUE(msg.warnings.empty());
    EXPECT_EQ(doc.positions.size(), 4u);
}

TEST(CatalogueGroup, WithoutASystemAsksForOne) {
    auto doc = doc_with_cell({5, 6, 7, 90, 100, 90});
    RecordingMessages msg;
    EXPECT_EQ(choose_catalogue_group(doc, "P21/c", kData, msg), CatalogueChoice::NoSystem);
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"Select the system"});
}

TEST(CatalogueGroup, OnlyTheFirstPositionIsSelectedAfterAChoice) {
    auto doc = doc_with_cell({5, 6, 7, 90, 100, 90}, "MONO");
    doc.generation_mode = GenerationMode::CellContents;
    doc.generation_ops = {SymOp::identity(), SymOp::identity(), SymOp::identity()};
    RecordingMessages msg;
    ASSERT_EQ(choose_catalogue_group(doc, "C2/c", kData, msg), CatalogueChoice::Chosen);
    EXPECT_EQ(doc.space_group, "C2/c");
    EXPECT_EQ(doc.lattice_letter, "C");
    EXPECT_EQ(doc.centrosymmetric, 1);
    ASSERT_EQ(doc.positions.size(), 8u);  // 2 listed, C centring, inversion
    for (std::size_t i = 0; i < doc.positions.size(); ++i) {
        EXPECT_EQ(doc.positions[i].selected, i == 0 ? 1 : 0);
        EXPECT_EQ(doc.positions[i].text, format_operator(doc.positions[i].op));
    }
    EXPECT_EQ(doc.positions[0].text, " X, Y, Z");
    EXPECT_EQ(doc.positions[1].text, "-X, Y,-Z+1/2");
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST(CatalogueGroup, CentrosymmetricIEntryWithFourPositionsGivesSixteen) {
    Folder dir("i16");
    dir.write("TETR.POS",  // found without regard to case
              "\nI4/m\n1\n4\nX,Y,Z\n-x,-y,z\n-Y,X,Z\nY,-X,Z\n3\nI 4/m\n-I 4\n87\n"
              "\nP4\n0\n4\nX,Y,Z\n-X,-Y,Z\n-Y,X,Z\nY,-X,Z\n0\n");
    auto doc = doc_with_cell({5, 5, 7, 90, 90, 90}, "TETR");
    RecordingMessages msg;
    ASSERT_EQ(choose_catalogue_group(doc, "I4/m", dir.path, msg), CatalogueChoice::Chosen)
        << msg.warnings.front();
    ASSERT_EQ(doc.positions.size(), 16u);
    // Listed, centred copies, then every one of those inverted.
    EXPECT_EQ(doc.positions[5].op.translation(), (Vec3{0.5, 0.5, 0.5}));
    EXPECT_EQ(doc.positions[5].op.rotation(), doc.positions[1].op.rotation());
    EXPECT_EQ(doc.positions[13].op.translation(), (Vec3{-0.5, -0.5, -0.5}));
    EXPECT_EQ(doc.positions[8].text, "-X,-Y,-Z");
    ASSERT_EQ(doc.centring.size(), 1u);
    // The real catalogue agrees.
    ASSERT_EQ(choose_catalogue_group(doc, "I4/m", kData, msg), CatalogueChoice::Chosen);
    EXPECT_EQ(doc.positions.size(), 16u);
}

TEST(CatalogueLookup, SymbolsAsCifAndShelxFilesWriteThem) {
    struct Case {
        const char* system;
        const char* written;
        const char* entry;
        int number;
        std::size_t positions;
    };
    const Case cases[] = {
        {"MONO", "P 21/c", "P21/c", 14, 4},
        {"MONO", "P 1 21/c 1", "P21/c", 14, 4},
        {"MONO", "P2(1)/c", "P21/c", 14, 4},
        {"MONO", "p 21/C", "P21/c", 14, 4},
        {"MONO", "P 1 21/n 1", "P21/n", 14, 4},
        {"MONO", "P21/n", "P21/n", 14, 4},
        {"MONO", "P 1 21/a 1", "P21/a", 14, 4},
        {"MONO", "P 1 1 21/b", "P1121/b", 14, 4},
        {"MONO", "C 1 2/c 1", "C2/c", 15, 8},
        {"MONO", "C2/c", "C2/c", 15, 8},
        {"MONO", "I 1 2/a 1", "I2/a", 15, 8},
        {"ORTH", "P b c a", "Pbca", 61, 8},
        {"ORTH", "Pbca", "Pbca", 61, 8},
        {"ORTH", "P n a 21", "Pna21", 33, 4},
        {"ORTH", "Pn21a", "Pn21a", 33, 4},
        {"ORTH", "P 21 21 21", "P212121", 19, 4},
        {"ORTH", "P2(1)2(1)2(1)", "P212121", 19, 4},
        {"ORTH", "P b n m", "Pbnm", 62, 8},
        {"TRIC", "P -1", "P-1", 2, 2},
        {"TRIC", "P-1", "P-1", 2, 2},
        {"HEXA", "R -3 :H", "R-3:H", 148, 18},
        {"HEXA", "R -3", "R-3:H", 148, 18},
        {"HEXA", "R-3:H", "R-3:H", 148, 18},
        {"RHOM", "R -3 :R", "R-3:R", 148, 6},
        {"RHOM", "R -3", "R-3:R", 148, 6},
        {"CUBI", "Fm-3m", "Fm-3m", 225, 192},
        {"CUBI", "F m -3 m", "Fm-3m", 225, 192},
        {"TETR", "I 41/a m d :1", "I41/amd:1", 141, 32},
        {"TETR", "I 41/a m d :2", "I41/amd:2", 141, 32},
        {"TETR", "I41/amd:1", "I41/amd:1", 141, 32},
        {"TETR", "I 41/a m d", "I41/amd:1", 141, 32},  // origin choice 1 unless said
        {"HEXA", "P 63/m m c", "P63/mmc", 194, 24},
        {"HEXA", "P63/mmc", "P63/mmc", 194, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.system) + " '" + c.written + "'");
        RecordingMessages msg;
        const auto cat = read_catalogue(catalogue_file(kData, c.system), msg);
        ASSERT_TRUE(cat);
        const int i = cat->find(c.written);
        ASSERT_GE(i, 0);
        const CatalogueEntry& e = cat->entries[static_cast<std::size_t>(i)];
        EXPECT_EQ(e.symbol, c.entry);
        EXPECT_EQ(e.number(), c.number);

        StructureDocument doc;
        doc.crystal_system = c.system;
        doc.lattice_letter = std::string(1, static_cast<char>(std::toupper(c.written[0])));
        EXPECT_EQ(look_up_group(doc, c.written, kData, msg), LookupStatus::Found);
        EXPECT_EQ(doc.positions.size(), c.positions);
        EXPECT_TRUE(msg.warnings.empty());
    }
}

TEST(CatalogueLookup, UnknownSymbolLeavesTheListEmpty) {
    auto doc = doc_with_cell({5, 6, 7, 90, 100, 90}, "MONO");
    doc.positions.resize(3);
    RecordingMessages msg;
    EXPECT_EQ(look_up_group(doc, "Pnma", kData, msg), LookupStatus::NotFound);
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(msg.warnings.empty());
    // In the wrong system's catalogue, or with a different origin choice.
    RecordingMessages m2;
    const auto cat = read_catalogue(catalogue_file(kData, "TETR"), m2);
    EXPECT_EQ(cat->find("I41/amd:3"), -1);
    EXPECT_EQ(cat->find(""), -1);
    EXPECT_EQ(cat->find("P21/c"), -1);
}

TEST(CatalogueLookup, DamagedFilesAreReportedAndChangeNothing) {
    RecordingMessages msg;
    const char* damaged[] = {
        "\nP1\n0\n",                         // ends in the middle of a record
        "\nP1\nzero\n1\nX,Y,Z\n0\n",         // flag not a number
        "\nP1\n0\n100000\nX,Y,Z\n0\n",       // absurd count
        "\nP1\n0\n2\nX,Y,Z\n\n0\n",          // an operator line missing
        "\nP1\n0\n1\nX,Y,Z\n5\nonly one\n",  // notes cut short
    };
    for (const char* text : damaged) {
        msg.warnings.clear();
        EXPECT_FALSE(parse_catalogue(text, "tric.pos", msg)) << text;
        ASSERT_EQ(msg.warnings.size(), 1u);
        EXPECT_TRUE(msg.warnings[0].starts_with("Damaged catalogue file tric.pos at line "))
            << msg.warnings[0];
    }
    // CR LF and blank lines between records are fine.
    const auto ok = parse_catalogue(
        "\r\nP1\r\n0\r\n1\r\nX,Y,Z\r\n0\r\n\r\n\r\nP-1 \r\n1\r\n1\r\nx,y,z\r\n0", "tric.pos", msg);
    ASSERT_TRUE(ok);
    ASSERT_EQ(ok->entries.size(), 2u);
    EXPECT_EQ(ok->entries[1].symbol, "P-1");

    // An operator the strict decoder refuses stops the lookup; the document
    // keeps its positions.
    Folder dir("bad");
    dir.write("tric.pos", "\nP1\n0\n2\nX,Y,Z\nX+0.5,Y,Z\n0\n");
    auto doc = doc_with_cell({5, 6, 7, 80, 90, 100}, "TRIC");
    doc.positions.resize(2);
    msg.warnings.clear();
    EXPECT_EQ(look_up_group(doc, "P1", dir.path, msg), LookupStatus::Failed);
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"Cannot decode X+0.5"});
    EXPECT_EQ(doc.positions.size(), 2u);
    EXPECT_EQ(choose_catalogue_group(doc, "P1", dir.path, msg), CatalogueChoice::LookupFailed);
    EXPECT_TRUE(doc.space_group.empty());

    // A missing catalogue.
    msg.warnings.clear();
    doc.crystal_system = "CUBI";
    EXPECT_EQ(look_up_group(doc, "P23", dir.path, msg), LookupStatus::Failed);
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"cubi.pos not found"});
}

TEST(LoadedSymbol, SelectsTheSystemAndTheCatalogueEntry) {
    auto doc = doc_with_cell({5, 6, 7, 90, 100, 90}, "MONO");
    doc.space_group = "P 1 21/n 1";
    Folder work("loaded");
    RecordingMessages msg;
    const auto m = match_loaded_symbol(doc, kData, work.path, false, msg);
    EXPECT_EQ(m.system_index, 5);
    ASSERT_GE(m.standard_index, 0);
    EXPECT_EQ(m.standard_symbols[static_cast<std::size_t>(m.standard_index)], "P21/n");
    EXPECT_EQ(m.getspec_index, -1);
    EXPECT_FALSE(m.interpreter_ran);
    EXPECT_FALSE(fs::exists(work.path / "scfs.dat"));
}

TEST(LoadedSymbol, AHallSymbolIsFoundInTheGetspecListAndInterpreted) {
    auto doc = doc_with_cell({5, 6, 7, 90, 100, 90}, "MONO");
    doc.space_group = "-p 2ybc";
    Folder work("hall");
    RecordingMessages msg;
    auto m = match_loaded_symbol(doc, kData, work.path, false, msg);
    EXPECT_EQ(m.standard_index, -1);
    ASSERT_GE(m.getspec_index, 0);
    EXPECT_TRUE(m.getspec_symbols[static_cast<std::size_t>(m.getspec_index)].starts_with("P21/c "));
    EXPECT_TRUE(m.interpreter_ran);
    EXPECT_EQ(doc.space_group, "P21/c");
    EXPECT_EQ(doc.positions.size(), 4u);
    EXPECT_TRUE(fs::exists(work.path / "scfs.dat"));

    // A CIF whose positions were read keeps them: no interpreter.
    auto cif = doc_with_cell({5, 6, 7, 90, 100, 90}, "MONO");
    cif.space_group = "-P 2ybc";
    cif.positions.resize(1);
    fs::remove(work.path / "scfs.dat");
    m = match_loaded_symbol(cif, kData, work.path, true, msg);
    EXPECT_GE(m.getspec_index, 0);
    EXPECT_FALSE(m.interpreter_ran);
    EXPECT_EQ(cif.positions.size(), 1u);
    EXPECT_FALSE(fs::exists(work.path / "scfs.dat"));
}

TEST(LoadedSymbol, RhombohedralAxesUseLatticeLetterP) {
    auto doc = doc_with_cell({5, 5, 5, 80, 80, 80}, "RHOM");
    doc.space_group = "R-3:R";
    doc.lattice_letter = "R";
    Folder work("rhom");
    RecordingMessages msg;
    const auto m = match_loaded_symbol(doc, kData, work.path, false, msg);
    EXPECT_EQ(m.system_index, 4);
    EXPECT_GE(m.standard_index, 0);
    EXPECT_EQ(doc.lattice_letter, "P");
}

TEST(CellFields, EditRuleFollowsTheSystem) {
    RecordingMessages msg;
    auto doc = doc_with_cell({5, 6, 7, 80, 81, 82}, "CUBI");
    ASSERT_TRUE(edit_cell_field(doc, 0, " 4.5", msg));
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{4.5, 4.5, 4.5, 80, 81, 82}));
    EXPECT_TRUE(doc.cell_changed);

    doc = doc_with_cell({5, 6, 7, 80, 81, 82}, "HEXA");
    ASSERT_TRUE(edit_cell_field(doc, 0, "3", msg));
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{3, 3, 7, 80, 81, 82}));

    doc = doc_with_cell({5, 6, 7, 80, 81, 82}, "RHOM");
    ASSERT_TRUE(edit_cell_field(doc, 3, "75.5", msg));
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{5, 6, 7, 75.5, 75.5, 75.5}));
    ASSERT_TRUE(edit_cell_field(doc, 0, ".5", msg));  // tidied to 0.5
    EXPECT_EQ(doc.cell_parameters[2], 0.5);

    doc = doc_with_cell({5, 6, 7, 80, 81, 82}, "MONO");
    ASSERT_TRUE(edit_cell_field(doc, 0, "9", msg));
    EXPECT_EQ(doc.cell_parameters, (std::array<double, 6>{9, 6, 7, 80, 81, 82}));
    EXPECT_TRUE(msg.warnings.empty());

    EXPECT_FALSE(edit_cell_field(doc, 1, "6..1", msg));
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"Type error!"});
    EXPECT_EQ(doc.cell_parameters[1], 6);
}

}  // namespace
}  // namespace veldor
