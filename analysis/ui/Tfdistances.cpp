#include "analysis/ui/Tfdistances.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/distances.h"
#include "analysis/report_file.h"
#include "analysis/ui/report_viewer.h"
#include "analysis/ui/window_helpers.h"

namespace veldor {

namespace {
constexpr int kAtomColumnWidth = 30;
constexpr int kPositionColumnWidth = 150;
constexpr int kShownRows = 99;  // an empty table still shows its grid
}  // namespace

Tfdistances::Tfdistances(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), paths_(std::move(paths)), messages_(messages) {
    setObjectName(QStringLiteral("Tfdistances"));
    setWindowTitle(QStringLiteral("Display distances"));

    grid_ = new QTableWidget(kShownRows, kDistanceColumns, this);
    QStringList headings;
    for (const char* h : distance_headings())
        headings << QString::fromLatin1(h);
    grid_->setHorizontalHeaderLabels(headings);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    for (int c = 0; c < kDistanceColumns; ++c)
        grid_->setColumnWidth(c, 62);
    for (int c : {0, 5})
        grid_->setColumnWidth(c, kAtomColumnWidth + 12);
    for (int c : {4, 9})
        grid_->setColumnWidth(c, kPositionColumnWidth + 40);

    auto* edit = new QPushButton(QStringLiteral("&Edit/Print the list"), this);
    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    connect(edit, &QPushButton::clicked, this, &Tfdistances::edit_list);
    connect(exit, &QPushButton::clicked, this, &Tfdistances::exit_window);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addStretch(1);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    resize(980, 460);
}

bool Tfdistances::event(QEvent* e) {
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) fill_grid();
    return QWidget::event(e);
}

void Tfdistances::fill_grid() {
    const std::vector<DistanceEntry> entries = distance_entries(doc_, messages_);
    grid_->clearContents();
    grid_->setRowCount(std::max(kShownRows, static_cast<int>(entries.size())));
    for (std::size_t r = 0; r < entries.size(); ++r) {
        const auto cells = distance_cells(entries[r]);
        for (int c = 0; c < kDistanceColumns; ++c)
            set_centred_cell(grid_, static_cast<int>(r), c, cells[static_cast<std::size_t>(c)]);
    }
}

void Tfdistances::edit_list() {
    const std::string path = report_path(paths_.work_dir, kDistancesFile);
    if (write_report(path, distance_file_lines(doc_, distance_entries(doc_, messages_)), messages_))
        open_report(path);
}

void Tfdistances::exit_window() {
    remove_report(report_path(paths_.work_dir, kDistancesFile));
    close();
}

}  // namespace veldor
