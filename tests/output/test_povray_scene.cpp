#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "drawing/view.h"
#include "formats/save_target.h"
#include "formats/vld.h"
#include "output/povray_scene.h"
#include "tests/drawing/fixtures.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;
using test::iso_atom;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

long count_of(const std::string& text, const std::string& piece) {
    long n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size()))
        ++n;
    return n;
}

// The lines from the first that starts with `first`, `count` of them.
std::vector<std::string> block(const std::string& text, const std::string& first, int count) {
    const auto all = lines_of(text);
    const auto it = std::find(all.begin(), all.end(), first);
    if (it == all.end() || all.end() - it < count) return {};
    return {it, it + count};
}

CalcBond bond(int a1, int a2, Colour colour = kYellow) {
    CalcBond b;
    b.atom1 = a1;
    b.atom2 = a2;
    b.width = 6;
    b.colour = colour;
    return b;
}

// Two carbon atoms 1.5 A apart along a* in a 10 A cube, U = 0.01, seen
// from the start orientation (view X along a*): view X = -0.75 and 0.75.
struct Pair {
    StructureDocument doc = test::document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    PovraySceneInfo info{"08/12/2026", "VELDOR V2. Data for pair.ins", "/work/pair.pov"};
    Pair() {
        doc.display = {iso_atom(doc, "C1", {0.4, 0.5, 0.5}, 0.01),
                       iso_atom(doc, "C2", {0.55, 0.5, 0.5}, 0.01)};
        for (Atom& a : doc.display)
            a.element_index = 1;
        doc.element_sorts = {ElementSort{rgb(128, 128, 128), 0.76, "C"}};
        doc.bonds = {bond(1, 2)};
        state = test::fresh_state(doc);
    }
    std::string scene() {
        DrawingEnvironment env;
        env.work_dir = fs::temp_directory_path().string();
        initialise_view(doc, state, env, msg);
        return povray_scene(doc, state, info);
    }
};

// The radius of U = 0.01 at 50 %, and its quadric coefficient.
const double kRadius = 1.5382 * std::sqrt(0.01 * test::kBetaRatio);
const std::string kLambda = format_fixed(1 / (kRadius * kRadius), 8, 5);

TEST(PovrayScene, HeaderDeclarationsAndCameraAsWritten) {
    Pair p;
    const auto l = lines_of(p.scene());
    ASSERT_GT(l.size(), 60u);
    const std::vector<std::string> head = {
        "/*File created by VELDOR2",
        "08/12/2026",
        "Structure: VELDOR V2. Data for pair.ins",
        "Povray file name: /work/pair.pov*/",
        "#version 3.0",
        "#include \"colors.inc\" ",
        "#include \"textures.inc\" ",
        "#include \"metals.inc\" ",
        "#declare couleur_C       = color red  0.50196 green  0.50196 blue  0.50196 ;",
        "#declare couleur_DU       = color red  0.50196 green  0.50196 blue  1.00000 ;",
        "#declare color_bond       = color red  1.00000 green  1.00000 blue  0.00000 ;",
        "#declare Bond_Texture      = texture {",
        "                            pigment {color color_bond }",
        "                            finish { Metal } }"};
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 14), head);
    const std::string text = p.scene();
    // Without the cell there is no Bond_Radius2; B = 0.06.
    EXPECT_EQ(
        block(text, "#declare Bond_Radius3       =  0.015 ;", 4),
        (std::vector<std::string>{
            "#declare Bond_Radius3       =  0.015 ;", "#declare Bond_Radius       =  0.060 ;",
            "#declare Bond_Dummy        =  0.120 ;", "#declare Bond_Hydrogene    =  0.020 ;"}));
    EXPECT_EQ(count_of(text, "Bond_Radius2"), 0);
    // Only the vertical extent enters: (0 + 2 r) x 10.
    EXPECT_NE(text.find("#declare View_Distance     = " + format_fixed(20 * kRadius, 8, 2) + ";\n"),
              std::string::npos);
    EXPECT_NE(text.find("        right    <-1.33, 0.0 , 0.0 >\n"), std::string::npos);
    // Texture_ for the element, none for DU.
    EXPECT_EQ(count_of(text, "#declare Texture_C   = texture {"), 1);
    EXPECT_EQ(count_of(text, "Texture_DU"), 0);
}

