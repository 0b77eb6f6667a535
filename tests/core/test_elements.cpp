#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/elements.h"

namespace veldor {
namespace {

Atom atom(const std::string& element, const std::string& label) {
    Atom a;
    a.element = element;
    a.label = label;
    a.name = make_atom_name(element, label);
    return a;
}

TEST(Elements, KeyAndDisplayText) {
    EXPECT_EQ(element_key(" cl "), "CL");
    EXPECT_EQ(element_key("Cl1"), "CL");
    EXPECT_EQ(element_key("C1"), "C1");
    EXPECT_EQ(element_key("c"), "C");
    EXPECT_EQ(element_key("   "), "");
    EXPECT_EQ(element_display_text("CL"), "Cl");
    EXPECT_EQ(element_display_text(" FE "), "Fe");
    EXPECT_EQ(element_display_text("C"), "C");
}

TEST(Elements, DefaultColoursExactly) {
    const auto& symbols = default_colour_symbols();
    ASSERT_EQ(symbols.size(), 95u);
    EXPECT_EQ(symbols[25], "FE");  // atomic number 26
    EXPECT_EQ(symbols[92], "NP");
    EXPECT_EQ(symbols[94], "DU");
    const std::map<std::string, Colour> coloured{
        {"H", rgb(255, 0, 0)},      {"HE", rgb(255, 0, 0)},    {"D", rgb(255, 0, 0)},
        {"DU", rgb(255, 0, 0)},     {"B", rgb(192, 192, 192)}, {"CR", rgb(192, 192, 192)},
        {"SE", rgb(192, 192, 192)}, {"C", rgb(128, 128, 128)}, {"V", rgb(128, 128, 128)},
        {"ZN", rgb(128, 128, 128)}, {"N", rgb(0, 128, 0)},     {"CO", rgb(0, 128, 0)},
        {"O", rgb(0, 255, 0)},      {"F", rgb(255, 0, 255)},   {"BR", rgb(255, 0, 255)},
        {"NA", rgb(255, 255, 0)},   {"S", rgb(255, 255, 0)},   {"SI", rgb(0, 0, 255)},
        {"CA", rgb(0, 0, 255)},     {"NI", rgb(0, 0, 255)},    {"P", rgb(128, 0, 128)},
        {"MN", rgb(128, 0, 128)},   {"CL", rgb(0, 128, 128)},  {"CU", rgb(0, 128, 128)},
        {"FE", rgb(128, 0, 0)}};
    for (const std::string& s : default_colour_symbols()) {
        auto it = coloured.find(s);
        EXPECT_EQ(default_element_colour(s), it == coloured.end() ? kWhite : it->second) << s;
    }
    // Exact symbol lookup: no trimming or case folding here.
    EXPECT_EQ(default_element_colour("Cl"), kWhite);
    EXPECT_EQ(default_element_colour("XX"), kWhite);
    EXPECT_EQ(rgb(128, 0, 0), 0x000080u);  // red in the low byte
}

TEST(Radii, PairsWithCrLfBlankLinesAndCase) {
    const RadiiTable r = parse_radii(
        "\xEF\xBB\xBF"
        "c\r\n0.76\r\n fe \r\n1.52 high spin\r\n\r\n\r\n");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].first, "C");
    EXPECT_DOUBLE_EQ(r[0].second, 0.76);
    EXPECT_EQ(r[1].first, "FE");
    EXPECT_DOUBLE_EQ(r[1].second, 1.52);
}

TEST(Radii, SymbolCutToTwoAndLastDuplicateWins) {
    const RadiiTable r = parse_radii("Cl1\n1.0\nH\n0.3\nCL\n1.02\n");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(find_radius(r, "CL"), 1.02);
    EXPECT_EQ(find_radius(r, "H"), 0.3);
    EXPECT_FALSE(find_radius(r, "O").has_value());
}

TEST(Radii, BadRadiusLineStopsReadingKeepingEarlierPairs) {
    // A missing radius line: "O" would be read as N's radius.
    const RadiiTable r = parse_radii("C\n0.76\nN\nO\n0.66\nS\n1.05\n");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(find_radius(r, "C"), 0.76);
    EXPECT_FALSE(find_radius(r, "S").has_value());
}

