#pragma once
// The one QApplication a test program of windows or pictures needs, made
// on first use (tests run on Qt's offscreen platform). It is never
// destroyed: at exit Qt's own registries (of the input devices that
// simulated clicks create) may already be gone.

#include <QApplication>

namespace veldor::testing {

inline QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "veldor_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: objects QTest makes for its mouse events (a pointing
    // device) are freed at exit after a static application would be.
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

}  // namespace veldor::testing
