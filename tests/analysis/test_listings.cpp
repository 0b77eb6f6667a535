// The distance table and the coordinate list: exact cells and lines on a
// hand-made structure, label rules, dummy atoms, the file headers and the
// coordinate file's fixed line count.

#include <gtest/gtest.h>

#include "analysis/coordinates.h"
#include "analysis/distances.h"
#include "analysis/listing.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

using testing::atom;
using testing::cubic;

// CL1 at (0.1, 0.2, 0.3) and O1W12 seen through -X,-Y,-Z plus (1, 1, 1),
// a ring-middle dummy, and one bond between the first two.
StructureDocument listed_structure() {
    Atom cl = atom("CL", "1", {0.1, 0.2, 0.3});
    cl.name = "CL1";
    Atom o = atom("O", "1W12", {0.2, 0.2, 0.3});
    o.name = "O1W12";
    StructureDocument doc = cubic({cl, o});
    Atom image = o;
    image.set_position({0.8, 0.8, 0.7});
    Atom dummy = atom("DU", "1", {0.5, 0.5, 0.5});
    doc.gen = {cl, image, dummy};
    CalcBond b;
    b.atom1 = 1;
    b.atom2 = 2;
    b.length = distance(cl.position(), image.position(), doc.metric);
    CalcBond broken;  // names an atom that is not there
    broken.atom1 = 2;
    broken.atom2 = 7;
    doc.bonds = {b, broken};
    return doc;
}

TEST(Listing, DistanceCellsKeepLongLabelsWhole) {
    StructureDocument doc = listed_structure();
    RecordingMessages msg;
    const std::vector<DistanceEntry> entries = distance_entries(doc, msg);
    ASSERT_EQ(entries.size(), 1u);  // the broken bond is left out
    EXPECT_EQ(normalised_label(" F E1 "), "Fe1");
    const auto cells = distance_cells(entries[0]);
    const std::array<std::string, 11> expected = {
        "Cl1",    " 0.1000", " 0.2000", " 0.3000", " (X,Y,Z) (1_555)",
        "O1W12",  " 0.8000", " 0.8000", " 0.7000", " (-X,-Y,-Z) (2_666)",
        " 10.050"};
    EXPECT_EQ(cells, expected);
    EXPECT_TRUE(msg.log.empty());
}

TEST(Listing, DistanceFileCutsLabelsAndStartsWithTheHeadingWithoutFileNames) {
    StructureDocument doc = listed_structure();
    RecordingMessages msg;
    const std::vector<std::string> lines = distance_file_lines(doc, distance_entries(doc, msg));
    const std::vector<std::string> expected = {
        "  A1    A2     dist.   x1     y1     z1     x2     y2     z2",
        " Cl1 -O1W1   10.050  0.1000 0.2000 0.3000 0.8000 0.8000 0.7000  (X,Y,Z) (1_555)  "
        "(-X,-Y,-Z) (2_666)"};
    EXPECT_EQ(lines, expected);

    doc.data_file = "/data/run/thpp.ins";
    doc.vld_file = "C:\\plots\\thpp.vld";
    const std::vector<std::string> named = distance_file_lines(doc, {});
    EXPECT_EQ(named, (std::vector<std::string>{"thpp.ins", "thpp.vld", kDistanceFileHeading}));
}

TEST(Listing, CoordinateLinesWithDummyAtom) {
    StructureDocument doc = listed_structure();
    RecordingMessages msg;
    const std::vector<std::string> expected = {
        "Coordinates", "  1 Cl1    0.1000  0.2000  0.3000 (X,Y,Z)(1_555)",
        "  2 O1W1   0.8000  0.8000  0.7000 (-X,-Y,-Z)(2_666)",
        "  3 Du1    0.5000  0.5000  0.5000 ()(0_000)"};
    EXPECT_EQ(coordinate_lines(doc, msg), expected);
    EXPECT_TRUE(msg.log.empty());  // no site code is looked for the dummy
}

TEST(Listing, CoordinateFileHasOneLinePerAtomWhateverTheMemo) {
    StructureDocument doc = listed_structure();
    RecordingMessages msg;
    std::vector<std::string> memo = coordinate_lines(doc, msg);
    EXPECT_EQ(coordinate_file_lines(doc, memo), memo);  // no file names: "Coordinates" first

    memo.erase(memo.begin() + 1);  // the user deleted a line ...
    EXPECT_EQ(coordinate_file_lines(doc, memo).size(), 4u);
    EXPECT_EQ(coordinate_file_lines(doc, memo)[3], "");
    memo.insert(memo.end(), {"typed", "more"});  // ... and typed two more
    doc.vld_file = "run.vld";
    const std::vector<std::string> file = coordinate_file_lines(doc, memo);
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[0], "run.vld");
    EXPECT_EQ(file[4], "typed");
}

TEST(Listing, UnknownLabelIsReportedAndListedWithoutCode) {
    StructureDocument doc = listed_structure();
    doc.gen[1].name = "X9";
    RecordingMessages msg;
    EXPECT_EQ(coordinate_lines(doc, msg)[2], "  2 X9     0.8000  0.8000  0.7000 ()(0_000)");
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"X9 not decoded"}));
}

}  // namespace
}  // namespace veldor
