#pragma once
// "Distances & Angles around the atom": for an atom picked in the drawing,
// every shown atom within the typed radius and every angle at the centre
// between two of them, in the memo and in "envir.txt".

#include <QWidget>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

class QLineEdit;
class QPlainTextEdit;

namespace veldor {

class Tfdisp_coordinance : public QWidget {
    Q_OBJECT
  public:
    Tfdisp_coordinance(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                       QWidget* parent = nullptr);

    // Shows the window for the shown atom `display_atom` (0-based index into
    // the display copy): caption with its label and coordinates, memo
    // cleared, focus in the radius box. An index outside the list does nothing.
    void show_environment(int display_atom);
    int centre() const { return centre_; }

    QPlainTextEdit* memo() const { return memo_; }
    QLineEdit* radius_box() const { return radius_; }

  public slots:
    // "Compute the distances and angles" (also Enter in, or leaving, the
    // radius box): "Read error" for a radius that is not a number.
    void compute();
    // "Edit/Print the results": opens "envir.txt".
    void edit_results();
    // The selected lines to the clipboard.
    void copy_selection();
    // "Return" (and the window losing the focus): deletes "envir.txt",
    // hides the window and ends the drawing's picking.
    void return_to_plot();

  signals:
    void picking_ended();

  protected:
    bool event(QEvent* e) override;

  private:
    void leave(bool delete_report);

    const StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    QPlainTextEdit* memo_;
    QLineEdit* radius_;
    int centre_ = -1;
    bool computing_ = false;
    bool viewer_has_report_ = false;  // "envir.txt" was handed to the viewer
};

}  // namespace veldor
