#include "analysis/ui/Tfdisp_coordinance.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "analysis/environment.h"
#include "analysis/listing.h"
#include "analysis/report_file.h"
#include "analysis/ui/report_viewer.h"
#include "analysis/ui/window_helpers.h"

namespace veldor {

namespace {
constexpr int kLeft = 460;
constexpr int kTop = 0;

QToolButton* speed_button(const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}
}  // namespace

Tfdisp_coordinance::Tfdisp_coordinance(const StructureDocument& doc, ProgramPaths paths,
                                       Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), paths_(std::move(paths)), messages_(messages) {
    setObjectName(QStringLiteral("Tfdisp_coordinance"));
    setWindowTitle(QStringLiteral("Distances & Angles around the atom"));

    auto* radius_label = new QLabel(QStringLiteral("&Radius:"), this);
    radius_ = new QLineEdit(this);
    radius_->setMaximumWidth(80);
    radius_label->setBuddy(radius_);
    auto* unit = new QLabel(QStringLiteral("Å"), this);
    auto* compute = speed_button(QStringLiteral("&Compute"),
                                 QStringLiteral("Compute the distances and angles"), this);
    auto* edit =
        speed_button(QStringLiteral("&Edit/Print"), QStringLiteral("Edit/Print the results"), this);
    auto* copy = speed_button(QStringLiteral("C&opy"),
                              QStringLiteral("Copy the selected lines to the clipboard"), this);
    auto* back = new QPushButton(QStringLiteral("Re&turn"), this);
    // A click on Return does not leave the radius box first: no "Read error"
    // for a box the user never filled in.
    back->setFocusPolicy(Qt::TabFocus);
    memo_ = make_listing_memo(this, true);

    connect(radius_, &QLineEdit::editingFinished, this, &Tfdisp_coordinance::compute);
    connect(compute, &QToolButton::clicked, this, &Tfdisp_coordinance::compute);
    connect(edit, &QToolButton::clicked, this, &Tfdisp_coordinance::edit_results);
    connect(copy, &QToolButton::clicked, this, &Tfdisp_coordinance::copy_selection);
    connect(back, &QPushButton::clicked, this, &Tfdisp_coordinance::return_to_plot);

    auto* row = new QHBoxLayout;
    row->addWidget(radius_label);
    row->addWidget(radius_);
    row->addWidget(unit);
    row->addSpacing(12);
    row->addWidget(compute);
    row->addWidget(edit);
    row->addWidget(copy);
    row->addStretch(1);
    row->addWidget(back);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(memo_);
    const int width = memo_->fontMetrics().horizontalAdvance(QString(78, QLatin1Char('0')));
    resize(width + 40, 480);
    move(kLeft, kTop);
}

void Tfdisp_coordinance::show_environment(int display_atom) {
    const std::vector<Atom>& atoms = shown_atoms(doc_);
    if (display_atom < 0 || display_atom >= static_cast<int>(atoms.size())) return;
    centre_ = display_atom;
    viewer_has_report_ = false;
    setWindowTitle(qstr(environment_caption(atoms[static_cast<std::size_t>(display_atom)])));
    memo_->clear();
    move(kLeft, kTop);
    show();
    raise();
    activateWindow();
    radius_->setFocus();
}

void Tfdisp_coordinance::compute() {
    if (computing_ || centre_ < 0) return;
    computing_ = true;
    memo_->setPlainText(QStringLiteral("                Linked atoms"));
    const std::optional<double> radius = read_radius(radius_->text().toStdString());
    if (!radius) {
        messages_.warn(kRadiusReadError);
        radius_->setFocus();
        messages_.beep();
        computing_ = false;
        return;
    }
    const EnvironmentReport report =
        environment_report(doc_, shown_atoms(doc_), centre_, *radius, messages_);
    viewer_has_report_ = false;
    write_report(report_path(paths_.work_dir, kEnvironmentFile), report.file, messages_);
    set_memo_lines(memo_, report.memo);
    computing_ = false;
}

void Tfdisp_coordinance::edit_results() {
    viewer_has_report_ = true;
    open_report(report_path(paths_.work_dir, kEnvironmentFile));
}

void Tfdisp_coordinance::copy_selection() {
    memo_->copy();
}

void Tfdisp_coordinance::return_to_plot() {
    leave(true);
}

void Tfdisp_coordinance::leave(bool delete_report) {
    if (delete_report) remove_report(report_path(paths_.work_dir, kEnvironmentFile));
    hide();
    emit picking_ended();
}

bool Tfdisp_coordinance::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate && isVisible()) {
        // Losing the focus to another window ends the tool; a message box of
        // this window does not, and the file handed to the viewer stays.
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && !isActiveWindow() && !computing_ &&
                QApplication::activeModalWidget() == nullptr)
                leave(!viewer_has_report_);
        });
    }
    return QWidget::event(e);
}

}  // namespace veldor
