#pragma once
// The help window: Veldor's user guide ("veldor.html" in the data folder),
// opened at a topic given by its context number (anchor "ctx<N>").

#include <QDialog>

class QTextBrowser;

namespace veldor {

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QString help_file, QWidget* parent = nullptr);
    // Shows the guide scrolled to the topic; a missing file shows a note
    // in the window instead of the guide.
    void show_topic(int context);
    QString current_anchor() const { return anchor_; }

  private:
    QString help_file_;
    QString anchor_;
    QTextBrowser* browser_;
};

}  // namespace veldor
