// `veldor --grab`, the registry of the program's windows, and the report
// viewer.

#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "main/grab.h"
#include "main/report_viewer.h"
#include "main/startup_windows.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    QString errors;
};

// Runs the program without a display; `keep_platform` leaves the
// offscreen platform of the tests in place (an 800 x 600 screen).
Outcome run_veldor(const QStringList& args, const fs::path& work, bool keep_platform) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELDOR_WORKDIR", QString::fromStdString(work.string()));
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    if (!keep_platform) env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELDOR_EXECUTABLE), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

class Grab : public ::testing::Test {
  protected:
    void SetUp() override {
        work = fs::temp_directory_path() /
               (std::string("veldor_grab_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(work);
        fs::create_directories(work);
    }
    void TearDown() override { fs::remove_all(work); }
    QString out(const char* name) const { return QString::fromStdString((work / name).string()); }
    fs::path work;
};

TEST(StartupWindows, TheTwentyThreeFormsInTheirOrder) {
    const std::vector<StartupWindow>& w = startup_windows();
    ASSERT_EQ(w.size(), 23u);
    const char* order[] = {
        "Tfmainmenu",     "TfeffaceE",   "Tftypliai",          "Tfboite",
        "Tfimprime",      "TfeffaceA",   "TfeffaceB",          "Tflimat",
        "Tfsphere",       "Tfabout",     "Tfdistances",        "Tfdisp_coordinance",
        "Tfdisp_coord",   "Tfdessin",    "Tfplan_moyen",       "Tfwmetafile2",
        "Tfmask_element", "Tfformula",   "Tfquel_bloc",        "Tfget_sp",
        "Tfvarnel",       "Tfcustomize", "Tfchange_style_liai"};
    for (std::size_t i = 0; i < w.size(); ++i)
        EXPECT_STREQ(w[i].name, order[i]);
    EXPECT_TRUE(find_startup_window("Tfboite")->open);
    EXPECT_FALSE(find_startup_window("Tflimat")->open);
    EXPECT_EQ(find_startup_window("Tfnothing"), nullptr);
}

TEST(GrabOptions, CommandLine) {
    std::string error;
    auto o = parse_grab_options({"Tfboite", "box.png", "x.ins", "--screen", "800x600"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->window, "Tfboite");
    EXPECT_EQ(o->output, "box.png");
    EXPECT_EQ(o->file, "x.ins");
    EXPECT_EQ(o->screen_width, 800);
    EXPECT_EQ(o->screen_height, 600);
    o = parse_grab_options({"Tfboite", "box.png", "--width", "300"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->width, 300);
    EXPECT_TRUE(o->file.empty());
    EXPECT_FALSE(parse_grab_options({"Tfboite"}, error));
    EXPECT_FALSE(parse_grab_options({"Tfboite", "a.png", "--screen", "wide"}, error));
    EXPECT_EQ(error, "--screen wants WIDTHxHEIGHT, as 1280x900");
}

TEST_F(Grab, TheMainWindowAfterLoadingARealStructure) {
    const Outcome r = run_veldor({"--grab", "Tfmainmenu", out("main.png"),
                                  QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins")},
                                 work, false);
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    QImage picture(out("main.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.width(), 800);  // the normal arrangement
    // The compact one on a screen 800 pixels wide.
    const Outcome compact =
        run_veldor({"--grab", "Tfmainmenu", out("compact.png"),
                    QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins"), "--screen", "800x600"},
                   work, false);
    ASSERT_EQ(compact.status, 0) << compact.errors.toStdString();
    EXPECT_EQ(QImage(out("compact.png")).width(), 800);
    const Outcome scaled =
        run_veldor({"--grab", "Tfmainmenu", out("small.png"), "--width", "400"}, work, true);
    ASSERT_EQ(scaled.status, 0) << scaled.errors.toStdString();
    EXPECT_EQ(QImage(out("small.png")).width(), 400);
}

TEST_F(Grab, TheDrawingAfterAPlotAndADialog) {
    Outcome r = run_veldor({"--grab", "Tfdessin", out("drawing.png"),
                            QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins")},
                           work, true);
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_FALSE(QImage(out("drawing.png")).isNull());
    EXPECT_TRUE(fs::exists(work / "dummy.vld"));
    r = run_veldor({"--grab", "Tftypliai", out("bonds.png"),
                    QStringLiteral(VELDOR_SOURCE_DIR "/examples/thpp.ins")},
                   work, true);
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_FALSE(QImage(out("bonds.png")).isNull());
}

TEST_F(Grab, WindowsNotBuiltYetAndBadRequests) {
    Outcome r = run_veldor({"--grab", "Tflimat", out("x.png")}, work, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains("veldor: Tflimat: not built yet"));
    EXPECT_FALSE(fs::exists(work / "x.png"));
    r = run_veldor({"--grab", "Tfnothing", out("x.png")}, work, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains("no window is named Tfnothing"));
    r = run_veldor({"--grab", "Tfmainmenu", out("x.png"), out("missing.cif")}, work, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains("missing.cif not found"));
    r = run_veldor({"--grab", "Tfmainmenu", out("no/such/folder/x.png")}, work, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains("cannot write"));
}

TEST_F(Grab, ReportsOpenInTheViewerGiven) {
    testing::qt_app();
    const fs::path record = work / "viewer.txt";
    qputenv("VELDOR_VIEWER", QByteArray("sh -c \"echo $0 > ") + record.string().c_str() + "\"");
    EXPECT_TRUE(show_report(out("distances.txt")));
    QElapsedTimer t;
    t.start();
    while (!fs::exists(record) && t.elapsed() < 10000)
        QThread::msleep(20);
    qunsetenv("VELDOR_VIEWER");
    QThread::msleep(50);
    QFile f(QString::fromStdString(record.string()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed(), out("distances.txt"));
}

}  // namespace
}  // namespace veldor
