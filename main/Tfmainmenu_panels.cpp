// The main window's controls: the menus, the four panels, their two
// arrangements (normal and compact), and the dialogs made at start.

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/text.h"
#include "drawing/ui/Tfdessin.h"
#include "entry/positions_grid.h"
#include "formats/cif_write.h"
#include "formats/ui/Tfformula.h"
#include "formats/ui/Tfquel_bloc.h"
#include "generation/ui/Tfboite.h"
#include "generation/ui/TfeffaceA.h"
#include "generation/ui/TfeffaceB.h"
#include "generation/ui/TfeffaceE.h"
#include "generation/ui/Tfsphere.h"
#include "generation/ui/Tftypliai.h"
#include "main/Tfabout.h"
#include "main/Tfmainmenu.h"
#include "main/help_window.h"
#include "symmetry/catalogue.h"
#include "symmetry/ui/Tfget_sp.h"

namespace veldor {

namespace {

// The positions grid shows every text in upper case.
class UpperCaseDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return QStyledItemDelegate::displayText(value, locale).toUpper();
    }
};

QPushButton* make_button(const QString& text, const QString& name, QWidget* parent,
                         const QString& hint = {}) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!hint.isEmpty()) b->setToolTip(hint);
    return b;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

}  // namespace

void Tfmainmenu::build_menus() {
    auto add = [this](QMenu* menu, const QString& text, const QString& name) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
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
        {"&Tessard", "lit_fichier_tessard", StructureFileKind::Tessard},
        {"&Shelx file (input or output)", "lit_shelx", StructureFileKind::Shelx},
        {"&Lazy_pulverix file", "lit_lazy", StructureFileKind::LazyPulverix},
        {"&Powdercell file", "lit_powder", StructureFileKind::PowderCell},
        {"&Crystallographic Information file (CIF)", "lit_cif", StructureFileKind::Cif},
    };
    for (const auto& l : loads) {
        const StructureFileKind kind = l.kind;
        connect(add(load, QString::fromLatin1(l.text), QString::fromLatin1(l.name)),
                &QAction::triggered, this, [this, kind] { load_file(kind); });
    }
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    connect(add(save, QStringLiteral("&Shelx input file"), QStringLiteral("sauve_fichier_shelx")),
            &QAction::triggered, this, [this] { sauve_fichier_shelx(); });
    connect(add(save, QStringLiteral("&Veldor file"), QStringLiteral("Veldorfile2Click")),
            &QAction::triggered, this, [this] { Veldorfile2Click(); });
    connect(add(save, QStringLiteral("Cristallographic Information File (*.cif)"),
                QStringLiteral("sauve_fichier_cif")),
            &QAction::triggered, this, [this] { sauve_fichier_cif(); });
    file->addSeparator();
    QAction* exit = add(file, QStringLiteral("E&xit"), QStringLiteral("Exit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* data = menuBar()->addMenu(QStringLiteral("&Data"));
    connect(add(data, QStringLiteral("Data &keybord"), QStringLiteral("data_keyboard")),
            &QAction::triggered, this, &Tfmainmenu::data_keyboard);
    QMenu* plot = menuBar()->addMenu(QStringLiteral("&Plot"));
    QAction* plot_action = add(plot, QStringLiteral("&Plot"), QStringLiteral("trace_ortep"));
    plot_action->setShortcut(QKeySequence(Qt::Key_F5));
    connect(plot_action, &QAction::triggered, this, &Tfmainmenu::trace_ortep);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* aide_action = add(help, QStringLiteral("&Help"), QStringLiteral("aide"));
    aide_action->setShortcut(QKeySequence::HelpContents);
    connect(aide_action, &QAction::triggered, this, &Tfmainmenu::aide);
    connect(add(help, QStringLiteral("&About"), QStringLiteral("a_propos")), &QAction::triggered,
            this, &Tfmainmenu::a_propos);

    // The pop-up of "Save Data".
    save_menu_ = new QMenu(this);
    save_menu_->setObjectName(QStringLiteral("save_data_menu"));
    connect(add(save_menu_, QStringLiteral("&Shekx format (*.shx)"), QStringLiteral("save_shx")),
            &QAction::triggered, this, [this] { sauve_fichier_shelx(); });
    connect(add(save_menu_, QStringLiteral("&Crystallographic Information File (*.cif)"),
                QStringLiteral("save_cif")),
            &QAction::triggered, this, [this] { sauve_fichier_cif(); });
}

QGroupBox* Tfmainmenu::build_cell_panel() {
    auto* panel = new QGroupBox(QStringLiteral("Cell and symmetry"), this);
    panel->setObjectName(QStringLiteral("cell_panel"));
    auto* cells = new QGridLayout;
    const char* names[] = {"Edit1", "edit2", "edit3", "edit4", "edit5", "edit6"};
    const char* labels[] = {"a", "b", "c", "alpha", "beta", "gamma"};
    for (int i = 0; i < 6; ++i) {
        cell_[i] = new QLineEdit(panel);
        cell_[i]->setObjectName(QString::fromLatin1(names[i]));
        cell_[i]->setMaximumWidth(compact_ ? 64 : 80);
        cell_[i]->setToolTip(i < 3 ? QStringLiteral("Cell length in \u00c5")
                                   : QStringLiteral("Cell angle in degrees"));
        cell_[i]->installEventFilter(this);
        auto* label = new QLabel(QString::fromLatin1(labels[i]), panel);
        label->setBuddy(cell_[i]);
        cells->addWidget(label, i / 3, 2 * (i % 3), Qt::AlignRight);
        cells->addWidget(cell_[i], i / 3, 2 * (i % 3) + 1);
        connect(cell_[i], &QLineEdit::editingFinished, this, [this, i] { cell_field_left(i); });
    }

    systems_ = new QListWidget(panel);
    systems_->setObjectName(QStringLiteral("ListBox1"));
    for (std::string_view e : kSystemEntries)
        systems_->addItem(QString::fromLatin1(e.data(), static_cast<int>(e.size())));
    systems_->setMaximumWidth(compact_ ? 76 : 90);
    connect(systems_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { click_system(systems_->row(item)); });
    connect(systems_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { click_system(systems_->row(item)); });
    auto* system_label = new QLabel(QStringLiteral("S&ystem"), panel);
    system_label->setBuddy(systems_);

    standard_ = new QListWidget(panel);
    standard_->setObjectName(QStringLiteral("ListBox2"));
    standard_->setMinimumWidth(compact_ ? 80 : 110);
    connect(standard_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { click_standard_group(standard_->row(item)); });
    connect(standard_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { click_standard_group(standard_->row(item)); });
    auto* standard_label = new QLabel(QStringLiteral("Standard sy&mbols"), panel);
    standard_label->setBuddy(standard_);

    getspec_ = new QTreeWidget(panel);
    getspec_->setObjectName(QStringLiteral("ListBox3"));
    getspec_->setColumnCount(3);
    getspec_->setHeaderLabels(
        {QStringLiteral("Hermann-Maugin"), QStringLiteral("Hall"), QStringLiteral("Group Nb.")});
    getspec_->setRootIsDecorated(false);
    getspec_->setUniformRowHeights(true);
    getspec_->header()->setStretchLastSection(false);
    getspec_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(getspec_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        click_groupe_getspec(getspec_->indexOfTopLevelItem(item));
    });
    connect(getspec_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        click_groupe_getspec(getspec_->indexOfTopLevelItem(item));
    });
    auto* getspec_label = new QLabel(QStringLiteral("GETSPEC  symbols"), panel);
    auto* help = new QToolButton(panel);
    help->setObjectName(QStringLiteral("BitBtn1"));
    help->setText(QStringLiteral("?"));
    help->setToolTip(QStringLiteral("Help about equivalent positions generation"));
    connect(help, &QToolButton::clicked, this, &Tfmainmenu::BitBtn1Click);

    auto* lists = new QGridLayout;
    lists->addWidget(system_label, 0, 0);
    lists->addWidget(standard_label, 0, 1);
    lists->addWidget(new QLabel(QStringLiteral("Hermann-Maugin"), panel), 1, 1);
    lists->addWidget(systems_, 2, 0);
    lists->addWidget(standard_, 2, 1);
    auto* getspec_head = new QHBoxLayout;
    getspec_head->addWidget(getspec_label);
    getspec_head->addStretch(1);
    getspec_head->addWidget(help);
    auto* getspec_column = new QVBoxLayout;
    getspec_column->addLayout(getspec_head);
    getspec_column->addWidget(getspec_, 1);
    lists->addLayout(getspec_column, 0, 2, 3, 1);
    lists->setColumnStretch(1, 1);
    lists->setColumnStretch(2, 3);
    lists->setRowStretch(2, 1);

    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(cells);
    layout->addLayout(lists, 1);
    return panel;
}

