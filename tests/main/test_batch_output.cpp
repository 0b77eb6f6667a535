#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "main/batch_options.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs a command in `dir`; its exit status, standard error in `err`.
int run(const fs::path& dir, const std::string& command, std::string& err) {
    const fs::path log = dir / "stderr.txt";
    const std::string cmd = "cd '" + dir.string() +
                            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command +
                            " 2> '" + log.string() + "' > /dev/null";
    const int raw = std::system(cmd.c_str());
    err = read_all(log);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class BatchOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("veldor_batch_output_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string veldor(const std::string& args) {
        return std::string("'") + VELDOR_EXECUTABLE + "' --batch " + args;
    }
    fs::path dir;
    std::string err;
};

TEST(BatchOutputOptions, PrintedPageOptions) {
    const BatchParse ok = parse_batch_options(
        {"--batch", "x.ins", "--print", "p.pdf", "--stereo", "--dpi", "600", "--pen", "3"});
    ASSERT_TRUE(ok.options) << ok.error;
    EXPECT_EQ(ok.options->print, "p.pdf");
    EXPECT_TRUE(ok.options->stereo);
    EXPECT_EQ(ok.options->dpi, 600);
    EXPECT_EQ(ok.options->pen, 3);
    EXPECT_TRUE(ok.options->outputs.empty());  // a printed page alone is enough
    EXPECT_EQ(parse_batch_options({"--batch", "x.ins", "--print", "p", "--pen", "0"}).error,
              "--pen takes a pen width, 1 to 50");
    EXPECT_EQ(parse_batch_options({"--batch", "x.ins", "--print"}).error, "--print needs a value");
}

// The page of a PDF is landscape: wider than high.
bool landscape_pdf(const std::string& bytes) {
    const auto box = bytes.find("/MediaBox [0 0 ");
    double w = 0, h = 0;
    return bytes.rfind("%PDF", 0) == 0 && box != std::string::npos &&
           std::sscanf(bytes.c_str() + box, "/MediaBox [0 0 %lf %lf", &w, &h) == 2 && w > h;
}

TEST_F(BatchOutput, WritesEveryOutputFileAndThePrintedPages) {
    const std::string thpp = VELDOR_SOURCE_DIR "/examples/thpp.ins";
    ASSERT_EQ(run(dir,
                  veldor("'" + thpp +
                         "' --generation fragments --cell --out a.pov --out b.emf "
                         "--out c.bmp --out d.jpg --size 400 --print page"),
                  err),
              0)
        << err;
    EXPECT_EQ(read_all(dir / "a.pov").rfind("/*File created by VELDOR2\n", 0), 0u);
    EXPECT_EQ(read_all(dir / "b.emf").substr(40, 4), " EMF");
    EXPECT_EQ(QImage(QString::fromStdString((dir / "c.bmp").string())).size(), QSize(400, 400));
    EXPECT_EQ(QImage(QString::fromStdString((dir / "d.jpg").string())).size(), QSize(400, 400));
    EXPECT_TRUE(landscape_pdf(read_all(dir / "page.pdf")));  // ".pdf" added to the name
    ASSERT_EQ(run(dir, veldor("'" + thpp + "' --stereo --dpi 600 --print stereo.pdf"), err), 0)
        << err;
    EXPECT_TRUE(landscape_pdf(read_all(dir / "stereo.pdf")));
    // An existing page is kept unless the question is answered Yes.
    const std::string before = read_all(dir / "stereo.pdf");
    EXPECT_EQ(run(dir, veldor("'" + thpp + "' --print stereo.pdf"), err), 1);
    EXPECT_EQ(read_all(dir / "stereo.pdf"), before);
    EXPECT_EQ(run(dir, veldor("'" + thpp + "' --dpi 5 --print x.pdf"), err), 2);
    EXPECT_NE(err.find("--dpi takes dots per inch, 10 to 10000"), std::string::npos);
}

// The scene of every real structure reads in Debian's POV-Ray.
TEST_F(BatchOutput, EveryRealStructureRendersInPovray) {
    if (std::system("command -v povray > /dev/null 2>&1") != 0) GTEST_SKIP() << "no povray";
    int scenes = 0;
    for (const auto& entry : fs::directory_iterator(VELDOR_TESTDATA_DIR)) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (name.rfind("bad_", 0) == 0 || ext == ".md" || ext == ".txt") continue;
        const std::string pov = name + ".pov";
        ASSERT_EQ(run(dir,
                      veldor("'" + entry.path().string() +
                             "' --generation cell --cell --labels centre --out " + pov),
                      err),
                  0)
            << name << "\n"
            << err;
        const int status = run(dir, "povray +I" + pov + " +Oout.png -D +W64 +H64", err);
        EXPECT_EQ(status, 0) << name << "\n" << err;
        EXPECT_EQ(err.find("Parse Error"), std::string::npos) << name << "\n" << err;
        ++scenes;
    }
    EXPECT_GE(scenes, 14);
}

}  // namespace
}  // namespace veldor
