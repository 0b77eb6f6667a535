#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QSignalSpy>
#include <cstdio>
#include <fstream>

#include "main/Tfmainmenu.h"
#include "main/help_window.h"

namespace veldor {
namespace {

QApplication& app() {
    return testing::qt_app();
}

class MainMenu : public ::testing::Test {
  protected:
    void SetUp() override { app(); }
    ProgramPaths paths{VELDOR_DATA_DIR, "/tmp"};
    StructureDocument doc;
    DrawingState drawing;
    RecordingMessages msg;
};

TEST_F(MainMenu, OpensEmptyWithNoOptionAndItsMenus) {
    doc.bond_width = 3;
    Tfmainmenu w(doc, drawing, paths, msg);
    EXPECT_EQ(w.windowTitle(), "VELDOR V2");
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_EQ(doc.bond_width, 6);
    EXPECT_EQ(doc.bond_colour, rgb(255, 255, 0));
    for (const char* name :
         {"lit_veldor", "lit_fichier_tessard", "lit_shelx", "lit_lazy", "lit_powder", "lit_cif",
          "sauve_fichier_shelx", "Veldorfile2Click", "sauve_fichier_cif", "data_keyboard",
          "trace_ortep", "aide", "a_propos", "Exit"}) {
        ASSERT_NE(w.action(name), nullptr) << name;
    }
    EXPECT_EQ(w.action("lit_shelx")->text(), "&Shelx file (input or output)");
    EXPECT_EQ(w.action("lit_cif")->text(), "&Crystallographic Information file (CIF)");
    EXPECT_TRUE(w.action("Exit")->isEnabled());
    EXPECT_TRUE(w.action("aide")->isEnabled());
    EXPECT_TRUE(msg.log.empty());
}

TEST_F(MainMenu, HelpOpensAtTheContextAnchor) {
    Tfmainmenu w(doc, drawing, paths, msg);
    w.aide();
    ASSERT_NE(w.help_window(), nullptr);
    EXPECT_TRUE(w.help_window()->isVisible());
    EXPECT_EQ(w.help_window()->current_anchor(), "ctx7");
    w.show_help(kHelpGetspec);
    EXPECT_EQ(w.help_window()->current_anchor(), "ctx12");
}

TEST_F(MainMenu, GuideHasEveryContextTopic) {
    QFile f(QStringLiteral(VELDOR_DATA_DIR "/veldor.html"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    for (int ctx : {1, 3, 4, 5, 7, 9, 11, 12})
        EXPECT_TRUE(html.contains(QStringLiteral("name=\"ctx%1\"").arg(ctx))) << ctx;
}

TEST_F(MainMenu, FirstActivationAnnouncesAVldStartupFileOnce) {
    const std::string file = "/tmp/veldor_mainmenu_Some.VLD";
    std::ofstream(file) << "x\n";
    doc.startup_file = file;
    Tfmainmenu w(doc, drawing, paths, msg);
    QSignalSpy spy(&w, &Tfmainmenu::startup_file_pending);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    QApplication::sendEvent(&w, &activate);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0],
              "The file /tmp/veldor_mainmenu_some.vld was loaded. Click on the \"Plot\" Item");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "/tmp/veldor_mainmenu_some.vld");
    std::remove(file.c_str());
}

TEST_F(MainMenu, AMissingStartupFileEndsTheProgramAfterTheFrameCheck) {
    doc.startup_file = "/tmp/veldor_mainmenu_nothere.cif";
    Tfmainmenu w(doc, drawing, paths, msg);
    QSignalSpy failed(&w, &Tfmainmenu::startup_failed);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"/tmp/veldor_mainmenu_nothere.cif not found"});
    EXPECT_EQ(failed.count(), 1);
}

TEST_F(MainMenu, Caption) {
    EXPECT_EQ(Tfmainmenu::caption_for("x.ins"), "VELDOR V2. Data for x.ins");
}

}  // namespace
}  // namespace veldor
