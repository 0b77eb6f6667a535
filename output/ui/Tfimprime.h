#pragma once
// "Printing...": the print window. The printer resolution (shown in dots
// per inch, kept in pixels per centimetre), the pen width, one view or the
// stereo pair; OK asks the desktop's print dialog for a printer (or a PDF
// file) and prints the page laid out by output/page_layout.h.

#include <QDialog>
#include <functional>

#include "output/page_layout.h"
#include "output/ui/output_commands.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;

namespace veldor {

class Tfimprime : public QDialog {
    Q_OBJECT
  public:
    explicit Tfimprime(const OutputContext& ctx, QWidget* parent = nullptr);

    // Chooses and sets up the printer; false when cancelled. The desktop's
    // print dialog unless a test sets another.
    using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void set_printer_chooser(PrinterChooser chooser) { choose_printer_ = std::move(chooser); }

    // P, pixels per centimetre (117.66 at first).
    double pixels_per_cm() const { return pixels_per_cm_; }
    // What OK would print with.
    PrintSettings settings() const;

  public slots:
    // OK: reads the resolution ("read error on Pixels/Cm" when it is not a
    // number; nothing is printed and the text stays), asks for the printer,
    // prints, hides the window.
    void go_impression();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void stereo_changed(int id);

    OutputContext ctx_;
    double pixels_per_cm_ = kInitialPixelsPerCm;
    PrinterChooser choose_printer_;
    QLineEdit* resolution_ = nullptr;
    QComboBox* pen_width_ = nullptr;
    QButtonGroup* stereo_ = nullptr;
    QLabel* status_ = nullptr;
};

// The desktop's print dialog.
bool desktop_print_dialog(QPrinter& printer, QWidget* parent);

}  // namespace veldor
