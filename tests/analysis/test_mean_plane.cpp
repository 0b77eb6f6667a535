// Mean planes: the "plan.dat" layout and its reading, the least-squares
// fit (orientation, deviations, aligned points), the plane table's limits
// and edits, the Compute flow on each ending of "plan.sor", and a real
// benzene ring against an independent computation.

#include <gtest/gtest.h>

#include <fstream>

#include "analysis/mean_plane.h"
#include "analysis/report_file.h"
#include "core/text.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

using testing::atom;
using testing::cubic;

TEST(PlaneData, FileLayoutAndReadingBack) {
    PlaneData data;
    data.title = "x.ins";
    data.cell = {6.9196, 14.5749, 9.7248, 90, 90.637, 90};
    data.atoms = {{"C1", {0.1, 0.2, 0.3}}, {"O1W12A", {-0.1234, 0.5, 1.25}}};
    data.planes = {{1, 2, 1}};
    const std::vector<std::string> lines = plane_data_lines(data);
    const std::vector<std::string> expected = {
        "x.ins",
        "     6.920    14.575     9.725    90.000    90.637    90.000",
        "   2",
        "C1       0.1000    0.2000    0.3000",
        "O1W12A   -0.1234    0.5000    1.2500",
        "    3    1    2    1"};
    EXPECT_EQ(lines, expected);

    std::string error;
    const std::optional<PlaneData> back = read_plane_data(lines, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->atoms[1].label, "O1W12A");
    EXPECT_EQ(back->atoms[1].fractional[0], -0.1234);
    EXPECT_EQ(back->planes, data.planes);
    EXPECT_NEAR(back->cell[1], 14.575, 1e-12);

    std::vector<std::string> bad = lines;
    bad[1].resize(50);
    EXPECT_FALSE(read_plane_data(bad, error));
    EXPECT_EQ(error, "line 2: six cell parameters expected");
    bad[1] = lines[1];
    bad[5] = "    3    1    9    1";
    EXPECT_FALSE(read_plane_data(bad, error));
    EXPECT_EQ(error, "line 6: atom 9 does not exist");
}

TEST(PlaneFit, OrientationDeviationsAndAlignedPoints) {
    const PlaneFit square = fit_plane({{0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}});
    ASSERT_FALSE(square.aligned);
    EXPECT_NEAR(square.normal[2], 1, 1e-12);
    EXPECT_NEAR(square.d, 2, 1e-12);
    EXPECT_NEAR(square.rms, 0, 1e-12);
    // The same points the other way round turn the normal over.
    const PlaneFit reversed = fit_plane({{0, 1, 2}, {1, 1, 2}, {1, 0, 2}, {0, 0, 2}});
    EXPECT_NEAR(reversed.normal[2], -1, 1e-12);
    EXPECT_NEAR(reversed.d, -2, 1e-12);

    const PlaneFit puckered = fit_plane({{0, 0, 0.01}, {1, 0, -0.01}, {1, 1, 0.01}, {0, 1, -0.01}});
    EXPECT_NEAR(puckered.deviations[1], -0.01, 1e-12);
    EXPECT_NEAR(puckered.rms, 0.01, 1e-12);

    EXPECT_TRUE(fit_plane({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {-3, -3, -3}}).aligned);
    EXPECT_TRUE(fit_plane({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}).aligned);
    EXPECT_FALSE(fit_plane({{0, 0, 0}, {1, 0, 0}, {2, 0.01, 0}}).aligned);
    EXPECT_NEAR(angle_between_planes({0, 0, 1}, {0, 1, 1}), 45, 1e-9);
    EXPECT_NEAR(angle_between_planes({0, 0, 1}, {0, 0, -1}), 0, 1e-9);
}

TEST(PlaneTable, LimitsAndEdits) {
    PlaneTable t;
    for (int i = 1; i <= kMaxPlaneAtoms; ++i)
        ASSERT_EQ(t.add_pick(i), PlaneTable::Pick::Added);
    EXPECT_EQ(t.add_pick(30), PlaneTable::Pick::TooManyAtoms);
    for (int p = 2; p <= kMaxPlanes; ++p) {
        t.end_pick();
        ASSERT_EQ(t.add_pick(p), PlaneTable::Pick::Added);
    }
    t.end_pick();
    EXPECT_EQ(t.add_pick(1), PlaneTable::Pick::TooManyPlanes);

    // Deleting plane 1 of three: the others become planes 1 and 2.
    t.clear();
    for (int p : {10, 20, 30}) {
        t.end_pick();
        t.add_pick(p);
    }
    t.delete_plane(0);
    EXPECT_EQ(t.planes(), (std::vector<std::vector<int>>{{20}, {30}}));
    EXPECT_TRUE(t.pick().empty());

    // An atom of the plane being picked leaves the pick too.
    for (int a : {5, 6, 7})
        t.add_pick(a);
    EXPECT_TRUE(t.remove_atom(2, 1));
    EXPECT_EQ(t.pick(), (std::vector<int>{5, 7}));
    EXPECT_FALSE(t.remove_atom(3, 0));
}

