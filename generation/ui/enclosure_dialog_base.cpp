#include "generation/ui/enclosure_dialog_base.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "generation/ui/grid_cells.h"

namespace veldor {

EnclosureDialogBase::EnclosureDialogBase(StructureDocument& doc, Messages& messages,
                                         const QString& caption, QWidget* parent)
    : QDialog(parent), doc_(doc), messages_(messages) {
    setWindowTitle(caption);
}

QLineEdit* EnclosureDialogBase::make_field(const QString& object_name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(object_name);
    field->setMaximumWidth(90);
    return field;
}

void EnclosureDialogBase::build(QLayout* sizes_layout) {
    auto* centre_box = new QGroupBox(QStringLiteral("Centre"), this);
    auto* centre_layout = new QFormLayout(centre_box);
    const char* names[] = {"x/a", "y/b", "z/c"};
    const char* labels[] = {"&x/a", "&y/b", "&z/c"};
    for (int i = 0; i < 3; ++i) {
        centre_[i] = make_field(QString::fromLatin1(names[i]));
        auto* label = new QLabel(QString::fromLatin1(labels[i]), centre_box);
        label->setBuddy(centre_[i]);
        centre_layout->addRow(label, centre_[i]);
        connect(centre_[i], &QLineEdit::editingFinished, this,
                [this, i] { check_field(centre_[i], false); });
    }

    atoms_ = new QTableWidget(0, 4, this);
    atoms_->setObjectName(QStringLiteral("atoms"));
    atoms_->setHorizontalHeaderLabels(
        {QStringLiteral("Atom"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
    atoms_->verticalHeader()->hide();
    atoms_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    atoms_->setSelectionBehavior(QAbstractItemView::SelectRows);
    atoms_->setSelectionMode(QAbstractItemView::SingleSelection);
    atoms_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    atoms_->setToolTip(QStringLiteral("Click on an atom to take it as the centre"));
    connect(atoms_, &QTableWidget::cellClicked, this,
            [this](int row, int) { take_atom_centre(row); });
    connect(atoms_, &QTableWidget::cellActivated, this,
            [this](int row, int) { take_atom_centre(row); });

    auto* cut_box = new QGroupBox(QStringLiteral("Cut the fragments?"), this);
    auto* cut_layout = new QHBoxLayout(cut_box);
    cut_yes_ = new QRadioButton(QStringLiteral("&Yes"), cut_box);
    cut_no_ = new QRadioButton(QStringLiteral("&No"), cut_box);
    cut_yes_->setObjectName(QStringLiteral("cut_yes"));
    cut_no_->setObjectName(QStringLiteral("cut_no"));
    auto* cut_group = new QButtonGroup(this);
    cut_group->addButton(cut_yes_);
    cut_group->addButton(cut_no_);
    cut_layout->addWidget(cut_yes_);
    cut_layout->addWidget(cut_no_);
    connect(cut_no_, &QRadioButton::toggled, this, [this] { show_warning(); });

    QStringList lines;
    for (const char* line : kNoCutWarningLines)
        lines << QString::fromLatin1(line);
    warning_ = new QLabel(lines.join(QLatin1Char('\n')), this);
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setAlignment(Qt::AlignCenter);
    warning_->setStyleSheet(QStringLiteral("color: #c00000;"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(sizes_layout);
    left->addWidget(centre_box);
    left->addWidget(cut_box);
    left->addWidget(warning_);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(atoms_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    for (QLineEdit* f : size_fields())
        connect(f, &QLineEdit::editingFinished, this, [this, f] { check_field(f, true); });
    resize(560, 360);
}

void EnclosureDialogBase::show_fields(const EnclosureFields& fields) {
    const std::vector<QLineEdit*> sizes = size_fields();
    for (std::size_t i = 0; i < sizes.size(); ++i)
        sizes[i]->setText(QString::fromStdString(fields.sizes[i]));
    for (int i = 0; i < 3; ++i)
        centre_[i]->setText(QString::fromStdString(fields.centre[static_cast<std::size_t>(i)]));
    (fields.cut ? cut_yes_ : cut_no_)->setChecked(true);
    show_warning();

    const std::vector<EnclosureAtom> atoms = enclosure_atoms(doc_);
    atoms_->setRowCount(static_cast<int>(atoms.size()));
    for (int r = 0; r < static_cast<int>(atoms.size()); ++r) {
        const EnclosureAtom& a = atoms[static_cast<std::size_t>(r)];
        set_grid_cell(atoms_, r, 0, QString::fromStdString(a.name));
        for (int i = 0; i < 3; ++i)
            set_grid_cell(atoms_, r, i + 1,
                          QString::fromStdString(a.xyz[static_cast<std::size_t>(i)]));
    }
}

EnclosureFields EnclosureDialogBase::typed_fields() const {
    EnclosureFields f;
    const std::vector<QLineEdit*> sizes = size_fields();
    for (std::size_t i = 0; i < sizes.size(); ++i)
        f.sizes[i] = sizes[i]->text().toStdString();
    for (int i = 0; i < 3; ++i)
        f.centre[static_cast<std::size_t>(i)] = centre_[i]->text().toStdString();
    f.cut = cut_yes_->isChecked();
    return f;
}

void EnclosureDialogBase::take_atom_centre(int row) {
    if (row < 0 || row >= atoms_->rowCount()) return;
    for (int i = 0; i < 3; ++i)
        centre_[i]->setText(grid_cell(atoms_, row, i + 1));
}

void EnclosureDialogBase::check_field(QLineEdit* field, bool size) {
    if (!isVisible()) return;
    std::string text = field->text().toStdString();
    const bool ok = read_enclosure_field(text, size).has_value();
    field->setText(QString::fromStdString(text));
    if (ok) return;
    messages_.beep();
    QTimer::singleShot(0, field, [field] {
        field->setFocus();
        field->selectAll();
    });
}

void EnclosureDialogBase::show_warning() {
    warning_->setVisible(cut_no_->isChecked());
}

void EnclosureDialogBase::showEvent(QShowEvent* e) {
    show_fields(current_fields());
    QDialog::showEvent(e);
}

void EnclosureDialogBase::accept() {
    EnclosureFields fields = typed_fields();
    const int bad = store(fields);
    if (bad >= 0) {
        messages_.beep();
        // Index 0..2 are sizes (one for the sphere), 3..5 the centre.
        QLineEdit* field =
            bad < 3 ? size_fields()[static_cast<std::size_t>(bad)] : centre_[bad - 3];
        field->setFocus();
        field->selectAll();
        return;
    }
    doc_.regeneration_needed = true;
    QDialog::accept();
}

void EnclosureDialogBase::reject() {
    doc_.generation_mode = GenerationMode::None;
    emit option_cleared();
    QDialog::reject();
}

}  // namespace veldor
