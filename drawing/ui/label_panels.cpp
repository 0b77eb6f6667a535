#include "drawing/ui/label_panels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "drawing/tools.h"

namespace veldor {

CheckList::CheckList(QListWidget* list, const QStringList& entries) : QObject(list), list_(list) {
    for (const QString& e : entries) {
        auto* item = new QListWidgetItem(e, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (updating_ || item->checkState() != Qt::Checked) return;
        const int entry = list_->row(item);
        previous_ = -1;
        for (int i = 0; i < list_->count(); ++i)
            if (i != entry && list_->item(i)->checkState() == Qt::Checked) previous_ = i;
        updating_ = true;
        for (int i = 0; i < list_->count(); ++i)
            if (i != entry) list_->item(i)->setCheckState(Qt::Unchecked);
        updating_ = false;
        emit ticked_entry(entry);
    });
    // A click anywhere on an entry ticks it, as on its box.
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item->checkState() != Qt::Checked) item->setCheckState(Qt::Checked);
    });
}

void CheckList::untick_all() {
    updating_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(Qt::Unchecked);
    updating_ = false;
}

void CheckList::refuse(int entry) {
    set_ticked(entry, false);
    if (previous_ >= 0) set_ticked(previous_, true);
}

void CheckList::set_ticked(int entry, bool on) {
    if (entry < 0 || entry >= list_->count()) return;
    updating_ = true;
    list_->item(entry)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    updating_ = false;
}

bool CheckList::ticked(int entry) const {
    return entry >= 0 && entry < list_->count() && list_->item(entry)->checkState() == Qt::Checked;
}

namespace {
QGroupBox* two_choices(QWidget* parent, const QString& title, const QString& a, const QString& b,
                       QButtonGroup*& group) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 2);
    group = new QButtonGroup(box);
    auto* first = new QRadioButton(a, box);
    auto* second = new QRadioButton(b, box);
    group->addButton(first, 0);
    group->addButton(second, 1);
    layout->addWidget(first);
    layout->addWidget(second);
    return box;
}
}  // namespace

LabellingPanel::LabellingPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Tools for labelling"), parent) {
    setObjectName(QStringLiteral("labelling_panel"));
    auto* layout = new QVBoxLayout(this);
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("label_tools"));
    entries_ = new CheckList(
        list, {QStringLiteral("Font"), QStringLiteral("Write a label off centre"),
               QStringLiteral("Write a label in centre"), QStringLiteral("Delete a label"),
               QStringLiteral("Delete all labels"), QStringLiteral("Delete all centered labels"),
               QStringLiteral("Delete all the moved labels"), QStringLiteral("Delete a label area"),
               QStringLiteral("Restore centred labels"), QStringLiteral("Restore moved labels")});
    // Every entry in view, none scrolled away.
    list->setFixedHeight(list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth() + 2);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 6);
    layout->addWidget(list);
    position_code_ = two_choices(this, QStringLiteral("Add the position code?"),
                                 QStringLiteral("No"), QStringLiteral("Yes"), position_code_group_);
    position_code_->setObjectName(QStringLiteral("position_code"));
    position_code_group_->button(0)->setChecked(true);
    connect(position_code_group_, &QButtonGroup::idClicked, this,
            [this](int id) { emit position_code_changed(id == 1); });
    layout->addWidget(position_code_);
    auto* buttons = new QHBoxLayout;
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    connect(help, &QPushButton::clicked, this, [this] { emit help_requested(kHelpLabelling); });
    connect(close, &QPushButton::clicked, this, &LabellingPanel::close_requested);
    buttons->addWidget(help);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    layout->addStretch(1);
    show_moved_label_mode(false);
}

void LabellingPanel::show_moved_label_mode(bool on) {
    position_code_->setVisible(on);
}

bool LabellingPanel::moved_label_mode() const {
    return position_code_->isVisibleTo(this);
}

bool LabellingPanel::position_code() const {
    return position_code_group_->checkedId() == 1;
}

void LabellingPanel::set_position_code(bool yes) {
    position_code_group_->button(yes ? 1 : 0)->setChecked(true);
}

BondLabellingPanel::BondLabellingPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Bonds labelling"), parent) {
    setObjectName(QStringLiteral("bond_labelling_panel"));
    auto* layout = new QVBoxLayout(this);
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("bond_label_tools"));
    entries_ = new CheckList(list, {QStringLiteral("Font"), QStringLiteral("Write a bond label"),
                                    QStringLiteral("Delete all labels")});
    list->setMaximumHeight(70);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 6);
    layout->addWidget(list);
    QGroupBox* setting =
        two_choices(this, QStringLiteral("String setting"), QStringLiteral("Horizontal"),
                    QStringLiteral("Oblique"), string_setting_);
    setting->setObjectName(QStringLiteral("string_setting"));
    string_setting_->button(1)->setChecked(true);
    connect(string_setting_, &QButtonGroup::idClicked, this,
            [this](int id) { emit string_setting_changed(id == 1); });
    layout->addWidget(setting);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    connect(close, &QPushButton::clicked, this, &BondLabellingPanel::close_requested);
    layout->addWidget(close);
    layout->addStretch(1);
}

bool BondLabellingPanel::oblique() const {
    return string_setting_->checkedId() == 1;
}

void BondLabellingPanel::set_oblique(bool oblique) {
    string_setting_->button(oblique ? 1 : 0)->setChecked(true);
}

}  // namespace veldor
