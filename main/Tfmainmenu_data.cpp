// The main window's panels and the document: the cell fields, the symmetry
// lists, the two grids, the generation check list, and the commands of the
// asymmetric-unit panel. Every decision is taken by the pure functions of
// entry/, symmetry/ and generation/; this file moves texts between them and
// the controls.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "entry/cell_fields.h"
#include "entry/positions_grid.h"
#include "entry/refresh.h"
#include "formats/cif_read.h"
#include "generation/bonds.h"
#include "generation/edit_asym.h"
#include "generation/generate.h"
#include "generation/ui/Tfboite.h"
#include "generation/ui/TfeffaceA.h"
#include "generation/ui/TfeffaceB.h"
#include "generation/ui/TfeffaceE.h"
#include "generation/ui/Tfsphere.h"
#include "generation/ui/Tftypliai.h"
#include "main/Tfmainmenu.h"
#include "main/plot.h"
#include "main/structure_loader.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"

namespace veldor {

namespace {

const QColor kConstrainedColour{192, 192, 192};  // 12632256
const QColor kSelectedPositionColour{255, 208, 243};
constexpr int kSelectedColumn = 4;

constexpr GenerationMode kOptionModes[] = {GenerationMode::None, GenerationMode::Box,
                                           GenerationMode::Sphere, GenerationMode::Fragments,
                                           GenerationMode::CellContents};

QTableWidgetItem* cell_item(QTableWidget* grid, int row, int column, bool editable) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        grid->setItem(row, column, item);
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    return item;
}

std::string text_of(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

}  // namespace

ThermalExpression Tfmainmenu::thermal_expression() const {
    return shown_expression_;
}

bool Tfmainmenu::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn) {
        for (QLineEdit* field : cell_) {
            if (watched == field && !field->isReadOnly()) {
                // Entering a cell field means the cell may change.
                doc_.regeneration_needed = true;
                doc_.cell_changed = true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void Tfmainmenu::set_data_panels(bool cell, bool positions, bool asym, bool generation) {
    cell_panel_->setVisible(cell);
    positions_panel_->setVisible(positions);
    asym_panel_->setVisible(asym);
    generation_panel_->setVisible(generation);
    plot_->setVisible(generation);
}

// --- Cell and symmetry -------------------------------------------------

std::array<std::string, 6> Tfmainmenu::cell_texts() const {
    std::array<std::string, 6> texts;
    for (int i = 0; i < 6; ++i)
        texts[static_cast<std::size_t>(i)] = cell_[i]->text().toStdString();
    return texts;
}

void Tfmainmenu::show_cell(const std::array<bool, 6>* constrained) {
    std::array<bool, 6> fixed{};
    if (constrained) {
        fixed = *constrained;
    } else if (const int entry = system_entry_index(doc_.crystal_system); entry >= 0) {
        // The fields the loaded system fixes, worked out on a scratch copy.
        StructureDocument scratch;
        scratch.cell_parameters = doc_.cell_parameters;
        SilentMessages quiet;
        fixed = choose_system(scratch, kSystemEntries[static_cast<std::size_t>(entry)],
                              paths_.data_dir, quiet)
                    .constrained;
    }
    const std::array<std::string, 6> texts = cell_field_texts(doc_.cell_parameters);
    filling_ = true;
    for (int i = 0; i < 6; ++i) {
        QLineEdit* field = cell_[i];
        field->setText(QString::fromStdString(texts[static_cast<std::size_t>(i)]));
        const bool grey = fixed[static_cast<std::size_t>(i)];
        // A field the system fixes follows the others: grey, not typed into.
        field->setReadOnly(grey);
        field->setStyleSheet(grey ? QStringLiteral("QLineEdit { background-color: %1; }")
                                        .arg(kConstrainedColour.name())
                                  : QString());
    }
    filling_ = false;
}

void Tfmainmenu::cell_field_left(int field) {
    if (filling_ || cell_[field]->isReadOnly()) return;
    if (!edit_cell_field(doc_, field, cell_[field]->text().toStdString(), messages_)) {
        QTimer::singleShot(0, cell_[field], [w = cell_[field]] {
            w->setFocus();
            w->selectAll();
        });
        return;
    }
    // The fields the system ties to this one follow it.
    const std::array<std::string, 6> texts = cell_field_texts(doc_.cell_parameters);
    filling_ = true;
    for (int i = 0; i < 6; ++i)
        if (i != field && cell_[i]->isReadOnly())
            cell_[i]->setText(QString::fromStdString(texts[static_cast<std::size_t>(i)]));
    filling_ = false;
}

void Tfmainmenu::show_lists(const std::vector<std::string>& standard, int standard_index,
                            const std::vector<std::string>& getspec, int getspec_index) {
    filling_ = true;
    standard_->clear();
    for (const std::string& s : standard)
        standard_->addItem(QString::fromStdString(s));
    standard_->setCurrentRow(standard_index);
    if (standard_index < 0) standard_->clearSelection();
    getspec_->clear();
    for (const std::string& e : getspec) {
        // The entry: symbol padded to 12, Hall symbol to 17, number to 3.
        auto field = [&e](std::size_t from, std::size_t n) {
            return QString::fromStdString(from < e.size() ? trim(e.substr(from, n)) : "");
        };
        auto* item = new QTreeWidgetItem(getspec_, {field(0, 12), field(12, 17), field(29, 3)});
        item->setData(0, Qt::UserRole, QString::fromStdString(e));
        item->setTextAlignment(2, Qt::AlignRight);
    }
    if (getspec_index >= 0 && getspec_index < getspec_->topLevelItemCount()) {
        getspec_->setCurrentItem(getspec_->topLevelItem(getspec_index));
        getspec_->scrollToItem(getspec_->currentItem());
    } else {
        getspec_->clearSelection();
    }
    if (standard_index >= 0) standard_->scrollToItem(standard_->item(standard_index));
    filling_ = false;
}

void Tfmainmenu::click_system(int row) {
    if (filling_ || row < 0 || row >= static_cast<int>(kSystemEntries.size())) return;
    const SystemChoice choice = choose_system(doc_, kSystemEntries[static_cast<std::size_t>(row)],
                                              paths_.data_dir, messages_);
    show_cell(&choice.constrained);
    clear_positions();
    show_lists(choice.standard_symbols, -1, choice.getspec_symbols, -1);
}

void Tfmainmenu::click_standard_group(int row) {
    if (filling_ || row < 0 || row >= standard_->count()) return;
    const std::string symbol = standard_->item(row)->text().toStdString();
    if (choose_catalogue_group(doc_, symbol, paths_.data_dir, messages_) != CatalogueChoice::Chosen) {
        filling_ = true;
        standard_->setCurrentRow(-1);
        standard_->clearSelection();
        filling_ = false;
        return;
    }
    symbol_source_ = SymbolSource::Catalogue;
    getspec_->clearSelection();
    space_group_label_->setText(QStringLiteral("Space Group: ") + QString::fromStdString(symbol));
    after_group_chosen();
}

void Tfmainmenu::click_groupe_getspec(int row) {
    if (filling_ || row < 0 || row >= getspec_->topLevelItemCount()) return;
    clear_positions();
    filling_ = true;
    standard_->setCurrentRow(-1);
    standard_->clearSelection();
    filling_ = false;
    const std::string entry =
        getspec_->topLevelItem(row)->data(0, Qt::UserRole).toString().toStdString();
    if (!choose_getspec_setting(doc_, entry, paths_.work_dir, messages_)) return;
    symbol_source_ = SymbolSource::Interpreter;
    space_group_label_->setText(QStringLiteral("Space Group: ") +
                                QString::fromStdString(doc_.space_group));
    after_group_chosen();
}

void Tfmainmenu::after_group_chosen() {
    show_positions(positions_grid_rows(doc_));
    show_position_count();
    show_generation_option(GenerationMode::None);
    read_positions_from_grid(positions_rows(), doc_, messages_);
    search_bonds(doc_, messages_);
    asym_panel_->show();
}

// --- Positions grid ----------------------------------------------------

std::vector<PositionsGridRow> Tfmainmenu::positions_rows() const {
    std::vector<PositionsGridRow> rows(static_cast<std::size_t>(positions_->rowCount()));
    for (int r = 0; r < positions_->rowCount(); ++r) {
        PositionsGridRow& row = rows[static_cast<std::size_t>(r)];
        row.a = text_of(positions_, r, 1);
        row.b = text_of(positions_, r, 2);
        row.c = text_of(positions_, r, 3);
        row.selected = text_of(positions_, r, kSelectedColumn);
    }
    return rows;
}

void Tfmainmenu::paint_position_row(int row) {
    const bool was_filling = filling_;
    filling_ = true;
    const bool filled = !trim(text_of(positions_, row, 1)).empty();
    cell_item(positions_, row, 0, false)->setText(filled ? QString::number(row + 1) : QString());
    QTableWidgetItem* selected = cell_item(positions_, row, kSelectedColumn, false);
    if (selected->text().trimmed() == QLatin1String("*")) {
        selected->setBackground(kSelectedPositionColour);
        selected->setForeground(Qt::black);
    } else {
        selected->setData(Qt::BackgroundRole, QVariant());
        selected->setData(Qt::ForegroundRole, QVariant());
    }
    filling_ = was_filling;
}

void Tfmainmenu::show_positions(const std::vector<PositionsGridRow>& rows) {
    filling_ = true;
    for (int r = 0; r < positions_->rowCount(); ++r) {
        const PositionsGridRow empty;
        const PositionsGridRow& row =
            r < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(r)] : empty;
        cell_item(positions_, r, 1, true)->setText(QString::fromStdString(row.a));
        cell_item(positions_, r, 2, true)->setText(QString::fromStdString(row.b));
        cell_item(positions_, r, 3, true)->setText(QString::fromStdString(row.c));
        cell_item(positions_, r, kSelectedColumn, false)
            ->setText(QString::fromStdString(trim(row.selected)));
        paint_position_row(r);
    }
    filling_ = false;
}

void Tfmainmenu::clear_positions() {
    show_positions({});
    position_count_->hide();
}

void Tfmainmenu::show_position_count() {
    position_count_->setText(QStringLiteral("Nb of positions: %1").arg(doc_.positions.size()));
    position_count_->setVisible(!doc_.positions.empty());
}

void Tfmainmenu::position_cell_clicked(int row, int column) {
    if (column != kSelectedColumn) return;
    std::vector<PositionsGridRow> rows = positions_rows();
    if (!toggle_position(rows, static_cast<std::size_t>(row))) return;
    filling_ = true;
    positions_->item(row, kSelectedColumn)
        ->setText(QString::fromStdString(rows[static_cast<std::size_t>(row)].selected));
    filling_ = false;
    paint_position_row(row);
    doc_.regeneration_needed = true;
}

void Tfmainmenu::select_all() {
    std::vector<PositionsGridRow> rows = positions_rows();
    select_all_positions(rows);
    show_positions(rows);
    doc_.regeneration_needed = true;
    read_positions_from_grid(rows, doc_, messages_);
}

void Tfmainmenu::unselect_all() {
    std::vector<PositionsGridRow> rows = positions_rows();
    unselect_all_positions(rows);
    show_positions(rows);
    doc_.regeneration_needed = true;
    read_positions_from_grid(rows, doc_, messages_);
}

// --- Asymmetric-unit grid ----------------------------------------------

void Tfmainmenu::show_asym_headings() {
    const AsymGridRow h = asym_grid_headings(shown_expression_);
    QStringList labels;
    for (const std::string& s : h)
        labels << QString::fromStdString(s);
    asym_->setHorizontalHeaderLabels(labels);
}

void Tfmainmenu::show_asym_row(int row, const AsymGridRow& cells) {
    const bool was_filling = filling_;
    filling_ = true;
    for (int c = 0; c < kAsymColumns; ++c)
        cell_item(asym_, row, c, c != kColumnNumber)
            ->setText(QString::fromStdString(cells[static_cast<std::size_t>(c)]));
    filling_ = was_filling;
}

void Tfmainmenu::show_asym(const std::vector<AsymGridRow>& rows) {
    filling_ = true;
    asym_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        show_asym_row(r, rows[static_cast<std::size_t>(r)]);
    filling_ = false;
    if (error_cell_.row > 0) set_error_cell(error_cell_);
}

std::vector<AsymGridRow> Tfmainmenu::asym_rows() const {
    std::vector<AsymGridRow> rows(static_cast<std::size_t>(asym_->rowCount()));
    for (int r = 0; r < asym_->rowCount(); ++r)
        for (int c = 0; c < kAsymColumns; ++c)
            rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = text_of(asym_, r, c);
    return rows;
}

void Tfmainmenu::refill_asym() {
    set_error_cell({});
    show_asym(fill_asym_grid(doc_, shown_expression_));
    asym_edited_ = false;
}

void Tfmainmenu::set_error_cell(const GridCell& cell) {
    if (error_cell_.row > 0 && error_cell_.row <= asym_->rowCount()) {
        if (QTableWidgetItem* old = asym_->item(error_cell_.row - 1, error_cell_.column))
            old->setData(Qt::ForegroundRole, QVariant());
    }
    error_cell_ = cell;
    if (cell.row < 1 || cell.row > asym_->rowCount()) {
        error_cell_ = {};
        grid_error_->hide();
        return;
    }
    const bool was_filling = filling_;
    filling_ = true;
    QTableWidgetItem* item = cell_item(asym_, cell.row - 1, cell.column, cell.column != 0);
    item->setForeground(Qt::red);
    filling_ = was_filling;
    asym_->scrollToItem(item);
    grid_error_->setText(QString::fromStdString(asym_grid_error_text(cell)));
    grid_error_->show();
}

void Tfmainmenu::asym_cell_changed(int row, int column, int previous_row, int previous_column) {
    (void)column;
    if (filling_ || previous_row < 0 || previous_column < 0) return;
    doc_.elements_changed = true;
    set_error_cell({});
    std::vector<AsymGridRow> rows = asym_rows();
    switch (leave_asym_cell(rows, {previous_row + 1, previous_column}, row + 1)) {
        case RowEdit::None:
            return;
        case RowEdit::Tidied:
            show_asym_row(previous_row, rows[static_cast<std::size_t>(previous_row)]);
            return;
        case RowEdit::Deleted: {
            doc_.regeneration_needed = true;
            const AsymGridRead read = read_asym_grid(rows, doc_, shown_expression_);
            show_asym(rows);
            if (!read.ok) set_error_cell(read.error);
            asym_edited_ = !read.ok;
            return;
        }
    }
}

bool Tfmainmenu::take_asym_edits() {
    if (!asym_edited_) return true;
    if (shown_expression_ == ThermalExpression::Beta && doc_.cell_changed) {
        // Beta values are converted with the cell's metric.
        const CellRead cell = read_cell_fields(cell_texts());
        if (cell.status != CellReadStatus::Read) {
            messages_.warn(kCellParametersError);
            return false;
        }
        doc_.cell_parameters = cell.cell;
        if (!compute_metric(doc_, messages_)) return false;
    }
    std::vector<AsymGridRow> rows = asym_rows();
    const AsymGridRead read = read_asym_grid(rows, doc_, shown_expression_);
    if (read.too_many) messages_.warn(kTooManyAtomsMessage);
    if (!read.ok) {
        set_error_cell(read.error);
        return false;
    }
    show_asym(rows);
    asym_edited_ = false;
    return true;
}

bool Tfmainmenu::read_data_panels(bool for_plot) {
    if (doc_.cell_changed) {
        const CellRead cell = read_cell_fields(cell_texts());
        if (cell.status == CellReadStatus::Unreadable) {
            messages_.warn(kCellParametersError);
            return false;
        }
        if (cell.status == CellReadStatus::ZeroProduct) {
            messages_.warn(for_plot ? kNoCellParameters : kCellParametersError);
            return false;
        }
        doc_.cell_parameters = cell.cell;
        if (!compute_metric(doc_, messages_)) return false;
    }
    if (!read_positions_from_grid(positions_rows(), doc_, messages_)) return false;
    std::vector<AsymGridRow> rows = asym_rows();
    const AsymGridRead read = read_asym_grid(rows, doc_, shown_expression_);
    if (read.too_many) messages_.warn(kTooManyAtomsMessage);
    if (!read.ok) {
        set_error_cell(read.error);
        if (!read.too_many) {
            messages_.beep();
            messages_.warn(kCoordinatesReadError);
        }
        return false;
    }
    show_asym(rows);
    asym_edited_ = false;
    if (for_plot && doc_.asym.empty()) {
        messages_.warn(kNoCoordinates);
        return false;
    }
    return true;
}

void Tfmainmenu::selection_thermal_expression(int id) {
    const auto wanted = static_cast<ThermalExpression>(id);
    if (wanted == shown_expression_) return;
    // What was typed is read in the expression it was typed in.
    if (!take_asym_edits()) {
        const QSignalBlocker block(expression_);
        expression_->button(static_cast<int>(shown_expression_))->setChecked(true);
        return;
    }
    shown_expression_ = wanted;
    show_asym_headings();
    refill_asym();
}

void Tfmainmenu::Iso_aniso(int id) {
    if (id == 1) {
        if (!take_asym_edits()) {
            const QSignalBlocker block(iso_aniso_);
            iso_aniso_->button(0)->setChecked(true);
            return;
        }
        isotropic_average(doc_);
        refill_asym();
        emit isotropic_display(true);
        return;
    }
    emit isotropic_display(false);
    // Back to the anisotropic values of the file; typed data has none to
    // come back to and stays as it is.
    if (!doc_.data_file.empty() || !doc_.vld_file.empty())
        restaure();
    else
        doc_.regeneration_needed = true;
}

// --- The commands of the asymmetric-unit panel -------------------------

void Tfmainmenu::efface_atome() {
    doc_.regeneration_needed = true;
    if (!take_asym_edits()) return;
    effaceA_->show();
    effaceA_->raise();
    effaceA_->activateWindow();
}

void Tfmainmenu::efface_bloc() {
    doc_.regeneration_needed = true;
    if (!take_asym_edits()) return;
    effaceB_->show();
    effaceB_->raise();
    effaceB_->activateWindow();
}

void Tfmainmenu::effaace_element() {
    doc_.regeneration_needed = true;
    if (!take_asym_edits()) return;
    // The element sorts must be those of the atoms shown.
    if (doc_.elements_changed && !doc_.asym.empty() && build_sorts(doc_, paths_, messages_))
        doc_.elements_changed = false;
    effaceE_->show();
    effaceE_->raise();
    effaceE_->activateWindow();
}

void Tfmainmenu::restaure() {
    {
        const QSignalBlocker block(iso_aniso_);
        iso_aniso_->button(0)->setChecked(true);
    }
    doc_.regeneration_needed = true;
    const RestoreOutcome outcome = restore_initial_data(doc_, data_file_reader(drawing_, paths_),
                                                        load_radii(paths_.data_dir), messages_);
    const DataView view = data_view(doc_, shown_expression_, paths_, true, messages_);
    setWindowTitle(QString::fromStdString(view.caption));
    filling_ = true;
    systems_->setCurrentRow(view.symbols.system_index);
    filling_ = false;
    show_cell();
    show_lists(view.symbols.standard_symbols, view.symbols.standard_index,
               view.symbols.getspec_symbols, view.symbols.getspec_index);
    show_positions(view.positions);
    show_position_count();
    set_error_cell({});
    show_asym(view.atoms);
    asym_edited_ = false;
    show_generation_option(GenerationMode::None);
    space_group_label_->setText(QString::fromStdString(outcome.space_group_label));
}

void Tfmainmenu::erase_tout() {
    erase_all(doc_);
    doc_.regeneration_needed = true;
    set_error_cell({});
    show_asym_headings();
    show_asym(empty_asym_grid());
    asym_edited_ = false;
}

void Tfmainmenu::modif_liaisons() {
    if (boite_->isVisible()) boite_->hide();
    if (!take_asym_edits()) return;
    // The bond sorts are those of the elements shown.
    if (doc_.elements_changed && !doc_.asym.empty() && build_sorts(doc_, paths_, messages_))
        doc_.elements_changed = false;
    typliai_->open();
}

// --- Generation --------------------------------------------------------

void Tfmainmenu::show_generation_option(GenerationMode mode) {
    filling_ = true;
    for (int r = 0; r < options_->count(); ++r)
        options_->item(r)->setCheckState(kOptionModes[r] == mode ? Qt::Checked : Qt::Unchecked);
    for (int r = 0; r < options_->count(); ++r)
        if (kOptionModes[r] == mode) options_->setCurrentRow(r);
    filling_ = false;
}

void Tfmainmenu::check_generation_option(int row, bool checked) {
    if (row < 0 || row >= options_->count()) return;
    const GenerationMode mode = kOptionModes[row];
    if (!checked) {
        // Unchecking the checked item goes back to "No option".
        set_generation_option(doc_, GenerationMode::None, messages_);
        show_generation_option(GenerationMode::None);
        return;
    }
    if (mode == GenerationMode::CellContents &&
        !read_positions_from_grid(positions_rows(), doc_, messages_)) {
        show_generation_option(doc_.generation_mode);
        return;
    }
    set_generation_option(doc_, mode, messages_);
    show_generation_option(mode);
    switch (mode) {
        case GenerationMode::Box:
            boite_->open();
            break;
        case GenerationMode::Sphere:
            sphere_->open();
            break;
        case GenerationMode::CellContents:
            filling_ = true;
            systems_->setCurrentRow(system_entry_index(doc_.crystal_system));
            filling_ = false;
            show_positions(positions_grid_rows(doc_));
            read_positions_from_grid(positions_rows(), doc_, messages_);
            break;
        case GenerationMode::None:
        case GenerationMode::Fragments:
            break;
    }
}

}  // namespace veldor
