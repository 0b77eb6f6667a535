// The analysis windows driven as a user would: shown on a structure, typed
// into, clicked, their files written and handed to the viewer (a recording
// command in $VELDOR_VIEWER), their messages checked by their texts. Each
// window's picture is written to $VELDOR_GRAB_DIR when that is set.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "analysis/mean_plane.h"
#include "analysis/ui/Tfdisp_coord.h"
#include "analysis/ui/Tfdisp_coordinance.h"
#include "analysis/ui/Tfdistances.h"
#include "analysis/ui/Tfplan_moyen.h"
#include "analysis/ui/Tfvarnel.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;
using testing::atom;

// Fe1 on an inversion centre with O1 and O2 around it, generated as the
// drawing would show them, with two bonds.
StructureDocument iron_structure() {
    StructureDocument doc =
        testing::cubic({atom("FE", "1", {0.5, 0.5, 0.5}), atom("O", "1", {0.7, 0.5, 0.5}),
                        atom("O", "2", {0.5, 0.5, 0.65})});
    doc.space_group = "P-1";
    doc.data_file = "/somewhere/iron.cif";
    doc.element_sorts = {{0, 1.2, "FE"}, {0, 0.7, "O"}};
    doc.bond_sorts = {{"FE", "FE", 0}, {"FE", "O", 2.5}, {"O", "O", 0}};
    doc.gen = doc.asym;
    for (Vec3 p : {Vec3{0.3, 0.5, 0.5}, Vec3{0.5, 0.5, 0.35}}) {
        Atom a = doc.asym[p[0] < 0.5 ? 1 : 2];
        a.set_position(p);
        doc.gen.push_back(a);
    }
    doc.display = doc.gen;
    for (int j : {2, 3}) {
        CalcBond b;
        b.atom1 = 1;
        b.atom2 = j;
        b.length = distance(doc.gen[0].position(),
                            doc.gen[static_cast<std::size_t>(j - 1)].position(), doc.metric);
        doc.bonds.push_back(b);
    }
    return doc;
}

// The application lives to the end of the program and is never destroyed:
// destroying it among the other static objects at exit crashes in Qt's
// input-device registry once QTest has sent events.
QApplication& app() {
    static int argc = 1;
    static char name[] = "test_analysis_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

class AnalysisWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        viewer_log = work.file("viewer.log");
        const std::string viewer = work.file("viewer.sh");
        std::ofstream(viewer) << "#!/bin/sh\necho \"$1\" >> '" << viewer_log << "'\n";
        fs::permissions(viewer, fs::perms::owner_all);
        qputenv("VELDOR_VIEWER", QByteArray::fromStdString(viewer));
    }
    void TearDown() override { qunsetenv("VELDOR_VIEWER"); }

    // The files the viewer was given, once it has been started.
    std::vector<std::string> viewed(std::size_t expected) {
        std::vector<std::string> files;
        for (int i = 0; i < 100 && files.size() < expected; ++i) {
            QTest::qWait(50);
            files.clear();
            std::ifstream in(viewer_log);
            for (std::string l; std::getline(in, l);)
                files.push_back(l);
        }
        return files;
    }
    void grab(QWidget& w, const char* name) {
        const QByteArray dir = qgetenv("VELDOR_GRAB_DIR");
        const QPixmap picture = w.grab();
        EXPECT_FALSE(picture.isNull());
        if (!dir.isEmpty()) picture.save(QString::fromUtf8(dir) + "/" + name + ".png");
    }
    bool exists(const char* name) const { return fs::exists(work.file(name)); }

    testing::WorkFolder work;
    ProgramPaths paths{VELDOR_DATA_DIR, work.str()};
    std::string viewer_log;
    RecordingMessages msg;
    StructureDocument doc = iron_structure();
};

