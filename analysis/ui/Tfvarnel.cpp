#include "analysis/ui/Tfvarnel.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/coordination.h"
#include "analysis/report_file.h"
#include "analysis/ui/report_viewer.h"
#include "analysis/ui/window_helpers.h"
#include "core/text.h"

namespace veldor {

namespace {

constexpr int kSelColumn = 4;
constexpr int kCompactScreenWidth = 800;
constexpr const char* kSelected = "*";

QTableWidget* make_grid(int columns, const QStringList& headings, QWidget* parent) {
    auto* g = new QTableWidget(0, columns, parent);
    g->setHorizontalHeaderLabels(headings);
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->verticalHeader()->hide();
    return g;
}

QLabel* caption_for(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

Tfvarnel::Tfvarnel(StructureDocument& doc, ProgramPaths paths, Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc), paths_(std::move(paths)), messages_(messages) {
    setObjectName(QStringLiteral("Tfvarnel"));
    setWindowTitle(QStringLiteral("Veldor. Coordination calculation"));

    atoms_ = make_grid(5,
                       {QStringLiteral("Atom"), QStringLiteral("X"), QStringLiteral("Y"),
                        QStringLiteral("Z"), QStringLiteral("Sel")},
                       this);
    atoms_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(atoms_, &QTableWidget::cellClicked, this, &Tfvarnel::atom_cell_clicked);
    pairs_ = make_grid(3, {QStringLiteral("At1"), QStringLiteral("At2"), QStringLiteral("D Max.")},
                       this);
    pairs_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    positions_ =
        make_grid(3, {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")}, this);
    positions_->verticalHeader()->show();
    positions_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    help_ = new QPlainTextEdit(this);
    help_->setReadOnly(true);
    help_->setPlainText(QStringLiteral("%1\n%2\n%3")
                            .arg(QString::fromLatin1(kVarnelHelpLines[0]),
                                 QString::fromLatin1(kVarnelHelpLines[1]),
                                 QString::fromLatin1(kVarnelHelpLines[2])));
    help_->setFixedHeight(help_->fontMetrics().height() * 6 + 12);

    auto* kind = new QGroupBox(this);
    auto* kind_layout = new QVBoxLayout(kind);
    distances_only_ = new QRadioButton(QStringLiteral("&Distances"), kind);
    with_angles_ = new QRadioButton(QStringLiteral("Distances and an&gles"), kind);
    distances_only_->setChecked(true);
    kind_layout->addWidget(distances_only_);
    kind_layout->addWidget(with_angles_);
    auto* group = new QButtonGroup(this);
    group->addButton(distances_only_);
    group->addButton(with_angles_);
    connect(group, &QButtonGroup::buttonClicked, this, &Tfvarnel::kind_changed);

    memo_ = make_listing_memo(this, true);
    caption_ = caption_for(QStringLiteral("Distances"), memo_, this);

    auto* all = new QPushButton(QStringLiteral("Select &All"), this);
    auto* none = new QPushButton(QStringLiteral("&Unselect All"), this);
    auto* calc = new QPushButton(QStringLiteral("&Calc."), this);
    auto* edit = new QPushButton(QStringLiteral("&Edit/Print"), this);
    auto* cif = new QPushButton(QStringLiteral("E&xport CIF"), this);
    auto* back = new QPushButton(QStringLiteral("&Return"), this);
    back->setToolTip(QStringLiteral("Return to the previous window"));
    calc->setDefault(true);
    connect(all, &QPushButton::clicked, this, &Tfvarnel::select_all);
    connect(none, &QPushButton::clicked, this, &Tfvarnel::unselect_all);
    connect(calc, &QPushButton::clicked, this, &Tfvarnel::calcul);
    connect(edit, &QPushButton::clicked, this, &Tfvarnel::edit_print);
    connect(cif, &QPushButton::clicked, this, &Tfvarnel::export_cif);
    connect(back, &QPushButton::clicked, this, &Tfvarnel::return_back);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Tfvarnel::return_back);

    auto* left = new QVBoxLayout;
    left->addWidget(caption_for(QStringLiteral("A&symetric contents"), atoms_, this));
    left->addWidget(atoms_, 1);
    auto* selection = new QHBoxLayout;
    selection->addWidget(all);
    selection->addWidget(none);
    left->addLayout(selection);
    auto* middle = new QVBoxLayout;
    middle->addWidget(caption_for(QStringLiteral("&Max bond lengths"), pairs_, this));
    middle->addWidget(pairs_, 1);
    middle->addWidget(caption_for(QStringLiteral("Equivalent &positions"), positions_, this));
    middle->addWidget(positions_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(help_);
    right->addWidget(kind);
    auto* actions = new QGridLayout;
    actions->addWidget(calc, 0, 0);
    actions->addWidget(edit, 0, 1);
    actions->addWidget(cif, 1, 0);
    actions->addWidget(back, 1, 1);
    right->addLayout(actions);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(middle);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(caption_);
    layout->addWidget(memo_, 2);

    const int number =
        atoms_->fontMetrics().horizontalAdvance(QStringLiteral("-0.00000")) + 16;  // with padding
    atoms_->setColumnWidth(0, number);
    for (int c = 1; c <= 3; ++c)
        atoms_->setColumnWidth(c, number);
    atoms_->setColumnWidth(kSelColumn, 40);
    for (int c = 0; c < 3; ++c) {
        pairs_->setColumnWidth(c, number);
        positions_->setColumnWidth(c, number);
    }
    // The grids are as wide as their columns, so that nothing hides behind a scroll bar.
    for (QTableWidget* g : {atoms_, pairs_, positions_}) {
        int width = 2 * g->frameWidth() + g->verticalScrollBar()->sizeHint().width();
        if (g->verticalHeader()->isVisible()) width += g->verticalHeader()->sizeHint().width();
        for (int c = 0; c < g->columnCount(); ++c)
            width += g->columnWidth(c);
        g->setMinimumWidth(width);
    }
    resize(1000, 700);
}

bool Tfvarnel::event(QEvent* e) {
    if (e->type() == QEvent::Show) {
        fill_grids();
        const QScreen* screen = this->screen();
        if (screen != nullptr && screen->availableGeometry().width() <= kCompactScreenWidth)
            resize(812, 580);
        move(0, 0);
    }
    return QWidget::event(e);
}

void Tfvarnel::fill_grids() {
    const std::vector<AsymRow> rows = asym_rows(doc_);
    asym_index_.clear();
    atoms_->clearContents();
    atoms_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        asym_index_.push_back(rows[r].index);
        for (int c = 0; c < 4; ++c)
            set_centred_cell(atoms_, static_cast<int>(r), c,
                             rows[r].cells[static_cast<std::size_t>(c)]);
        set_centred_cell(atoms_, static_cast<int>(r), kSelColumn, r == 0 ? kSelected : "");
    }
    atoms_->setColumnWidth(kSelColumn, rows.size() > 13 ? 20 : 40);

    pair_table_ = pair_rows(doc_);
    const std::vector<PairRow>& pairs = pair_table_;
    pairs_->clearContents();
    pairs_->setRowCount(static_cast<int>(pairs.size()));
    for (std::size_t r = 0; r < pairs.size(); ++r) {
        const int row = static_cast<int>(r);
        set_centred_cell(pairs_, row, 0, to_upper(pair_element_text(pairs[r].element1)));
        set_centred_cell(pairs_, row, 1, to_upper(pair_element_text(pairs[r].element2)));
        set_centred_cell(pairs_, row, 2, pair_distance_text(pairs[r].max_distance), true);
    }

    positions_->clearContents();
    positions_->setRowCount(static_cast<int>(doc_.positions.size()));
    for (std::size_t r = 0; r < doc_.positions.size(); ++r) {
        const std::vector<std::string> parts = split_tokens(doc_.positions[r].text, ",");
        for (int c = 0; c < 3; ++c)
            set_centred_cell(positions_, static_cast<int>(r), c,
                             c < static_cast<int>(parts.size())
                                 ? to_lower(trim(parts[static_cast<std::size_t>(c)]))
                                 : "");
    }
    clear_results();
}

void Tfvarnel::select_all() {
    for (int r = 0; r < atoms_->rowCount(); ++r)
        atoms_->item(r, kSelColumn)->setText(QString::fromLatin1(kSelected));
}

void Tfvarnel::unselect_all() {
    for (int r = 1; r < atoms_->rowCount(); ++r)
        atoms_->item(r, kSelColumn)->setText(QString());
}

void Tfvarnel::atom_cell_clicked(int row, int column) {
    if (column == kSelColumn && row >= 0 && row < atoms_->rowCount()) {
        QTableWidgetItem* item = atoms_->item(row, kSelColumn);
        item->setText(item->text() == QLatin1String(kSelected) ? QString()
                                                               : QString::fromLatin1(kSelected));
    }
    clear_results();
}

void Tfvarnel::kind_changed() {
    caption_->setText(with_angles_->isChecked() ? QStringLiteral("Angles and Distances")
                                                : QStringLiteral("Distances"));
    clear_results();
}

void Tfvarnel::clear_results() {
    memo_->clear();
}

void Tfvarnel::calcul() {
    clear_results();
    std::vector<std::string> texts;
    for (int r = 0; r < pairs_->rowCount(); ++r)
        texts.push_back(pairs_->item(r, 2) ? pairs_->item(r, 2)->text().toStdString() : "");
    read_pair_distances(pair_table_, texts, messages_);
    std::vector<bool> central(doc_.asym.size(), false);
    for (int r = 0; r < atoms_->rowCount() && r < static_cast<int>(asym_index_.size()); ++r)
        if (atoms_->item(r, kSelColumn)->text() == QLatin1String(kSelected))
            central[static_cast<std::size_t>(asym_index_[static_cast<std::size_t>(r)])] = true;
    CoordinationResult result;
    {
        BusyScope busy(messages_);
        result = calculate_coordination(doc_, central, pair_table_, with_angles_->isChecked(),
                                        messages_);
    }
    set_memo_lines(memo_, result.lines);
}

CifWriteOptions Tfvarnel::coordination_options() const {
    CifWriteOptions options;
    options.coordination_result = memo_lines(memo_);
    options.coordination_with_angles = with_angles_->isChecked();
    options.z = default_cif_z(doc_);
    return options;
}

void Tfvarnel::edit_print() {
    const std::vector<std::string> lines = memo_lines(memo_);
    if (lines.empty()) return;
    const std::string path = report_path(paths_.work_dir, kCoordinationFile);
    if (write_report(path, lines, messages_)) open_report(path);
}

void Tfvarnel::export_cif() {
    const CifWriteOptions options = coordination_options();
    if (options.coordination_result.empty()) return;
    if (cif_saver_) {
        cif_saver_(options);
        return;
    }
    save_cif_here(options);
}

void Tfvarnel::save_cif_here(const CifWriteOptions& options) {
    switch (check_cif_save(doc_)) {
        case CifSaveCheck::NothingToSave:
            return;
        case CifSaveCheck::NeedsSymbol: {
            messages_.beep();
            std::string notice;
            for (const char* l : kCifNeedsSymbolLines)
                notice += std::string(notice.empty() ? "" : "\n") + l;
            messages_.warn(notice);
            return;
        }
        case CifSaveCheck::Ready:
            break;
    }
    QString name =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save as CIF"), qstr(paths_.work_dir),
                                     QStringLiteral("Cristallographic Information File (*.cif)"),
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return;
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.'))) name += QStringLiteral(".cif");
    if (QFileInfo::exists(name) &&
        messages_.confirm("This file already exists. Do you want to continue?") != Answer::Yes)
        return;
    std::string formula;
    if (write_cif(name.toStdString(), doc_, options, paths_.data_dir, messages_, &formula))
        doc_.written_file = name.toStdString();
}

void Tfvarnel::return_back() {
    hide();
}

}  // namespace veldor
