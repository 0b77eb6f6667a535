#pragma once
// "Create a CIF": the chemical formula (empty: Veldor works it out from the
// atoms), Z, and whether the bonds of the plot are included; "OK" writes
// the CIF chosen before the dialog opened.

#include <QDialog>
#include <functional>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "formats/cif_write.h"

class QLineEdit;
class QRadioButton;

namespace veldor {

class Tfformula : public QDialog {
    Q_OBJECT
  public:
    Tfformula(StructureDocument& doc, std::string data_dir, Messages& messages,
              QWidget* parent = nullptr);

    // Fills the fields from the document for writing `path`.
    void prepare(const std::string& path);
    const std::string& target() const { return path_; }

    // Adds the coordination calculation's result, when one exists, to the
    // writer's options (set by the window that computes it).
    using CoordinationSource = std::function<void(CifWriteOptions&)>;
    void set_coordination_source(CoordinationSource source) { coordination_ = std::move(source); }

  public slots:
    void lit_formule();  // "OK"

  signals:
    void written(const QString& path);

  private:
    StructureDocument& doc_;
    std::string data_dir_;
    Messages& messages_;
    std::string path_;
    CoordinationSource coordination_;
    QLineEdit* formula_ = nullptr;
    QLineEdit* z_ = nullptr;
    QRadioButton* bonds_yes_ = nullptr;
    QRadioButton* bonds_no_ = nullptr;
};

}  // namespace veldor