QGroupBox* Tfmainmenu::build_positions_panel() {
    auto* panel = new QGroupBox(QStringLiteral("Equivalent positions"), this);
    panel->setObjectName(QStringLiteral("positions_panel"));
    auto* all = make_button(QStringLiteral("&Select All"), QStringLiteral("Select All"), panel);
    auto* none =
        make_button(QStringLiteral("&Unselect All"), QStringLiteral("Unselect All"), panel);
    connect(all, &QPushButton::clicked, this, &Tfmainmenu::select_all);
    connect(none, &QPushButton::clicked, this, &Tfmainmenu::unselect_all);
    space_group_label_ = heading(QStringLiteral("No space group defined"), panel);
    space_group_label_->setObjectName(QStringLiteral("space_group_label"));
    position_count_ = new QLabel(QStringLiteral("NB of positions:"), panel);
    position_count_->setObjectName(QStringLiteral("position_count"));
    position_count_->hide();

    positions_ = new QTableWidget(kPositionsGridRows, 5, panel);
    positions_->setObjectName(QStringLiteral("StringGrid1"));
    positions_->setHorizontalHeaderLabels({QStringLiteral("Nb"), QStringLiteral("a"),
                                           QStringLiteral("b"), QStringLiteral("c"),
                                           QStringLiteral("Selected")});
    positions_->verticalHeader()->hide();
    positions_->verticalHeader()->setDefaultSectionSize(positions_->fontMetrics().height() + 6);
    positions_->setItemDelegate(new UpperCaseDelegate(positions_));
    positions_->setColumnWidth(0, compact_ ? 26 : 34);
    for (int c = 1; c <= 3; ++c)
        positions_->setColumnWidth(c, compact_ ? 56 : 74);
    positions_->horizontalHeader()->setStretchLastSection(true);
    positions_->setToolTip(
        QStringLiteral("Click in \"Selected\" to use a position; operators can be typed"));
    clear_positions();
    connect(positions_, &QTableWidget::cellClicked, this, &Tfmainmenu::position_cell_clicked);
    connect(positions_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() < 1 || item->column() > 3) return;
        doc_.regeneration_needed = true;
        paint_position_row(item->row());
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(buttons);
    layout->addWidget(space_group_label_);
    layout->addWidget(position_count_);
    layout->addWidget(positions_, 1);
    return panel;
}

