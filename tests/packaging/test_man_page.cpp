#include <gtest/gtest.h>

#include "packaging/man_page.h"

namespace veldor {
namespace {

// Every rule of the layout once: synopsis, summary, sections, a command
// line followed by text, entries (one continued), a subsection, and the
// lines troff would take for requests.
TEST(ManPage, EveryPartOfAHelpText) {
    const std::string help =
        "Usage: veldor [FILE]\n"
        "       veldor --batch FILE\n"
        "\n"
        "Draws structures. As plots.\n"
        "\n"
        "Batch mode:\n"
        "  veldor --batch FILE\n"
        "  Loads FILE.\n"
        "  -h, --size N  picture size\n"
        "  Pictures:\n"
        "  .vld          Veldor file\n"
        "  'quoted' text\n"
        "\n"
        "Environment:\n"
        "  VELDOR_DATA  data (default: <dir>/data,\n"
        "               then C:\\data)\n";
    EXPECT_EQ(man_page_from_help(help, {"veldor", "2.0.0", "2025-01-31"}),
              ".TH VELDOR 1 \"2025-01-31\" \"Veldor 2.0.0\" \"User Commands\"\n"
              ".SH NAME\nveldor \\- draws structures\n"
              ".SH SYNOPSIS\n.nf\n\\fBveldor\\fR [FILE]\n\\fBveldor\\fR \\-\\-batch FILE\n.fi\n"
              ".SH DESCRIPTION\nDraws structures. As plots.\n"
              ".SH \"BATCH MODE\"\n"
              ".RS\n.nf\n\\fBveldor\\fR \\-\\-batch FILE\n.fi\n.RE\n"
              ".PP\nLoads FILE.\n"
              ".TP\n\\fB\\-h\\fR, \\fB\\-\\-size\\fR N\npicture size\n"
              ".SS \"Pictures\"\n"
              ".TP\n\\&.vld\nVeldor file\n"
              ".PP\n\\&'quoted' text\n"
              ".SH \"ENVIRONMENT\"\n"
              ".TP\n\\fBVELDOR_DATA\\fR\ndata (default: <dir>/data,\nthen C:\\edata)\n");
}

TEST(ManPage, CrLfHelpAndQuotesInHeadings) {
    const std::string page = man_page_from_help(
        "Usage: veldor\r\n\r\nDraws.\r\n\r\nSay \"hi\":\r\n  --x  y\r\n", {"veldor", "1", ""});
    EXPECT_NE(page.find(".SH NAME\nveldor \\- draws\n"), std::string::npos) << page;
    EXPECT_NE(page.find(".SH \"SAY \\(dqHI\\(dq\"\n.TP\n\\fB\\-\\-x\\fR\ny\n"), std::string::npos)
        << page;
    EXPECT_EQ(page.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace veldor
