#include "widgets/style_form.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/colour_chart.h"
#include "widgets/colour_swatch.h"

namespace veldor {

StyleForm build_style_form(QDialog& dialog, const QString& size_caption) {
    StyleForm f;
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    f.size = new QLineEdit(&dialog);
    f.size->setAlignment(Qt::AlignRight);
    f.size->setMaximumWidth(90);
    form->addRow(size_caption, f.size);
    f.colour = new ColourSwatch(&dialog);
    form->addRow(QStringLiteral("Colour :"), f.colour);
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("Click on the palette to choose the colour"), &dialog));
    f.chart = new ColourChart(&dialog);
    f.chart->setFixedSize(256, 128);
    QObject::connect(f.chart, &ColourChart::colour_picked, f.colour, &ColourSwatch::set_colour);
    layout->addWidget(f.chart);
    f.buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    f.buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(f.buttons);
    return f;
}

}  // namespace veldor
