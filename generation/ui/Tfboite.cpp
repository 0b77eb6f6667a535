#include "generation/ui/Tfboite.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace veldor {

Tfboite::Tfboite(StructureDocument& doc, Messages& messages, QWidget* parent)
    : EnclosureDialogBase(doc, messages, QStringLiteral("Definition of the box"), parent) {
    setObjectName(QStringLiteral("Tfboite"));
    auto* form = new QFormLayout;
    const char* names[] = {"Edge // x", "Edge // y", "Edge // z"};
    const char* labels[] = {"Edge // &x", "Edge // &y", "Edge // &z"};
    for (int i = 0; i < 3; ++i) {
        edges_[i] = make_field(QString::fromLatin1(names[i]));
        auto* label = new QLabel(QString::fromLatin1(labels[i]), this);
        label->setBuddy(edges_[i]);
        form->addRow(label, edges_[i]);
    }
    build(form);
}

std::vector<QLineEdit*> Tfboite::size_fields() const {
    return {edges_[0], edges_[1], edges_[2]};
}

int Tfboite::store(EnclosureFields& fields) {
    return store_box_fields(doc_, fields);
}

EnclosureFields Tfboite::current_fields() const {
    return box_fields(doc_);
}

}  // namespace veldor
