#include <gtest/gtest.h>

#include <cmath>

#include "core/real48.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

OperatorRow row(double a, double b, double c, double t) {
    return {{a, b, c}, t};
}

SymOp op(const char* text) {
    auto o = decode_operator(text);
    EXPECT_TRUE(o) << text;
    return o.value_or(SymOp{});
}

std::vector<EquivalentPosition> list(std::initializer_list<const char*> texts) {
    std::vector<EquivalentPosition> out;
    for (const char* t : texts)
        out.push_back({op(t), t, 1});
    return out;
}

TEST(StrictDecode, HandWorkedComponents) {
    RecordingMessages msg;
    EXPECT_EQ(decode_component("-X+1/2", msg), row(-1, 0, 0, 0.5));
    EXPECT_EQ(decode_component("1/2+X", msg), row(1, 0, 0, 0.5));
    EXPECT_EQ(decode_component("X-1/2", msg), row(1, 0, 0, -0.5));  // signed forms first
    EXPECT_EQ(decode_component("1/2-X", msg), row(-1, 0, 0, 0.5));
    EXPECT_EQ(decode_component("-1/2+X", msg), row(1, 0, 0, -0.5));
    EXPECT_EQ(decode_component(" -Y+X ", msg), row(1, -1, 0, 0));
    EXPECT_EQ(decode_component("X+Y+3/4", msg), row(1, 1, 0, 0.75));
    EXPECT_EQ(decode_component("1/4+X-Y", msg), row(1, -1, 0, 0.25));  // leading "+" dropped
    EXPECT_TRUE(msg.log.empty());
}

TEST(StrictDecode, StoresHistoricalDecimals) {
    const auto r = decode_component("X+1/6");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->t, round_real48(0.166667));
    EXPECT_NE(r->t, 1.0 / 6);
    EXPECT_EQ(decode_component("Z-5/6")->t, round_real48(-0.83333));
    EXPECT_EQ(decode_component("Y+2/3")->t, round_real48(0.6666667));
}

TEST(StrictDecode, RefusesAndReportsWhatIsLeft) {
    RecordingMessages msg;
    EXPECT_FALSE(decode_component("X+0.5", msg));
    EXPECT_FALSE(decode_component("Y+X", msg));
    EXPECT_FALSE(decode_component("x", msg));
    EXPECT_FALSE(decode_component("2X+1/2", msg));
    EXPECT_FALSE(decode_component("+1/2", msg));
    EXPECT_EQ(msg.warnings,
              (std::vector<std::string>{"Cannot decode X+0.5", "Cannot decode Y+X",
                                        "Cannot decode x", "Cannot decode 2X", "Cannot decode "}));
}

TEST(StrictDecode, WholeOperators) {
    RecordingMessages msg;
    const auto o = decode_operator("-X,Y+1/2,1/4-Z", msg);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->apply({0.1, 0.2, 0.3})[0], -0.1);
    EXPECT_EQ(o->translation(), (Vec3{0, 0.5, 0.25}));
    EXPECT_FALSE(decode_operator("X,Y", msg));
    EXPECT_FALSE(decode_operator("X,Y,Z,X", msg));
    EXPECT_FALSE(decode_operator("X,Q+1/2,Z", msg));
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"Cannot decode X,Y", "Cannot decode X,Y,Z,X",
                                                      "Cannot decode Q"}));
}

TEST(FormatRow, HandWorkedRows) {
    EXPECT_EQ(format_row(row(0, -1, 0, -0.5)), "-Y+1/2");
    EXPECT_EQ(format_row(row(-1, -1, 0, 0)), "");
    EXPECT_EQ(format_row(row(2, 0, 0, 0.5)), "+1/2");  // unknown rotation, translation kept
    EXPECT_EQ(format_row(row(1, 0, 0, 1.0)), " X");
    EXPECT_EQ(format_row(row(-0.0, 1, -0.0, 0)), " Y");  // "-0" reads as 0
    EXPECT_EQ(format_row(row(1, -1, 0, 1.5)), " X-Y+1/2");
    EXPECT_EQ(format_row(row(-1, 1, 0, 1.0 / 6)), " Y-X+1/6");
    EXPECT_EQ(format_row(row(0, 0, -1, -1.0 / 3)), "-Z+2/3");
    EXPECT_EQ(format_row(row(1, 1, 0, 0.25)), "X+Y+1/4");
    EXPECT_EQ(format_row(row(0, 0, 1, -1.5)), " Z");  // only one step of 1
    EXPECT_EQ(format_row(row(0, 0, 1, 0.5009)), " Z+1/2");
    EXPECT_EQ(format_row(row(0, 0, 1, 0.5011)), " Z");
}

