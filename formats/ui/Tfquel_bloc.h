#pragma once
// "Select a data block": the data blocks of a CIF that look like
// structures, one of which the user picks ("OK") or none ("cancel").

#include <QDialog>
#include <optional>
#include <vector>

#include "core/messages.h"
#include "formats/cif_read.h"

class QListWidget;

namespace veldor {

class Tfquel_bloc : public QDialog {
    Q_OBJECT
  public:
    explicit Tfquel_bloc(Messages& messages, QWidget* parent = nullptr);

    // Lists the block names (a beep accompanies each).
    void set_blocks(const std::vector<CifBlockInfo>& candidates);
    // Lists the blocks and waits: the position of the chosen block in
    // `candidates`, nullopt when cancelled.
    std::optional<int> choose(const std::vector<CifBlockInfo>& candidates);
    QListWidget* list() const { return list_; }

  public slots:
    void ok_select();  // "OK": only with a block selected
    void abort();      // "Cancel"

  private:
    Messages& messages_;
    QListWidget* list_;
};

}  // namespace veldor
