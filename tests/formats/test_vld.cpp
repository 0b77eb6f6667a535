#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/metric.h"
#include "core/text.h"
#include "formats/text_file.h"
#include "formats/vld.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

fs::path temp_dir(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("veldor_vld_" + name);
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

Atom make_asym(const std::string& element, const std::string& label, double x, double y, double z,
               std::array<double, 6> adp, int sort) {
    Atom a;
    a.element = element;
    a.label = label;
    a.name = make_atom_name(element, label);
    a.x = x;
    a.y = y;
    a.z = z;
    a.adp = adp;
    a.iso = adp[1] == 0 && adp[2] == 0 ? 1 : 0;
    a.element_index = sort;
    return a;
}

// A small but complete plot: P21/c, isotropic and anisotropic atoms, a
// five- and a six-character name, a dummy atom, moved labels, labelled
// bonds and two different fonts.
void sample(StructureDocument& doc, DrawingSettings& d) {
    RecordingMessages m;
    doc.title = "Test structure (C5 H O Cl)";
    doc.cell_parameters = {6.9196, 14.5749, 9.7248, 90, 90.637, 90};
    compute_metric(doc, m);
    set_crystal_system_from_cell(doc);
    doc.space_group = "P21/c";
    doc.lattice_letter = "P";
    doc.centrosymmetric = 1;
    for (const char* t : {"X,Y,Z", "-X,Y+1/2,-Z+1/2"}) {
        EquivalentPosition p;
        p.op = *decode_operator(t);
        p.text = format_operator(p.op);
        doc.positions.push_back(p);
    }
    expand_by_inversion(doc.positions);
    doc.positions[0].selected = 1;
    doc.positions[2].selected = 1;
    doc.generation_ops = {doc.positions[0].op, doc.positions[2].op};
    doc.element_sorts = {{rgb(128, 128, 128), 0.77, "C"},
                         {rgb(0, 255, 0), 0.66, "O"},
                         {rgb(0, 128, 128), 0.99, "CL"},
                         {rgb(255, 0, 0), 0.32, "H"}};
    doc.asym.push_back(make_asym("C", "1", 0.16726, 0.42638, -0.23772,
                                 {0.03596, 0.02944, 0.01904, -0.00009, -0.00298, -0.00761}, 1));
    doc.asym.push_back(make_asym("O", "12A", 0.1, 0.2, 0.3, {0.025, 0, 0, 0, 0, 0}, 2));
    doc.asym.push_back(
        make_asym("CL", "1AB", 0.5, 0.25, 0.125, {0.04, 0.03, 0.02, 0.001, 0.002, 0.003}, 3));
    doc.asym.push_back(make_asym("CL", "12AB", 0.7, 0.8, 0.9, {0.05, 0.04, 0.03, 0, 0, 0}, 3));
    doc.asym.push_back(make_asym("H", "1", 0.2, 0.4, -0.2, {0.012, 0, 0, 0, 0, 0}, 4));
    for (int i = 0; i < 5; ++i) {
        Atom g = doc.asym[static_cast<std::size_t>(i)];
        g.adp = {0.001 * (i + 1), 0.002, 0.003, 0.0001, -0.0002, 0.00003};
        g.colour = doc.element_sorts[static_cast<std::size_t>(g.element_index - 1)].colour;
        g.tag = i % 2 + 1;
        g.part = i == 2 ? 1 : 0;
        g.label_dx = i == 1 ? 0.25 : 0;
        g.label_dy = i == 1 ? -0.5 : 0;
        g.labelled = i == 3 ? 0 : 1;
        g.drawn = i == 4 ? 0 : 1;
        doc.gen.push_back(g);
        doc.gen_labels.push_back(g.element + " " + g.label);
    }
    doc.gen_labels[1] = "O12A (2_565)";  // longer than 8: cut
    Atom dummy;
    dummy.name = "DU1";
    dummy.element = "DU";
    dummy.x = 0.3;
    dummy.y = 0.3;
    dummy.z = 0.3;
    dummy.iso = 1;
    dummy.adp = {0.01, 0.01, 0.01, 0, 0, 0};
    dummy.colour = 16744576;
    doc.gen.push_back(dummy);
    doc.gen_labels.push_back("DU1");
    doc.bond_sorts = {{"C", "C", 1.85}, {"C", "O", 1.72}, {"CL", "C", 2.11}};
    CalcBond b1;
    b1.atom1 = 1;
    b1.atom2 = 2;
    b1.multiplicity = 1;
    b1.length = 1.234;
    b1.width = 6;
    b1.colour = rgb(255, 255, 0);
    CalcBond b2 = b1;
    b2.atom1 = 2;
    b2.atom2 = 3;
    b2.width = 3;
    b2.length = 1.5;
    b2.colour = rgb(0, 0, 255);
    b2.label_dx = 0.5;
    b2.label_dy = 0.75;
    b2.label_angle = 33.5;
    b2.label = "1.500";
    doc.bonds = {b1, b2};
    doc.enclosure.box = {1.5, 2, 2.5};
    doc.enclosure.centre = {0.25, 0.5, 0.75};
    doc.enclosure.radius = 7.5;
    doc.generation_mode = GenerationMode::Sphere;
    doc.cut_sphere = true;
    doc.bond_width = 8;
    doc.bond_colour = rgb(255, 255, 0);
    doc.background_colour = rgb(255, 255, 255);
    reset_orientation(d.view, doc.metric);
    d.view.view_matrix_inverse = {{{0.1, 0.02, 0.0}, {0.0, 0.0686, 0.01}, {0.0, -0.001, 0.1028}}};
    derive_view_matrices(d.view, doc.metric);
    d.view.probability_index = 5;
    d.view.bond_perspective = 4.5;
    d.options.draw_cell = true;
    d.options.labels_off_centre = true;
    d.options.bond_labels = true;
    d.options.add_position_code = true;
    d.dummy = {0.05, rgb(1, 2, 3)};
    d.atom_label_font = {"Arial", "Bold, Italic", {true, true, false, false}, 14, rgb(255, 0, 0)};
    d.bond_label_font = {"Times New Roman", "", {}, 9, rgb(0, 0, 255)};
}

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Vld, WriteReadWriteIsByteIdentical) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const std::string first = vld_text(doc, d);
    StructureDocument doc2;
    DrawingSettings d2;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(first, "x.vld", doc2, d2, m))
        << (m.warnings.empty() ? "" : m.warnings[0]);
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_EQ(vld_text(doc2, d2), first);
}

