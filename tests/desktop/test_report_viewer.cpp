// The report viewer: the command of $VELDOR_VIEWER gets the report's path
// as its last argument, also when the path has blanks.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "desktop/report_viewer.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

TEST(ReportViewer, TheGivenCommandGetsThePath) {
    int argc = 1;
    char name[] = "test_desktop";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const fs::path work = fs::temp_directory_path() / "veldor report viewer";
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path record = work / "viewer.txt";
    const std::string report = (work / "dist ances.txt").string();
    // A viewer in a folder with a blank in its name, quoted as a shell would.
    const fs::path viewer = work / "record.sh";
    std::ofstream(viewer) << "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" << record.string() << "'\n";
    fs::permissions(viewer, fs::perms::owner_all);
    qputenv("VELDOR_VIEWER", QByteArray("\"") + viewer.string().c_str() + "\"");
    EXPECT_TRUE(show_report(report));
    QElapsedTimer t;
    t.start();
    while (!fs::exists(record) && t.elapsed() < 10000)
        QThread::msleep(20);
    QThread::msleep(50);
    QFile f(QString::fromStdString(record.string()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed().toStdString(), report);
    // A viewer that cannot start is reported to the caller.
    qputenv("VELDOR_VIEWER", "/no/such/viewer");
    EXPECT_FALSE(show_report(report));
    qunsetenv("VELDOR_VIEWER");
    fs::remove_all(work);
}

}  // namespace
}  // namespace veldor
