#include "generation/ui/TfeffaceE.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/elements.h"
#include "generation/edit_asym.h"
#include "generation/ui/grid_cells.h"

namespace veldor {

namespace {
constexpr int kRowHeight = 21;
constexpr int kMaxGridHeight = 425;
}  // namespace

TfeffaceE::TfeffaceE(StructureDocument& doc, ProgramPaths paths, Messages& messages,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      doc_(doc),
      paths_(std::move(paths)),
      messages_(messages),
      grid_(new QTableWidget(0, 1, this)) {
    setObjectName(QStringLiteral("TfeffaceE"));
    setWindowTitle(QStringLiteral("Delete Elements of the asymetric unit"));
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid_, &QTableWidget::cellPressed, this, &TfeffaceE::selecte_elem_todel);
    connect(grid_, &QTableWidget::cellClicked, this, [this] { onclic(); });
    on_space(grid_, [this] {
        selecte_elem_todel(grid_->currentRow(), grid_->currentColumn());
        onclic();
    });

    auto* note = new QLabel(QStringLiteral("Click on the element\nto select or unselect"), this);
    note->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfeffaceE::del_elem_system);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(grid_);
    layout->addWidget(ok);
    layout->addStretch(1);
    resize(220, 300);
}

void TfeffaceE::showEvent(QShowEvent* e) {
    initialise();
    QDialog::showEvent(e);
}

void TfeffaceE::initialise() {
    const std::vector<std::string> rows = element_grid(doc_);
    grid_->clearContents();
    grid_->setHorizontalHeaderLabels({QString::fromStdString(rows[0])});
    grid_->setRowCount(static_cast<int>(rows.size()) - 1);
    for (std::size_t r = 1; r < rows.size(); ++r)
        set_grid_cell(grid_, static_cast<int>(r) - 1, 0, QString::fromStdString(rows[r]));
    // 21 pixels a row, heading included, at most 425.
    grid_->setFixedHeight(std::min(kMaxGridHeight, kRowHeight * static_cast<int>(rows.size()) + 4));
    row_ = -1;
}

void TfeffaceE::selecte_elem_todel(int row, int) {
    row_ = row;
}

void TfeffaceE::onclic() {
    if (row_ < 0 || row_ >= static_cast<int>(doc_.element_sorts.size())) return;
    const std::string text = grid_cell(grid_, row_, 0).toStdString();
    set_grid_cell(grid_, row_, 0, QString::fromStdString(toggle_mark(text)));
    paint_mark(grid_, row_, 0);
}

void TfeffaceE::del_elem_system() {
    const auto cells = column_cells(grid_, static_cast<int>(doc_.element_sorts.size()), 0);
    switch (delete_elements(doc_, cells, load_radii(paths_.data_dir), messages_)) {
        case DeleteOutcome::Kept:
            return;
        case DeleteOutcome::Deleted:
            initialise();
            emit elements_deleted();
            break;
        case DeleteOutcome::NothingToDo:
        case DeleteOutcome::BadNumber:
            break;
    }
    hide();
}

}  // namespace veldor
