// Veldor's entry: options that need no display first, then the start-up
// checks, then the main window and the event loop.

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/document.h"
#include "drawing/drawing_state.h"
#include "main/Tfmainmenu.h"
#include "main/batch.h"
#include "main/batch_jobs.h"
#include "main/command_line.h"
#include "main/grab.h"
#include "main/qt_messages.h"
#include "main/startup.h"

namespace {
// Batch mode keeps standard error for its own messages: Qt's notes about
// the desktop session (no runtime folder, no display) are not for users.
void quiet_qt_messages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(QLatin1String("QStandardPaths")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
}  // namespace

int batch_main(int argc, char** argv, const std::vector<std::string>& args) {
    using namespace veldor;
    const BatchCommand command = parse_batch_command(args, QThread::idealThreadCount());
    if (!command.error.empty()) {
        std::fprintf(stderr, "veldor: %s\nTry 'veldor --help'.\n", command.error.c_str());
        return 2;
    }
    // Pictures need fonts, which need a GUI application, but no display.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet_qt_messages);
    QGuiApplication app(argc, argv);
    StreamMessages messages(std::cerr,
                            (command.single ? *command.single : command.files->options).yes);
    const StartupResult start =
        check_startup(QCoreApplication::applicationDirPath().toStdString(), env("VELDOR_DATA"),
                      env("VELDOR_WORKDIR"), QDir::currentPath().toStdString(), {}, messages);
    if (!start.ok) return 1;
    return run_batch_command(command, start.paths, messages);
}

int main(int argc, char** argv) {
    using namespace veldor;
    const std::vector<std::string> all(argv, argv + argc);
    if (all.size() > 1 && all[1] == "--batch")
        return batch_main(argc, argv, std::vector<std::string>(all.begin() + 1, all.end()));
    if (all.size() > 1 && all[1] == "--grab")
        return grab_main(argc, argv, std::vector<std::string>(all.begin() + 2, all.end()));
    const CommandLine cl = parse_command_line(std::vector<std::string>(argv, argv + argc));
    if (cl.show_help) {
        std::fputs(help_text().c_str(), stdout);
        return 0;
    }
    if (cl.show_version) {
        std::fputs(version_text().c_str(), stdout);
        return 0;
    }
    if (!cl.error.empty()) {
        std::fprintf(stderr, "veldor: %s\nTry 'veldor --help'.\n", cl.error.c_str());
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veldor"));
    QApplication::setApplicationVersion(QStringLiteral(VELDOR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("veldor"));  // the launcher's icon and name

    QtMessages messages;
    // The data files first; the file named on the command line is looked at
    // by the main window, after its large-fonts check.
    const StartupResult start =
        check_startup(QCoreApplication::applicationDirPath().toStdString(), env("VELDOR_DATA"),
                      env("VELDOR_WORKDIR"), QDir::currentPath().toStdString(), {}, messages);
    if (!start.ok) return 1;

    StructureDocument doc;
    DrawingState drawing;
    doc.startup_file = cl.structure_file;
    Tfmainmenu window(doc, drawing, start.paths, messages);
    messages.set_parent(&window);
    QObject::connect(
        &window, &Tfmainmenu::startup_failed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
