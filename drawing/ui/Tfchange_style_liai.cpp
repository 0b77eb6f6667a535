#include "drawing/ui/Tfchange_style_liai.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "core/text.h"
#include "drawing/ui/qpainter_canvas.h"
#include "widgets/colour_chart.h"
#include "widgets/colour_swatch.h"
#include "widgets/style_form.h"

namespace veldor {

Tfchange_style_liai::Tfchange_style_liai(const StructureDocument& doc, BondStyle& style,
                                         QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), doc_(doc), style_(style) {
    setObjectName(QStringLiteral("Tfchange_style_liai"));
    setWindowTitle(QStringLiteral("Bond customize"));
    const StyleForm form = build_style_form(*this, QStringLiteral("&Radius (\u00c5) :"));
    radius_ = form.size;
    colour_ = form.colour;
    chart_ = form.chart;
    connect(form.buttons, &QDialogButtonBox::accepted, this, &Tfchange_style_liai::ok_style);
    connect(form.buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Cancel, Esc and closing the window all end the tool.
    connect(this, &QDialog::rejected, this, [this] { emit style_chosen(false); });
    init_style();
}

void Tfchange_style_liai::init_style() {
    colour_->set_colour(to_qcolor(doc_.bond_colour));
    radius_->setText(QString::fromStdString(format_fixed(doc_.bond_width / 100.0, 8, 2)));
    radius_->setFocus();
}

void Tfchange_style_liai::pick_colour(const QColor& c) {
    colour_->set_colour(c);
}

void Tfchange_style_liai::ok_style() {
    const double radius = parse_double(radius_->text().toStdString()).value_or(0);
    const QColor c = colour_->colour();
    style_.colour = rgb(c.red(), c.green(), c.blue());
    style_.radius = static_cast<int>(std::nearbyint(std::clamp(radius, 0.0, 100.0) * 100));
    hide();
    emit style_chosen(true);
}

void Tfchange_style_liai::showEvent(QShowEvent* e) {
    init_style();
    QDialog::showEvent(e);
}

}  // namespace veldor
