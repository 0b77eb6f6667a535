#include "main/report_viewer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veldor {

bool show_report(const QString& path) {
    const QString command = qEnvironmentVariable("VELDOR_VIEWER");
    if (command.trimmed().isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty()) return false;
    const QString program = words.takeFirst();
    words << path;
    return QProcess::startDetached(program, words);
}

}  // namespace veldor
