#include "analysis/ui/report_viewer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veldor {

void open_report(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const QString viewer = qEnvironmentVariable("VELDOR_VIEWER");
    if (!viewer.trimmed().isEmpty()) {
        QStringList args = QProcess::splitCommand(viewer);
        if (args.isEmpty()) return;
        const QString program = args.takeFirst();
        args << file;
        QProcess::startDetached(program, args);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace veldor
