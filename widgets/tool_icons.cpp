#include "widgets/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace veldor {

namespace {

constexpr int kSize = 24;
const QColor kAtom(70, 110, 200);
const QColor kOther(200, 80, 60);
const QColor kBond(90, 90, 90);
const QColor kMask(210, 30, 30);

void atom(QPainter& p, QPointF c, double r = 3.5, QColor fill = kAtom) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
}

void bond(QPainter& p, QPointF a, QPointF b, double w = 2.5) {
    p.setPen(QPen(kBond, w, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void dashed_box(QPainter& p, QRectF r) {
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void cross(QPainter& p, QPointF c, double s) {
    p.setPen(QPen(kMask, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-s, -s), c + QPointF(s, s));
    p.drawLine(c + QPointF(-s, s), c + QPointF(s, -s));
}

void letter(QPainter& p, QRectF r, const QString& text, int pixel_size, bool bold = true) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixel_size);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, text);
}

void magnifier(QPainter& p, bool plus) {
    p.setPen(QPen(Qt::black, 1.6));
    p.setBrush(QColor(230, 240, 255));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(QPen(Qt::black, 1.6));
    p.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (plus) p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void paint(QPainter& p, ToolGlyph g) {
    switch (g) {
        case ToolGlyph::Distance:
            atom(p, {5, 17});
            atom(p, {19, 7});
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.drawLine(QPointF(5, 17), QPointF(19, 7));
            letter(p, {2, 0, 12, 11}, QStringLiteral("d"), 10);
            break;
        case ToolGlyph::Angle:
            bond(p, {4, 19}, {12, 8});
            bond(p, {12, 8}, {20, 19});
            atom(p, {4, 19});
            atom(p, {12, 8}, 3.5, kOther);
            atom(p, {20, 19});
            break;
        case ToolGlyph::Coordination:
            for (QPointF q :
                 {QPointF(12, 3.5), QPointF(20.5, 12), QPointF(12, 20.5), QPointF(3.5, 12)}) {
                bond(p, {12, 12}, q, 1.6);
                atom(p, q, 2.6);
            }
            atom(p, {12, 12}, 3.8, kOther);
            break;
        case ToolGlyph::BondToggle:
            bond(p, {5, 18}, {19, 6}, 3.5);
            atom(p, {5, 18});
            atom(p, {19, 6});
            letter(p, {11, 12, 13, 12}, QStringLiteral("\u00b1"), 12);
            break;
        case ToolGlyph::MaskAtom:
            atom(p, {12, 12}, 6);
            cross(p, {12, 12}, 6);
            break;
        case ToolGlyph::MaskRectangle:
            atom(p, {9, 10}, 3);
            atom(p, {15, 15}, 3);
            dashed_box(p, {3.5, 4.5, 17, 15});
            cross(p, {19, 19}, 3);
            break;
        case ToolGlyph::MaskFragment:
            bond(p, {5, 16}, {11, 8}, 2);
            bond(p, {11, 8}, {18, 14}, 2);
            atom(p, {5, 16}, 3);
            atom(p, {11, 8}, 3);
            atom(p, {18, 14}, 3);
            cross(p, {12, 12}, 8);
            break;
        case ToolGlyph::MaskBonds:
            bond(p, {5, 15}, {17, 9}, 3);
            dashed_box(p, {2.5, 5.5, 18, 13});
            cross(p, {19, 19}, 3);
            break;
        case ToolGlyph::MaskElements:
            letter(p, {1, 2, 18, 18}, QStringLiteral("El"), 11);
            cross(p, {18, 18}, 3.5);
            break;
        case ToolGlyph::Translation: {
            atom(p, {7, 16}, 3.5);
            p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 13), QPointF(19, 5));
            QPainterPath head;
            head.moveTo(20.5, 3.5);
            head.lineTo(14.5, 5.5);
            head.lineTo(18.5, 9.5);
            head.closeSubpath();
            p.setBrush(Qt::black);
            p.drawPath(head);
            break;
        }
        case ToolGlyph::Ring: {
            QPolygonF hexagon;
            for (int k = 0; k < 6; ++k)
                hexagon << QPointF(12 + 8 * std::cos(k * 1.0471975512),
                                   12 + 8 * std::sin(k * 1.0471975512));
            p.setPen(QPen(kBond, 2));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(hexagon);
            p.setPen(QPen(kMask, 1.5));
            p.drawLine(QPointF(9, 12), QPointF(15, 12));
            p.drawLine(QPointF(12, 9), QPointF(12, 15));
            break;
        }
        case ToolGlyph::MeanPlane: {
            QPolygonF plane;
            plane << QPointF(2, 17) << QPointF(8, 8) << QPointF(22, 8) << QPointF(16, 17);
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(200, 225, 250));
            p.drawPolygon(plane);
            atom(p, {7, 14}, 2.5);
            atom(p, {12, 10}, 2.5);
            atom(p, {17, 13}, 2.5);
            break;
        }
        case ToolGlyph::Direction:
            atom(p, {6, 18});
            atom(p, {17, 7});
            p.setPen(QPen(kOther, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 18), QPointF(21, 3));
            p.drawEllipse(QPointF(17, 7), 6, 6);
            break;
        case ToolGlyph::Plane:
            atom(p, {5, 17}, 3);
            atom(p, {12, 6}, 3);
            atom(p, {19, 17}, 3);
            p.setPen(QPen(kOther, 1.2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(QPolygonF{QPointF(5, 17), QPointF(12, 6), QPointF(19, 17)});
            break;
        case ToolGlyph::CentreAtom:
            p.setPen(QPen(kOther, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3, 3, 18, 18), 30 * 16, 300 * 16);
            atom(p, {12, 12}, 4);
            break;
        case ToolGlyph::ZoomIn:
            magnifier(p, true);
            break;
        case ToolGlyph::ZoomOut:
            magnifier(p, false);
            break;
        case ToolGlyph::BestView:
            letter(p, {0, 0, 24, 24}, QStringLiteral("BV"), 10);
            break;
        case ToolGlyph::Orientation:
            p.setPen(QPen(Qt::black, 1.4));
            p.drawLine(QPointF(5, 19), QPointF(20, 19));
            p.drawLine(QPointF(5, 19), QPointF(5, 4));
            p.drawLine(QPointF(5, 19), QPointF(14, 11));
            letter(p, {14, 12, 10, 10}, QStringLiteral("a"), 8, false);
            letter(p, {6, 1, 10, 10}, QStringLiteral("c"), 8, false);
            break;
        case ToolGlyph::Reset:
            p.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 290 * 16);
            p.drawLine(QPointF(16, 4.5), QPointF(18.5, 8.5));
            p.drawLine(QPointF(16, 4.5), QPointF(20.5, 3.5));
            break;
        case ToolGlyph::Help:
            letter(p, {0, 0, 24, 24}, QStringLiteral("?"), 17);
            break;
        case ToolGlyph::Save:
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(90, 120, 180));
            p.drawRect(QRectF(4, 4, 16, 16));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, 4, 10, 6));
            p.drawRect(QRectF(7, 13, 10, 7));
            break;
    }
}

QPixmap glyph_pixmap(ToolGlyph g, double dpr) {
    QPixmap pm(static_cast<int>(kSize * dpr), static_cast<int>(kSize * dpr));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, g);
    return pm;
}

}  // namespace

QIcon tool_icon(ToolGlyph glyph) {
    QIcon icon;
    for (double dpr : {1.0, 1.5, 2.0, 3.0})
        icon.addPixmap(glyph_pixmap(glyph, dpr));
    return icon;
}

}  // namespace veldor
