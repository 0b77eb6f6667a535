// The environment of a picked atom: neighbours in list order with their
// own site codes, the angle pairs in order, the radius bounds, the headers
// that are always written, and the caption.

#include <gtest/gtest.h>

#include "analysis/environment.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

using testing::atom;
using testing::cubic;

// Fe1 in the cell centre; O1 2.0 A along a and O2 1.5 A along c, each also
// through -X,-Y,-Z + (1,1,1) on the other side; one O1 a cell further on.
StructureDocument environment_structure() {
    const Atom fe = atom("FE", "1", {0.5, 0.5, 0.5});
    const Atom o1 = atom("O", "1", {0.7, 0.5, 0.5});
    const Atom o2 = atom("O", "2", {0.5, 0.5, 0.65});
    StructureDocument doc = cubic({fe, o1, o2});
    auto moved = [](Atom a, Vec3 p) {
        a.set_position(p);
        return a;
    };
    doc.display = {fe,
                   o1,
                   o2,
                   moved(o1, {0.3, 0.5, 0.5}),
                   moved(o2, {0.5, 0.5, 0.35}),
                   moved(o1, {0.7, 1.5, 0.5})};
    return doc;
}

TEST(Environment, NeighboursInListOrderAndEveryAnglePair) {
    StructureDocument doc = environment_structure();
    RecordingMessages msg;
    const EnvironmentReport r = environment_report(doc, doc.display, 0, 3.0, msg);
    const std::vector<std::string> neighbours = {
        "(  1)O1    0.7000  0.5000  0.5000 d= 2.000 (X,Y,Z) (1_555)",
        "(  2)O2    0.5000  0.5000  0.6500 d= 1.500 (X,Y,Z) (1_555)",
        "(  3)O1    0.3000  0.5000  0.5000 d= 2.000 (-X,-Y,-Z) (2_666)",
        "(  4)O2    0.5000  0.5000  0.3500 d= 1.500 (-X,-Y,-Z) (2_666)"};
    const std::vector<std::string> angles = {
        "O1  (  1)-Fe1-O2  (  2) a=  90.00", "O1  (  1)-Fe1-O1  (  3) a= 180.00",
        "O1  (  1)-Fe1-O2  (  4) a=  90.00", "O2  (  2)-Fe1-O1  (  3) a=  90.00",
        "O2  (  2)-Fe1-O2  (  4) a= 180.00", "O1  (  3)-Fe1-O2  (  4) a=  90.00"};
    std::vector<std::string> memo{"                Linked atoms"};
    memo.insert(memo.end(), neighbours.begin(), neighbours.end());
    memo.push_back("            Angles");
    memo.insert(memo.end(), angles.begin(), angles.end());
    EXPECT_EQ(r.memo, memo);
    EXPECT_EQ(r.neighbours, 4);
    EXPECT_EQ(environment_caption(doc.display[0]),
              "Distances and angles around the atom Fe1 (  0.5000  0.5000  0.5000)");
    EXPECT_FALSE(read_radius("2,5"));

    std::vector<std::string> file{
        "", "Linked atoms with  Fe1   0.50000   0.50000   0.50000  (X,Y,Z) (555)"};
    file.insert(file.end(), neighbours.begin(), neighbours.end());
    file.push_back("Angles around  Fe1   0.50000   0.50000   0.50000");
    file.insert(file.end(), angles.begin(), angles.end());
    EXPECT_EQ(r.file, file);
    EXPECT_TRUE(msg.log.empty());

    // The second structure file is named first when both are set.
    doc.data_file = "/x/fe.cif";
    EXPECT_EQ(environment_report(doc, doc.display, 0, 3.0, msg).file[0], "fe.cif");
    doc.vld_file = "/x/fe.vld";
    EXPECT_EQ(environment_report(doc, doc.display, 0, 3.0, msg).file[0], "fe.vld");
}

TEST(Environment, RadiusBounds) {
    StructureDocument doc = environment_structure();
    RecordingMessages msg;
    const EnvironmentReport none = environment_report(doc, doc.display, 0, 0, msg);
    EXPECT_EQ(none.memo,
              (std::vector<std::string>{"                Linked atoms", "            Angles"}));
    EXPECT_EQ(none.file.size(), 3u);  // file name line and the two headers
    EXPECT_EQ(none.neighbours, 0);

    // A neighbour exactly at the radius is in.
    const Vec3 c = frac_to_cart(doc.display[0].position(), doc.metric);
    const Vec3 o = frac_to_cart(doc.display[2].position(), doc.metric);
    const double exact = length({o[0] - c[0], o[1] - c[1], o[2] - c[2]});
    EXPECT_EQ(environment_report(doc, doc.display, 0, exact, msg).neighbours, 2);
    EXPECT_EQ(environment_report(doc, doc.display, 0, std::nextafter(exact, 0.0), msg).neighbours,
              0);

    // One neighbour: the angle section stays empty.
    doc.display.erase(doc.display.begin() + 4);
    const EnvironmentReport one = environment_report(doc, doc.display, 0, 1.6, msg);
    EXPECT_EQ(one.neighbours, 1);
    EXPECT_EQ(one.memo.back(), "            Angles");
}

TEST(Environment, AnglesOfAWholeStructureAreRefused) {
    StructureDocument doc = environment_structure();
    doc.display.resize(1);
    for (int i = 1; i <= 301; ++i) {
        Atom a = doc.asym[1];
        a.set_position({0.5 + 0.0005 * i, 0.5, 0.5});
        doc.display.push_back(a);
    }
    RecordingMessages msg;
    const EnvironmentReport r = environment_report(doc, doc.display, 0, 10, msg);
    EXPECT_EQ(r.neighbours, 301);
    EXPECT_EQ(r.memo.back(), "            Angles");
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{kTooManyAnglesMessage}));
}

}  // namespace
}  // namespace veldor