TEST_F(AnalysisWindows, DistancesGridFileAndExit) {
    Tfdistances w(doc, paths, msg);
    w.show();
    QTableWidget* g = w.grid();
    ASSERT_NE(g->item(1, 9), nullptr);
    EXPECT_EQ(g->item(0, 0)->text(), "Fe1");
    EXPECT_EQ(g->item(1, 9)->text(), " (X,Y,Z) (1_555)");
    EXPECT_EQ(g->item(1, 10)->text(), "  1.500");
    EXPECT_EQ(g->item(0, 10)->textAlignment(), Qt::AlignCenter);
    EXPECT_EQ(g->item(2, 0), nullptr);
    grab(w, "Tfdistances");

    w.edit_list();
    EXPECT_EQ(viewed(1), (std::vector<std::string>{work.file("distances.txt")}));
    w.exit_window();
    EXPECT_FALSE(exists("distances.txt"));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(AnalysisWindows, CoordinateListKeepsEditsCopiesAndWrites) {
    Tfdisp_coord w(doc, paths, msg);
    w.show();
    QPlainTextEdit* memo = w.memo();
    const QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[4], "  4 O1     0.3000  0.5000  0.5000 (-X,-Y,-Z)(2_666)");
    grab(w, "Tfdisp_coord");

    // What the user types survives an activation when the atoms did not change.
    memo->appendPlainText(QStringLiteral("a note"));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_TRUE(memo->toPlainText().endsWith("a note"));
    memo->selectAll();
    w.copy_selection();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Coordinates\n  1 Fe1"));

    w.edit_list();
    std::ifstream in(work.file("coordonnees.txt"));
    std::vector<std::string> file;
    for (std::string l; std::getline(in, l);)
        file.push_back(l);
    EXPECT_EQ(file.size(), 1u + 6u);  // the data file, the heading, five atoms; not the note
    w.exit_window();
    EXPECT_FALSE(exists("coordonnees.txt"));

    // After a new plot the list is rebuilt on activation.
    doc.gen.pop_back();
    QApplication::sendEvent(&w, &activate);
    EXPECT_EQ(memo->toPlainText().split('\n').size(), 5);
}