QGroupBox* Tfmainmenu::build_asym_panel() {
    auto* panel = new QGroupBox(QStringLiteral("Asymetric unit contents"), this);
    panel->setObjectName(QStringLiteral("asym_panel"));

    auto* expression_box = new QGroupBox(panel);
    expression_box->setObjectName(QStringLiteral("selection_thermal_expression"));
    auto* expression_layout = new QHBoxLayout(expression_box);
    expression_layout->setContentsMargins(6, 2, 6, 2);
    expression_ = new QButtonGroup(this);
    const char* expressions[] = {"Uij", "Bij", "Betaij"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(expressions[i]), expression_box);
        b->setObjectName(QString::fromLatin1(expressions[i]));
        expression_->addButton(b, i);
        expression_layout->addWidget(b);
    }
    expression_->button(0)->setChecked(true);
    connect(expression_, &QButtonGroup::idClicked, this, &Tfmainmenu::selection_thermal_expression);

    auto* iso_box = new QGroupBox(panel);
    iso_box->setObjectName(QStringLiteral("Iso_aniso"));
    auto* iso_layout = new QHBoxLayout(iso_box);
    iso_layout->setContentsMargins(6, 2, 6, 2);
    iso_aniso_ = new QButtonGroup(this);
    const char* iso_names[] = {"Aniso", "Iso"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(iso_names[i]), iso_box);
        b->setObjectName(QString::fromLatin1(iso_names[i]));
        iso_aniso_->addButton(b, i);
        iso_layout->addWidget(b);
    }
    iso_aniso_->button(0)->setChecked(true);
    connect(iso_aniso_, &QButtonGroup::idClicked, this, &Tfmainmenu::Iso_aniso);

    auto* e = make_button(QStringLiteral("&E"), QStringLiteral("E"), panel,
                          QStringLiteral("Delete Elements"));
    auto* a = make_button(QStringLiteral("&A"), QStringLiteral("A"), panel,
                          QStringLiteral("Delete Atoms"));
    auto* b = make_button(QStringLiteral("&B"), QStringLiteral("B"), panel,
                          QStringLiteral("Delete atoms by Bloc"));
    for (QPushButton* small : {e, a, b})
        small->setFixedWidth(small->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
    auto* restore =
        make_button(QStringLiteral("&Restore the initial Data"), QStringLiteral("restaure"), panel,
                    QStringLiteral("Restore the initial Data"));
    auto* erase =
        make_button(QStringLiteral("Erase all the coordi&nates"), QStringLiteral("erase_tout"),
                    panel, QStringLiteral("Erase all the coordinates"));
    auto* bonds = make_button(QStringLiteral("Edit/Modify bonds &length limits"),
                              QStringLiteral("modif_liaisons"), panel);
    auto* save =
        make_button(QStringLiteral("Sa&ve Data"), QStringLiteral("sauvegarde_data"), panel);
    auto* help = make_button(QStringLiteral("Da&ta Help "), QStringLiteral("help_data"), panel);
    coord_ = make_button(QStringLiteral("&Coord."), QStringLiteral("Calcul_varnel"), panel,
                         QStringLiteral("Coordination calculation"));
    coord_->setEnabled(false);
    typed_ok_ = make_button(QStringLiteral("&OK"), QStringLiteral("litdonneesclavier"), panel,
                            QStringLiteral("Take the typed data"));
    typed_ok_->hide();
    connect(e, &QPushButton::clicked, this, &Tfmainmenu::effaace_element);
    connect(a, &QPushButton::clicked, this, &Tfmainmenu::efface_atome);
    connect(b, &QPushButton::clicked, this, &Tfmainmenu::efface_bloc);
    connect(restore, &QPushButton::clicked, this, &Tfmainmenu::restaure);
    connect(erase, &QPushButton::clicked, this, &Tfmainmenu::erase_tout);
    connect(bonds, &QPushButton::clicked, this, &Tfmainmenu::modif_liaisons);
    connect(save, &QPushButton::clicked, this, &Tfmainmenu::sauvegarde_data);
    connect(help, &QPushButton::clicked, this, &Tfmainmenu::help_data);
    connect(coord_, &QPushButton::clicked, this, &Tfmainmenu::Calcul_varnel);
    connect(typed_ok_, &QPushButton::clicked, this, &Tfmainmenu::litdonneesclavier);

    asym_ = new QTableWidget(0, kAsymColumns, panel);
    asym_->setObjectName(QStringLiteral("StringGrid2"));
    asym_->verticalHeader()->hide();
    asym_->verticalHeader()->setDefaultSectionSize(asym_->fontMetrics().height() + 6);
    asym_->setColumnWidth(kColumnNumber, 36);
    for (int c = 1; c < kAsymColumns; ++c)
        asym_->setColumnWidth(c, c <= kColumnLabel ? 52 : 72);
    // The normal arrangement has room for every column.
    if (!compact_) asym_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    asym_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    asym_->setToolTip(QStringLiteral("Clear \"Elem.\" and leave the row to delete an atom"));
    connect(asym_, &QTableWidget::currentCellChanged, this, &Tfmainmenu::asym_cell_changed);
    connect(asym_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem*) {
        if (filling_) return;
        asym_edited_ = true;
        doc_.regeneration_needed = true;
    });
    grid_error_ = new QLabel(panel);
    grid_error_->setObjectName(QStringLiteral("grid_error"));
    grid_error_->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));
    grid_error_->hide();

    // One row of controls, or three in the compact arrangement.
    auto* top = new QHBoxLayout;
    auto* middle = compact_ ? new QHBoxLayout : top;
    auto* second = new QHBoxLayout;
    top->addWidget(expression_box);
    top->addWidget(iso_box);
    top->addWidget(e);
    top->addWidget(a);
    top->addWidget(b);
    middle->addWidget(restore);
    middle->addWidget(erase);
    top->addStretch(1);
    if (middle != top) middle->addStretch(1);
    second->addWidget(bonds);
    second->addWidget(save);
    second->addWidget(help);
    second->addWidget(coord_);
    second->addStretch(1);
    second->addWidget(typed_ok_);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    if (middle != top) layout->addLayout(middle);
    layout->addLayout(second);
    layout->addWidget(asym_, 1);
    layout->addWidget(grid_error_);
    show_asym_headings();
    show_asym(empty_asym_grid());
    return panel;
}

