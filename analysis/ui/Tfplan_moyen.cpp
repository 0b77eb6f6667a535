#include "analysis/ui/Tfplan_moyen.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMetaMethod>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/listing.h"
#include "analysis/report_file.h"
#include "analysis/ui/Tfdisp_coord.h"
#include "analysis/ui/report_viewer.h"
#include "analysis/ui/window_helpers.h"

namespace veldor {

namespace {
constexpr int kGridColumns = kMaxPlaneAtoms + 1;
constexpr int kHelpContext = 11;

QPushButton* button(const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(hint);
    return b;
}
}  // namespace

Tfplan_moyen::Tfplan_moyen(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool), doc_(doc), paths_(std::move(paths)), messages_(messages) {
    setObjectName(QStringLiteral("Tfplan_moyen"));
    setWindowTitle(QStringLiteral("Mean plane determination"));

    grid_ = new QTableWidget(kMaxPlanes, kGridColumns, this);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    const int row_height = grid_->fontMetrics().height() + 6;
    grid_->verticalHeader()->setDefaultSectionSize(row_height);
    const int cell = grid_->fontMetrics().horizontalAdvance(QStringLiteral("(0000)")) + 8;
    for (int c = 0; c < kGridColumns; ++c)
        grid_->setColumnWidth(c, cell);
    grid_->setFixedHeight(row_height * kMaxPlanes + 2 * grid_->frameWidth() + 20);
    auto* grid_label = new QLabel(QStringLiteral("&Selected planes"), this);
    grid_label->setBuddy(grid_);
    connect(grid_, &QTableWidget::cellClicked, this, &Tfplan_moyen::select_cell);

    results_ = new QListWidget(this);
    results_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* results_label = new QLabel(QStringLiteral("&Results"), this);
    results_label->setBuddy(results_);

    auto* compute =
        button(QStringLiteral("&Compute"),
               QStringLiteral("Compute the mean plane equation of the selected planes"), this);
    auto* edit = button(QStringLiteral("&Edit"), QStringLiteral("Edit (Print) the results"), this);
    auto* list = button(QStringLiteral("&List"),
                        QStringLiteral("Display the list of the generated coordinates"), this);
    auto* help = button(QStringLiteral("&Help"), QStringLiteral("Help"), this);
    auto* end = button(QStringLiteral("E&nd"), QStringLiteral("End. Return to the plot"), this);
    connect(compute, &QPushButton::clicked, this, &Tfplan_moyen::calcul_plan);
    connect(edit, &QPushButton::clicked, this, &Tfplan_moyen::edit_results);
    connect(list, &QPushButton::clicked, this, &Tfplan_moyen::show_coordinates);
    connect(help, &QPushButton::clicked, this, &Tfplan_moyen::show_help);
    connect(end, &QPushButton::clicked, this, &Tfplan_moyen::end_planes);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {compute, edit, list, help})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(end);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_label);
    layout->addWidget(grid_);
    layout->addWidget(results_label);
    layout->addWidget(results_, 1);
    layout->addLayout(buttons);
    resize(cell * 12 + 30, 520);
}

void Tfplan_moyen::begin_picking() {
    table_.clear();
    results_->clear();
    show_table();
    remove_report(report_path(paths_.work_dir, kPlaneDataFile));
    remove_report(report_path(paths_.work_dir, kPlaneReportFile));
    picking_ = true;
    show();
    raise();
}

bool Tfplan_moyen::add_picked_atom(int display_atom) {
    if (display_atom < 0 || display_atom >= static_cast<int>(shown_atoms(doc_).size()))
        return false;
    const PlaneTable::Pick pick = table_.add_pick(display_atom + 1);
    if (pick != PlaneTable::Pick::Added) {
        messages_.beep();
        messages_.warn(pick == PlaneTable::Pick::TooManyAtoms ? kTooManyPlaneAtomsMessage
                                                              : kTooManyPlanesMessage);
        return false;
    }
    show_table();
    return true;
}

std::vector<int> Tfplan_moyen::picked_atoms() const {
    std::vector<int> atoms;
    for (int n : table_.pick())
        atoms.push_back(n - 1);
    return atoms;
}

void Tfplan_moyen::show_table() {
    grid_->clearContents();
    const std::vector<Atom>& atoms = shown_atoms(doc_);
    for (std::size_t r = 0; r < table_.planes().size(); ++r) {
        const int row = static_cast<int>(r);
        set_centred_cell(grid_, row, 0, plane_number_text(row + 1));
        const std::vector<int>& plane = table_.planes()[r];
        for (std::size_t i = 0; i < plane.size(); ++i) {
            set_centred_cell(grid_, row, static_cast<int>(i) + 1, plane_atom_text(plane[i]));
            if (plane[i] >= 1 && plane[i] <= static_cast<int>(atoms.size()))
                grid_->item(row, static_cast<int>(i) + 1)
                    ->setToolTip(qstr(atoms[static_cast<std::size_t>(plane[i] - 1)].name));
        }
    }
}

void Tfplan_moyen::calcul_plan() {
    const PlaneRun run = compute_mean_planes(doc_, table_, paths_.work_dir, messages_);
    switch (run.outcome) {
        case PlaneOutcome::Shown:
            results_->clear();
            for (const std::string& l : run.lines)
                results_->addItem(qstr(l));
            if (results_->count() > 0) results_->setCurrentRow(results_->count() - 1);
            show_table();
            emit redraw_requested();
            break;
        case PlaneOutcome::AlignedDropped:
            show_table();
            emit redraw_requested();
            break;
        case PlaneOutcome::NoResult:
            show_table();
            break;
        case PlaneOutcome::Nothing:
        case PlaneOutcome::Refused:
        case PlaneOutcome::AlignedKept:
            break;
    }
}

void Tfplan_moyen::edit_results() {
    const std::string path = report_path(paths_.work_dir, kPlaneReportFile);
    if (QFileInfo::exists(qstr(path))) open_report(path);
}

void Tfplan_moyen::show_coordinates() {
    if (coordinates_ == nullptr) coordinates_ = new Tfdisp_coord(doc_, paths_, messages_, this);
    coordinates_->show();
    coordinates_->raise();
}

void Tfplan_moyen::show_help() {
    if (isSignalConnected(QMetaMethod::fromSignal(&Tfplan_moyen::help_requested)))
        emit help_requested(kHelpContext);
    else
        open_report(report_path(paths_.data_dir, "veldor.html"));
}

void Tfplan_moyen::end_planes() {
    table_.clear();
    results_->clear();
    show_table();
    hide();
    picking_ = false;
    emit picking_ended();
    emit redraw_requested();
}

void Tfplan_moyen::select_cell(int row, int column) {
    if (row < 0 || row >= static_cast<int>(table_.planes().size())) return;
    if (column == 0) {
        table_.delete_plane(row);
        show_table();
        emit redraw_requested();
    } else if (picking_ && table_.remove_atom(row, column - 1)) {
        show_table();
        emit redraw_requested();
    }
}

}  // namespace veldor