TEST(Vld, RoundTripKeepsTheValues) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const auto dir = temp_dir("values");
    const std::string path = (dir / "a.vld").string();
    RecordingMessages m;
    ASSERT_TRUE(write_vld(path, doc, d, m));
    StructureDocument r;
    DrawingSettings rd;
    ASSERT_TRUE(read_vld(path, r, rd, m));
    EXPECT_EQ(r.title, doc.title);
    EXPECT_EQ(r.space_group, "P21/c");
    EXPECT_EQ(r.lattice_letter, "P");
    EXPECT_EQ(r.centrosymmetric, 1);
    EXPECT_EQ(r.crystal_system, "MONO");
    ASSERT_EQ(r.positions.size(), 4u);
    EXPECT_EQ(r.positions[1].text, "-X, Y+1/2,-Z+1/2");
    EXPECT_EQ(r.positions[3].op.m[1][3], -0.5);
    EXPECT_EQ(r.positions[2].selected, 1);
    ASSERT_EQ(r.generation_ops.size(), 2u);
    EXPECT_EQ(r.generation_ops[1], doc.positions[2].op);
    ASSERT_EQ(r.asym.size(), 5u);
    EXPECT_EQ(r.asym[2].name, "Cl1AB");
    EXPECT_EQ(r.asym[2].element, "CL");
    EXPECT_EQ(r.asym[2].label, "1AB");
    EXPECT_EQ(r.asym[3].name, "Cl12AB");  // six characters survive
    EXPECT_EQ(r.asym[3].label, "12AB");
    EXPECT_EQ(r.asym[1].iso, 1);
    EXPECT_EQ(r.asym[0].iso, 0);
    EXPECT_DOUBLE_EQ(r.asym[0].adp[5], -0.00761);
    ASSERT_EQ(r.gen.size(), 6u);
    EXPECT_EQ(r.gen_labels[1], "O12A (2_");
    EXPECT_EQ(r.gen[3].name, "Cl12AB");
    EXPECT_EQ(r.gen[3].element, "CL");
    EXPECT_EQ(r.gen[2].part, 1);
    EXPECT_EQ(r.gen[5].element, "DU");
    EXPECT_EQ(r.gen[5].label, "");
    EXPECT_EQ(r.gen[5].colour, 16744576u);
    EXPECT_DOUBLE_EQ(r.gen[1].label_dy, -0.5);
    EXPECT_EQ(r.gen[4].drawn, 0);
    EXPECT_EQ(r.gen[3].labelled, 0);
    ASSERT_EQ(r.bond_sorts.size(), 3u);
    EXPECT_EQ(r.bond_sorts[2].element1, "CL");
    EXPECT_DOUBLE_EQ(r.bond_sorts[2].max_distance, 2.11);
    ASSERT_EQ(r.bonds.size(), 2u);
    EXPECT_EQ(r.bonds[1].label, "1.500");
    EXPECT_EQ(r.bonds[1].colour, rgb(0, 0, 255));
    EXPECT_EQ(r.bonds[1].width, 3);
    EXPECT_DOUBLE_EQ(r.bonds[1].label_angle, 33.5);
    EXPECT_EQ(r.generation_mode, GenerationMode::Sphere);
    EXPECT_TRUE(r.cut_sphere);
    EXPECT_FALSE(r.cut_box);
    EXPECT_EQ(r.bond_width, 8);
    EXPECT_DOUBLE_EQ(rd.view.bond_perspective, 4.5);
    EXPECT_DOUBLE_EQ(rd.view.view_matrix_inverse[1][1], 0.0686);
    EXPECT_EQ(rd.options, d.options);
    EXPECT_EQ(rd.dummy, d.dummy);
    EXPECT_EQ(rd.atom_label_font, d.atom_label_font);
    EXPECT_EQ(rd.bond_label_font, d.bond_label_font);
    EXPECT_DOUBLE_EQ(r.enclosure.radius, 7.5);
    EXPECT_EQ(r.vld_file, path);
}

