#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "drawing/view.h"
#include "formats/vld.h"
#include "output/metafile.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::uint32_t word_at(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    return v;
}

// The metafile as emf2svg-conv reads it; nullopt when the tool is missing.
std::optional<std::string> as_svg(const fs::path& emf) {
    if (std::system("command -v emf2svg-conv > /dev/null 2>&1") != 0) return std::nullopt;
    const fs::path svg = emf.string() + ".svg";
    const std::string cmd =
        "emf2svg-conv -i '" + emf.string() + "' -o '" + svg.string() + "' > /dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return std::string();
    return read_all(svg);
}

long count_of(const std::string& text, const std::string& piece) {
    long n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

class Metafile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("veldor_emf_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(Metafile, CanvasKeepsSizePensAndText) {
    EmfCanvas c(801, 801);
    ASSERT_TRUE(c.ok());
    c.set_pen({rgb(255, 0, 0), 3, PenStyle::Solid});
    c.set_brush({rgb(0, 255, 0), false});
    const Point tri[] = {{100, 100}, {400, 150}, {200, 500}};
    c.polygon(tri);
    TextStyle style;
    style.font = Font{"Times New Roman", 12, rgb(0, 0, 255), true};
    style.opaque = true;
    style.background = rgb(255, 255, 0);
    c.text({300, 300}, "1\u00c5 C1", style);
    const std::string bytes = c.finish();
    ASSERT_GT(bytes.size(), 88u);
    EXPECT_EQ(word_at(bytes, 0), 1u);             // the header record
    EXPECT_EQ(bytes.substr(40, 4), " EMF");       // its signature
    EXPECT_EQ(word_at(bytes, 48), bytes.size());  // the whole file's size
    EXPECT_EQ(c.finish(), "");                    // ended once
    c.line({0, 0}, {1, 1});                       // calls after the end do nothing

    const fs::path file = dir / "canvas.emf";
    std::ofstream(file, std::ios::binary) << bytes;
    const auto svg = as_svg(file);
    if (!svg) GTEST_SKIP() << "emf2svg-conv is not installed";
    EXPECT_NE(svg->find("width=\"801.0000\" height=\"801.0000\""), std::string::npos) << *svg;
    EXPECT_NE(svg->find("stroke=\"#FF0000\" stroke-width=\"3.0000\""), std::string::npos);
    EXPECT_NE(svg->find("fill=\"#FFFF00\""), std::string::npos);  // the text's own box
    EXPECT_NE(svg->find("<![CDATA[1\u00c5 C1]]>"), std::string::npos);
    EXPECT_NE(svg->find("font-weight=\"700\""), std::string::npos);
}

TEST_F(Metafile, RealStructureReadsBackAsTheSamePicture) {
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    ASSERT_TRUE(read_vld(VELDOR_TESTDATA_DIR "/thpp_plot.vld", doc, state, msg));
    after_vld_load(doc, state);
    state.options.labels_in_centre = true;
    DrawingEnvironment env;
    env.work_dir = dir.string();
    initialise_view(doc, state, env, msg);
    const fs::path file = dir / "thpp.emf";
    ASSERT_TRUE(write_metafile(file.string(), doc, state, {801, 2}, msg));
    EXPECT_TRUE(msg.warnings.empty());
    const auto svg = as_svg(file);
    if (!svg) GTEST_SKIP() << "emf2svg-conv is not installed";
    EXPECT_NE(svg->find("width=\"801.0000\""), std::string::npos);
    // Every drawn atom's outline is there, each with its centred label.
    EXPECT_GE(count_of(*svg, "<path d=\"M "), static_cast<long>(doc.display.size()));
    for (const char* label : {"F1(1)", "N8(3)", "C9(5)"})
        EXPECT_NE(svg->find(label), std::string::npos) << label;
    EXPECT_NE(svg->find("<![CDATA[1\u00c5]]>"), std::string::npos);
}

TEST_F(Metafile, AFailedWriteLeavesTheOldFile) {
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    const fs::path blocked = dir / "no such folder" / "x.emf";
    EXPECT_FALSE(write_metafile(blocked.string(), doc, state, {}, msg));
    EXPECT_EQ(msg.warnings,
              (std::vector<std::string>{"Cannot write the file " + blocked.string()}));
    // An empty document still makes a whole metafile: background and bar.
    const fs::path file = dir / "empty.emf";
    EXPECT_TRUE(write_metafile(file.string(), doc, state, {}, msg));
    EXPECT_EQ(read_all(file).substr(40, 4), " EMF");
}

}  // namespace
}  // namespace veldor
