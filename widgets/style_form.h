#pragma once
// The body the two style dialogs share (the bond style and the dummy-atom
// style): one size box, the colour swatch, the palette whose click sets the
// swatch, then OK (the default button) and Cancel.

#include <QString>

class QDialog;
class QDialogButtonBox;
class QLineEdit;

namespace veldor {

class ColourChart;
class ColourSwatch;

struct StyleForm {
    QLineEdit* size = nullptr;
    ColourSwatch* colour = nullptr;
    ColourChart* chart = nullptr;
    QDialogButtonBox* buttons = nullptr;
};

// Lays the form out in `dialog`; `size_caption` names the size box.
StyleForm build_style_form(QDialog& dialog, const QString& size_caption);

}  // namespace veldor