TEST_F(AnalysisWindows, EnvironmentOfAPickedAtom) {
    Tfdisp_coordinance w(doc, paths, msg);
    QSignalSpy ended(&w, &Tfdisp_coordinance::picking_ended);
    w.show_environment(9);  // not an atom: nothing
    EXPECT_FALSE(w.isVisible());
    w.show_environment(0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(),
              "Distances and angles around the atom Fe1 (  0.5000  0.5000  0.5000)");
    EXPECT_EQ(w.pos(), QPoint(460, 0));

    QTest::keyClicks(w.radius_box(), "2.5");
    QTest::keyClick(w.radius_box(), Qt::Key_Return);
    const QStringList lines = w.memo()->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 1 + 4 + 1 + 6);
    EXPECT_EQ(lines[0], "                Linked atoms");
    EXPECT_EQ(lines[5], "            Angles");
    EXPECT_EQ(lines[6], "O1  (  1)-Fe1-O2  (  2) a=  90.00");
    EXPECT_TRUE(exists("envir.txt"));
    grab(w, "Tfdisp_coordinance");

    w.radius_box()->setText(QStringLiteral("2.5 A"));
    QTest::keyClick(w.radius_box(), Qt::Key_Return);
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"Read error"}));
    EXPECT_EQ(w.radius_box()->text(), "2.5 A");
    EXPECT_EQ(w.memo()->toPlainText(), "                Linked atoms");
    EXPECT_EQ(msg.beeps, 1);

    w.return_to_plot();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(exists("envir.txt"));
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(AnalysisWindows, MeanPlanesPickedComputedAndEdited) {
    { std::ofstream(work.file("plan.sor")) << "old\n"; }
    Tfplan_moyen w(doc, paths, msg);
    QSignalSpy redraws(&w, &Tfplan_moyen::redraw_requested);
    QSignalSpy ended(&w, &Tfplan_moyen::picking_ended);
    w.begin_picking();
    EXPECT_FALSE(exists("plan.sor"));
    for (int a : {0, 1, 4, 2})  // Fe1, O1, O2 image, O2: the plane y = 0.5
        ASSERT_TRUE(w.add_picked_atom(a));
    EXPECT_EQ(w.grid()->item(0, 0)->text(), "Nb.1");
    EXPECT_EQ(w.grid()->item(0, 3)->text(), "(5)");
    EXPECT_EQ(w.grid()->item(0, 3)->toolTip(), "O2");
    EXPECT_EQ(w.picked_atoms(), (std::vector<int>{0, 1, 4, 2}));

    w.calcul_plan();
    ASSERT_GT(w.results()->count(), 3);
    EXPECT_EQ(w.results()->item(0)->text(), "Plane Nb. 1:");
    EXPECT_EQ(w.results()->currentItem()->text(), "Normal end");
    EXPECT_TRUE(w.picked_atoms().empty());
    EXPECT_EQ(redraws.count(), 1);

    for (int a : {0, 1, 3})  // Fe1, O1 and its image: aligned
        w.add_picked_atom(a);
    msg.answers = {Answer::No};
    w.calcul_plan();
    EXPECT_EQ(msg.log.back(),
              "confirm: The atoms of plane 2 are aligned. Do you want to continue?");
    EXPECT_EQ(w.grid()->item(1, 0), nullptr);                 // the plane was dropped
    EXPECT_EQ(w.results()->item(0)->text(), "Plane Nb. 1:");  // results as they were

    for (int a : {0, 2, 3})
        w.add_picked_atom(a);
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {},
                      w.grid()->visualRect(w.grid()->model()->index(1, 2)).center());
    EXPECT_EQ(w.table().planes()[1], (std::vector<int>{1, 4}));  // (3) removed
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {},
                      w.grid()->visualRect(w.grid()->model()->index(0, 0)).center());
    EXPECT_EQ(w.grid()->item(0, 0)->text(), "Nb.1");  // the second plane moved up
    EXPECT_EQ(w.grid()->item(0, 2)->text(), "(4)");
    EXPECT_EQ(w.grid()->item(1, 0), nullptr);
    w.calcul_plan();
    EXPECT_EQ(msg.warnings.back(), "Selected atoms number < 3!");
    grab(w, "Tfplan_moyen");
    for (int a = 0; a < kMaxPlaneAtoms; ++a)  // a new plane
        w.add_picked_atom(0);
    EXPECT_FALSE(w.add_picked_atom(0));
    EXPECT_EQ(msg.warnings.back(), "Nb of atoms exceeding 30!");

    w.end_planes();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.grid()->item(0, 0), nullptr);
    EXPECT_EQ(w.results()->count(), 0);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(AnalysisWindows, CoordinationCalculation) {
    Tfvarnel w(doc, paths, msg);
    w.show();
    QTableWidget* atoms = w.atom_grid();
    ASSERT_EQ(atoms->rowCount(), 3);
    EXPECT_EQ(atoms->item(0, 4)->text(), "*");
    EXPECT_EQ(atoms->item(1, 4)->text(), "");
    EXPECT_EQ(atoms->item(1, 1)->text(), "  0.7000");
    EXPECT_EQ(w.pair_grid()->item(1, 0)->text(), "FE");
    EXPECT_EQ(w.pair_grid()->item(1, 2)->text(), "  2.50");
    EXPECT_EQ(w.positions_grid()->item(1, 0)->text(), "-x");

    w.angles_button()->click();
    EXPECT_EQ(w.result_caption()->text(), "Angles and Distances");
    w.calcul();
    const QStringList lines = w.result_memo()->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 1 + 4 + 1 + 6);  // four oxygens, six angles
    EXPECT_EQ(lines[1].left(18), "Fe1   O1    2.000 ");
    EXPECT_EQ(lines[5], " ");
    EXPECT_TRUE(lines[6].startsWith(" Angle: O1    Fe1   O1     180.00   (1_555)"));
    grab(w, "Tfvarnel");

    // Export: the program's CIF command receives the result.
    std::optional<CifWriteOptions> exported;
    w.set_cif_saver([&](const CifWriteOptions& o) { exported = o; });
    w.export_cif();
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported->coordination_result.size(), 12u);
    EXPECT_TRUE(exported->coordination_with_angles);
    w.edit_print();
    EXPECT_EQ(viewed(1), (std::vector<std::string>{work.file("dist.txt")}));

    // A click in the atom grid clears the result; the Sel column toggles.
    QTest::mouseClick(atoms->viewport(), Qt::LeftButton, {},
                      atoms->visualRect(atoms->model()->index(1, 4)).center());
    EXPECT_EQ(atoms->item(1, 4)->text(), "*");
    EXPECT_TRUE(w.result_memo()->toPlainText().isEmpty());
    w.unselect_all();
    EXPECT_EQ(atoms->item(0, 4)->text(), "*");
    EXPECT_EQ(atoms->item(1, 4)->text(), "");
    w.select_all();
    EXPECT_EQ(atoms->item(2, 4)->text(), "*");

    // A distance that is not a number: the message, and the rows keep theirs.
    w.pair_grid()->item(0, 2)->setText(QStringLiteral("far"));
    w.calcul();
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"Read error at line 1"}));
    EXPECT_EQ(w.pair_grid()->item(0, 2)->text(), "far");
    EXPECT_FALSE(w.result_memo()->toPlainText().isEmpty());

    // Without a space-group symbol the CIF cannot be written.
    doc.space_group.clear();
    w.set_cif_saver({});
    msg.log.clear();
    w.export_cif();
    EXPECT_EQ(msg.log, (std::vector<std::string>{
                           "beep",
                           "warn: Veldor needs the Space Group symbol \nto create a CIF. "
                           "Please select a Space \nGroup symbol  (Hermann_Mauguin or\n"
                           "    Hall) and save the Data as CIF."}));
    w.return_back();
    EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace veldor
