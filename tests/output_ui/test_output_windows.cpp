#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QRadioButton>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "drawing/ui/picture_export.h"
#include "drawing/view.h"
#include "formats/save_target.h"
#include "formats/vld.h"
#include "output/ui/Tfimprime.h"
#include "output/ui/Tfwmetafile2.h"
#include "output/ui/output_commands.h"
#include "output/ui/output_files.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The real structure as the drawing window shows it, and a folder for files.
class Output : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qt_app();
        dir = fs::temp_directory_path() /
              (std::string("veldor_output_ui_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ASSERT_TRUE(read_vld(VELDOR_TESTDATA_DIR "/thpp_plot.vld", doc, state, msg));
        after_vld_load(doc, state);
        env.work_dir = dir.string();
        initialise_view(doc, state, env, msg);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A context whose file dialog answers `name` (in the folder) and
    // remembers what it was asked.
    OutputContext context(const std::string& name) {
        OutputContext ctx{doc, state, msg, env, nullptr, "VELDOR V2. Data for thpp_plot.vld"};
        ctx.choose_file = [this, name](QWidget*, const FileRequest& r) {
            asked.push_back(r);
            return name.empty() ? QString() : QString::fromStdString((dir / name).string());
        };
        return ctx;
    }
    // Clicks a radio button as a user does (press and release on it).
    static void click(QRadioButton* b) {
        ASSERT_TRUE(b);
        b->click();
    }
    // Photographs a window when VELDOR_GRAB_DIR names a folder.
    static void photograph(QWidget& w, const char* name) {
        if (const char* to = std::getenv("VELDOR_GRAB_DIR"))
            w.grab().save(QString::fromStdString((fs::path(to) / name).string()));
    }

    fs::path dir;
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    DrawingEnvironment env;
    std::vector<FileRequest> asked;
};

TEST_F(Output, PrintWindowKeepsTheResolutionInPixelsPerCentimetre) {
    Tfimprime w(context(""));
    int printers = 0;
    w.set_printer_chooser([&](QPrinter&, QWidget*) { return ++printers, false; });
    w.show();
    auto* box = w.findChild<QLineEdit*>("resolution");
    auto* pen = w.findChild<QComboBox*>("pen_width");
    ASSERT_TRUE(box && pen);
    EXPECT_EQ(box->text(), "  300");
    EXPECT_EQ(pen->currentText(), "2");
    EXPECT_EQ(w.windowTitle(), "Printing...");
    photograph(w, "Tfimprime.png");

    box->setText("3OO");
    w.go_impression();
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"read error on Pixels/Cm"}));
    EXPECT_EQ(box->text(), "3OO");  // what the user typed stays
    EXPECT_EQ(printers, 0);

    box->setText("600");
    w.go_impression();  // the print dialog is cancelled: nothing printed
    EXPECT_NEAR(w.pixels_per_cm(), 235.294117647, 1e-9);
    EXPECT_EQ(printers, 1);
    w.hide();
    w.show();
    EXPECT_EQ(box->text(), "  600");

    // "Stereo view?" Yes takes the thinnest pen; No leaves it.
    click(w.findChild<QRadioButton*>("stereo_yes"));
    EXPECT_EQ(pen->currentText(), "1");
    click(w.findChild<QRadioButton*>("stereo_no"));
    EXPECT_EQ(pen->currentText(), "1");
    EXPECT_FALSE(w.settings().stereo);
}

TEST_F(Output, PrintingToAPdfFileGivesALandscapePage) {
    Tfimprime w(context(""));
    const fs::path pdf = dir / "page.pdf";
    w.set_printer_chooser([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    w.show();
    click(w.findChild<QRadioButton*>("stereo_yes"));
    EXPECT_TRUE(w.settings().stereo);
    w.go_impression();
    EXPECT_FALSE(w.isVisible());
    const std::string bytes = read_all(pdf);
    ASSERT_EQ(bytes.rfind("%PDF", 0), 0u);
    // Landscape A4 (or Letter) is wider than high: 842 x 595 points.
    const auto box = bytes.find("/MediaBox [0 0 ");
    ASSERT_NE(box, std::string::npos);
    double width = 0, height = 0;
    std::sscanf(bytes.c_str() + box, "/MediaBox [0 0 %lf %lf", &width, &height);
    EXPECT_GT(width, height);
    EXPECT_EQ(msg.busy_depth, 0);
}

TEST_F(Output, MetafileWindowRefusesWhatIsNotAWholeNumber) {
    Tfwmetafile2 w(context("picture"));
    w.show();
    auto* width = w.findChild<QLineEdit*>("width");
    auto* pen = w.findChild<QLineEdit*>("pen_width");
    ASSERT_TRUE(width && pen);
    EXPECT_EQ(width->text(), "800");
    EXPECT_EQ(pen->text(), "1");
    EXPECT_EQ(w.windowTitle(), "Metafile create");
    photograph(w, "Tfwmetafile2.png");
    width->setText("8x0");
    w.cree_metafile();
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"'8x0' is not a valid integer value"}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(width->text(), "8x0");
    width->setText("5");
    w.cree_metafile();
    EXPECT_EQ(msg.warnings.back(), kMetafileWidthRange);
    EXPECT_TRUE(asked.empty());

    width->setText("801");
    w.cree_metafile();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].filters, QStringList{"Enhanced Metafiles (*.emf)"});
    const std::string emf = read_all(dir / "picture.emf");
    EXPECT_EQ(emf.substr(40, 4), " EMF");
    // An existing file answered with No stays as it was.
    w.show();
    msg.default_answer = Answer::No;
    w.cree_metafile();
    EXPECT_EQ(read_all(dir / "picture.emf"), emf);
    EXPECT_EQ(msg.log.back(), std::string("confirm: ") + kOverwriteQuestion);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Output, PovrayExportNamesAndHeader) {
    make_povray(context("scene"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].filters, QStringList{"Export Povray file (*.pov)"});
    const std::string text = read_all(dir / "scene.pov");
    EXPECT_NE(text.find("\nStructure: VELDOR V2. Data for thpp_plot.vld\nPovray file name: " +
                        (dir / "scene.pov").string() + "*/\n"),
              std::string::npos);
    make_povray(context("scene.old"));
    EXPECT_TRUE(fs::exists(dir / "scene.old"));
    std::ofstream(dir / "scene.pov") << "kept";
    make_povray(context("scene"));
    EXPECT_EQ(read_all(dir / "scene.pov"), "kept");
    EXPECT_EQ(msg.beeps, 1);
    make_povray(context(""));  // cancelled
    EXPECT_EQ(fs::directory_iterator(dir) != fs::directory_iterator(), true);
}

