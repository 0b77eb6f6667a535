// The drawing window on a benchmark scene, for driving with real pointer
// events (see drag_probe.sh): prints where its picture lies on the screen,
// then runs until it is closed. The window logs its frames when
// VELDOR_FRAME_LOG names a file.
//
// Usage: drag_probe [atoms]   (500 or 5000, the scenes of bench_picture)

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>

#include "drawing/ui/Tfdessin.h"
#include "drawing/ui/picture_widget.h"
#include "drawing_scene.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool small = argc > 1 && std::string(argv[1]) == "500";
    veldor::Scene s = small ? veldor::Scene(10, 10, 5, 10000) : veldor::Scene(25, 20, 10, 10000);
    veldor::Tfdessin window(s.doc, s.state, s.msg, s.env.work_dir, false);
    window.move(0, 0);
    window.show();
    window.initialise_fiche();
    QTimer::singleShot(1000, &window, [&] {
        const QPoint at = window.picture_widget()->mapToGlobal(QPoint(0, 0));
        std::printf("picture %d %d %zu\n", at.x(), at.y(), s.doc.display.size());
        std::fflush(stdout);
    });
    return app.exec();
}
