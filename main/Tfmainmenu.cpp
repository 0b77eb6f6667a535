#include "main/Tfmainmenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "core/text.h"
#include "drawing/ui/Tfdessin.h"
#include "entry/refresh.h"
#include "entry/typed_data.h"
#include "formats/cif_write.h"
#include "formats/shelx.h"
#include "formats/ui/Tfformula.h"
#include "formats/ui/Tfquel_bloc.h"
#include "formats/vld.h"
#include "generation/ui/Tfboite.h"
#include "main/Tfabout.h"
#include "main/help_window.h"
#include "main/plot.h"
#include "main/save_target.h"
#include "main/structure_loader.h"
#include "symmetry/ui/Tfget_sp.h"

namespace veldor {

namespace {

constexpr int kCompactScreenWidth = 800;
constexpr int kLargeFrame = 47;
constexpr QSize kCompactSize{800, 595};
constexpr QSize kNormalSize{1180, 800};

// The open dialog's filters; a load command opens it on its own.
const QStringList& open_filters() {
    static const QStringList filters = {
        QStringLiteral("Shelx  File (input/output) (*.ins *.inp *.out *.lst *.shx *.res)"),
        QStringLiteral("All files (*)"),
        QStringLiteral("PowderCell file (*.cel)"),
        QStringLiteral("Lazy Pulverix file (*.lzy)"),
        QStringLiteral("ASCII Veldor file (*.vld)"),
        QStringLiteral("Crystallographic Information File (*.cif)"),
        QStringLiteral("Tessard file (*.cry)"),
    };
    return filters;
}

// The save dialog's filters.
const QStringList& save_filters() {
    static const QStringList filters = {
        QStringLiteral("Shelxt file format  (*.shx)"),
        QStringLiteral("Veldor file format (*.vld)"),
        QStringLiteral("Cristallographic Information File (*.cif)"),
    };
    return filters;
}

int open_filter_index(StructureFileKind kind) {
    switch (kind) {
        case StructureFileKind::Shelx:
            return 1;
        case StructureFileKind::PowderCell:
            return 3;
        case StructureFileKind::LazyPulverix:
            return 4;
        case StructureFileKind::Vld:
            return 5;
        case StructureFileKind::Cif:
            return 6;
        case StructureFileKind::Tessard:
            return 7;
        case StructureFileKind::Unknown:
            break;
    }
    return 2;
}

}  // namespace

Tfmainmenu::Tfmainmenu(StructureDocument& doc, DrawingState& drawing, ProgramPaths paths,
                       Messages& messages, QWidget* parent, Layout layout)
    : QMainWindow(parent),
      doc_(doc),
      drawing_(drawing),
      paths_(std::move(paths)),
      messages_(messages) {
    setObjectName(QStringLiteral("Tfmainmenu"));
    setWindowTitle(QString::fromLatin1(kPlainCaption));

    // Drawing defaults of a new document.
    doc_.bond_width = 6;
    doc_.bond_colour = kYellow;
    doc_.generation_mode = GenerationMode::None;

    if (layout == Layout::Automatic) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        compact_ = screen && screen->availableGeometry().width() <= kCompactScreenWidth;
    } else {
        compact_ = layout == Layout::Compact;
    }
    build_menus();
    build_panels();
    show_generation_option(GenerationMode::None);
    resize(compact_ ? kCompactSize : kNormalSize);
    move(0, 0);

    const QString help_file =
        QString::fromStdString(find_file_nocase(paths_.data_dir, "veldor.html")
                                   .value_or(paths_.data_dir + "/veldor.html"));
    help_ = new HelpWindow(help_file, this);
    create_dialogs();
}

Tfmainmenu::~Tfmainmenu() = default;

QAction* Tfmainmenu::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QString Tfmainmenu::caption_for(const QString& file_name) {
    return QString::fromLatin1(kCaptionPrefix) + file_name;
}

QString Tfmainmenu::space_group_text() const {
    return space_group_label_->text();
}

void Tfmainmenu::set_coordination_command(std::function<void()> open) {
    coordination_command_ = std::move(open);
    coord_->setEnabled(static_cast<bool>(coordination_command_));
}

void Tfmainmenu::set_generated_list_command(std::function<void()> show) {
    generated_list_command_ = std::move(show);
    generated_list_->setEnabled(static_cast<bool>(generated_list_command_));
}

// --- Help and About ----------------------------------------------------

void Tfmainmenu::aide() {
    show_help(kHelpMain);
}

void Tfmainmenu::help_data() {
    show_help(kHelpData);
}

void Tfmainmenu::generation_help() {
    show_help(kHelpGeneration);
}

void Tfmainmenu::BitBtn1Click() {
    show_help(kHelpGetspec);
}

void Tfmainmenu::show_help(int context) {
    help_->show_topic(context);
}

void Tfmainmenu::a_propos() {
    about_->open();
}

void Tfmainmenu::Calcul_varnel() {
    if (coordination_command_) coordination_command_();
}

// --- Start-up ----------------------------------------------------------