TEST_F(Output, LaunchFindsTheEngineOnceAndStartsItOnTheScene) {
    const fs::path engine = dir / "fake povray";
    const fs::path record = dir / "started.txt";
    std::ofstream(engine) << "#!/bin/sh\necho \"$@\" > '" << record.string() << "'\n";
    fs::permissions(engine, fs::perms::owner_all, fs::perm_options::add);
    std::ofstream(dir / "a.pov") << "// scene\n";
    ::setenv("VELDOR_POVRAY", engine.c_str(), 1);
    PovrayEngine found_once;
    std::vector<EngineCommand> started;
    const auto starter = [&](const EngineCommand& c) { return started.push_back(c), true; };
    povray(context("a.pov"), found_once, starter);
    povray(context("a.pov"), found_once, starter);
    EXPECT_EQ(found_once.searches(), 1);
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].program, engine.string());
    EXPECT_EQ(started[0].arguments, (std::vector<std::string>{"+I" + (dir / "a.pov").string()}));
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].filters, QStringList{"Povray files (*.pov)"});
    // The real start does not wait for the engine.
    PovrayEngine other;
    povray(context("a.pov"), other);
    for (int i = 0; i < 100 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(read_all(record), "+I" + (dir / "a.pov").string() + "\n");
    // No engine: the message, and no file dialog.
    ::setenv("VELDOR_POVRAY", (dir / "missing").c_str(), 1);
    PovrayEngine none;
    asked.clear();
    povray(context("a.pov"), none, starter);
    ::unsetenv("VELDOR_POVRAY");
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"file Pvengine.exe not found!"}));
    EXPECT_TRUE(asked.empty());
}

TEST_F(Output, BitmapAndJpegHaveThePicturesSize) {
    export_bmp(context("picture"));
    export_jpeg(context("picture"));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].filters, (QStringList{"Bitmap format  (*.bmp)", "JPEG format (*.jpg)",
                                             "Windows MetaFile format (*.emf)"}));
    EXPECT_EQ(asked[0].selected, 0);
    EXPECT_EQ(asked[1].selected, 1);
    const QImage bmp(QString::fromStdString((dir / "picture.bmp").string()), "BMP");
    const QImage jpg(QString::fromStdString((dir / "picture.jpg").string()), "JPG");
    EXPECT_EQ(bmp.size(), QSize(env.width, env.height));
    EXPECT_EQ(jpg.size(), QSize(env.width, env.height));
    // The BMP is the screen picture, pixel for pixel.
    const QImage screen =
        render_picture(doc, state, env, msg).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(bmp.convertToFormat(QImage::Format_RGB888), screen);
}

// A larger picture is the screen picture enlarged: the 1 A bar is twice as
// long and twice as thick at twice the size.
TEST_F(Output, LargerPicturesScalePensAndTheScaleBar) {
    state.scale_bar_colour = rgb(255, 0, 0);
    auto bar_pixels = [&](int size) {
        const QImage img = render_picture(doc, state, env, msg, size);
        long n = 0;
        for (int y = img.height() * 9 / 10; y < img.height(); ++y)
            for (int x = 0; x < img.width() / 4; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++n;
            }
        return n;
    };
    const long small = bar_pixels(0), large = bar_pixels(2 * env.width);
    ASSERT_GT(small, 20);
    EXPECT_NEAR(static_cast<double>(large) / small, 4.0, 1.0);
    EXPECT_EQ(render_picture(doc, state, env, msg, 300).size(), QSize(300, 300));
}

}  // namespace
}  // namespace veldor
