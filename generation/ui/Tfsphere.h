#pragma once
// "Definition of the sphere of enclosure": its radius in angstrom, its
// centre (shared with the box), and whether fragments are cut at its surface.

#include "generation/ui/enclosure_dialog_base.h"

namespace veldor {

class Tfsphere : public EnclosureDialogBase {
    Q_OBJECT
  public:
    Tfsphere(StructureDocument& doc, Messages& messages, QWidget* parent = nullptr);

  protected:
    std::vector<QLineEdit*> size_fields() const override;
    int store(EnclosureFields& fields) override;
    EnclosureFields current_fields() const override;

  private:
    QLineEdit* radius_ = nullptr;
};

}  // namespace veldor
