// GETSPEC: interpreting symbols, the two sections of "scfs.dat", and
// reading the file back into the document.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/text.h"
#include "symmetry/interpreter.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

struct WorkDir {
    fs::path path;
    explicit WorkDir(const std::string& tag) {
        path = fs::temp_directory_path() /
               ("veldor_getspec_" + tag + "_" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~WorkDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path scfs() const { return path / "scfs.dat"; }
    void write(const std::string& text) const { std::ofstream(scfs(), std::ios::binary) << text; }
    std::string read() const {
        std::ifstream f(scfs(), std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
};

SymOp op_of(std::array<double, 12> v) {
    SymOp s;
    for (std::size_t i = 0; i < 12; ++i)
        s.m[i / 4][i % 4] = v[i];
    return s;
}

// What the SHELX writer takes from the text section: after the line with
// "Symmetry Operators" one line is passed over, then the texts after the
// 11-character field up to an empty field or "-X,-Y,-Z".
std::vector<std::string> symm_lines(const std::string& scfs) {
    std::istringstream in(scfs);
    std::string line;
    while (std::getline(in, line) && line.find("Symmetry Operators") == std::string::npos) {
    }
    std::getline(in, line);
    std::vector<std::string> out;
    while (std::getline(in, line)) {
        if (trim(line.substr(0, std::min<std::size_t>(11, line.size()))).empty()) break;
        const std::string text = trim(line.substr(11));
        if (text == "-X,-Y,-Z") break;
        out.push_back(text);
    }
    return out;
}

TEST(Interpreter, P21cWritesBothSections) {
    WorkDir work("p21c");
    RecordingMessages msg;
    ASSERT_TRUE(run_getspec("P21/c", work.path, msg));
    EXPECT_EQ(
        work.read(),
        " GETSPEC  P21/c  Hall: -P 2ybc  Nb: 14  4 operators, lattice translations not listed\n"
        "  1  0  0  0.0000000  0  1  0  0.0000000  0  0  1  0.0000000\n"
        " -1  0  0  0.0000000  0  1  0  0.5000000  0  0 -1  0.5000000\n"
        " -1  0  0  0.0000000  0 -1  0  0.0000000  0  0 -1  0.0000000\n"
        "  1  0  0  0.0000000  0 -1  0  0.5000000  0  0  1  0.5000000\n"
        "\n"
        " Symmetry Operators\n"
        "   1       X,Y,Z\n"
        "   2       -X,Y+1/2,-Z+1/2\n"
        "   3       -X,-Y,-Z\n"
        "   4       X,-Y+1/2,Z+1/2\n"
        "\n");
    EXPECT_EQ(symm_lines(work.read()), std::vector<std::string>{"-X,Y+1/2,-Z+1/2"});
}

TEST(Interpreter, WithoutInversionCentreEveryOperatorButTheIdentityIsASymmLine) {
    WorkDir work("pna21");
    RecordingMessages msg;
    ASSERT_TRUE(run_getspec("P n a 21", work.path, msg));
    const auto symm = symm_lines(work.read());
    EXPECT_EQ(symm.size(), 3u);
    EXPECT_NE(std::find(symm.begin(), symm.end(), "-X,-Y,Z+1/2"), symm.end());
    // Hexagonal and centred settings list only what centring does not give.
    ASSERT_TRUE(run_getspec("R-3:H", work.path, msg));
    EXPECT_EQ(symm_lines(work.read()), (std::vector<std::string>{"-Y,X-Y,Z", "-X+Y,-X,Z"}));
}

TEST(Interpreter, ReadsTheFortranStyleLine) {
    WorkDir work("fortran");
    StructureDocument doc;
    doc.lattice_letter = "P";
    doc.positions.resize(5);
    RecordingMessages msg;
    work.write("anything at all\n 0 -1 0 .5 1 0 0 -.25 0 0 1 0\r\n0,-1,0,.5,1,0,0,-.25,0,0,1,0\n");
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    ASSERT_EQ(doc.positions.size(), 2u);
    // Translations read into [0, 1): -0.25 is 0.75.
    const SymOp expected = op_of({0, -1, 0, 0.5, 1, 0, 0, 0.75, 0, 0, 1, 0});
    EXPECT_EQ(doc.positions[0].op, expected);
    EXPECT_EQ(doc.positions[1].op, expected);
    EXPECT_EQ(doc.positions[0].text, "-Y+1/2, X+3/4, Z");
    EXPECT_EQ(doc.positions[0].selected, 0);
    EXPECT_EQ(doc.centrosymmetric, -1);
    EXPECT_TRUE(msg.warnings.empty());
}

TEST(Interpreter, InversionAmongTheOperatorsSetsTheCentrosymmetricFlag) {
    WorkDir work("centro");
    StructureDocument doc;
    RecordingMessages msg;
    work.write("t\n1 0 0 0 0 1 0 0 0 0 1 0\n-1 0 0 0 0 -1 0 0 0 0 -1 0\n");
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    EXPECT_EQ(doc.positions[1].text, "-X,-Y,-Z");
    EXPECT_EQ(doc.centrosymmetric, 1);
    work.write("t\n1 0 0 0 0 1 0 0 0 0 1 0\n-1 0 0 0 0 -1 0 0 0 0 1 0\n");
    doc.centrosymmetric = 1;
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    EXPECT_EQ(doc.centrosymmetric, -1);
}

TEST(Interpreter, ISymbolGetsEveryOperatorShiftedByHalfHalfHalf) {
    WorkDir work("icentred");
    StructureDocument doc;
    doc.crystal_system = "TETR";
    doc.lattice_letter = "I";
    RecordingMessages msg;
    work.write("t\n1 0 0 0 0 1 0 0 0 0 1 0\n0 -1 0 0 1 0 0 .5 0 0 1 .25\n\n Symmetry Operators\n");
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    ASSERT_EQ(doc.positions.size(), 4u);
    ASSERT_EQ(doc.centring.size(), 1u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SymOp& a = doc.positions[i].op;
        const SymOp& b = doc.positions[i + 2].op;
        EXPECT_EQ(b.rotation(), a.rotation());
        for (int r = 0; r < 3; ++r) {
            double t = a.m[r][3] + 0.5;
            if (t >= 1) t -= 1;  // 1/2 + 1/2 is 0
            EXPECT_DOUBLE_EQ(b.m[r][3], t);
        }
    }
}

TEST(Interpreter, OddLinesReadAsZerosAndNeverPastCapacity) {
    WorkDir work("odd");
    StructureDocument doc;
    RecordingMessages msg;
    work.write("t\n1 0 0 x 0 1 0 .5 0 0\n");  // a bad number, two missing
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    ASSERT_EQ(doc.positions.size(), 1u);
    EXPECT_EQ(doc.positions[0].op, op_of({1, 0, 0, 0, 0, 1, 0, 0.5, 0, 0, 0, 0}));

    std::string many = "t\n";
    for (int i = 0; i < 300; ++i)
        many += "1 0 0 0 0 1 0 0 0 0 1 0\n";
    work.write(many);
    doc.lattice_letter = "F";
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    EXPECT_EQ(doc.positions.size(), static_cast<std::size_t>(kMaxOperators));
    work.write("");
    ASSERT_TRUE(read_scfs(work.scfs(), doc, msg));
    EXPECT_TRUE(doc.positions.empty());
}

TEST(Interpreter, MissingFileIsReportedAndChangesNothing) {
    WorkDir work("missing");
    StructureDocument doc;
    doc.positions.resize(3);
    RecordingMessages msg;
    EXPECT_FALSE(read_scfs(work.scfs(), doc, msg));
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"Cannot read " + work.scfs().string()});
    EXPECT_EQ(doc.positions.size(), 3u);
}

TEST(Interpreter, ChoosingAGetspecEntryFillsTheDocument) {
    WorkDir work("choose");
    StructureDocument doc;
    doc.crystal_system = "MONO";
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages msg;
    ASSERT_TRUE(choose_getspec_setting(doc, "C2/c        -C 2yc           15 ", work.path, msg));
    EXPECT_EQ(doc.space_group, "C2/c");
    EXPECT_EQ(doc.lattice_letter, "C");
    EXPECT_EQ(doc.centrosymmetric, 1);
    ASSERT_EQ(doc.positions.size(), 8u);  // inversion written out, C centring added
    EXPECT_EQ(doc.positions[0].text, " X, Y, Z");
    EXPECT_EQ(doc.positions[2].text, "-X,-Y,-Z");
    for (std::size_t i = 0; i < doc.positions.size(); ++i)
        EXPECT_EQ(doc.positions[i].selected, i == 0 ? 1 : 0);
    ASSERT_EQ(doc.generation_ops.size(), 1u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_TRUE(msg.warnings.empty());
}

TEST(Interpreter, UninterpretableSymbolLeavesEverythingAsItWas) {
    WorkDir work("bad");
    work.write("old file\n");
    StructureDocument doc;
    doc.space_group = "P21/c";
    doc.lattice_letter = "P";
    doc.positions.resize(4);
    RecordingMessages msg;
    for (const char* bad : {"Xyz", "", "P 5", "P 2 (x,y,200z)", "-P 2ybc junk (", "P21/c:7"}) {
        msg.warnings.clear();
        EXPECT_FALSE(choose_getspec_setting(doc, bad, work.path, msg)) << bad;
        ASSERT_EQ(msg.warnings.size(), 1u) << bad;
        EXPECT_EQ(msg.warnings[0], "GETSPEC cannot interpret the space group symbol " +
                                       trim(std::string(bad).substr(0, 12)));
    }
    EXPECT_EQ(doc.space_group, "P21/c");
    EXPECT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(work.read(), "old file\n");
    EXPECT_FALSE(run_getspec(std::string(5000, 'P'), work.path, msg));
}

TEST(Interpreter, SymbolsInManySpellings) {
    struct Case {
        const char* written;
        const char* symbol;
        int number;
        std::size_t ops;
    };
    const Case cases[] = {
        {"P21/c", "P21/c", 14, 4},
        {"P 1 21/c 1", "P21/c", 14, 4},
        {"-P 2ybc", "P21/c", 14, 4},
        {"14", "P21/c", 14, 4},
        {"p 1 1 21/b", "P1121/b", 14, 4},
        {"P2(1)/n", "P21/n", 14, 4},
        {"R 3", "R3:H", 146, 3},
        {"R -3 :R", "R-3:R", 148, 6},
        // Without a suffix: the default setting of International Tables.
        {"Fd-3m", "Fd-3m:1", 227, 48},
        {"F d -3 m :2", "Fd-3m:2", 227, 48},
        {"I 41/a m d", "I41/amd:1", 141, 16},
        {"R -3", "R-3:H", 148, 6},
        // Cubic symbols as written before 1983.
        {"F M 3 M", "Fm-3m", 225, 48},
        {"Pa3", "Pa-3", 205, 24},
        {"P 4 3 m", "P-43m", 215, 24},
        {"I 4 3 d", "I-43d", 220, 24},
        {"P43", "P43", 78, 4},  // a tetragonal screw axis, not an old cubic symbol
    };
    for (const Case& c : cases) {
        std::string error;
        const auto g = interpret_symbol(c.written, error);
        ASSERT_TRUE(g) << c.written << ": " << error;
        EXPECT_EQ(g->symbol, c.symbol) << c.written;
        EXPECT_EQ(g->number, c.number) << c.written;
        EXPECT_EQ(g->ops.size(), c.ops) << c.written;
        EXPECT_EQ(g->ops[0], SymOp::identity()) << c.written;
    }
    // A Hall symbol of no tabulated setting still gives its operators.
    std::string error;
    const auto shifted = interpret_symbol("P 2 (0 0 1)", error);
    ASSERT_TRUE(shifted) << error;
    EXPECT_EQ(shifted->ops.size(), 2u);
    EXPECT_EQ(shifted->lattice, 'P');
}

TEST(Interpreter, EverySettingHasOneSymbolThatFindsIt) {
    const auto& settings = known_settings();
    ASSERT_GT(settings.size(), 500u);
    std::set<std::string> keys;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const SpaceGroupSetting& s = settings[i];
        EXPECT_TRUE(keys.insert(symbol_key(s.symbol)).second) << s.symbol;
        EXPECT_EQ(find_setting(s.symbol), i) << s.symbol;
        EXPECT_LE(s.symbol.size(), 10u);
        EXPECT_EQ(s.symbol.find(' '), std::string::npos);
        EXPECT_EQ(s.lattice, s.symbol[0]);
    }
    EXPECT_EQ(symbol_key(" p 2(1)/c "), "P21/C");
    EXPECT_EQ(symbol_key_without_suffix("R -3 :H"), "R-3");
}

TEST(Interpreter, CatalogueTextsUseTheStrictGrammarOnly) {
    EXPECT_EQ(catalogue_operator_text(op_of({-1, 1, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0.5})),
              "-X+Y,Y,-Z+1/2");
    EXPECT_EQ(
        catalogue_operator_text(op_of({1, -1, 0, 1.0 / 3, 1, 0, 0, 2.0 / 3, 0, 0, 1, 5.0 / 6})),
        "X-Y+1/3,X+2/3,Z+5/6");
    EXPECT_EQ(catalogue_operator_text(op_of({1, 0, 0, -0.25, 0, 1, 0, 0, 0, 0, 1, 0})),
              "X+3/4,Y,Z");
    EXPECT_FALSE(catalogue_operator_text(op_of({-1, -1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0})));
    EXPECT_FALSE(catalogue_operator_text(op_of({1, 0, 0, 0.125, 0, 1, 0, 0, 0, 0, 1, 0})));
    // Whatever is written decodes strictly to the same operator.
    const SymOp op = op_of({0, -1, 0, 0.75, 1, -1, 0, 1.0 / 6, 0, 0, -1, 0.5});
    const auto text = catalogue_operator_text(op);
    ASSERT_TRUE(text);
    RecordingMessages msg;
    const auto back = decode_operator(*text, msg);
    ASSERT_TRUE(back) << *text;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(back->m[i][j], op.m[i][j], 1e-6);
}

}  // namespace
}  // namespace veldor
