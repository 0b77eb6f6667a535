#include "main/Tfmainmenu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

#include "core/text.h"
#include "drawing/ui/Tfdessin.h"
#include "formats/cif_read.h"
#include "formats/shelx.h"
#include "formats/vld.h"
#include "main/command_line.h"
#include "main/help_window.h"
#include "main/plot.h"
#include "main/save_target.h"
#include "main/structure_loader.h"

namespace veldor {

namespace {
constexpr int kCompactScreenWidth = 800;
constexpr int kLargeFrame = 47;
}  // namespace

Tfmainmenu::Tfmainmenu(StructureDocument& doc, DrawingState& drawing, ProgramPaths paths,
                       Messages& messages, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      paths_(std::move(paths)),
      messages_(messages),
      drawing_(drawing) {
    setObjectName(QStringLiteral("Tfmainmenu"));
    setWindowTitle(QStringLiteral("VELDOR V2"));

    // Drawing defaults of a new document.
    doc_.bond_width = 6;
    doc_.bond_colour = kYellow;
    doc_.generation_mode = GenerationMode::None;

    build_menus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    status_ = new QLabel(QStringLiteral("No space group defined"), central);
    status_->setObjectName(QStringLiteral("space_group_label"));
    layout->addWidget(status_);
    layout->addStretch(1);
    setCentralWidget(central);

    const QScreen* screen = QGuiApplication::primaryScreen();
    compact_ = screen && screen->availableGeometry().width() <= kCompactScreenWidth;
    if (compact_)
        resize(800, 595);
    else
        resize(1000, 700);
    move(0, 0);

    const QString help_file =
        QString::fromStdString(find_file_nocase(paths_.data_dir, "veldor.html")
                                   .value_or(paths_.data_dir + "/veldor.html"));
    help_ = new HelpWindow(help_file, this);
    dessin_ = new Tfdessin(doc_, drawing_, messages_, paths_.work_dir, compact_, this);
    connect(dessin_, &Tfdessin::help_requested, this, &Tfmainmenu::show_help);
}

void Tfmainmenu::build_menus() {
    auto add = [this](QMenu* menu, const QString& text, const QString& name, bool enabled) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        a->setEnabled(enabled);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* load = file->addMenu(QStringLiteral("&Load"));
    const struct {
        const char* text;
        const char* name;
        StructureFileKind kind;
    } loads[] = {
        {"&Veldor file", "lit_veldor", StructureFileKind::Vld},
        {"Tessard", "lit_fichier_tessard", StructureFileKind::Tessard},
        {"&Shelx file (input or output)", "lit_shelx", StructureFileKind::Shelx},
        {"&Lazy_pulverix file", "lit_lazy", StructureFileKind::LazyPulverix},
        {"&Powdercell file", "lit_powder", StructureFileKind::PowderCell},
        {"&Crystallographic Information file (CIF)", "lit_cif", StructureFileKind::Cif},
    };
    for (const auto& l : loads) {
        const StructureFileKind kind = l.kind;
        connect(add(load, QString::fromLatin1(l.text), QString::fromLatin1(l.name), true),
                &QAction::triggered, this, [this, kind] { load_file(kind); });
    }
    // Saving and typing data in take effect with the main window's panels.
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    connect(
        add(save, QStringLiteral("&Shelx input file"), QStringLiteral("sauve_fichier_shelx"), true),
        &QAction::triggered, this, [this] { sauve_fichier_shelx(); });
    connect(add(save, QStringLiteral("&Veldor file"), QStringLiteral("Veldorfile2Click"), true),
            &QAction::triggered, this, [this] { Veldorfile2Click(); });
    add(save, QStringLiteral("Cristallographic Information File (*.cif)"),
        QStringLiteral("sauve_fichier_cif"), false);
    file->addSeparator();
    QAction* exit = add(file, QStringLiteral("E&xit"), QStringLiteral("Exit"), true);
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    add(menuBar()->addMenu(QStringLiteral("&Data")), QStringLiteral("Data &keybord"),
        QStringLiteral("data_keyboard"), false);
    QMenu* plot = menuBar()->addMenu(QStringLiteral("&Plot"));
    QAction* plot_action = add(plot, QStringLiteral("&Plot"), QStringLiteral("trace_ortep"), true);
    plot_action->setShortcut(QKeySequence(Qt::Key_F5));
    connect(plot_action, &QAction::triggered, this, &Tfmainmenu::trace_ortep);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* aide_action = add(help, QStringLiteral("&Help"), QStringLiteral("aide"), true);
    aide_action->setShortcut(QKeySequence::HelpContents);
    connect(aide_action, &QAction::triggered, this, &Tfmainmenu::aide);
    QAction* about = add(help, QStringLiteral("&About"), QStringLiteral("a_propos"), true);
    connect(about, &QAction::triggered, this, &Tfmainmenu::a_propos);
}

QAction* Tfmainmenu::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QString Tfmainmenu::caption_for(const QString& file_name) {
    return QStringLiteral("VELDOR V2. Data for ") + file_name;
}

void Tfmainmenu::aide() {
    show_help(kHelpMain);
}

void Tfmainmenu::show_help(int context) {
    help_->show_topic(context);
}

void Tfmainmenu::a_propos() {
    QMessageBox::about(this, QStringLiteral("About Veldor"),
                       QStringLiteral("<b>Veldor</b> %1<br>Thermal-ellipsoid plots of crystal "
                                      "structures.")
                           .arg(QStringLiteral(VELDOR_VERSION)));
}

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
    check_frame_size();
    if (doc_.startup_file.empty()) return;
    const std::string name = to_lower(doc_.startup_file);
    // The name as given is what is opened: file systems may tell case apart.
    const QString path = QString::fromStdString(doc_.startup_file);
    doc_.startup_file.clear();
    if (structure_file_kind(name) == StructureFileKind::Vld) {
        pending_vld_ = path;
        messages_.warn("The file " + name + " was loaded. Click on the \"Plot\" Item");
    } else {
        load_by_extension(path);
    }
    emit startup_file_pending(QString::fromStdString(name));
}

QString Tfmainmenu::space_group_text() const {
    return status_->text();
}

QString Tfmainmenu::open_file(const QString& filter) {
    return QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(), filter);
}

