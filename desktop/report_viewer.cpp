#include "desktop/report_viewer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veldor {

bool show_report(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const QString command = qEnvironmentVariable("VELDOR_VIEWER");
    if (command.trimmed().isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty()) return false;
    const QString program = words.takeFirst();
    words << file;
    return QProcess::startDetached(program, words);
}

}  // namespace veldor
