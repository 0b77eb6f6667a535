#include "drawing/ui/Tfcustomize.h"

#include <QDialogButtonBox>
#include <QLineEdit>

#include "core/text.h"
#include "drawing/atom_edits.h"
#include "drawing/ui/qpainter_canvas.h"
#include "widgets/colour_chart.h"
#include "widgets/colour_swatch.h"
#include "widgets/style_form.h"

namespace veldor {

namespace {
Colour from_qcolor(const QColor& c) {
    return rgb(c.red(), c.green(), c.blue());
}
}  // namespace

Tfcustomize::Tfcustomize(StructureDocument& doc, DummyStyle& style, Messages& messages,
                         QWidget* parent)
    : QDialog(parent), doc_(doc), style_(style), messages_(messages) {
    setObjectName(QStringLiteral("Tfcustomize"));
    setWindowTitle(QStringLiteral("Dummy atom style"));
    const StyleForm form = build_style_form(*this, QStringLiteral("&Dimension (\u00c5\u00b2) :"));
    dimension_ = form.size;
    colour_ = form.colour;
    chart_ = form.chart;
    connect(form.buttons, &QDialogButtonBox::accepted, this, &Tfcustomize::ok_style);
    connect(form.buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    init_style();
}

void Tfcustomize::init_style() {
    dimension_->setText(QString::fromStdString(format_fixed(style_.dimension, 7, 2)));
    colour_->set_colour(to_qcolor(style_.colour));
    dimension_->setFocus();
}

void Tfcustomize::pick_colour(const QColor& c) {
    colour_->set_colour(c);
}

void Tfcustomize::ok_style() {
    const double dimension = parse_double(dimension_->text().toStdString()).value_or(0);
    if (!(dimension > 0)) {
        messages_.warn(kDummyDimensionRefused);
        dimension_->setFocus();
        return;
    }
    style_.dimension = dimension;
    style_.colour = from_qcolor(colour_->colour());
    apply_dummy_style(doc_, style_);
    emit style_applied();
    accept();
}

void Tfcustomize::showEvent(QShowEvent* e) {
    init_style();
    QDialog::showEvent(e);
}

}  // namespace veldor
