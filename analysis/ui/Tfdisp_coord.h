#pragma once
// "List of the generated coordinates": one line per generated atom with
// its number, label, coordinates and place, rebuilt from the document each
// time the window is shown, and when it is activated after the generated
// atoms changed (lines the user edited stay otherwise); "coordonnees.txt"
// for the viewer, and the selected text to the clipboard.

#include <QWidget>
#include <string>
#include <vector>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

class QPlainTextEdit;

namespace veldor {

class Tfdisp_coord : public QWidget {
    Q_OBJECT
  public:
    Tfdisp_coord(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                 QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return memo_; }

  public slots:
    void fill_memo();
    // "Edit/Print the list": writes "coordonnees.txt" (the memo's heading
    // and one line per atom, as they stand) and opens it.
    void edit_list();
    // "Copy": the memo's selected text to the clipboard.
    void copy_selection();
    // Exit: deletes "coordonnees.txt" and hides the window.
    void exit_window();

  protected:
    bool event(QEvent* e) override;

  private:
    const StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    QPlainTextEdit* memo_;
    std::vector<std::string> filled_;  // the lines last filled in
};

}  // namespace veldor
