#include "drawing/ui/Tfmask_element.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "drawing/atom_edits.h"

namespace veldor {

namespace {
const QColor kMarkedColour(255, 203, 238);
}

Tfmask_element::Tfmask_element(StructureDocument& doc, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    setObjectName(QStringLiteral("Tfmask_element"));
    setWindowTitle(QStringLiteral("Mask elements"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click on the elements to be masked"), this));
    grid_ = new QTableWidget(this);
    grid_->setColumnCount(1);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->setDefaultSectionSize(kMaskGridRowHeight);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) { toggle_row(row); });
    connect(grid_, &QTableWidget::cellActivated, this, [this](int row, int) { toggle_row(row); });
    layout->addWidget(grid_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tfmask_element::ok_masque);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(160);
    init_grid();
}

void Tfmask_element::init_grid() {
    const std::vector<std::string> symbols = maskable_elements(doc_);
    const int rows = static_cast<int>(symbols.size()) + 2;
    grid_->setRowCount(rows);
    auto* heading = new QTableWidgetItem(QStringLiteral("Elem."));
    heading->setFlags(Qt::ItemIsEnabled);
    heading->setBackground(palette().button());
    grid_->setItem(0, 0, heading);
    for (int r = 1; r < rows; ++r) {
        const std::size_t k = static_cast<std::size_t>(r - 1);
        auto* item = new QTableWidgetItem(k < symbols.size() ? QString::fromStdString(symbols[k])
                                                             : QString());
        grid_->setItem(r, 0, item);
    }
    grid_->setFixedHeight(
        std::min(kMaskGridRowHeight * rows + 2 * grid_->frameWidth(), kMaskGridMaxHeight));
}

void Tfmask_element::toggle_row(int row) {
    const std::vector<std::string> symbols = maskable_elements(doc_);
    if (row < 1 || row > static_cast<int>(symbols.size())) return;
    QTableWidgetItem* item = grid_->item(row, 0);
    QString text = item->text();
    if (text.endsWith(QLatin1Char('*'))) {
        text.chop(1);
        item->setBackground(QBrush());
    } else {
        text += QLatin1Char('*');
        item->setBackground(kMarkedColour);
    }
    item->setText(text);
}

std::vector<std::string> Tfmask_element::marked() const {
    std::vector<std::string> out;
    for (int r = 1; r < grid_->rowCount(); ++r) {
        const QTableWidgetItem* item = grid_->item(r, 0);
        if (item && item->text().endsWith(QLatin1Char('*')))
            out.push_back(item->text().chopped(1).toStdString());
    }
    return out;
}

void Tfmask_element::ok_masque() {
    mask_elements(doc_, marked());
    accept();
}

void Tfmask_element::showEvent(QShowEvent* e) {
    init_grid();
    QDialog::showEvent(e);
}

}  // namespace veldor
