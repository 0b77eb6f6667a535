#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <filesystem>
#include <fstream>

#include "drawing/ui/Tfdessin.h"
#include "main/Tfmainmenu.h"
#include "main/plot.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

QApplication& app() {
    return testing::qt_app();
}

class PlotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        work = fs::temp_directory_path() /
               (std::string("veldor_plot_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(work);
        fs::create_directories(work);
        paths = {VELDOR_DATA_DIR, work.string()};
    }
    void TearDown() override { fs::remove_all(work); }
    fs::path work;
    ProgramPaths paths;
    StructureDocument doc;
    DrawingState drawing;
    RecordingMessages msg;
};

// Counts pixels that are neither background white nor near-white.
int coloured_pixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            if (img.pixelColor(x, y).lightness() < 200) ++n;
    return n;
}

TEST_F(PlotTest, WithoutSymbolOrAtomsNothingIsGenerated) {
    EXPECT_EQ(plot(doc, drawing, paths, msg), PlotOutcome::Stopped);
    EXPECT_EQ(msg.warnings.back(), "No space_group");
    doc.space_group = "P-1";
    EXPECT_EQ(plot(doc, drawing, paths, msg), PlotOutcome::Stopped);
    EXPECT_EQ(msg.warnings.back(), "No coordinates!");
    EXPECT_FALSE(fs::exists(work / "dummy.vld"));
}

TEST_F(PlotTest, ShelxFileToDrawingAndSnapshot) {
    Tfmainmenu w(doc, drawing, paths, msg);
    w.load_by_extension(QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins"));
    ASSERT_FALSE(doc.asym.empty()) << (msg.warnings.empty() ? "" : msg.warnings.back());
    EXPECT_EQ(w.windowTitle(), "VELDOR V2. Data for thpp.ins");
    EXPECT_TRUE(w.space_group_text().contains("P21/n")) << w.space_group_text().toStdString();

    w.trace_ortep();
    ASSERT_FALSE(doc.display.empty());
    // Only position 1 is selected: the asymmetric unit alone, less coincident images.
    EXPECT_EQ(doc.display.size(), doc.gen.size());
    EXPECT_LE(doc.display.size(), doc.asym.size());
    EXPECT_FALSE(doc.bonds.empty());
    EXPECT_FALSE(doc.regeneration_needed);
    EXPECT_TRUE(fs::exists(work / "dummy.vld"));
    Tfdessin* d = w.drawing_window();
    ASSERT_TRUE(d->isVisible());
    const QImage& picture = d->picture();
    EXPECT_EQ(picture.deviceIndependentSize().toSize(),
              QSize(d->picture_size(), d->picture_size()));
    EXPECT_GT(coloured_pixels(picture), 500);
    if (const char* out = std::getenv("VELDOR_TEST_PICTURES")) {
        picture.save(QString::fromUtf8(out) + "/thpp_plot.png");
        d->grab().save(QString::fromUtf8(out) + "/thpp_window.png");
        w.grab().save(QString::fromUtf8(out) + "/main_window.png");
    }

    // A second Plot without an edit only shows the same atoms again.
    fs::remove(work / "dummy.vld");
    const auto bonds = doc.bonds.size();
    w.trace_ortep();
    EXPECT_FALSE(fs::exists(work / "dummy.vld"));
    EXPECT_EQ(doc.bonds.size(), bonds);
}

TEST_F(PlotTest, SaveCommandsWriteWithTheExtensionAndAskBeforeReplacing) {
    Tfmainmenu w(doc, drawing, paths, msg);
    const QString base = QString::fromStdString((work / "saved").string());
    w.Veldorfile2Click(base);  // nothing generated yet: nothing written
    EXPECT_FALSE(fs::exists(work / "saved.vld"));
    w.load_by_extension(QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins"));
    w.sauve_fichier_shelx(base);
    EXPECT_TRUE(fs::exists(work / "saved.shx"));
    w.trace_ortep();
    w.Veldorfile2Click(base);
    ASSERT_TRUE(fs::exists(work / "saved.vld"));
    EXPECT_EQ(doc.written_file, (work / "saved.vld").string());
    const auto size = fs::file_size(work / "saved.vld");
    std::ofstream(work / "saved.vld") << "older";
    w.Veldorfile2Click(base);  // answered No: the older file stays
    EXPECT_EQ(fs::file_size(work / "saved.vld"), 5u);
    msg.answers = {Answer::Yes};
    w.Veldorfile2Click(base);
    EXPECT_EQ(fs::file_size(work / "saved.vld"), size);
}

TEST_F(PlotTest, LoadingAnotherFileWhileDrawingIsSafe) {
    Tfmainmenu w(doc, drawing, paths, msg);
    w.load_by_extension(QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins"));
    w.trace_ortep();
    Tfdessin* d = w.drawing_window();
    ASSERT_TRUE(d->isVisible());
    w.load_by_extension(QStringLiteral(VELDOR_SOURCE_DIR "/tests/data/pyobjcryst_BaTiO3.cif"));
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(doc.display.empty());
    // A drag that was still going on reaches the old view table safely.
    d->mouse_down({100, 100}, Qt::LeftButton);
    d->mouse_move({150, 120}, Qt::LeftButton);
    d->redraw();
    w.trace_ortep();
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(doc.display.empty());
}

TEST_F(PlotTest, MouseRotationTurnsByOneRadianPerHundredPixels) {
    Tfmainmenu w(doc, drawing, paths, msg);
    w.load_by_extension(QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins"));
    w.trace_ortep();
    Tfdessin* d = w.drawing_window();
    const QStringList before = d->projection_texts();
    d->mouse_down({100, 100}, Qt::LeftButton);
    d->mouse_move({200, 100}, Qt::LeftButton);
    d->mouse_up({200, 100}, Qt::LeftButton);
    EXPECT_NEAR(drawing.view.rotation_angles[1], 57.2957, 1e-9);
    EXPECT_NE(d->projection_texts(), before);
    if (const char* out = std::getenv("VELDOR_TEST_PICTURES"))
        d->picture().save(QString::fromUtf8(out) + "/thpp_turned.png");
    // The scale track bar: -4 gives 0.2.
    d->change_echelle(-4);
    EXPECT_EQ(d->scale_text(), " X 0.2");
    EXPECT_DOUBLE_EQ(drawing.view.zoom, 0.2);
}

}  // namespace
}  // namespace veldor
