#include "main/qt_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace veldor {

void QtMessages::warn(const std::string& text) {
    QMessageBox::warning(parent_, QStringLiteral("Veldor"), QString::fromStdString(text),
                         QMessageBox::Ok);
}

Answer QtMessages::confirm(const std::string& text) {
    const auto button = QMessageBox::question(
        parent_, QStringLiteral("Veldor"), QString::fromStdString(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

void QtMessages::beep() {
    QApplication::beep();
}

void QtMessages::busy(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace veldor
