#pragma once
// A drawing window on a real structure (the thpp test plot), shown on the
// offscreen platform, with helpers that click where the picture draws an
// atom.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/messages.h"
#include "drawing/picking.h"
#include "drawing/ui/Tfdessin.h"
#include "drawing/ui/picture_widget.h"
#include "formats/vld.h"
#include "tests/qt_test_app.h"

namespace veldor::test {

namespace fs = std::filesystem;

// Four whole thpp molecules (68 atoms, 60 bonds), turned to the best view
// so they lie apart on the picture.
inline const char* kThppFragments = VELDOR_TESTDATA_DIR "/thpp_fragments.vld";

class DrawingWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::qt_app();
        work = fs::temp_directory_path() /
               ("veldor_drawing_ui_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(work);
        fs::create_directories(work);
        load(kThppFragments);
        window->best_view();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(work);
    }

    // Loads a VLD file and opens a new window on it.
    void load(const std::string& path, bool compact = false) {
        window.reset();
        doc = StructureDocument{};
        state = DrawingState{};
        ASSERT_TRUE(read_vld(path, doc, state, msg)) << last_warning();
        after_vld_load(doc, state);
        window = std::make_unique<Tfdessin>(doc, state, msg, work.string(), compact);
        window->show();
        window->initialise_fiche();
        msg.log.clear();
        msg.warnings.clear();
        msg.beeps = 0;
    }

    std::string last_warning() const { return msg.warnings.empty() ? "" : msg.warnings.back(); }

    QPoint pixel(int atom) const {
        const Point p =
            atom_pixel(state.view, screen_page(state.view, window->environment()), atom);
        return QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
    }

    // A left click on the picture, as the user makes it.
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(window->picture_widget(), button, Qt::NoModifier, at);
    }
    void click_atom(int atom) { click(pixel(atom)); }
    // An atom that a click on its own pixel picks (no lower-numbered atom
    // within the tolerance), from `from` on.
    int pickable(int from = 0) const {
        const PageGeometry page = screen_page(state.view, window->environment());
        for (int i = from; i < static_cast<int>(doc.display.size()); ++i)
            if (pick_atom(doc, state.view, page, atom_pixel(state.view, page, i)) == i) return i;
        return -1;
    }
    // Atoms bonded by the first bond whose two ends are both pickable.
    std::pair<int, int> pickable_bond() const {
        for (const CalcBond& b : doc.bonds)
            if (pickable(b.atom1 - 1) == b.atom1 - 1 && pickable(b.atom2 - 1) == b.atom2 - 1)
                return {b.atom1 - 1, b.atom2 - 1};
        return {-1, -1};
    }
    // The pixel box of a fragment's atoms, widened by `margin`.
    std::pair<QPoint, QPoint> fragment_box(int tag, int margin) const {
        int x0 = 100000, y0 = 100000, x1 = -1, y1 = -1;
        for (int i = 0; i < static_cast<int>(doc.display.size()); ++i) {
            if (doc.display[static_cast<std::size_t>(i)].tag != tag) continue;
            const QPoint p = pixel(i);
            x0 = std::min(x0, p.x());
            y0 = std::min(y0, p.y());
            x1 = std::max(x1, p.x());
            y1 = std::max(y1, p.y());
        }
        return {QPoint(x0 - margin, y0 - margin), QPoint(x1 + margin, y1 + margin)};
    }
    void right_click() { click(QPoint(5, 5), Qt::RightButton); }
    void drag(QPoint from, QPoint to) {
        QWidget* w = window->picture_widget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(w, (from + to) / 2);
        QTest::mouseMove(w, to);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
    }
    // A rectangle around every displayed atom.
    void drag_around_everything() {
        drag(QPoint(1, 1), QPoint(window->picture_size() - 2, window->picture_size() - 2));
    }

    void save_picture(const QString& name) const {
        if (const char* out = std::getenv("VELDOR_TEST_PICTURES")) {
            window->picture().save(QString::fromUtf8(out) + "/" + name + ".png");
            window->grab().save(QString::fromUtf8(out) + "/" + name + "_window.png");
        }
    }

    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    fs::path work;
    std::unique_ptr<Tfdessin> window;
};

}  // namespace veldor::test
