#include "formats/ui/Tfformula.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "formats/cif_dialog.h"

namespace veldor {

Tfformula::Tfformula(StructureDocument& doc, std::string data_dir, Messages& messages,
                     QWidget* parent)
    : QDialog(parent), doc_(doc), data_dir_(std::move(data_dir)), messages_(messages) {
    setObjectName(QStringLiteral("Tfformula"));
    setWindowTitle(QStringLiteral("Create a CIF"));
    formula_ = new QLineEdit(this);
    formula_->setObjectName(QStringLiteral("Chemical formula"));
    z_ = new QLineEdit(this);
    z_->setObjectName(QStringLiteral("Z number"));
    auto* form = new QFormLayout;
    auto* formula_label = new QLabel(QStringLiteral("Chemical &formula"), this);
    formula_label->setBuddy(formula_);
    auto* z_label = new QLabel(QStringLiteral("&Z number"), this);
    z_label->setBuddy(z_);
    form->addRow(formula_label, formula_);
    form->addRow(z_label, z_);

    auto* bonds = new QGroupBox(QStringLiteral("Include the bonds"), this);
    auto* bonds_layout = new QHBoxLayout(bonds);
    bonds_yes_ = new QRadioButton(QStringLiteral("&Yes"), bonds);
    bonds_no_ = new QRadioButton(QStringLiteral("&No"), bonds);
    bonds_yes_->setObjectName(QStringLiteral("bonds_yes"));
    bonds_no_->setObjectName(QStringLiteral("bonds_no"));
    auto* group = new QButtonGroup(this);
    group->addButton(bonds_yes_);
    group->addButton(bonds_no_);
    bonds_yes_->setChecked(true);
    bonds_layout->addWidget(bonds_yes_);
    bonds_layout->addWidget(bonds_no_);

    auto* note = new QLabel(QString::fromLatin1(kFormulaNote), this);
    note->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Tfformula::lit_formule);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(bonds);
    layout->addWidget(note);
    layout->addLayout(buttons);
    resize(360, 220);
}

void Tfformula::prepare(const std::string& path) {
    path_ = path;
    const FormulaDialogFields f = formula_dialog_fields(doc_);
    formula_->setText(QString::fromStdString(f.formula));
    z_->setText(QString::fromStdString(f.z));
    bonds_yes_->setChecked(f.include_bonds);
    formula_->setFocus();
}

void Tfformula::lit_formule() {
    FormulaDialogFields fields;
    fields.formula = formula_->text().toStdString();
    fields.z = z_->text().toStdString();
    fields.include_bonds = bonds_yes_->isChecked();
    std::optional<CifWriteOptions> options = read_formula_dialog(fields, messages_);
    if (!options) {
        z_->setFocus();
        z_->selectAll();
        return;
    }
    if (coordination_) coordination_(*options);
    bool ok = false;
    {
        BusyScope busy(messages_);
        std::string formula_used;
        ok = write_cif(path_, doc_, *options, data_dir_, messages_, &formula_used);
        if (ok) {
            doc_.formula = formula_used;
            doc_.written_file = path_;
        }
    }
    if (!ok) return;
    emit written(QString::fromStdString(path_));
    accept();
}

}  // namespace veldor
