#include "generation/ui/Tfsphere.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace veldor {

Tfsphere::Tfsphere(StructureDocument& doc, Messages& messages, QWidget* parent)
    : EnclosureDialogBase(doc, messages, QStringLiteral("Definition of the sphere of enclosure"),
                          parent) {
    setObjectName(QStringLiteral("Tfsphere"));
    auto* form = new QFormLayout;
    radius_ = make_field(QStringLiteral("radius"));
    auto* label = new QLabel(QStringLiteral("&Radius (\u00c5)"), this);
    label->setBuddy(radius_);
    form->addRow(label, radius_);
    build(form);
}

std::vector<QLineEdit*> Tfsphere::size_fields() const {
    return {radius_};
}

int Tfsphere::store(EnclosureFields& fields) {
    return store_sphere_fields(doc_, fields);
}

EnclosureFields Tfsphere::current_fields() const {
    return sphere_fields(doc_);
}

}  // namespace veldor
