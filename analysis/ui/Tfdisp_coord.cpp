#include "analysis/ui/Tfdisp_coord.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/coordinates.h"
#include "analysis/report_file.h"
#include "analysis/ui/report_viewer.h"
#include "analysis/ui/window_helpers.h"

namespace veldor {

Tfdisp_coord::Tfdisp_coord(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), paths_(std::move(paths)), messages_(messages) {
    setObjectName(QStringLiteral("Tfdisp_coord"));
    setWindowTitle(QStringLiteral("List of the generated coordinates"));
    memo_ = make_listing_memo(this, false);

    auto* edit = new QPushButton(QStringLiteral("&Edit/Print the list"), this);
    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    connect(edit, &QPushButton::clicked, this, &Tfdisp_coord::edit_list);
    connect(copy, &QPushButton::clicked, this, &Tfdisp_coord::copy_selection);
    connect(exit, &QPushButton::clicked, this, &Tfdisp_coord::exit_window);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addLayout(buttons);
    const int width = memo_->fontMetrics().horizontalAdvance(QString(72, QLatin1Char('0')));
    resize(width + 60, 520);
}

bool Tfdisp_coord::event(QEvent* e) {
    if (e->type() == QEvent::Show) fill_memo();
    if (e->type() == QEvent::WindowActivate) {
        SilentMessages quiet;  // the fill that follows a change reports
        if (coordinate_lines(doc_, quiet) != filled_) fill_memo();
    }
    return QWidget::event(e);
}

void Tfdisp_coord::fill_memo() {
    filled_ = coordinate_lines(doc_, messages_);
    set_memo_lines(memo_, filled_);
}

void Tfdisp_coord::edit_list() {
    const std::string path = report_path(paths_.work_dir, kCoordinatesFile);
    if (write_report(path, coordinate_file_lines(doc_, memo_lines(memo_)), messages_))
        open_report(path);
}

void Tfdisp_coord::copy_selection() {
    memo_->copy();
}

void Tfdisp_coord::exit_window() {
    remove_report(report_path(paths_.work_dir, kCoordinatesFile));
    hide();
}

}  // namespace veldor