TEST(FormatRow, OperatorTextKeepsBlanksAndIsCut) {
    EXPECT_EQ(format_operator(SymOp::identity()), " X, Y, Z");
    EXPECT_EQ(format_operator(op("X-Y+1/2,X-Y+1/2,X-Y+1/2")), " X-Y+1/2, X-Y+1/2, X-Y+1");
}

TEST(FormatRow, RoundTripsEveryStrictForm) {
    const char* rotations[] = {"X-Y", "Y-X", "-X+Y", "-Y+X", "X+Y", "X",  "Y",
                               "Z",   "+X",  "+Y",   "+Z",   "-X",  "-Y", "-Z"};
    const char* shifts[] = {"",     "+1/2", "+1/3", "+2/3", "+1/4", "+3/4", "+1/6", "+5/6",
                            "-1/2", "-1/3", "-2/3", "-1/4", "-3/4", "-1/6", "-5/6"};
    for (const char* r : rotations)
        for (const char* s : shifts) {
            const std::string text = std::string(r) + s;
            const auto first = decode_component(text);
            ASSERT_TRUE(first) << text;
            const auto again = decode_component(format_row(*first));
            ASSERT_TRUE(again) << text << " -> " << format_row(*first);
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(again->r[j], first->r[j]) << text;
            EXPECT_NEAR(again->t, first->t < 0 ? first->t + 1 : first->t, 1e-5) << text;
            if (first->t >= 0) {
                EXPECT_EQ(again->t, first->t) << text;
            }
        }
}

TEST(Expansion, CentringVectors) {
    EXPECT_EQ(centring_vectors("R", "HEXA").size(), 2u);
    EXPECT_EQ(centring_vectors("R", "HEXA")[0][1], 0.6666666666);
    EXPECT_TRUE(centring_vectors("R", "RHOM").empty());
    EXPECT_TRUE(centring_vectors("P", "CUBI").empty());
    EXPECT_EQ(centring_vectors("F", "CUBI")[1], (Vec3{0.5, 0, 0.5}));
    EXPECT_EQ(centring_vectors("C", "MONO"), (std::vector<Vec3>{{0.5, 0.5, 0}}));
}

TEST(Expansion, ICentredFourBecomeEight) {
    auto p = list({"X,Y,Z", "-X,Y,-Z", "-X,-Y,-Z", "X+3/4,1/2-Y,Z"});
    EXPECT_TRUE(expand_by_centring(p, centring_vectors("I", "MONO")));
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[0].selected, 1);
    EXPECT_EQ(p[4].text, " X+1/2, Y+1/2, Z+1/2");
    EXPECT_EQ(p[4].selected, 0);
    // 0.75 + 0.5 is reduced; 0.5 + 0.5 = 1 is kept as it is.
    EXPECT_EQ(p[7].op.translation(), (Vec3{0.25, 1.0, 0.5}));
}

TEST(Expansion, FCentredCentrosymmetricFourBecomeThirtyTwo) {
    StructureDocument doc;
    doc.positions = list({"X,Y,Z", "X+1/4,Y+3/4,Z+1/2", "-X,Y,-Z", "X,-Y,Z"});
    doc.lattice_letter = "F";
    doc.crystal_system = "ORTH";
    doc.centrosymmetric = 1;
    EXPECT_TRUE(expand_positions(doc));
    ASSERT_EQ(doc.positions.size(), 32u);
    EXPECT_EQ(doc.centring.size(), 3u);
    const SymOp& inverted = doc.positions[17].op;
    EXPECT_EQ(inverted.translation(), (Vec3{-0.25, -0.75, -0.5}));
    EXPECT_EQ(inverted.rotation()[0][0], -1);
    EXPECT_EQ(doc.positions[17].text, "-X+3/4,-Y+1/4,-Z+1/2");
    EXPECT_EQ(doc.positions[20].op.translation(), (Vec3{0, -0.5, -0.5}));  // of copy 4
}

TEST(Expansion, StopsAtCapacity) {
    std::vector<EquivalentPosition> p(96, {SymOp::identity(), " X, Y, Z", 0});
    EXPECT_TRUE(expand_by_inversion(p));
    EXPECT_EQ(p.size(), 192u);
    EXPECT_FALSE(expand_by_inversion(p));
    EXPECT_EQ(p.size(), 192u);

    std::vector<EquivalentPosition> q(64, {SymOp::identity(), " X, Y, Z", 0});
    q[63].op.m[0][3] = 0.25;
    EXPECT_FALSE(expand_by_centring(q, centring_vectors("F", "CUBI")));
    ASSERT_EQ(q.size(), 192u);
    EXPECT_EQ(q[191].op.translation(), (Vec3{0.75, 0, 0.5}));  // second vector's last copy
}

