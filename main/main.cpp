// Veldor's entry: options that need no display first, then the start-up
// checks, then the main window and the event loop.

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/document.h"
#include "drawing/drawing_state.h"
#include "main/Tfmainmenu.h"
#include "main/command_line.h"
#include "main/qt_messages.h"
#include "main/startup.h"

namespace {
std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
}  // namespace

int main(int argc, char** argv) {
    using namespace veldor;
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

    QtMessages messages;
    const StartupResult start = check_startup(
        QCoreApplication::applicationDirPath().toStdString(), env("VELDOR_DATA"),
        env("VELDOR_WORKDIR"), QDir::currentPath().toStdString(), cl.structure_file, messages);
    if (!start.ok) return 1;

    StructureDocument doc;
    DrawingState drawing;
    doc.startup_file = start.structure_file;
    Tfmainmenu window(doc, drawing, start.paths, messages);
    messages.set_parent(&window);
    window.show();
    return QApplication::exec();
}