TEST(Radii, DegenerateTextsNeverFail) {
    EXPECT_TRUE(parse_radii("").empty());
    EXPECT_TRUE(parse_radii("\n\n\r\n").empty());
    EXPECT_TRUE(parse_radii("H").empty());  // symbol without radius
    EXPECT_EQ(parse_radii("H\n0.31\nC").size(), 1u);
    std::string garbage;
    for (int i = 0; i < 512; ++i)
        garbage += static_cast<char>(i * 37 % 256);
    parse_radii(garbage);                                   // must simply return
    EXPECT_EQ(parse_radii("H\r0.31\rC\r0.76").size(), 2u);  // old Mac line ends
}

TEST(Radii, ShippedFileCoversTheColourTable) {
    const RadiiTable r = load_radii(VELDOR_DATA_DIR);
    ASSERT_EQ(r.size(), 95u);
    for (const std::string& s : default_colour_symbols())
        EXPECT_TRUE(find_radius(r, s)) << s;
    EXPECT_EQ(find_radius(r, "C"), 0.76);  // sp3
    EXPECT_EQ(find_radius(r, "H"), 0.31);
    EXPECT_EQ(find_radius(r, "D"), 0.31);
    EXPECT_EQ(find_radius(r, "FE"), 1.52);  // high spin
    EXPECT_EQ(find_radius(r, "MN"), 1.61);
    EXPECT_EQ(find_radius(r, "CO"), 1.50);
    EXPECT_EQ(find_radius(r, "CL"), 1.02);
    EXPECT_EQ(find_radius(r, "O"), 0.66);
    EXPECT_EQ(find_radius(r, "CS"), 2.44);
    EXPECT_EQ(find_radius(r, "NP"), 1.90);
    EXPECT_EQ(find_radius(r, "DU"), 0.0);
}

TEST(Radii, FileNameMatchedWithoutCase) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "veldor_radii_case_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "RAYONS.CST") << "O\n0.66\n";
    const RadiiTable r = load_radii(dir.string());
    fs::remove_all(dir);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(find_radius(r, "O"), 0.66);
    EXPECT_TRUE(load_radii((dir / "missing").string()).empty());
}

TEST(ElementSorts, SharedKeysOrderIndicesRadiiColours) {
    StructureDocument doc;
    doc.bond_colour = kBlack;
    doc.background_colour = kBlack;
    doc.element_sorts.push_back({kBlack, 9.9, "XX"});  // an old table is discarded
    doc.asym = {atom("Cl", "1"), atom("C", "1"), atom("CL", "2"), atom("C1", ""), atom("H", "1")};
    const RadiiTable radii = parse_radii("CL\n1.02\nC\n0.76\nH\n0.31\n");
    RecordingMessages msg;
    ASSERT_TRUE(build_element_sorts(doc, radii, msg));
    EXPECT_TRUE(msg.log.empty());

    ASSERT_EQ(doc.element_sorts.size(), 4u);
    EXPECT_EQ(doc.element_sorts[0].symbol, "CL");
    EXPECT_EQ(doc.element_sorts[1].symbol, "C");
    EXPECT_EQ(doc.element_sorts[2].symbol, "C1");
    EXPECT_EQ(doc.element_sorts[3].symbol, "H");
    EXPECT_EQ(doc.asym[0].element_index, 1);
    EXPECT_EQ(doc.asym[1].element_index, 2);
    EXPECT_EQ(doc.asym[2].element_index, 1);  // "Cl" and "CL" share a sort
    EXPECT_EQ(doc.asym[3].element_index, 3);
    EXPECT_EQ(doc.asym[4].element_index, 4);

    EXPECT_DOUBLE_EQ(doc.element_sorts[0].radius, 1.02);
    EXPECT_EQ(doc.element_sorts[2].radius, 0.0);  // "C1" is in no radii file
    EXPECT_EQ(doc.element_sorts[0].colour, rgb(0, 128, 128));
    EXPECT_EQ(doc.element_sorts[1].colour, rgb(128, 128, 128));
    EXPECT_EQ(doc.element_sorts[2].colour, kWhite);
    EXPECT_EQ(doc.element_sorts[3].colour, rgb(255, 0, 0));
    EXPECT_EQ(doc.bond_colour, rgb(255, 255, 0));
    EXPECT_EQ(doc.background_colour, kWhite);
}