TEST(PovrayScene, PlainAtomIsItsQuadricTurnedAndPlaced) {
    Pair p;
    p.scene();
    p.state.ellipsoids.atoms[0].eigenvectors = identity3();
    const std::string text = povray_scene(p.doc, p.state, p.info);
    EXPECT_EQ(block(text, "/*C1*/", 10),
              (std::vector<std::string>{
                  "/*C1*/", "object {",
                  "         quadric { < " + kLambda + "," + kLambda + "," + kLambda + " >",
                  "<     0,   0,    0    >", "<     0,   0,    0    >, -1}",
                  "      texture {Texture_C}", "matrix <    1.00000,   0.00000,   0.00000,",
                  "            0.00000,   1.00000,   0.00000,",
                  "            0.00000,   0.00000,   1.00000,",
                  "           -0.750 ,   0.000 ,   0.000> "}));
    // The bond, in the bond's colour, between the two centres.
    EXPECT_EQ(block(text, "cylinder {<  -0.750,   0.000,   0.000  >", 3),
              (std::vector<std::string>{"cylinder {<  -0.750,   0.000,   0.000  >",
                                        "          <   0.750,   0.000,    0.000   >    0.060",
                                        "texture {Bond_Texture} } "}));
    // The 1 A bar left of and below the structure: x0 = (-0.75 - r) 1.2.
    const double x0 = (-0.75 - kRadius) * 1.2, y0 = -kRadius * 1.2;
    EXPECT_NE(text.find("cylinder {<" + format_fixed(x0, 8, 3) + "," + format_fixed(y0, 8, 3) +
                        ",   0.000  >\n          <" + format_fixed(x0 + 1, 8, 3) + "," +
                        format_fixed(y0, 8, 3) + ",   0.000   > Bond_Radius3\n"),
              std::string::npos);
}

// A principal axis pointing away from the viewer is turned round in the cut
// form only, so the removed octant faces the camera.
TEST(PovrayScene, CutFormTurnsAxesTowardsTheViewer) {
    Pair p;
    p.scene();
    p.state.ellipsoids.atoms[0].eigenvectors = Mat3{{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}};
    const std::string plain = povray_scene(p.doc, p.state, p.info);
    EXPECT_EQ(block(plain, "/*C1*/", 7).back(), "matrix <    0.00000,   0.00000,  -1.00000,");
    p.state.options.draw_planes_and_axes = true;
    const std::string cut = povray_scene(p.doc, p.state, p.info);
    const auto b = block(cut, "/*C1*/", 37);
    ASSERT_EQ(b.size(), 37u);
    EXPECT_EQ(b[1], "object { difference { union {");
    EXPECT_EQ(b[24], "<      0,   0,    0    >");  // the third equator's wider zeros
    EXPECT_EQ(b[29], "         } box { < 0.000,   0.0000,   0.0000 > ,");
    const std::string r = format_fixed(kRadius, 7, 3);
    EXPECT_EQ(b[30], "                 < " + r + "," + r + "," + r + " >");
    EXPECT_EQ(b[31], "texture { Texture_Coupure } }");
    EXPECT_EQ(b[32], "matrix <    0.00000,   0.00000,   1.00000,");
    EXPECT_EQ(b[33], "            0.00000,   1.00000,   0.00000,");
    EXPECT_EQ(b[34], "            1.00000,   0.00000,   0.00000,");
    EXPECT_EQ(b[36], "                }}");
    // The equator form keeps the matrix as it is.
    p.state.options.draw_planes_and_axes = false;
    p.state.options.draw_planes = true;
    const std::string planes = povray_scene(p.doc, p.state, p.info);
    EXPECT_EQ(block(planes, "/*C1*/", 31).back(), "matrix <    0.00000,   0.00000,  -1.00000,");
    EXPECT_EQ(count_of(planes, "Equator_Texture}"), 6);
}