TEST(Vld, WriterUsesCrLfAndTheFixedHeaders) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const std::string t = vld_text(doc, d);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\n') {
            ASSERT_TRUE(i > 0 && t[i - 1] == '\r') << i;
        }
    }
    const auto lines = split_lines(t);
    EXPECT_EQ(lines[0], "#Title");
    EXPECT_EQ(lines[2], "#Cell");
    EXPECT_EQ(lines[3], "  6.9196 14.5749  9.7248  90.000  90.637  90.000");
    EXPECT_EQ(lines[6], "+P");
    EXPECT_EQ(lines[9].size(), 72u);
    EXPECT_EQ(lines[9], "   1   0   0  0.000000   0   1   0  0.000000   0   0   1  0.000000     1");
    EXPECT_NE(t.find("#Asymetric unit contents\r\n5\r\nC1     0.16726   0.42638  -0.23772    1\r\n"
                     "       0.035960  0.029440  0.019040 -0.000090 -0.002980 -0.007610\r\n"),
              std::string::npos);
    EXPECT_NE(t.find("\r\n   1   2   1   1.234    6     65535   0.000   0.000     0.000\r\n"),
              std::string::npos);
    EXPECT_NE(t.find("   2   3   1   1.500    3  16711680   0.500   0.750    33.5001.500\r\n"),
              std::string::npos);
    EXPECT_NE(t.find("#bond width and perspective\r\n 0.080\r\n  4.5000\r\n"), std::string::npos);
    EXPECT_NE(t.find("#background and bonds coulours\r\n65535\r\n16777215\r\n"), std::string::npos);
    EXPECT_NE(
        t.find("#Drawing options\r\n  0  0  1  0  0  0  1  0  1  0  1  0  0  0  1  0  1  0  0  0"
               "    0.05      197121\r\n"),
        std::string::npos);
    EXPECT_NE(t.find("#Fonts name and colour\r\nArial                         Times New Roman\r\n"
                     "Bold, Italic                  \r\n"
                     "             14            255              9       16711680\r\n"),
              std::string::npos);
}

TEST(Vld, LfOnlyFileReadsTheSame) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    std::string crlf = vld_text(doc, d);
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf += c;
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(lf, "lf.vld", r, rd, m));
    EXPECT_EQ(vld_text(r, rd), crlf);
}

std::string replace_line(const std::string& text, const std::string& header, int offset,
                         const std::string& new_line) {
    auto lines = split_lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == header) {
            lines[i + static_cast<std::size_t>(offset)] = new_line;
            break;
        }
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

