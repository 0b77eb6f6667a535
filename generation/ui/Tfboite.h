#pragma once
// "Definition of the box": the box of enclosure's edges along a, b and c
// (fractional), its centre, and whether fragments are cut at its faces.

#include "generation/ui/enclosure_dialog_base.h"

namespace veldor {

class Tfboite : public EnclosureDialogBase {
    Q_OBJECT
  public:
    Tfboite(StructureDocument& doc, Messages& messages, QWidget* parent = nullptr);

  protected:
    std::vector<QLineEdit*> size_fields() const override;
    int store(EnclosureFields& fields) override;
    EnclosureFields current_fields() const override;

  private:
    QLineEdit* edges_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace veldor