TEST(PovrayScene, CellAddsRadiusEdgesAndLettersInTheLastBondColour) {
    Pair p;
    p.state.options.draw_cell = true;
    p.doc.bonds = {bond(1, 2, rgb(255, 0, 0)), bond(1, 2, rgb(0, 0, 255))};
    std::string text = p.scene();
    EXPECT_EQ(count_of(text, "#declare Bond_Radius2       =  0.030 ;"), 1);
    EXPECT_EQ(count_of(text, "   > Bond_Radius2\n"), 12);
    for (const char* letter : {"O", "a", "b", "c"})
        EXPECT_EQ(count_of(text, std::string("\"timrom.ttf\" \"") + letter + "\" 0.5 0"), 1);
    // The edges take the texture declared last: that of the last bond.
    auto last_bond_colour = [](const std::string& t) {
        const std::size_t edges = t.find("> Bond_Radius2\n");
        const std::size_t decl = t.rfind("#declare color_bond", edges);
        return t.substr(decl, t.find('\n', decl) - decl);
    };
    EXPECT_EQ(last_bond_colour(text),
              "#declare color_bond       = color red  0.00000 green  0.00000 blue  1.00000 ;");
    p.doc.bonds.clear();
    text = p.scene();
    EXPECT_EQ(last_bond_colour(text),
              "#declare color_bond       = color red  1.00000 green  1.00000 blue  0.00000 ;");
}

TEST(PovrayScene, LabelLoopsWriteOnlyLabelsPlacedOffCentre) {
    Pair p;
    p.state.options.labels_off_centre = true;
    p.state.options.bond_labels = true;
    p.doc.gen_labels = {"C1 \"a\"", "C2"};
    p.doc.display[0].label_dx = 0.5;  // a zero component: not written
    p.doc.display[1].label_dx = 0.5;
    p.doc.display[1].label_dy = 0.25;
    p.doc.bonds[0].label = "1.500 \u00c5";
    p.doc.bonds[0].label_dx = 0.1;
    p.doc.bonds[0].label_dy = 0.2;
    p.doc.bonds[0].label_angle = 30;
    const std::string text = p.scene();
    EXPECT_EQ(block(text, "   text{ttf \"timrom.ttf\" \"C2\" 0.5 0", 5),
              (std::vector<std::string>{"   text{ttf \"timrom.ttf\" \"C2\" 0.5 0",
                                        "pigment {color_font}", "scale <   0.30,  0.30,  0.30 >",
                                        "translate <    0.25,  -0.25   0.00 >", "}"}));
    EXPECT_EQ(count_of(text, "\"C1"), 0);
    EXPECT_EQ(block(text, "   text{ttf \"timrom.ttf\" \"1.500 A\" 0.5 0", 6),
              (std::vector<std::string>{"   text{ttf \"timrom.ttf\" \"1.500 A\" 0.5 0",
                                        "pigment {color_font}", "scale <   0.30,  0.30,  0.30 >",
                                        "rotate < 0 , 0,   30.00 >",
                                        "translate <   -0.85,  -0.20   0.00 >", "}"}));
    // A quote in a label is escaped, so the scene still reads.
    p.doc.display[0].label_dy = 0.1;
    EXPECT_NE(p.scene().find("\"C1 \\\"a\\\"\" 0.5 0"), std::string::npos);
    // A deleted label, or one of a masked atom, is not in the picture.
    p.doc.display[1].labelled = 0;
    EXPECT_EQ(count_of(p.scene(), "\"C2\""), 0);
}

TEST(PovrayScene, MaskedAtomsLoseTheirBondsAndMarksColourBonds) {
    Pair p;
    p.doc.display.push_back(iso_atom(p.doc, "C3", {0.55, 0.6, 0.5}, 0.01));
    p.doc.display[2].drawn = 0;
    p.doc.bonds = {bond(1, 2), bond(2, 3)};
    p.doc.bonds[0].multiplicity = 1;
    p.state.options.double_triple_bonds = true;
    const std::string text = p.scene();
    EXPECT_EQ(count_of(text, "/*C3*/"), 0);
    EXPECT_EQ(count_of(text, "cylinder {"), 2);  // one bond and the scale bar
    EXPECT_NE(text.find("#declare color_bond       = color red  0.00000 green  0.50000 blue  "
                        "0.00000 ;\n#declare Bond_Texture"),
              std::string::npos);
}