TEST(Vld, OlderDrawingOptionsLineTakesTheDefaultDummyStyle) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const std::string t =
        replace_line(vld_text(doc, d), "#Drawing options", 1,
                     "  0  0  1  0  0  0  1  0  0  1  0  1  0  0  0  0  0  0  0  0");
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "old.vld", r, rd, m));
    EXPECT_DOUBLE_EQ(rd.dummy.dimension, 0.01);
    EXPECT_EQ(rd.dummy.colour, 16744576u);
    EXPECT_EQ(r.generation_mode, GenerationMode::Box);
    EXPECT_TRUE(r.cut_box);
}

TEST(Vld, GenerationModeFlagsBoxWinsOverSphereOverFragmentsOverCell) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    struct Case {
        const char* flags;
        GenerationMode mode;
    } cases[] = {
        {"  0  0  0  0  0  0  0  1  1  0  0  0  1", GenerationMode::Sphere},
        {"  0  0  0  0  0  0  0  1  0  0  0  0  1", GenerationMode::Fragments},
        {"  0  0  0  0  0  0  0  0  0  0  0  0  1", GenerationMode::CellContents},
        {"  0  0  0  0  0  0  0  1  1  1  0  0  1", GenerationMode::Box},
        // No flag: "No option", whatever the document held before.
        {"  0  0  0  0  0  0  0  0  0  0  0  0  0", GenerationMode::None},
    };
    for (const Case& c : cases) {
        const std::string line = std::string(c.flags) + "  0  0  0  0  0  0  0    0.01    16744576";
        const std::string t = replace_line(vld_text(doc, d), "#Drawing options", 1, line);
        StructureDocument r;
        r.generation_mode = GenerationMode::Fragments;
        DrawingSettings rd;
        RecordingMessages m;
        ASSERT_TRUE(read_vld_text(t, "g.vld", r, rd, m));
        EXPECT_EQ(r.generation_mode, c.mode) << c.flags;
    }
}

TEST(Vld, FourNumberBondLineTakesWidth6AndTheCurrentBondColour) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    std::string t = vld_text(doc, d);
    t = replace_line(t, "#Calculated bonds", 2, "   1   2   0   1.234");
    StructureDocument r;
    r.bond_colour = rgb(10, 20, 30);  // the colour held before the load
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "old.vld", r, rd, m));
    EXPECT_EQ(r.bonds[0].width, 6);
    EXPECT_EQ(r.bonds[0].colour, rgb(10, 20, 30));
    EXPECT_DOUBLE_EQ(r.bonds[0].length, 1.234);
    EXPECT_EQ(r.bonds[0].label, "");
    EXPECT_EQ(r.bond_colour, rgb(255, 255, 0));  // the file's colour comes later
    EXPECT_EQ(r.bonds[1].colour, rgb(0, 0, 255));
}

TEST(Vld, BondWidthOldIntegerAndNewFractionBothGive6) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    for (const char* w : {"6", " 0.060", "6.0", "0.06"}) {
        const std::string t = replace_line(vld_text(doc, d), "#bond width and perspective", 1, w);
        StructureDocument r;
        DrawingSettings rd;
        RecordingMessages m;
        ASSERT_TRUE(read_vld_text(t, "w.vld", r, rd, m));
        EXPECT_EQ(r.bond_width, 6) << w;
    }
}

TEST(Vld, DuplicateNamesAreReported) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    doc.asym[3].name = "c1";  // same as atom 1 in upper case
    const std::string t = vld_text(doc, d);
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    EXPECT_FALSE(read_vld_text(t, "dup.vld", r, rd, m));
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(m.warnings[0], "The atom Nb1(C1) has the same name as the atom Nb4(c1)");
    EXPECT_EQ(r.asym.size(), 5u);  // the document keeps what was read
    EXPECT_EQ(r.bonds.size(), 2u);
}

TEST(Vld, EmptySpaceGroupReadsAsEmpty) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    doc.space_group.clear();
    doc.lattice_letter.clear();
    doc.centrosymmetric = 0;
    const std::string t = vld_text(doc, d);
    EXPECT_NE(t.find("#Space group\r\n\r\n-\r\n"), std::string::npos);
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "e.vld", r, rd, m));
    EXPECT_EQ(r.space_group, "");
    EXPECT_EQ(r.lattice_letter, "");
    EXPECT_EQ(r.centrosymmetric, 0);
    EXPECT_EQ(vld_text(r, rd), t);
}

TEST(Vld, LongTitleIsKeptWhole) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    doc.title.clear();
    for (int i = 0; i < 40; ++i)
        doc.title += "title " + std::to_string(i) + " ";
    ASSERT_GT(doc.title.size(), 255u);
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(vld_text(doc, d), "t.vld", r, rd, m));
    EXPECT_EQ(r.title, doc.title);
}