bool Tfmainmenu::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate && !activated_once_) {
        activated_once_ = true;
        first_activation();
    } else if (e->type() == QEvent::Show && !activated_once_) {
        // Without a window manager the window is never activated: take the
        // start-up file once the event loop runs all the same.
        QTimer::singleShot(0, this, [this] {
            if (activated_once_) return;
            activated_once_ = true;
            first_activation();
        });
    }
    return handled;
}

void Tfmainmenu::first_activation() {
    // The frame is known once the window is on screen; the warning comes
    // before the start-up file is looked at.
    check_frame_size();
    if (doc_.startup_file.empty()) return;
    const std::string name = to_lower(doc_.startup_file);
    // The name as given is what is opened: file systems may tell case apart.
    const QString path = QString::fromStdString(doc_.startup_file);
    doc_.startup_file.clear();
    if (!QFileInfo::exists(path)) {
        messages_.warn(path.toStdString() + " not found");
        emit startup_failed();
        return;
    }
    if (structure_file_kind(name) == StructureFileKind::Vld) {
        pending_vld_ = path;
        messages_.warn("The file " + name + " was loaded. Click on the \"Plot\" Item");
    } else {
        load_by_extension(path);
    }
    emit startup_file_pending(QString::fromStdString(name));
}

void Tfmainmenu::check_frame_size() {
    // Window decorations taller than this come from large system fonts,
    // which leave too little room for the panels.
    const int frame = frameGeometry().height() - geometry().height();
    if (frame > kLargeFrame)
        messages_.warn("Warning! Large fonts must create some problems to Veldor!");
}

// --- Loading -----------------------------------------------------------