// A square ring of four atoms in the plane z = 0.5, a second ring tilted by
// 45 degrees, and three atoms on a line, in a cubic cell of 10 A.
StructureDocument plane_structure() {
    StructureDocument doc = cubic({atom("C", "1", {0, 0, 0})});
    doc.asym[0].name = "C1";
    auto add = [&](Vec3 p) {
        Atom a = doc.asym[0];
        a.set_position(p);
        doc.display.push_back(a);
    };
    for (Vec3 p :
         {Vec3{0.1, 0.1, 0.5}, Vec3{0.2, 0.1, 0.5}, Vec3{0.2, 0.2, 0.5}, Vec3{0.1, 0.2, 0.5}})
        add(p);  // 1-4
    for (Vec3 p :
         {Vec3{0.5, 0.5, 0.5}, Vec3{0.6, 0.5, 0.5}, Vec3{0.6, 0.6, 0.6}, Vec3{0.5, 0.6, 0.6}})
        add(p);  // 5-8
    for (Vec3 p : {Vec3{0.1, 0.1, 0.1}, Vec3{0.2, 0.2, 0.2}, Vec3{0.3, 0.3, 0.3}})
        add(p);  // 9-11
    return doc;
}

void pick(PlaneTable& t, std::initializer_list<int> atoms) {
    t.end_pick();
    for (int a : atoms)
        t.add_pick(a);
}

TEST(MeanPlaneCompute, TwoPlanesShowTheSecondPlanesPart) {
    testing::WorkFolder work;
    const StructureDocument doc = plane_structure();
    PlaneTable t;
    pick(t, {1, 2, 3, 4});
    pick(t, {5, 6, 7});  // exactly three atoms are enough
    RecordingMessages msg;
    const PlaneRun run = compute_mean_planes(doc, t, work.str(), msg);
    ASSERT_EQ(run.outcome, PlaneOutcome::Shown);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.front(), "Plane Nb. 2:");
    EXPECT_EQ(run.lines.back(), "Normal end");
    const auto angle = std::find_if(run.lines.begin(), run.lines.end(), [](const std::string& l) {
        return l.find("Angle with plane  1:") != std::string::npos;
    });
    ASSERT_NE(angle, run.lines.end());
    EXPECT_EQ(*angle, "  Angle with plane  1:   45.000 degrees");
    EXPECT_TRUE(t.pick().empty());
    EXPECT_EQ(msg.log, (std::vector<std::string>{"beep"}));
    EXPECT_EQ(msg.busy_depth, 0);
    EXPECT_EQ(read_report(work.file(kPlaneDataFile))->back(), "    3    5    6    7");
}

TEST(MeanPlaneCompute, RefusedPlanes) {
    testing::WorkFolder work;
    const StructureDocument doc = plane_structure();
    PlaneTable t;
    RecordingMessages msg;
    EXPECT_EQ(compute_mean_planes(doc, t, work.str(), msg).outcome, PlaneOutcome::Nothing);
    pick(t, {1, 2, 3});
    pick(t, {4, 5});
    EXPECT_EQ(compute_mean_planes(doc, t, work.str(), msg).outcome, PlaneOutcome::Refused);
    EXPECT_EQ(msg.log, (std::vector<std::string>{"beep", "warn: Selected atoms number < 3!"}));
    t.clear();
    pick(t, {1, 2, 12});  // the drawing has 11 atoms now
    EXPECT_EQ(compute_mean_planes(doc, t, work.str(), msg).outcome, PlaneOutcome::Refused);
    EXPECT_EQ(msg.warnings.back(), "Atom number 12 is not in the drawing");
}

TEST(MeanPlaneCompute, AlignedAtomsAskWhetherToKeepThePlane) {
    testing::WorkFolder work;
    const StructureDocument doc = plane_structure();
    for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
        PlaneTable t;
        pick(t, {1, 2, 3, 4});
        pick(t, {9, 10, 11});
        RecordingMessages msg;
        msg.answers = {answer};
        const PlaneRun run = compute_mean_planes(doc, t, work.str(), msg);
        EXPECT_EQ(msg.log, (std::vector<std::string>{
                               "beep",
                               "confirm: The atoms of plane 2 are aligned. Do you want "
                               "to continue?"}));
        if (answer == Answer::Yes) {
            EXPECT_EQ(run.outcome, PlaneOutcome::AlignedKept);
            EXPECT_EQ(t.planes().size(), 2u);
            EXPECT_EQ(t.pick().size(), 3u);
        } else {
            EXPECT_EQ(run.outcome, PlaneOutcome::AlignedDropped);
            EXPECT_EQ(t.planes().size(), 1u);
            EXPECT_TRUE(t.pick().empty());
        }
        EXPECT_TRUE(run.lines.empty());
    }
}