QGroupBox* Tfmainmenu::build_generation_panel() {
    auto* panel = new QGroupBox(QStringLiteral("Generation"), this);
    panel->setObjectName(QStringLiteral("generation_panel"));
    options_ = new QListWidget(panel);
    options_->setObjectName(QStringLiteral("generation_options"));
    for (const char* text : {"No option", "Box of enclosure", "Sphere of enclosure",
                             "Fragments search", "Cell contents"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(text), options_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    options_->setMaximumHeight(options_->sizeHintForRow(0) * 5 + 8);
    connect(options_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        check_generation_option(options_->row(item), item->checkState() == Qt::Checked);
    });
    auto* help =
        make_button(QStringLiteral("&GenerationHelp "), QStringLiteral("generation_help"), panel);
    connect(help, &QPushButton::clicked, this, &Tfmainmenu::generation_help);
    generated_list_ = make_button(QStringLiteral("D&isplay the list of generated atoms"),
                                  QStringLiteral("affiche_child"), panel);
    generated_list_->setEnabled(false);
    connect(generated_list_, &QPushButton::clicked, this, &Tfmainmenu::affiche_child);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(options_);
    layout->addWidget(help);
    layout->addWidget(generated_list_);
    layout->addStretch(1);
    return panel;
}

void Tfmainmenu::build_panels() {
    cell_panel_ = build_cell_panel();
    positions_panel_ = build_positions_panel();
    asym_panel_ = build_asym_panel();
    generation_panel_ = build_generation_panel();
    plot_ = make_button(QStringLiteral("Plot"), QStringLiteral("Plot"), this,
                        QStringLiteral("Generate the atoms and draw them (F5)"));
    QFont f = plot_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    plot_->setFont(f);
    plot_->setMinimumHeight(plot_->sizeHint().height() + 12);
    connect(plot_, &QPushButton::clicked, this, &Tfmainmenu::trace_ortep);
    arrange_panels();
}

void Tfmainmenu::arrange_panels() {
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    auto* side = new QVBoxLayout;
    side->addWidget(generation_panel_, compact_ ? 0 : 1);
    side->addWidget(plot_);
    if (compact_) {
        // 800 x 595: the cell above the atoms on the left, the positions
        // above the generation choices on the right.
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(4);
        auto* right = new QVBoxLayout;
        right->addWidget(positions_panel_, 1);
        right->addLayout(side);
        grid->addWidget(cell_panel_, 0, 0);
        grid->addWidget(asym_panel_, 1, 0);
        grid->addLayout(right, 0, 1, 2, 1);
        grid->setColumnStretch(0, 3);
        grid->setColumnStretch(1, 2);
    } else {
        grid->addWidget(cell_panel_, 0, 0);
        grid->addWidget(positions_panel_, 0, 1);
        grid->addLayout(side, 0, 2);
        grid->addWidget(asym_panel_, 1, 0, 1, 3);
        grid->setColumnStretch(0, 5);
        grid->setColumnStretch(1, 4);
        grid->setColumnStretch(2, 2);
    }
    grid->setRowStretch(0, 4);
    grid->setRowStretch(1, 5);
    setCentralWidget(central);
}

void Tfmainmenu::create_dialogs() {
    // In the order the program makes its windows; those of the drawing,
    // output and analysis windows belong to their own windows.
    effaceE_ = new TfeffaceE(doc_, paths_, messages_, this);
    typliai_ = new Tftypliai(doc_, messages_, this);
    boite_ = new Tfboite(doc_, messages_, this);
    effaceA_ = new TfeffaceA(doc_, messages_, this);
    effaceB_ = new TfeffaceB(doc_, messages_, this);
    sphere_ = new Tfsphere(doc_, messages_, this);
    about_ = new Tfabout(this);
    dessin_ = new Tfdessin(doc_, drawing_, messages_, paths_.work_dir, compact_, this);
    connect(dessin_, &Tfdessin::help_requested, this, &Tfmainmenu::show_help);
    formula_ = new Tfformula(doc_, paths_.data_dir, messages_, this);
    quel_bloc_ = new Tfquel_bloc(messages_, this);
    QStringList notice;
    for (const char* line : kCifNeedsSymbolLines)
        notice << QString::fromLatin1(line);
    get_sp_ = new Tfget_sp(notice, this);

    connect(effaceA_, &TfeffaceA::atoms_deleted, this, &Tfmainmenu::refill_asym);
    connect(effaceB_, &TfeffaceB::atoms_deleted, this, &Tfmainmenu::refill_asym);
    connect(effaceE_, &TfeffaceE::elements_deleted, this, &Tfmainmenu::refill_asym);
    for (EnclosureDialogBase* d :
         {static_cast<EnclosureDialogBase*>(boite_), static_cast<EnclosureDialogBase*>(sphere_)})
        connect(d, &EnclosureDialogBase::option_cleared, this,
                [this] { show_generation_option(GenerationMode::None); });
}

}  // namespace veldor