TEST(ElementSorts, DeletedRecordsMakeNoSort) {
    StructureDocument doc;
    doc.asym = {atom("O", "1"), atom("S", "1")};
    doc.asym[1].name.clear();
    doc.asym[1].element_index = 7;
    RecordingMessages msg;
    ASSERT_TRUE(build_element_sorts(doc, {}, msg));
    ASSERT_EQ(doc.element_sorts.size(), 1u);
    EXPECT_EQ(doc.asym[1].element_index, 0);
}

TEST(ElementSorts, VldStructureKeepsItsColours) {
    StructureDocument doc;
    doc.vld_file = "mine.vld";
    doc.bond_colour = kBlack;
    doc.background_colour = rgb(1, 2, 3);
    doc.element_sorts = {{rgb(10, 20, 30), 0.0, "C"}, {rgb(40, 50, 60), 0.0, "O"}};
    doc.asym = {atom("O", "1"), atom("N", "1"), atom("C", "1")};
    RecordingMessages msg;
    ASSERT_TRUE(build_element_sorts(doc, parse_radii("N\n0.71\n"), msg));
    ASSERT_EQ(doc.element_sorts.size(), 3u);
    EXPECT_EQ(doc.element_sorts[0].colour, rgb(40, 50, 60));  // O, now first
    EXPECT_EQ(doc.element_sorts[1].colour, rgb(0, 128, 0));   // N is new: default
    EXPECT_EQ(doc.element_sorts[2].colour, rgb(10, 20, 30));
    EXPECT_DOUBLE_EQ(doc.element_sorts[1].radius, 0.71);
    EXPECT_EQ(doc.bond_colour, kBlack);
    EXPECT_EQ(doc.background_colour, rgb(1, 2, 3));
}

TEST(ElementSorts, MoreThan93ElementsStopsAtCapacity) {
    StructureDocument doc;
    for (int i = 0; i < 100; ++i) {
        const std::string e{static_cast<char>('A' + i / 26), static_cast<char>('A' + i % 26)};
        doc.asym.push_back(atom(e, "1"));
    }
    doc.asym.push_back(atom("AA", "2"));  // an existing sort after the overflow
    RecordingMessages msg;
    EXPECT_FALSE(build_element_sorts(doc, {}, msg));
    EXPECT_EQ(doc.element_sorts.size(), static_cast<std::size_t>(kMaxElementSorts));
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Too many element sorts (more than 93)!");
    EXPECT_EQ(doc.asym[92].element_index, 93);
    EXPECT_EQ(doc.asym[93].element_index, 0);
    EXPECT_EQ(doc.asym[99].element_index, 0);
    EXPECT_EQ(doc.asym[100].element_index, 1);
}

TEST(ColourAtoms, ElementColourWhiteForUnknownDummiesKept) {
    StructureDocument doc;
    doc.element_sorts = {{rgb(0, 128, 128), 1.02, "CL"}, {rgb(9, 9, 9), 0.0, "DU"}};
    doc.gen = {atom("Cl", "1"), atom("CL", "2"), atom("Br", "1"), atom("DU", "1")};
    for (Atom& a : doc.gen)
        a.colour = rgb(1, 1, 1);
    colour_generated_atoms(doc);
    EXPECT_EQ(doc.gen[0].colour, rgb(0, 128, 128));
    EXPECT_EQ(doc.gen[1].colour, rgb(0, 128, 128));
    EXPECT_EQ(doc.gen[2].colour, kWhite);
    EXPECT_EQ(doc.gen[3].colour, rgb(1, 1, 1));
}

}  // namespace
}  // namespace veldor
