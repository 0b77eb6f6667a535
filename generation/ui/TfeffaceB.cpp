#include "generation/ui/TfeffaceB.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "generation/edit_asym.h"
#include "generation/ui/atom_grid.h"

namespace veldor {

TfeffaceB::TfeffaceB(StructureDocument& doc, Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      doc_(doc),
      messages_(messages),
      grid_(make_atom_grid(this)) {
    setObjectName(QStringLiteral("TfeffaceB"));
    setWindowTitle(QStringLiteral("Delete a bloc of atoms of the asymetric unit"));
    from_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("Edit1"));
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("Edit2"));
    auto* form = new QFormLayout;
    auto* from_label = new QLabel(QStringLiteral("&From Nb"), this);
    from_label->setBuddy(from_);
    auto* to_label = new QLabel(QStringLiteral("&To Nb"), this);
    to_label->setBuddy(to_);
    form->addRow(from_label, from_);
    form->addRow(to_label, to_);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfeffaceB::efface_bloc);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(form);
    layout->addWidget(ok);
    setTabOrder(from_, to_);
    setTabOrder(to_, ok);
    resize(240, 460);
}

void TfeffaceB::showEvent(QShowEvent* e) {
    initialise();
    QDialog::showEvent(e);
    from_->setFocus();
}

void TfeffaceB::initialise() {
    fill_atom_grid(grid_, doc_);
}

void TfeffaceB::efface_bloc() {
    const DeleteOutcome outcome =
        delete_block(doc_, from_->text().toStdString(), to_->text().toStdString(), messages_);
    switch (outcome) {
        case DeleteOutcome::Kept:
        case DeleteOutcome::BadNumber:
            // What was typed stays for the user to correct or confirm.
            return;
        case DeleteOutcome::Deleted:
            from_->clear();
            to_->clear();
            emit atoms_deleted();
            break;
        case DeleteOutcome::NothingToDo:
            break;
    }
    hide();
}

}  // namespace veldor
