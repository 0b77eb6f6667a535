// Turning, moving and zooming with the button held: the window shows quick
// frames meanwhile, and the picture it settles on (on release, or when the
// pointer rests) is exactly the one drawn without a drag.

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QSlider>

#include "drawing/scene.h"
#include "drawing/ui/qpainter_canvas.h"
#include "drawing/ui/screen_picture.h"
#include "tests/drawing_ui/window_fixture.h"

namespace veldor::test {
namespace {

// The still picture of the state as the window's redraw paints it.
QImage still_picture(const StructureDocument& doc, const DrawingState& state, const Tfdessin& w) {
    QImage image = make_picture_image(w.picture_size(), w.picture_size(), w.devicePixelRatioF());
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    SilentMessages quiet;
    redraw(doc, state, canvas, screen_page(state.view, w.environment()), quiet);
    return image;
}

bool background(QRgb p) {
    return qRed(p) > 250 && qGreen(p) > 250 && qBlue(p) > 250;
}

// Pixels inked in one picture and blank in the other, over the pixels
// inked in either.
double ink_mismatch(const QImage& a, const QImage& b) {
    long either = 0, one = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool ia = !background(a.pixel(x, y)), ib = !background(b.pixel(x, y));
            either += ia || ib;
            one += ia != ib;
        }
    return either ? static_cast<double>(one) / static_cast<double>(either) : 0;
}

// Whether the colour appears within one pixel of (x, y).
bool colour_near(const QImage& img, int x, int y, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.valid(x + dx, y + dy) && (img.pixel(x + dx, y + dy) & 0xFFFFFF) == colour)
                return true;
    return false;
}

QRgb qrgb(Colour c) {
    return static_cast<QRgb>((red(c) << 16) | (green(c) << 8) | blue(c));
}

// Lets the event loop run until the still picture is shown (5 s at most).
void wait_for_still_picture(const Tfdessin& w) {
    for (int i = 0; i < 500 && w.showing_quick_picture(); ++i)
        QTest::qWait(10);
}

class DragFrame : public DrawingWindow {
  protected:
    // The same structure in a second window that never drags.
    void open_twin() {
        twin_doc = StructureDocument{};
        twin_state = DrawingState{};
        ASSERT_TRUE(read_vld(kThppFragments, twin_doc, twin_state, msg));
        after_vld_load(twin_doc, twin_state);
        twin = std::make_unique<Tfdessin>(twin_doc, twin_state, msg, work.string(), false);
        twin->show();
        twin->initialise_fiche();
        twin->best_view();
    }
    void TearDown() override {
        twin.reset();
        DrawingWindow::TearDown();
    }
    StructureDocument twin_doc;
    DrawingState twin_state;
    std::unique_ptr<Tfdessin> twin;
};

TEST_F(DragFrame, StillPictureAfterADragIsThePictureDrawnWithoutOne) {
    open_twin();
    window->option_box("labels_centre")->click();
    twin->option_box("labels_centre")->click();
    window->option_box("planes_axes")->click();
    twin->option_box("planes_axes")->click();
    const QImage before = window->picture();

    window->mouse_down({300, 300}, Qt::LeftButton);
    window->mouse_move({318, 290}, Qt::LeftButton);
    EXPECT_TRUE(window->showing_quick_picture());
    const QImage quick = window->picture();
    EXPECT_NE(quick, before);
    if (const char* out = std::getenv("VELDOR_TEST_PICTURES"))
        quick.save(QString::fromUtf8(out) + "/drag_quick_labels_axes.png");
    // The clipboard keeps the last still picture while the frames are quick.
    EXPECT_EQ(QApplication::clipboard()->image(), before);
    window->mouse_move({341, 262}, Qt::LeftButton);
    window->mouse_up({341, 262}, Qt::LeftButton);
    EXPECT_FALSE(window->showing_quick_picture());
    const QImage settled = window->picture();
    save_picture("drag_settled");

    // The twin turned by the same steps, straight through the view, draws
    // the very same pixels, and so does the redraw on the dragged state.
    for (const auto& [dx, dy] : {std::pair{18, -10}, std::pair{23, -28}})
        ASSERT_TRUE(apply_rotation(twin_state, twin_doc.metric, rotation_xy(dx, dy), msg));
    twin->redraw();
    EXPECT_EQ(twin_state.view.view_matrix, state.view.view_matrix);
    EXPECT_EQ(settled, twin->picture());
    EXPECT_EQ(settled, still_picture(doc, state, *window));
    EXPECT_EQ(QApplication::clipboard()->image(), settled);

    // Resting with the button held brings the still picture too, and
    // motion after it goes back to quick frames.
    window->mouse_down({341, 262}, Qt::LeftButton);
    window->mouse_move({346, 262}, Qt::LeftButton);
    EXPECT_TRUE(window->showing_quick_picture());
    wait_for_still_picture(*window);
    EXPECT_FALSE(window->showing_quick_picture());
    EXPECT_EQ(window->picture(), still_picture(doc, state, *window));
    window->mouse_move({350, 262}, Qt::LeftButton);
    EXPECT_TRUE(window->showing_quick_picture());
    window->mouse_up({350, 262}, Qt::LeftButton);
    EXPECT_EQ(window->picture(), still_picture(doc, state, *window));
}