TEST(MeanPlaneCompute, ReportWithoutEitherEndingShowsNothing) {
    testing::WorkFolder work;
    const StructureDocument doc = plane_structure();
    PlaneTable t;
    pick(t, {1, 2, 3});
    RecordingMessages msg;
    auto writes = [](std::vector<std::string> lines) {
        return [lines](const std::string& dir) {
            SilentMessages quiet;
            write_report(report_path(dir, kPlaneReportFile), lines, quiet);
        };
    };
    PlaneRun run = compute_mean_planes(doc, t, work.str(), msg, writes({"Plane Nb. 1:", "???"}));
    EXPECT_EQ(run.outcome, PlaneOutcome::NoResult);
    EXPECT_TRUE(t.pick().empty());
    EXPECT_EQ(t.planes().size(), 1u);
    // A damaged plan.dat: the calculator says why and ends without either word.
    { std::ofstream(work.file(kPlaneDataFile)) << "title\n1 2 3\n   0\n"; }
    SilentMessages quiet;
    ASSERT_TRUE(run_plane_calculator(work.str(), quiet));
    const auto report = read_report(work.file(kPlaneReportFile));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->back(), "Error in plan.dat, line 2: six cell parameters expected");
}

// The benzene ring of paracetamol, the acetamide plane and the ring of the
// molecule at -x+1/2, y+1/2, -z+1/2. Reference values computed independently
// (numpy, singular value decomposition, the file's full coordinates):
// r.m.s. 0.00389 A, ring/acetamide 10.2888 deg, ring/ring 79.7966 deg.
TEST(MeanPlaneRealFile, BenzeneRingOfParacetamol) {
    testing::WorkFolder work;
    StructureDocument doc =
        testing::plotted_cif("pyobjcryst_paracetamol_MeOH.cif", GenerationMode::None, work.str());
    SilentMessages quiet;
    set_generation_option(doc, GenerationMode::Fragments, quiet);
    doc.generation_ops.clear();
    for (EquivalentPosition& p : doc.positions)
        doc.generation_ops.push_back(p.op);
    generate(doc, quiet);  // the four molecules of the cell, whole
    ASSERT_FALSE(doc.display.empty());

    // Atom numbers by name in the molecule made by operator `n`.
    auto numbers = [&](std::initializer_list<const char*> names, int n) {
        std::vector<int> out;
        for (const char* name : names)
            for (std::size_t i = 0; i < doc.display.size(); ++i) {
                const auto code = site_code(doc, doc.display[i], quiet);
                if (same_atom_name(doc.display[i].name, name) && code && code->n == n) {
                    out.push_back(static_cast<int>(i) + 1);
                    break;
                }
            }
        EXPECT_EQ(out.size(), names.size());
        return out;
    };
    const auto ring = {"C1", "C2", "C3", "C4", "C5", "C6"};
    PlaneTable t;
    for (const std::vector<int>& plane :
         {numbers(ring, 1), numbers({"N7", "C8", "O8", "C9"}, 1), numbers(ring, 2)}) {
        t.end_pick();
        for (int a : plane)
            t.add_pick(a);
    }
    RecordingMessages msg;
    ASSERT_EQ(compute_mean_planes(doc, t, work.str(), msg).outcome, PlaneOutcome::Shown);
    const auto report = read_report(work.file(kPlaneReportFile));
    ASSERT_TRUE(report);
    std::vector<double> rms, angles;
    for (const std::string& l : *report) {
        if (l.find("R.m.s. deviation (A):") != std::string::npos)
            rms.push_back(std::stod(l.substr(l.find(':') + 1)));
        if (l.find("Angle with plane") != std::string::npos)
            angles.push_back(std::stod(l.substr(l.find(':') + 1)));
    }
    ASSERT_EQ(rms.size(), 3u);
    EXPECT_LT(rms[0], 0.01);
    EXPECT_NEAR(rms[0], 0.00389, 0.0002);
    EXPECT_NEAR(rms[2], rms[0], 0.0002);
    ASSERT_EQ(angles.size(), 3u);  // 2-1, then 3-1 and 3-2
    EXPECT_NEAR(angles[0], 10.2888, 0.01);
    EXPECT_NEAR(angles[1], 79.7966, 0.01);
}

}  // namespace
}  // namespace veldor
