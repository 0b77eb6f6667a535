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
#include <QVBoxLayout>

#include "core/text.h"
#include "main/command_line.h"
#include "main/help_window.h"

namespace veldor {

namespace {
constexpr int kCompactScreenWidth = 800;
constexpr int kLargeFrame = 47;
}  // namespace

Tfmainmenu::Tfmainmenu(StructureDocument& doc, ProgramPaths paths, Messages& messages,
                       QWidget* parent)
    : QMainWindow(parent), doc_(doc), paths_(std::move(paths)), messages_(messages) {
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
    // The loading, saving, typing and plotting commands take effect as the
    // readers, writers and the drawing window join the program.
    add(load, QStringLiteral("&Veldor file"), QStringLiteral("lit_veldor"), false);
    add(load, QStringLiteral("Tessard"), QStringLiteral("lit_fichier_tessard"), false);
    add(load, QStringLiteral("&Shelx file (input or output)"), QStringLiteral("lit_shelx"), false);
    add(load, QStringLiteral("&Lazy_pulverix file"), QStringLiteral("lit_lazy"), false);
    add(load, QStringLiteral("&Powdercell file"), QStringLiteral("lit_powder"), false);
    add(load, QStringLiteral("&Crystallographic Information file (CIF)"), QStringLiteral("lit_cif"),
        false);
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    add(save, QStringLiteral("&Shelx input file"), QStringLiteral("sauve_fichier_shelx"), false);
    add(save, QStringLiteral("&Veldor file"), QStringLiteral("Veldorfile2Click"), false);
    add(save, QStringLiteral("&Crystallographic Information File (*.cif)"),
        QStringLiteral("sauve_fichier_cif"), false);
    file->addSeparator();
    QAction* exit = add(file, QStringLiteral("E&xit"), QStringLiteral("Exit"), true);
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    add(menuBar()->addMenu(QStringLiteral("&Data")), QStringLiteral("Data &keybord"),
        QStringLiteral("data_keyboard"), false);
    QMenu* plot = menuBar()->addMenu(QStringLiteral("&Plot"));
    add(plot, QStringLiteral("&Plot"), QStringLiteral("trace_ortep"), false);
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
    }
    return handled;
}

void Tfmainmenu::first_activation() {
    check_frame_size();
    if (doc_.startup_file.empty()) return;
    const std::string name = to_lower(doc_.startup_file);
    if (structure_file_kind(name) == StructureFileKind::Vld)
        messages_.warn("The file " + name + " was loaded. Click on the \"Plot\" Item");
    emit startup_file_pending(QString::fromStdString(name));
}

void Tfmainmenu::check_frame_size() {
    // Window decorations (title bar and borders) taller than this come from
    // large system fonts, which leave too little room for the panels.
    const int frame = frameGeometry().height() - geometry().height();
    if (frame > kLargeFrame)
        messages_.warn("Warning! Large fonts must create some problems to Veldor!");
}

}  // namespace veldor
