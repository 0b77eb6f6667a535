#include "output/ui/Tfimprime.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "output/ui/printed_page.h"

namespace veldor {

bool desktop_print_dialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

Tfimprime::Tfimprime(const OutputContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), choose_printer_(desktop_print_dialog) {
    setObjectName(QStringLiteral("Tfimprime"));
    setWindowTitle(QStringLiteral("Printing..."));

    resolution_ = new QLineEdit(this);
    resolution_->setObjectName(QStringLiteral("resolution"));
    resolution_->setAlignment(Qt::AlignRight);
    resolution_->setMaxLength(8);
    pen_width_ = new QComboBox(this);
    pen_width_->setObjectName(QStringLiteral("pen_width"));
    for (int w = 1; w <= 5; ++w)
        pen_width_->addItem(QString::number(w));
    pen_width_->setCurrentIndex(kDefaultPrintPenWidth - 1);

    auto* form = new QFormLayout;
    auto* resolution_label = new QLabel(QStringLiteral("&Resolution (dots per inch)"), this);
    resolution_label->setBuddy(resolution_);
    auto* pen_label = new QLabel(QStringLiteral("&Pen Width "), this);
    pen_label->setBuddy(pen_width_);
    form->addRow(resolution_label, resolution_);
    form->addRow(pen_label, pen_width_);

    auto* stereo_box = new QGroupBox(QStringLiteral("Stereo view?"), this);
    auto* stereo_layout = new QHBoxLayout(stereo_box);
    stereo_ = new QButtonGroup(this);
    auto* no = new QRadioButton(QStringLiteral("&No"), stereo_box);
    auto* yes = new QRadioButton(QStringLiteral("&Yes"), stereo_box);
    no->setObjectName(QStringLiteral("stereo_no"));
    yes->setObjectName(QStringLiteral("stereo_yes"));
    stereo_->addButton(no, 0);
    stereo_->addButton(yes, 1);
    no->setChecked(true);
    stereo_layout->addWidget(no);
    stereo_layout->addWidget(yes);
    connect(stereo_, &QButtonGroup::idClicked, this, &Tfimprime::stereo_changed);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tfimprime::go_impression);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(stereo_box);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    setTabOrder(resolution_, pen_width_);
    setTabOrder(pen_width_, no);
    setTabOrder(no, yes);
    resolution_->setText(QString::fromStdString(resolution_box_text(pixels_per_cm_)));
}

void Tfimprime::showEvent(QShowEvent* event) {
    resolution_->setText(QString::fromStdString(resolution_box_text(pixels_per_cm_)));
    status_->clear();
    resolution_->setFocus();
    QDialog::showEvent(event);
}

void Tfimprime::stereo_changed(int id) {
    // A stereo pair is drawn with the thinnest pen; going back keeps it.
    if (id == 1) pen_width_->setCurrentIndex(kStereoPenWidth - 1);
}

PrintSettings Tfimprime::settings() const {
    PrintSettings s;
    s.pixels_per_cm = pixels_per_cm_;
    s.pen_width = pen_width_->currentIndex() + 1;
    s.stereo = stereo_->checkedId() == 1;
    return s;
}

void Tfimprime::go_impression() {
    const std::optional<double> p = pixels_per_cm_from_box(resolution_->text().toStdString());
    if (!p) {
        ctx_.messages.warn(kResolutionReadError);
        resolution_->setFocus();
        return;
    }
    pixels_per_cm_ = *p;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    if (!choose_printer_ || !choose_printer_(printer, this)) return;
    status_->setText(QString::fromLatin1(kBePatient));
    {
        BusyScope busy(ctx_.messages);
        QApplication::processEvents();
        if (!paint_printed_page(printer, ctx_.doc, ctx_.state, settings(), page_file_name(ctx_.doc),
                                ctx_.messages))
            ctx_.messages.warn("The printer could not be started");
    }
    status_->clear();
    accept();
}

}  // namespace veldor
