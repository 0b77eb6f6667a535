#include "generation/ui/TfeffaceA.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "generation/edit_asym.h"
#include "generation/ui/atom_grid.h"
#include "generation/ui/grid_cells.h"

namespace veldor {

TfeffaceA::TfeffaceA(StructureDocument& doc, Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      doc_(doc),
      messages_(messages),
      grid_(make_atom_grid(this)) {
    setObjectName(QStringLiteral("TfeffaceA"));
    setWindowTitle(QStringLiteral("Delete atoms of the asymetric unit"));
    auto* note = new QLabel(
        QStringLiteral(" Select  or unselect\nthe atoms to delete\n     by clicking"), this);
    note->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfeffaceA::del_atom);
    connect(grid_, &QTableWidget::cellPressed, this, &TfeffaceA::select_atom_to_del);
    connect(grid_, &QTableWidget::cellClicked, this, [this] { onclic(); });
    // The keyboard marks too: Space on the current cell.
    on_space(grid_, [this] {
        select_atom_to_del(grid_->currentRow(), grid_->currentColumn());
        onclic();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(grid_, 1);
    layout->addWidget(ok);
    resize(240, 440);
}

void TfeffaceA::showEvent(QShowEvent* e) {
    initialise();
    QDialog::showEvent(e);
}

void TfeffaceA::initialise() {
    fill_atom_grid(grid_, doc_);
    row_ = column_ = -1;
}

void TfeffaceA::select_atom_to_del(int row, int column) {
    row_ = row;
    column_ = column;
}

void TfeffaceA::onclic() {
    // Only the "Atom" column marks, and only rows that hold an atom.
    if (column_ != 1 || row_ < 0 || row_ >= static_cast<int>(doc_.asym.size())) return;
    const std::string text = grid_cell(grid_, row_, 1).toStdString();
    set_grid_cell(grid_, row_, 1, QString::fromStdString(toggle_mark(text)));
    paint_mark(grid_, row_, 1);
}

void TfeffaceA::del_atom() {
    const auto cells = column_cells(grid_, static_cast<int>(doc_.asym.size()), 1);
    switch (delete_marked_atoms(doc_, cells, messages_)) {
        case DeleteOutcome::Kept:
            return;
        case DeleteOutcome::Deleted:
            initialise();
            emit atoms_deleted();
            break;
        case DeleteOutcome::NothingToDo:
        case DeleteOutcome::BadNumber:
            break;
    }
    hide();
}

}  // namespace veldor