TEST(GridReader, FreerGrammar) {
    EXPECT_EQ(decode_grid_component("x+0.5"), row(1, 0, 0, 0.5));
    EXPECT_EQ(decode_grid_component(" -1/2+x "), row(1, 0, 0, -0.5));
    EXPECT_EQ(decode_grid_component("y+x"), row(1, 1, 0, 0));
    EXPECT_EQ(decode_grid_component("x-y+1/3"), row(1, -1, 0, 1.0 / 3));
    EXPECT_EQ(decode_grid_component("-0.25-Z"), row(0, 0, -1, -0.25));
    EXPECT_FALSE(decode_grid_component("1/2"));
    EXPECT_FALSE(decode_grid_component("x+a"));
    EXPECT_FALSE(decode_grid_component("x+1/0"));
}

TEST(GridReader, SelectsDecodesAndStops) {
    RecordingMessages msg;
    StructureDocument doc;
    doc.positions = list({"X,Y,Z", "-X,-Y,-Z", "X,Y,Z", "X,Y,Z", "X,Y,Z"});
    doc.positions[4].selected = 1;
    const std::vector<PositionsGridRow> rows = {{" x", " y", " z", "*"},
                                                {"junk", "", "", ""},
                                                {"1/2-x", " y ", "z+0.25", " * "},
                                                {"  ", "x", "x", "*"},
                                                {"x", "q", "z", "*"}};
    EXPECT_TRUE(read_positions_grid(rows, doc, msg));
    EXPECT_TRUE(msg.log.empty());
    ASSERT_EQ(doc.generation_ops.size(), 2u);
    EXPECT_EQ(doc.generation_ops[0], SymOp::identity());
    EXPECT_EQ(doc.generation_ops[1].translation(), (Vec3{0.5, 0, 0.25}));
    EXPECT_EQ(doc.positions[1].selected, 0);
    EXPECT_EQ(doc.positions[2].selected, 1);
    EXPECT_EQ(doc.positions[4].selected, 1);  // after the first empty row: untouched
}

TEST(GridReader, DecodingErrorEmptiesTheList) {
    RecordingMessages msg;
    StructureDocument doc;
    doc.positions = list({"X,Y,Z", "-X,-Y,-Z", "X,Y,Z"});
    const std::vector<PositionsGridRow> rows = {
        {" x", " y", " z", "*"}, {"-x", "q+1/2", "-z", "*"}, {" x", " y", " z", "*"}};
    EXPECT_FALSE(read_positions_grid(rows, doc, msg));
    EXPECT_EQ(msg.warnings,
              (std::vector<std::string>{"Decoding Error: -x, q+1/2, -z. Position Nb 2"}));
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.generation_ops.empty());
}

class SiteCodes : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.positions = list({"X,Y,Z", "-X,-Y,-Z"});
        Atom a;
        a.name = "C1";
        a.set_position({0.1, 0.2, 0.3});
        doc.asym = {Atom{}, a};  // a deleted record first
    }
    std::optional<SiteCode> code(const char* name, Vec3 p) {
        Atom g;
        g.name = name;
        g.set_position(p);
        return site_code(doc, g, msg);
    }
    StructureDocument doc;
    RecordingMessages msg;
};

TEST_F(SiteCodes, HandWorked) {
    EXPECT_EQ(code("C1", {0.1, 0.2, 0.3}), (SiteCode{1, 5, 5, 5}));
    EXPECT_EQ(format_site_code(*code("c 1", {0.9, -0.2, -1.3})), "2_654");
    EXPECT_EQ(code("C1", {0.1009, 0.2, 3.2991}), (SiteCode{1, 5, 5, 8}));
    EXPECT_EQ(code("C1", {0.1011, 0.2, 0.3}), (SiteCode{}));
    EXPECT_EQ(format_site_code(*code("C1", {4.1, 0.2, 0.3})), "0_000");
    EXPECT_TRUE(msg.log.empty());
}

TEST_F(SiteCodes, FirstOperatorWinsAndUnknownNames) {
    doc.asym[1].set_position({0, 0, 0.5});
    EXPECT_EQ(code("C1", {0, 0, 0.5}), (SiteCode{1, 5, 5, 5}));
    EXPECT_EQ(code("C1", {0, 0, -0.5}), (SiteCode{1, 5, 5, 4}));
    EXPECT_FALSE(code("N9", {0, 0, 0}));
    EXPECT_FALSE(code("", {0, 0, 0}));
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"N9 not decoded", " not decoded"}));
    doc.gen = {doc.asym[1]};
    EXPECT_EQ(site_code(doc, 0, msg), (SiteCode{1, 5, 5, 5}));
    EXPECT_FALSE(site_code(doc, 1, msg));
    EXPECT_EQ(msg.warnings.size(), 2u);
}

}  // namespace
}  // namespace veldor