TEST(Vld, AsymmetricAtomWhoseOffDiagonalValuesSumToZeroIsIsotropic) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    doc.asym[0].adp = {0.03, 0.02, -0.01, -0.01, 0, 0};
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(vld_text(doc, d), "i.vld", r, rd, m));
    EXPECT_EQ(r.asym[0].iso, 1);
    EXPECT_EQ(r.asym[2].iso, 0);
}

TEST(Vld, OneFontLayoutGivesTheBondFontTheAtomFont) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    std::string t = vld_text(doc, d);
    t = replace_line(t, "#Fonts name and colour", 1, "Courier New");
    t = replace_line(t, "#Fonts name and colour", 2, "Italic");
    t = replace_line(t, "#Fonts name and colour", 3, "             10         255");
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "f.vld", r, rd, m));
    EXPECT_EQ(rd.bond_label_font.name, "Courier New");
    EXPECT_EQ(rd.bond_label_font.style_text, "Italic");
    EXPECT_TRUE(rd.bond_label_font.style.italic);
    EXPECT_EQ(rd.bond_label_font.size, 10);
    EXPECT_EQ(rd.bond_label_font.colour, 255u);
}

TEST(Vld, TruncatedFilesStopWithAMessage) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const auto lines = split_lines(vld_text(doc, d));
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string t;
        for (std::size_t i = 0; i < n; ++i)
            t += lines[i] + "\r\n";
        StructureDocument r;
        DrawingSettings rd;
        RecordingMessages m;
        EXPECT_FALSE(read_vld_text(t, "cut.vld", r, rd, m)) << n;
        ASSERT_EQ(m.warnings.size(), 1u) << n;
        EXPECT_NE(m.warnings[0].find("cut.vld"), std::string::npos);
    }
}

TEST(Vld, BadNumberNamesTheLine) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const std::string t = replace_line(vld_text(doc, d), "#Cell", 1, "  6.9x96 14.5749");
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    EXPECT_FALSE(read_vld_text(t, "bad.vld", r, rd, m));
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(m.warnings[0], "Invalid numeric format \"6.9x96\" at line 4 of bad.vld");
    EXPECT_EQ(r.title, doc.title);  // what was read stays
}

TEST(Vld, CountsAboveTheCapacitiesAreRefused) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    struct Case {
        const char* header;
        const char* count;
        const char* message;
    } cases[] = {{"#General Positions", "193", "More than 192 equivalent positions"},
                 {"#Asymetric unit contents", "1001", "The number of atoms is > 1000!"},
                 {"#Generated atoms", "5001", "More than 5000 generated atoms"},
                 {"#Calculated bonds", "10001", "Too much bonds!"},
                 {"#Element sorts", "-1", "Invalid count"}};
    for (const Case& c : cases) {
        const std::string t = replace_line(vld_text(doc, d), c.header, 1, c.count);
        StructureDocument r;
        DrawingSettings rd;
        RecordingMessages m;
        EXPECT_FALSE(read_vld_text(t, "cap.vld", r, rd, m));
        ASSERT_EQ(m.warnings.size(), 1u);
        EXPECT_EQ(m.warnings[0].rfind(c.message, 0), 0u) << m.warnings[0];
    }
}

TEST(Vld, BondToAMissingAtomIsRefused) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const std::string t =
        replace_line(vld_text(doc, d), "#Calculated bonds", 2, "   1   7   0   1.234");
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    EXPECT_FALSE(read_vld_text(t, "b.vld", r, rd, m));
    EXPECT_EQ(m.warnings.at(0).rfind("Bond between unknown atoms", 0), 0u);
}

TEST(Vld, AfterLoadTurnsOnMovedLabelsAndBondLabels) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    d.options.labels_off_centre = false;
    d.options.bond_labels = false;
    after_vld_load(doc, d);
    EXPECT_TRUE(d.options.labels_off_centre);
    EXPECT_TRUE(d.options.bond_labels);
    EXPECT_EQ(doc.display.size(), doc.gen.size());
    // The stored label flags are cleared; only moved labels turn one on.
    for (Atom& a : doc.gen)
        a.label_dx = a.label_dy = 0;
    d.options.labels_in_centre = true;
    d.options.labels_off_centre = true;
    after_vld_load(doc, d);
    EXPECT_FALSE(d.options.labels_in_centre);
    EXPECT_FALSE(d.options.labels_off_centre);
}