TEST(PovrayScene, FragmentColoursAndUndeclaredNamesGetTextures) {
    Pair p;
    p.doc.colour_fragments = true;
    p.doc.display[0].tag = 1;
    p.doc.display[1].tag = 2;
    std::string text = p.scene();
    EXPECT_EQ(count_of(text, "#declare couleur_1       = color"), 1);
    EXPECT_EQ(count_of(text, "#declare Texture_2   = texture {"), 1);
    EXPECT_EQ(count_of(text, "couleur_C"), 0);
    EXPECT_EQ(count_of(text, "      texture {Texture_1}"), 1);
    EXPECT_EQ(count_of(text, "texture {Texture_1 } } "), 1);  // the bond takes its first atom's
    // An atom of an element without a sort still names a declared texture.
    p.doc.colour_fragments = false;
    p.doc.display[1].element = "X'";
    text = p.scene();
    EXPECT_EQ(count_of(text, "#declare Texture_X_   = texture {"), 1);
    EXPECT_EQ(count_of(text, "      texture {Texture_X_}"), 1);
}

TEST(PovrayScene, NamesTakeTheExtensionOnlyWithoutAPoint) {
    RecordingMessages msg;
    EXPECT_EQ(export_target("scene", kPovrayExtension, msg), "scene.pov");
    EXPECT_EQ(export_target("scene.old", kPovrayExtension, msg), "scene.old");
    EXPECT_EQ(export_target("", kPovrayExtension, msg), std::nullopt);
    const fs::path dir = fs::temp_directory_path() / "veldor_pov_names";
    fs::create_directories(dir);
    const std::string existing = (dir / "old.pov").string();
    std::ofstream(existing) << "kept";
    EXPECT_EQ(export_target(existing, kPovrayExtension, msg), std::nullopt);
    EXPECT_EQ(msg.log,
              (std::vector<std::string>{"beep", std::string("confirm: ") + kOverwriteQuestion}));
    fs::remove_all(dir);
}

// Runs POV-Ray on a scene; its messages, or nullopt when it is not installed.
std::optional<std::string> render(const fs::path& scene, int& status) {
    if (std::system("command -v povray > /dev/null 2>&1") != 0) return std::nullopt;
    const fs::path log = scene.string() + ".log";
    const std::string cmd = "cd '" + scene.parent_path().string() + "' && povray +I'" +
                            scene.filename().string() + "' +O'" + scene.stem().string() +
                            ".png' -D +W48 +H48 > '" + log.string() + "' 2>&1";
    const int raw = std::system(cmd.c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(log);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every form of a real structure's scene reads in Debian's POV-Ray.
TEST(PovrayScene, RealStructureRendersInEveryForm) {
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    ASSERT_TRUE(read_vld(VELDOR_TESTDATA_DIR "/thpp_plot.vld", doc, state, msg));
    after_vld_load(doc, state);
    DrawingEnvironment env;
    env.work_dir = fs::temp_directory_path().string();
    const fs::path dir = fs::temp_directory_path() / "veldor_pov_render";
    fs::create_directories(dir);
    doc.display[3].label_dx = doc.display[3].label_dy = 0.4;
    doc.display[5].drawn = 0;
    state.options.draw_cell = state.options.labels_off_centre = state.options.bond_labels = true;
    for (int form = 0; form < 4; ++form) {
        state.options.draw_planes = form == 1;
        state.options.draw_planes_and_axes = form == 2;
        doc.colour_fragments = form == 3;
        initialise_view(doc, state, env, msg);
        const fs::path scene = dir / ("form" + std::to_string(form) + ".pov");
        ASSERT_TRUE(write_povray_scene(scene.string(), doc, state, {}, msg));
        int status = -1;
        const auto log = render(scene, status);
        if (!log) GTEST_SKIP() << "povray is not installed";
        EXPECT_EQ(status, 0) << *log;
        EXPECT_EQ(log->find("Parse Error"), std::string::npos) << *log;
        EXPECT_TRUE(fs::exists(dir / ("form" + std::to_string(form) + ".png")));
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace veldor