TEST_F(DragFrame, QuickFrameHasTheAtomsAndBondsOfTheStillPicture) {
    for (const char* mode : {"rotation", "translation"}) {
        SCOPED_TRACE(mode);
        if (std::string(mode) == "translation") window->set_mode_rotation(2);
        window->mouse_down({300, 300}, Qt::LeftButton);
        window->mouse_move({330, 315}, Qt::LeftButton);
        ASSERT_TRUE(window->showing_quick_picture());
        const QImage quick = window->picture();
        const QImage still = still_picture(doc, state, *window);
        window->mouse_up({330, 315}, Qt::LeftButton);
        if (const char* out = std::getenv("VELDOR_TEST_PICTURES")) {
            quick.save(QString::fromUtf8(out) + "/drag_quick_" + mode + ".png");
            still.save(QString::fromUtf8(out) + "/drag_still_" + mode + ".png");
        }
        EXPECT_LT(ink_mismatch(quick, still), 0.12);  // 0.075 here

        // Where the still picture shows an atom's or a bond's own colour at
        // its centre, so does the quick frame.
        const PageGeometry page = screen_page(state.view, window->environment());
        const double r = quick.devicePixelRatio();
        int atoms = 0, bonds = 0;
        for (int i = 0; i < static_cast<int>(doc.display.size()); ++i) {
            const Point p = page.map(state.view.points[i][0], state.view.points[i][1]);
            const QRgb c = qrgb(atom_fill_colour(doc, i));
            const int x = static_cast<int>(p.x * r), y = static_cast<int>(p.y * r);
            if (!colour_near(still, x, y, c)) continue;
            ++atoms;
            EXPECT_TRUE(colour_near(quick, x, y, c)) << "atom " << i;
        }
        for (const CalcBond& b : doc.bonds) {
            const Vec3& p = state.view.points[b.atom1 - 1];
            const Vec3& q = state.view.points[b.atom2 - 1];
            const Point m = page.map((p[0] + q[0]) / 2, (p[1] + q[1]) / 2);
            const int x = static_cast<int>(m.x * r), y = static_cast<int>(m.y * r);
            if (!colour_near(still, x, y, qrgb(b.colour))) continue;
            ++bonds;
            EXPECT_TRUE(colour_near(quick, x, y, qrgb(b.colour))) << "bond " << b.atom1;
        }
        EXPECT_GT(atoms, 50);
        EXPECT_GT(bonds, 30);
    }
}

TEST_F(DragFrame, LargeStructureShowsTheQuickPictureFirstThenTheStillOne) {
    // Fifteen copies of the four molecules side by side: 1020 atoms.
    const std::vector<Atom> one = doc.display;
    for (int k = 1; k < 15; ++k)
        for (Atom a : one) {
            a.set_position({a.x + k, a.y, a.z});
            doc.display.push_back(a);
        }
    ASSERT_GE(static_cast<int>(doc.display.size()), kQuickFirstAtoms);
    window->initialise_fiche();
    EXPECT_TRUE(window->showing_quick_picture());
    const QImage quick = window->picture();
    wait_for_still_picture(*window);
    EXPECT_FALSE(window->showing_quick_picture());
    EXPECT_NE(window->picture(), quick);
    EXPECT_EQ(window->picture(), still_picture(doc, state, *window));
    EXPECT_EQ(QApplication::clipboard()->image(), window->picture());
}

TEST_F(DragFrame, ScaleBarHeldDownZoomsWithQuickFrames) {
    auto* bar = window->findChild<QSlider*>("scale_bar");
    bar->setSliderDown(true);
    bar->setValue(3);
    EXPECT_TRUE(window->showing_quick_picture());
    EXPECT_EQ(window->scale_text(), " X 1.6");
    bar->setSliderDown(false);  // released
    EXPECT_FALSE(window->showing_quick_picture());
    EXPECT_EQ(window->picture(), still_picture(doc, state, *window));
    // Moved by the keyboard, the bar draws the still picture at once.
    bar->setValue(4);
    EXPECT_FALSE(window->showing_quick_picture());
    EXPECT_DOUBLE_EQ(state.view.zoom, 1.8);
}

}  // namespace
}  // namespace veldor::test
