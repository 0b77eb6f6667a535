#pragma once
// What the box and sphere dialogs share: the centre fields, the list of
// asymmetric-unit atoms that gives a centre by a click, "Cut the
// fragments?" with its warning, and "OK" / "Cancel". Each dialog adds its
// size fields.

#include <QDialog>

#include "core/document.h"
#include "core/messages.h"
#include "generation/enclosure_dialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QVBoxLayout;

namespace veldor {

class EnclosureDialogBase : public QDialog {
    Q_OBJECT
  public:
    // The atom list's cell at `row` (0-based) was clicked: the centre takes
    // that atom's coordinates.
    void take_atom_centre(int row);

  signals:
    // "Cancel": the generation option was cleared.
    void option_cleared();

  protected:
    EnclosureDialogBase(StructureDocument& doc, Messages& messages, const QString& caption,
                        QWidget* parent);
    // Builds the shared controls below `sizes_layout`'s fields.
    void build(QLayout* sizes_layout);
    QLineEdit* make_field(const QString& object_name);
    // Shows the fields and the atom list.
    void show_fields(const EnclosureFields& fields);
    EnclosureFields typed_fields() const;
    // The size fields of the dialog (3 for the box, 1 for the sphere).
    virtual std::vector<QLineEdit*> size_fields() const = 0;
    // Stores the fields; -1 or the bad field's index.
    virtual int store(EnclosureFields& fields) = 0;
    virtual EnclosureFields current_fields() const = 0;

    void showEvent(QShowEvent* e) override;
    void accept() override;
    void reject() override;

    StructureDocument& doc_;
    Messages& messages_;

  private:
    void check_field(QLineEdit* field, bool size);
    void show_warning();

    QLineEdit* centre_[3] = {nullptr, nullptr, nullptr};
    QTableWidget* atoms_ = nullptr;
    QRadioButton* cut_yes_ = nullptr;
    QRadioButton* cut_no_ = nullptr;
    QLabel* warning_ = nullptr;
};

}  // namespace veldor
