#include "main/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace veldor {

HelpWindow::HelpWindow(QString help_file, QWidget* parent)
    : QDialog(parent), help_file_(std::move(help_file)), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Veldor help"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(960, 720);
}

void HelpWindow::show_topic(int context) {
    anchor_ = QStringLiteral("ctx%1").arg(context);
    if (!QFileInfo::exists(help_file_)) {
        browser_->setPlainText(QStringLiteral("The help file %1 was not found.").arg(help_file_));
    } else {
        QUrl url = QUrl::fromLocalFile(help_file_);
        if (browser_->source() != url) browser_->setSource(url);
        browser_->scrollToAnchor(anchor_);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace veldor