TEST(Vld, SavingIsAtomic) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    const auto dir = temp_dir("atomic");
    const std::string path = (dir / "keep.vld").string();
    { std::ofstream(path) << "old contents"; }
    RecordingMessages m;
    EXPECT_FALSE(write_vld((dir / "missing" / "x.vld").string(), doc, d, m));
    EXPECT_EQ(m.warnings.size(), 1u);
    EXPECT_EQ(read_text(path), "old contents");
    ASSERT_TRUE(write_vld(path, doc, d, m));
    EXPECT_EQ(read_text(path), vld_text(doc, d));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

// Found by fuzzing: values wider than their fields and texts holding line
// ends must not shift the fields or the lines that follow.
TEST(Vld, OvergrownFieldsAndLineEndsInTextsStillReadBack) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    doc.cell_parameters[2] = 228;
    doc.cell_parameters[3] = 100000;
    doc.positions[1].op.m[1][3] = 100000.5;
    doc.asym[0].x = -1234.5;
    doc.gen[0].adp[0] = 12345.678;
    d.dummy.dimension = 123456789;
    doc.title = "two\nlines";
    doc.bonds[1].label = "a\rb";
    const std::string t = vld_text(doc, d);
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "wide.vld", r, rd, m)) << m.warnings.at(0);
    EXPECT_DOUBLE_EQ(r.cell_parameters[2], 228);
    EXPECT_DOUBLE_EQ(r.cell_parameters[3], 100000);
    EXPECT_DOUBLE_EQ(r.positions[1].op.m[1][3], 100000.5);
    EXPECT_DOUBLE_EQ(r.asym[0].x, -1234.5);
    EXPECT_EQ(r.asym[0].name, "C1");
    EXPECT_DOUBLE_EQ(r.gen[0].adp[0], 12345.678);
    EXPECT_DOUBLE_EQ(rd.dummy.dimension, 123456789);
    EXPECT_EQ(r.title, "two lines");
    EXPECT_EQ(r.bonds[1].label, "a b");
    EXPECT_EQ(vld_text(r, rd), t);
}

// Atom numbers from 1000 on fill their four columns, so the writer keeps
// them apart by a blank and the label moves right: a packing's file (and the
// snapshot of each Plot) must still read back, labels included.
TEST(Vld, BondsOfAtomsFrom1000OnReadBackWithTheirLabels) {
    StructureDocument doc;
    DrawingSettings d;
    sample(doc, d);
    while (doc.gen.size() < 2500) {
        doc.gen.push_back(doc.gen.back());
        doc.gen_labels.push_back(doc.gen_labels.empty() ? "" : doc.gen_labels.back());
    }
    doc.display = doc.gen;
    doc.bonds[1].atom1 = 999;
    doc.bonds[1].atom2 = 2345;
    doc.bonds[0].width = 123456;  // outgrown too
    const std::string t = vld_text(doc, d);
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    ASSERT_TRUE(read_vld_text(t, "packing.vld", r, rd, m)) << m.warnings.at(0);
    ASSERT_EQ(r.bonds.size(), 2u);
    EXPECT_EQ(r.bonds[1].atom1, 999);
    EXPECT_EQ(r.bonds[1].atom2, 2345);
    EXPECT_DOUBLE_EQ(r.bonds[1].label_angle, 33.5);
    EXPECT_EQ(r.bonds[1].label, "1.500");
    EXPECT_EQ(r.bonds[0].width, 123456);
    EXPECT_EQ(vld_text(r, rd), t);

    // Values far beyond any drawing still stop the read, naming the line.
    doc.bonds[0].width = 2000000000;
    doc.bonds[0].label_dx = 1e12;
    doc.bonds[0].label_dy = 1e12;
    EXPECT_FALSE(read_vld_text(vld_text(doc, d), "b.vld", r, rd, m));
    EXPECT_NE(m.warnings.back().find(" at line "), std::string::npos) << m.warnings.back();
}

TEST(Vld, MissingFileIsReported) {
    StructureDocument r;
    DrawingSettings rd;
    RecordingMessages m;
    EXPECT_FALSE(read_vld("/nonexistent/x.vld", r, rd, m));
    EXPECT_EQ(m.warnings.at(0), "Cannot open the file /nonexistent/x.vld");
    EXPECT_EQ(m.busy_depth, 0);
}

}  // namespace
}  // namespace veldor
