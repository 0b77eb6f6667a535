// Batch mode's analysis reports: what --report accepts, how atoms are
// named, and the files written for each kind.

#include <gtest/gtest.h>

#include "analysis/batch_reports.h"
#include "analysis/report_file.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

TEST(BatchReports, AcceptedRequests) {
    std::string error;
    const auto env = parse_report_request("environment:Fe1:2.5", error);
    ASSERT_TRUE(env);
    EXPECT_EQ(env->kind, ReportRequest::Kind::Environment);
    EXPECT_EQ(env->centre, "Fe1");
    EXPECT_EQ(env->radius, 2.5);
    EXPECT_EQ(parse_report_request("environment:O1", error)->radius, kDefaultEnvironmentRadius);
    EXPECT_TRUE(parse_report_request("Coordination:angles", error)->angles);
    for (const char* bad :
         {"plane:C1,C2", "environment:", "environment:Fe1:-1", "coordination:bonds", ""}) {
        error.clear();
        EXPECT_FALSE(parse_report_request(bad, error)) << bad;
        EXPECT_EQ(error,
                  "--report takes distances, coordinates, coordination[:angles], "
                  "environment:LABEL[:RADIUS] or plane:L1,L2,L3[,...]");
    }
}

TEST(BatchReports, AtomsByLabelOrNumber) {
    StructureDocument doc = testing::cubic({});
    doc.gen = {testing::atom("FE", "1", {0, 0, 0}), testing::atom("O", "1", {0.2, 0, 0})};
    EXPECT_EQ(find_shown_atom(doc, "o 1"), 1);  // the generated atoms when nothing is shown
    EXPECT_EQ(find_shown_atom(doc, "1"), 0);
    EXPECT_FALSE(find_shown_atom(doc, "3"));
    doc.display = {doc.gen[1]};
    EXPECT_FALSE(find_shown_atom(doc, "Fe1"));
}

TEST(BatchReports, EveryKindWritesItsFile) {
    testing::WorkFolder work;
    const StructureDocument doc =
        testing::plotted_cif("gemmi_2013551_MgI2.cif", GenerationMode::CellContents, work.str());
    RecordingMessages msg;
    ASSERT_TRUE(
        write_batch_reports(doc,
                            {"distances", "coordinates", "coordination:angles", "environment:Mg:3",
                             "environment:I", "plane:1,2,3", "plane:4,5,6"},
                            work.str(), msg))
        << (msg.warnings.empty() ? "" : msg.warnings[0]);
    EXPECT_EQ(read_report(work.file("dist.txt"))->front(), " ");
    const auto envir = read_report(work.file("envir.txt"));
    EXPECT_EQ(
        std::count_if(envir->begin(), envir->end(),
                      [](const std::string& l) { return l.rfind("Linked atoms with", 0) == 0; }),
        2);  // both environments, one after the other
    EXPECT_EQ(read_report(work.file("plan.dat"))->back(), "    3    4    5    6");
    EXPECT_EQ(read_report(work.file("plan.sor"))->back(), "Normal end");
    msg.warnings.clear();
    EXPECT_FALSE(write_batch_reports(doc, {"environment:Xx9"}, work.str(), msg));
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"No atom Xx9 in the drawing"}));
}

}  // namespace
}  // namespace veldor