void Tfmainmenu::load_by_extension(const QString& file_name) {
    const StructureFileKind kind = structure_file_kind(file_name.toStdString());
    if (kind != StructureFileKind::Unknown) load_file(kind, file_name);
}

void Tfmainmenu::after_load(const std::string& space_group_caption) {
    status_->setText(QString::fromStdString(space_group_caption));
    const QString file = QFileInfo(QString::fromStdString(doc_.data_file)).fileName();
    if (!doc_.vld_file.empty())
        setWindowTitle(caption_for(QString::fromStdString(doc_.title) + " [" +
                                   QFileInfo(QString::fromStdString(doc_.vld_file)).fileName() +
                                   "]"));
    else
        setWindowTitle(caption_for(file));
}

QString Tfmainmenu::file_filter(StructureFileKind kind) {
    switch (kind) {
        case StructureFileKind::Vld:
            return QStringLiteral("ASCII Veldor file (*.vld)");
        case StructureFileKind::Shelx:
            return QStringLiteral(
                "Shelx files (*.ins *.res *.inp *.shx *.out *.lst);;All files (*)");
        case StructureFileKind::Cif:
            return QStringLiteral("Crystallographic Information File (*.cif);;All files (*)");
        case StructureFileKind::LazyPulverix:
            return QStringLiteral("Lazy Pulverix file (*.lzy);;All files (*)");
        case StructureFileKind::PowderCell:
            return QStringLiteral("PowderCell file (*.cel);;All files (*)");
        case StructureFileKind::Tessard:
            return QStringLiteral("Tessard file (*.cry);;All files (*)");
        case StructureFileKind::Unknown:
            break;
    }
    return QStringLiteral("All files (*)");
}

void Tfmainmenu::load_file(StructureFileKind kind, const QString& file_name) {
    const QString path = file_name.isEmpty() ? open_file(file_filter(kind)) : file_name;
    if (path.isEmpty()) return;
    if (kind == StructureFileKind::Vld) pending_vld_.clear();
    auto choose = [this](const std::vector<CifBlockInfo>& blocks) -> std::optional<int> {
        QStringList names;
        for (const CifBlockInfo& b : blocks)
            names << QString::fromStdString(b.name);
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(this, QStringLiteral("Select a data block"),
                                  QStringLiteral("Data blocks:"), names, 0, false, &ok);
        if (!ok) return std::nullopt;
        return static_cast<int>(names.indexOf(chosen));
    };
    // The drawing of the previous structure goes: its atoms are about to be replaced.
    dessin_->hide();
    const LoadOutcome r =
        load_structure(kind, path.toStdString(), doc_, drawing_, paths_, messages_, choose);
    if (r.cancelled) return;
    if (kind == StructureFileKind::Vld && !r.ok) return;
    after_load(r.space_group_caption);
    if (kind == StructureFileKind::Vld) show_drawing();
}

namespace {
// The name chosen in the save dialog (or given), with the format's extension
// added where the name has none; empty when cancelled or refused.
std::string save_target(QWidget* parent, const QString& given, const QString& filter,
                        const std::string& extension, Messages& messages) {
    QString chosen = given;
    if (chosen.isEmpty())
        chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("Save"), QString(), filter,
                                              nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return {};
    const std::string path = with_default_extension(chosen.toStdString(), extension);
    return may_write(path, messages) ? path : std::string();
}
}  // namespace

void Tfmainmenu::Veldorfile2Click(const QString& file_name) {
    if (doc_.gen.empty()) return;
    const std::string path = save_target(
        this, file_name, QStringLiteral("Veldor file format (*.vld)"), ".vld", messages_);
    if (path.empty()) return;
    BusyScope busy(messages_);
    if (write_vld(path, doc_, drawing_, messages_)) doc_.written_file = path;
}

void Tfmainmenu::sauve_fichier_shelx(const QString& file_name) {
    if (doc_.asym.empty()) return;
    const std::string path = save_target(
        this, file_name, QStringLiteral("Shelxt file format  (*.shx)"), ".shx", messages_);
    if (path.empty()) return;
    BusyScope busy(messages_);
    if (write_shelx(path, doc_, paths_, ShelxWriteOptions{}, messages_)) doc_.written_file = path;
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
    if (plot(doc_, drawing_, paths_, messages_) != PlotOutcome::Stopped) show_drawing();
}

void Tfmainmenu::show_drawing() {
    if (doc_.display.empty() && doc_.gen.empty()) return;
    dessin_->show();
    dessin_->raise();
    dessin_->activateWindow();
    dessin_->initialise_fiche();
}

void Tfmainmenu::check_frame_size() {
    // Window decorations (title bar and borders) taller than this come from
    // large system fonts, which leave too little room for the panels.
    const int frame = frameGeometry().height() - geometry().height();
    if (frame > kLargeFrame)
        messages_.warn("Warning! Large fonts must create some problems to Veldor!");
}

}  // namespace veldor