QString Tfmainmenu::open_file(int filter_index) {
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(open_filters());
    dialog.selectNameFilter(open_filters().at(filter_index - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void Tfmainmenu::load_by_extension(const QString& file_name) {
    const StructureFileKind kind = structure_file_kind(file_name.toStdString());
    if (kind != StructureFileKind::Unknown) load_file(kind, file_name);
}

std::optional<int> Tfmainmenu::choose_block(const std::vector<CifBlockInfo>& blocks) {
    if (block_chooser_) return block_chooser_(blocks);
    return quel_bloc_->choose(blocks);
}

void Tfmainmenu::load_file(StructureFileKind kind, const QString& file_name) {
    const QString path = file_name.isEmpty() ? open_file(open_filter_index(kind)) : file_name;
    if (path.isEmpty()) return;
    emit structure_loading();
    if (kind == StructureFileKind::Vld) {
        pending_vld_.clear();
    } else {
        reset_drawing_checks(drawing_.options);
        emit drawing_checks_reset();
    }
    // The drawing of the previous structure goes: its atoms are about to be replaced.
    dessin_->hide();
    const LoadOutcome r =
        load_structure(kind, path.toStdString(), doc_, drawing_, paths_, messages_,
                       [this](const std::vector<CifBlockInfo>& b) { return choose_block(b); });
    if (r.cancelled) return;
    if (kind == StructureFileKind::Vld && !r.ok) return;
    // The panels always show what the document holds, also after a read
    // that stopped half way.
    after_load(kind, r.space_group_caption);
    if (kind == StructureFileKind::Vld) {
        boite_->hide();
        show_drawing();
    }
}

void Tfmainmenu::after_load(StructureFileKind kind, const std::string& space_group_caption) {
    typing_ = false;
    {
        const QSignalBlocker block_expression(expression_);
        expression_->button(0)->setChecked(true);
        iso_aniso_->button(0)->setChecked(true);
    }
    shown_expression_ = ThermalExpression::U;
    const bool positions_read =
        (kind == StructureFileKind::Cif || kind == StructureFileKind::Vld) &&
        !doc_.positions.empty();
    const DataView view = data_view(doc_, shown_expression_, paths_, positions_read, messages_);
    setWindowTitle(QString::fromStdString(view.caption));
    filling_ = true;
    systems_->setCurrentRow(view.symbols.system_index);
    filling_ = false;
    show_cell();
    show_lists(view.symbols.standard_symbols, view.symbols.standard_index,
               view.symbols.getspec_symbols, view.symbols.getspec_index);
    symbol_source_ = view.symbols.standard_index >= 0  ? SymbolSource::Catalogue
                     : view.symbols.getspec_index >= 0 ? SymbolSource::Interpreter
                                                       : SymbolSource::File;
    show_positions(view.positions);
    show_position_count();
    show_asym_headings();
    show_asym(view.atoms);
    set_error_cell({});
    asym_edited_ = false;
    space_group_label_->setText(QString::fromStdString(space_group_caption));
    show_generation_option(doc_.generation_mode);
    asym_panel_->setTitle(QStringLiteral("Asymetric unit contents"));
    typed_ok_->hide();
    set_data_panels(true, true, true, true);
}

// --- Saving ------------------------------------------------------------

QString Tfmainmenu::save_file(int filter_index) {
    QFileDialog dialog(this, QStringLiteral("Save"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(QString::fromStdString(paths_.work_dir));
    dialog.setNameFilters(save_filters());
    dialog.selectNameFilter(save_filters().at(filter_index - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

std::string Tfmainmenu::save_target(const QString& given, int filter_index,
                                    const std::string& extension) {
    const QString chosen = given.isEmpty() ? save_file(filter_index) : given;
    if (chosen.isEmpty()) return {};
    const std::string path = with_default_extension(chosen.toStdString(), extension);
    return may_write(path, messages_) ? path : std::string();
}

void Tfmainmenu::sauvegarde_data() {
    messages_.beep();
    save_menu_->popup(QPoint(kSaveMenuX, kSaveMenuY));
}

void Tfmainmenu::Veldorfile2Click(const QString& file_name) {
    if (doc_.gen.empty()) return;
    const std::string path = save_target(file_name, 2, ".vld");
    if (path.empty()) return;
    BusyScope busy(messages_);
    if (write_vld(path, doc_, drawing_, messages_)) doc_.written_file = path;
}

void Tfmainmenu::sauve_fichier_shelx(const QString& file_name) {
    if (doc_.asym.empty()) return;
    const std::string path = save_target(file_name, 1, ".shx");
    if (path.empty()) return;
    if (!read_data_panels(false)) return;
    if (doc_.asym.empty()) {
        messages_.warn("No data");
        return;
    }
    ShelxWriteOptions options;
    if (symbol_source_ == SymbolSource::Interpreter) options.symm = SymmSource::Interpreter;
    BusyScope busy(messages_);
    if (write_shelx(path, doc_, paths_, options, messages_)) doc_.written_file = path;
    refill_asym();
}

void Tfmainmenu::sauve_fichier_cif(const QString& file_name) {
    switch (check_cif_save(doc_)) {
        case CifSaveCheck::NothingToSave:
            return;
        case CifSaveCheck::NeedsSymbol:
            messages_.beep();
            get_sp_->open();
            return;
        case CifSaveCheck::Ready:
            break;
    }
    const std::string path = save_target(file_name, 3, ".cif");
    if (path.empty()) return;
    if (!read_data_panels(false)) return;
    if (doc_.asym.empty()) {
        messages_.warn("No data");
        return;
    }
    doc_.written_file = path;
    formula_->prepare(path);
    formula_->open();
}

// --- Plot --------------------------------------------------------------

bool Tfmainmenu::plot_for_display() {
    if (trim(doc_.space_group).empty()) {
        messages_.warn("No space_group");
        return false;
    }
    if ((doc_.regeneration_needed || doc_.gen.empty()) && !read_data_panels(true)) return false;
    return plot(doc_, drawing_, paths_, messages_) != PlotOutcome::Stopped;
}

void Tfmainmenu::trace_ortep() {
    if (dessin_->isMinimized()) {
        dessin_->showNormal();
        return;
    }
    if (!pending_vld_.isEmpty()) {
        if (!QFileInfo::exists(pending_vld_)) {
            messages_.warn(pending_vld_.toStdString() + " not found");
            pending_vld_.clear();
            return;
        }
        load_file(StructureFileKind::Vld, pending_vld_);
        return;
    }
    if (plot_for_display()) show_drawing();
}

void Tfmainmenu::affiche_child() {
    if (!generated_list_command_) return;
    if (plot_for_display()) generated_list_command_();
}

void Tfmainmenu::show_drawing() {
    if (doc_.display.empty() && doc_.gen.empty()) return;
    dessin_->show();
    dessin_->raise();
    dessin_->activateWindow();
    dessin_->initialise_fiche();
}

// --- Typed data --------------------------------------------------------

void Tfmainmenu::data_keyboard() {
    emit structure_loading();
    start_typed_data(doc_, drawing_);
    emit drawing_checks_reset();
    dessin_->hide();
    typing_ = true;
    symbol_source_ = SymbolSource::File;
    setWindowTitle(QString::fromLatin1(kPlainCaption));
    space_group_label_->setText(QStringLiteral("No space group defined"));
    clear_positions();
    show_lists({}, -1, {}, -1);
    show_asym(empty_asym_grid());
    set_error_cell({});
    asym_edited_ = false;
    show_generation_option(GenerationMode::None);
    asym_panel_->setTitle(QStringLiteral("Enter the asymetric unit contents"));
    typed_ok_->show();
    set_data_panels(true, false, false, false);
    cell_[0]->setFocus();
}

void Tfmainmenu::litdonneesclavier() {
    std::vector<AsymGridRow> rows = asym_rows();
    const TypedDataResult r =
        take_typed_data(doc_, cell_texts(), positions_rows(), rows, shown_expression_,
                        load_radii(paths_.data_dir), messages_);
    if (r.status == TypedDataStatus::GridError) {
        set_error_cell(r.grid.error);
        return;
    }
    if (r.status != TypedDataStatus::Taken) return;
    typing_ = false;
    asym_panel_->setTitle(QStringLiteral("Asymetric unit contents"));
    typed_ok_->hide();
    set_data_panels(true, true, true, true);
    refill_asym();
    show_position_count();
    setWindowTitle(QString::fromStdString(data_caption(doc_)));
}

}  // namespace veldor
