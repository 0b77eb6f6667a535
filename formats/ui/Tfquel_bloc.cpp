#include "formats/ui/Tfquel_bloc.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldor {

Tfquel_bloc::Tfquel_bloc(Messages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("Tfquel_bloc"));
    setWindowTitle(QStringLiteral("Select a data block"));
    list_->setObjectName(QStringLiteral("ListBox1"));
    auto* text = new QLabel(
        QStringLiteral("The CIF file contains several data blocks\nSelect a bloc"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &Tfquel_bloc::ok_select);
    connect(buttons, &QDialogButtonBox::rejected, this, &Tfquel_bloc::abort);
    connect(list_, &QListWidget::itemDoubleClicked, this, &Tfquel_bloc::ok_select);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(320, 300);
}

void Tfquel_bloc::set_blocks(const std::vector<CifBlockInfo>& candidates) {
    list_->clear();
    for (const CifBlockInfo& b : candidates) {
        list_->addItem(QString::fromStdString(b.name));
        messages_.beep();
    }
    // The first block is current, so that Enter takes it.
    if (list_->count() > 0) list_->setCurrentRow(0);
}

std::optional<int> Tfquel_bloc::choose(const std::vector<CifBlockInfo>& candidates) {
    set_blocks(candidates);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return list_->currentRow();
}

void Tfquel_bloc::ok_select() {
    if (list_->currentRow() < 0 || list_->selectedItems().isEmpty()) return;
    accept();
}

void Tfquel_bloc::abort() {
    reject();
}

}  // namespace veldor
