#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "drawing/ui/qpainter_canvas.h"

namespace veldor {
namespace {

QApplication& app() {
    return testing::qt_app();
}

QColor at(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

TEST(QPainterCanvas, FillsAndOutlinesInDeviceColours) {
    app();
    QImage img = make_picture_image(100, 100);
    {
        QPainter p(&img);
        QPainterCanvas c(p);
        c.set_pen(Pen{rgb(0, 0, 0), 1, PenStyle::Solid});
        c.set_brush(Brush{rgb(255, 0, 0), false});
        const Point tri[] = {{10, 10}, {90, 10}, {50, 90}};
        c.polygon(tri);
        c.set_brush(Brush{rgb(0, 0, 255), false});
        c.ellipse({40, 20}, {60, 40});
    }
    EXPECT_EQ(at(img, 50, 60), QColor(255, 0, 0));  // inside the triangle
    EXPECT_EQ(at(img, 50, 30), QColor(0, 0, 255));  // inside the ellipse
    EXPECT_EQ(at(img, 5, 95), QColor(255, 255, 255));
    // Colours are 0x00BBGGRR: red in the low byte.
    EXPECT_EQ(to_qcolor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(to_qcolor(0xFF0000), QColor(0, 0, 255));
}

TEST(QPainterCanvas, HollowBrushLeavesTheInside) {
    app();
    QImage img = make_picture_image(60, 60);
    {
        QPainter p(&img);
        QPainterCanvas c(p);
        c.set_pen(Pen{rgb(0, 128, 0), 2, PenStyle::Solid});
        c.set_brush(Brush{kBlack, true});
        c.rectangle({10, 10}, {50, 50});
    }
    EXPECT_EQ(at(img, 30, 30), QColor(255, 255, 255));
    EXPECT_EQ(at(img, 10, 30).green(), 128);
}

TEST(QPainterCanvas, HighDpiPictureKeepsLogicalCoordinates) {
    app();
    QImage img = make_picture_image(50, 50, 2.0);
    EXPECT_EQ(img.width(), 100);
    EXPECT_EQ(img.deviceIndependentSize().toSize(), QSize(50, 50));
    {
        QPainter p(&img);
        QPainterCanvas c(p);
        c.set_pen(Pen{kBlack, 1, PenStyle::Solid});
        c.set_brush(Brush{rgb(255, 0, 0), false});
        c.rectangle({25, 25}, {45, 45});
    }
    EXPECT_EQ(at(img, 70, 70), QColor(255, 0, 0));  // device pixel (70, 70) = logical (35, 35)
    EXPECT_EQ(at(img, 30, 30), QColor(255, 255, 255));
}

TEST(QPainterCanvas, TextSizeFollowsPointSizeAndOpaqueBackground) {
    app();
    QImage img = make_picture_image(200, 60);
    QPainter p(&img);
    QPainterCanvas c(p);
    Font small{"Times New Roman", 8};
    Font large{"Times New Roman", 24};
    const TextSize s = c.text_size("C12", small);
    const TextSize l = c.text_size("C12", large);
    EXPECT_GT(s.width, 0);
    EXPECT_NEAR(l.height / s.height, 3.0, 0.5);
    TextStyle style;
    style.font = large;
    style.opaque = true;
    style.background = rgb(0, 255, 255);
    c.text({10, 10}, "Cl1", style);
    p.end();
    // The box is filled with the background where no glyph covers it.
    EXPECT_EQ(at(img, 11, 11), QColor(0, 255, 255));
    EXPECT_EQ(at(img, 5, 5), QColor(255, 255, 255));
}

}  // namespace
}  // namespace veldor
