#include "generation/ui/Tftypliai.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "generation/bonds.h"
#include "generation/ui/grid_cells.h"

namespace veldor {

Tftypliai::Tftypliai(StructureDocument& doc, Messages& messages, QWidget* parent)
    : QDialog(parent), doc_(doc), messages_(messages), grid_(new QTableWidget(0, 3, this)) {
    setObjectName(QStringLiteral("Tftypliai"));
    setWindowTitle(QStringLiteral("Modif the bond lengths"));
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Element 1"), QStringLiteral("Element 2"),
                                      QStringLiteral("Max. distance (\u00c5)")});
    grid_->verticalHeader()->hide();
    // The element columns share what the distance heading leaves.
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(buttons);
    resize(340, 420);
}

void Tftypliai::showEvent(QShowEvent* e) {
    initialise();
    QDialog::showEvent(e);
}

void Tftypliai::initialise() {
    const std::vector<BondLengthRow> rows = bond_length_rows(doc_);
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const BondLengthRow& b = rows[static_cast<std::size_t>(r)];
        set_grid_cell(grid_, r, 0, QString::fromStdString(b.element1));
        set_grid_cell(grid_, r, 1, QString::fromStdString(b.element2));
        set_grid_cell(grid_, r, 2, QString::fromStdString(b.distance).trimmed(), true);
    }
    if (!rows.empty()) grid_->setCurrentCell(0, 2);
}

void Tftypliai::accept() {
    std::vector<std::string> texts;
    for (int r = 0; r < grid_->rowCount(); ++r)
        texts.push_back(grid_cell(grid_, r, 2).toStdString());
    if (!read_bond_lengths(doc_, texts, messages_)) return;
    QDialog::accept();
}

}  // namespace veldor
