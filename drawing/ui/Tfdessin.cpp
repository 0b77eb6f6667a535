#include "drawing/ui/Tfdessin.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "core/elements.h"
#include "core/text.h"
#include "drawing/atom_edits.h"
#include "drawing/bond_edits.h"
#include "drawing/colours.h"
#include "drawing/labels.h"
#include "drawing/scene.h"
#include "drawing/ui/Tfchange_style_liai.h"
#include "drawing/ui/Tfcustomize.h"
#include "drawing/ui/Tflimat.h"
#include "drawing/ui/Tfmask_element.h"
#include "drawing/ui/label_panels.h"
#include "drawing/ui/picture_widget.h"
#include "drawing/ui/qpainter_canvas.h"
#include "formats/save_target.h"
#include "formats/vld.h"
#include "widgets/colour_grid.h"
#include "widgets/tool_icons.h"

namespace veldor {

namespace {

constexpr int kOrientationPictureSize = 96;
constexpr int kCompactOrientationPictureSize = 64;
constexpr int kCompactPanelWidth = 218;
constexpr int kScaleMin = -4;
constexpr int kScaleMax = 10;
constexpr int kPerspectiveMax = 10;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

Colour from_qcolor(const QColor& c) {
    return rgb(c.red(), c.green(), c.blue());
}

// The check boxes of the option panel: object name, caption, compact caption.
struct OptionBox {
    const char* name;
    const char* caption;
    const char* compact;
};
constexpr OptionBox kOptionBoxes[] = {
    {"planes", "Draw the planes", "Planes"},
    {"planes_axes", "Draw planes and axes", "Planes and axes"},
    {"cell", "Draw the cell", "Cell"},
    {"labels_centre", "Labels in centre", "Labels in centre"},
    {"labels_off_centre", "Labels off centre", "Labels off centre"},
    {"gradation", "Color gradation", "Gradation"},
    {"black_white", "Black and White", "Black and White"},
    {"customize_bonds", "Customize  bonds", "Customize  bonds"},
    {"bond_labels", "Bond Labels", "Bond Labels"},
};

QGroupBox* radio_pair(QWidget* parent, const QString& title, const QString& a, const QString& b,
                      QButtonGroup*& group, const QString& name) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 2);
    group = new QButtonGroup(box);
    auto* first = new QRadioButton(a, box);
    auto* second = new QRadioButton(b, box);
    group->addButton(first, 0);
    group->addButton(second, 1);
    first->setChecked(true);
    layout->addWidget(first);
    layout->addWidget(second);
    return box;
}

QLineEdit* read_only_box(QWidget* parent, const QString& name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMaximumWidth(width);
    return e;
}

}  // namespace

Tfdessin::Tfdessin(StructureDocument& doc, DrawingState& state, Messages& messages,
                   std::string work_dir, bool compact, QWidget* parent)
    : QWidget(parent, Qt::Window),
      doc_(doc),
      state_(state),
      messages_(messages),
      work_dir_(std::move(work_dir)),
      compact_(compact),
      picture_size_(compact ? kCompactPictureSize : kPictureSize),
      session_(doc, state, messages) {
    setObjectName(QStringLiteral("Tfdessin"));
    setWindowTitle(QStringLiteral("Veldor: drawing"));
    session_.set_environment(environment());
    still_timer_ = new QTimer(this);
    still_timer_->setSingleShot(true);
    connect(still_timer_, &QTimer::timeout, this, &Tfdessin::show_owed_still_picture);

    auto* bar = new QMenuBar(this);
    build_menus(bar);

    auto* top = new QToolBar(this);
    top->setObjectName(QStringLiteral("top_tool_bar"));
    top->setIconSize(compact_ ? QSize(18, 18) : QSize(24, 24));
    for (const char* name : {"sauve_fichier_vld", "modif_orientation", "best_view",
                             "set_direction_projection", "matrice_sur_3atomes"})
        top->addAction(action(QString::fromLatin1(name)));
    centre_button_ = new QToolButton(top);
    centre_button_->setObjectName(QStringLiteral("centre_button"));
    centre_button_->setIcon(tool_icon(ToolGlyph::CentreAtom));
    centre_button_->setToolTip(QStringLiteral("Choose the centre atom"));
    centre_button_->setCheckable(true);
    centre_button_->setChecked(true);
    connect(centre_button_, &QToolButton::toggled, this, [this](bool down) {
        if (updating_controls_) return;
        if (!down)
            selecte_centre();
        else if (session_.active() == Tool::CentreAtom)
            end_picking();
    });
    top->addWidget(centre_button_);
    for (const char* name : {"set_zoom", "reset_zoom", "reset_child", "aide"})
        top->addAction(action(QString::fromLatin1(name)));

    auto* side = new QToolBar(this);
    side->setObjectName(QStringLiteral("side_tool_bar"));
    side->setOrientation(Qt::Vertical);
    side->setIconSize(compact_ ? QSize(20, 20) : QSize(24, 24));
    for (const char* name : {"pique_distance", "pique_angle", "set_coordinance", "tue_liaison",
                             "tue_atome", "select_atom_rect", "masque_fragment", "tue_liaisons",
                             "masque_elements", "set_translations", "centroid", "set_mean_plane"})
        side->addAction(action(QString::fromLatin1(name)));

    auto* middle = new QHBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(build_picture_column(), 0, Qt::AlignTop);
    middle->addWidget(side, 0, Qt::AlignTop);
    if (compact_) {
        auto* tabs = new QTabWidget(this);
        tabs->setObjectName(QStringLiteral("option_tabs"));
        tabs->addTab(build_view_panel(), QStringLiteral("&View"));
        tabs->addTab(build_option_panel(), QStringLiteral("&Options"));
        tabs->addTab(lower_panel_, QStringLiteral("&Colours"));
        tabs_ = tabs;
        tabs->setMaximumWidth(kCompactPanelWidth);
        middle->addWidget(tabs, 1);
    } else {
        middle->addWidget(build_view_panel(), 0, Qt::AlignTop);
        middle->addWidget(build_option_panel(), 1, Qt::AlignTop);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->setMenuBar(bar);
    // The compact layout keeps the picture's height: the top bar goes
    // beside the menus.
    if (compact_)
        bar->setCornerWidget(top, Qt::TopRightCorner);
    else
        layout->addWidget(top);
    layout->addLayout(middle, 1);

    limat_ = new Tflimat(state_.view, doc_.metric, messages_, this);
    connect(limat_, &Tflimat::help_requested, this, &Tfdessin::help_requested);
    connect(limat_, &Tflimat::orientation_changed, this, &Tfdessin::after_orientation_change);
    mask_element_ = new Tfmask_element(doc_, this);
    // The drawing is set up again when the dialog has masked the elements.
    connect(mask_element_, &QDialog::accepted, this, &Tfdessin::set_up_again);
    customize_ = new Tfcustomize(doc_, state_.dummy, messages_, this);
    connect(customize_, &Tfcustomize::style_applied, this, &Tfdessin::set_up_again);
    style_liai_ = new Tfchange_style_liai(doc_, state_.bond_style, this);
    connect(style_liai_, &Tfchange_style_liai::style_chosen, this,
            [this](bool ok) { handle(session_.bond_style_chosen(ok)); });
    controls_from_state();
    show_tool_state();
}

QAction* Tfdessin::make_action(const QString& text, const QString& name, const QString& hint,
                               void (Tfdessin::*slot)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!hint.isEmpty()) a->setToolTip(hint);
    connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return a;
}

QAction* Tfdessin::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QCheckBox* Tfdessin::option_box(const QString& name) const {
    return findChild<QCheckBox*>(name);
}

void Tfdessin::build_menus(QMenuBar* bar) {
    auto add = [this](QMenu* menu, const char* text, const char* name, const char* hint,
                      void (Tfdessin::*slot)(), ToolGlyph glyph, bool with_icon = true) {
        QAction* a = make_action(QString::fromUtf8(text), QString::fromLatin1(name),
                                 QString::fromUtf8(hint), slot);
        if (with_icon) a->setIcon(tool_icon(glyph));
        menu->addAction(a);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    add(file, "&Save the drawing (Veldor file)", "sauve_fichier_vld", "Save the drawing",
        &Tfdessin::save_drawing, ToolGlyph::Save);
    file->addSeparator();
    // Output commands: connected and enabled by the program when their
    // writers are there.
    struct Output {
        const char* text;
        const char* name;
        void (Tfdessin::*slot)();
    };
    for (const Output& o : {Output{"Export a &Povray file", "make_povray", &Tfdessin::make_povray},
                            Output{"&Launch POVRAY", "povray", &Tfdessin::povray},
                            Output{"P&rint...", "imprime", &Tfdessin::imprime}})
        add(file, o.text, o.name, "", o.slot, ToolGlyph::Save, false)->setEnabled(false);
    QMenu* images = file->addMenu(QStringLiteral("Export image to a file"));
    for (const Output& o : {Output{"&Bitmap format (*.bmp)", "sauve_bmp", &Tfdessin::sauve_bmp},
                            Output{"&JPEG format (*.jpg)", "sauve_jpeg", &Tfdessin::sauve_jpeg},
                            Output{"Windows &MetaFile (*.emf)", "sauve_emf", &Tfdessin::sauve_emf}})
        add(images, o.text, o.name, "", o.slot, ToolGlyph::Save, false)->setEnabled(false);
    file->addSeparator();
    add(file, "R&eturn", "Retour", "", &Tfdessin::Retour, ToolGlyph::Save, false);

    QMenu* measure = bar->addMenu(QStringLiteral("&Measure"));
    add(measure, "&A distance", "pique_distance", "Dispay a bond length", &Tfdessin::pique_distance,
        ToolGlyph::Distance);
    add(measure, "&Angle of 3 atoms", "pique_angle", "diplay angle of three atoms",
        &Tfdessin::pique_angle, ToolGlyph::Angle);
    // The analysis windows open from these once the program connects them.
    add(measure, "Angles && Distances around an atom", "set_coordinance",
        "Angles & Distances around an atom", &Tfdessin::set_coordinance, ToolGlyph::Coordination)
        ->setEnabled(false);
    add(measure, "&Mean plane", "set_mean_plane", "Mean Plane determination",
        &Tfdessin::set_mean_plane, ToolGlyph::MeanPlane)
        ->setEnabled(false);
    measure->addSeparator();
    add(measure, "&Display distances", "affiche_distances", "", &Tfdessin::affiche_distances,
        ToolGlyph::Distance, false)
        ->setEnabled(false);

    QMenu* mask = bar->addMenu(QStringLiteral("M&ask"));
    add(mask, "&Atom", "tue_atome", "Mask atoms", &Tfdessin::tue_atome, ToolGlyph::MaskAtom);
    add(mask, "&Fragments", "masque_fragment", "Mask fragment", &Tfdessin::masque_fragment,
        ToolGlyph::MaskFragment);
    add(mask, "&Elements", "masque_elements", "Mask elements", &Tfdessin::masque_elements,
        ToolGlyph::MaskElements);
    add(mask, "Atoms in a &rectangle", "select_atom_rect", "Mask atoms in a rectangle",
        &Tfdessin::select_atom_rect, ToolGlyph::MaskRectangle);
    add(mask, "&Bonds in a rectangle", "tue_liaisons", "Mask bonds in a rectangle",
        &Tfdessin::tue_liaisons, ToolGlyph::MaskBonds);
    add(mask, "Mask/A&dd a bond", "tue_liaison", "Delete/Add bond", &Tfdessin::tue_liaison,
        ToolGlyph::BondToggle);

    QMenu* view = bar->addMenu(QStringLiteral("&Orientation"));
    add(view, "&Orientation of the structure...", "modif_orientation",
        "Define the orientation of the structure", &Tfdessin::modif_orientation,
        ToolGlyph::Orientation);
    add(view, "Set &direction of projection", "set_direction_projection",
        "Set direction of projection", &Tfdessin::set_direction_projection, ToolGlyph::Direction);
    add(view, "&Projection on a plane", "matrice_sur_3atomes", "Projection on a plane",
        &Tfdessin::matrice_sur_3atomes, ToolGlyph::Plane);
    add(view, "&Choose the central atom", "selecte_centre", "Choose the centre atom",
        &Tfdessin::selecte_centre, ToolGlyph::CentreAtom);
    add(view, "&Best view", "best_view", "Best view", &Tfdessin::best_view, ToolGlyph::BestView);
    view->addSeparator();
    add(view, "Zoop &in", "set_zoom", "Zoop in", &Tfdessin::set_zoom, ToolGlyph::ZoomIn);
    add(view, "Zoop &out", "reset_zoom", "Zoop out", &Tfdessin::reset_zoom, ToolGlyph::ZoomOut);
    add(view, "&Reset", "reset_child", "Reset coordinates or masked atoms", &Tfdessin::reset_child,
        ToolGlyph::Reset);

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    add(tools, "Set &translation", "set_translations", "Set translation",
        &Tfdessin::set_translations, ToolGlyph::Translation);
    add(tools, "&Ring", "centroid", "Set the ring middle", &Tfdessin::centroid, ToolGlyph::Ring);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, "&Help", "aide", "Help", &Tfdessin::aide, ToolGlyph::Help);
}

QWidget* Tfdessin::build_picture_column() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    prompt_ = new QLabel(column);
    prompt_->setObjectName(QStringLiteral("prompt_bar"));
    prompt_->setAutoFillBackground(true);
    prompt_->setMargin(3);
    prompt_->setFixedWidth(picture_size_);
    prompt_->setWordWrap(true);
    prompt_->setMinimumHeight(2 * prompt_->fontMetrics().height() + 6);
    QSizePolicy keep = prompt_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    prompt_->setSizePolicy(keep);
    layout->addWidget(prompt_);

    picture_ = new PictureWidget(column);
    picture_->set_picture(make_picture_image(picture_size_, picture_size_, devicePixelRatioF()));
    connect(picture_, &PictureWidget::pressed, this, &Tfdessin::mouse_down);
    connect(picture_, &PictureWidget::moved, this, &Tfdessin::mouse_move);
    connect(picture_, &PictureWidget::released, this, &Tfdessin::mouse_up);
    layout->addWidget(picture_);

    // The label box, at the lower left of the picture.
    label_box_ = new QFrame(picture_);
    label_box_->setObjectName(QStringLiteral("label_box"));
    label_box_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label_box_->setAutoFillBackground(true);
    auto* box_layout = new QHBoxLayout(label_box_);
    box_layout->setContentsMargins(3, 3, 3, 3);
    auto* caption = read_only_box(label_box_, QStringLiteral("label_caption"), 110);
    caption->setText(QStringLiteral("Type the Label :"));
    label_text_ = new QLineEdit(label_box_);
    label_text_->setObjectName(QStringLiteral("label_text"));
    label_text_->setToolTip(QStringLiteral("Label to be write beside the atom"));
    label_text_->setMaxLength(static_cast<int>(kDrawnLabelLength));
    label_text_->setStyleSheet(QStringLiteral("QLineEdit { background: #ffff00; }"));
    label_text_->setMinimumWidth(150);
    connect(label_text_, &QLineEdit::textChanged, this,
            [this](const QString& t) { session_.set_label_box_text(t.toStdString()); });
    box_layout->addWidget(caption);
    box_layout->addWidget(label_text_);
    label_box_->adjustSize();
    label_box_->move(4, picture_size_ - label_box_->height() - 4);
    label_box_->hide();

    // The moved-label tool's explanation, over the top of the picture; the
    // clicks go through it to the picture.
    explanation_ = new QLabel(QString::fromUtf8(kMoveLabelExplanation[0]) + QLatin1Char('\n') +
                                  QString::fromUtf8(kMoveLabelExplanation[1]),
                              picture_);
    explanation_->setObjectName(QStringLiteral("label_explanation"));
    explanation_->setWordWrap(true);
    explanation_->setMargin(4);
    explanation_->setAttribute(Qt::WA_TransparentForMouseEvents);
    explanation_->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(255, 255, 224, 230); color: black; "
                       "border: 1px solid #c8c8a0; }"));
    explanation_->setFixedWidth(picture_size_ - 8);
    explanation_->adjustSize();
    explanation_->move(4, 4);
    explanation_->hide();

    // The lattice-translation panel, over the upper left of the picture.
    translation_panel_ = new QFrame(picture_);
    translation_panel_->setObjectName(QStringLiteral("translation_panel"));
    translation_panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    translation_panel_->setAutoFillBackground(true);
    auto* t_layout = new QGridLayout(translation_panel_);
    t_layout->addWidget(
        new QLabel(QStringLiteral("Lattice translation vector :"), translation_panel_), 0, 0, 1, 3);
    t_layout->addWidget(new QLabel(QStringLiteral("(3 integers)"), translation_panel_), 1, 0, 1, 3);
    for (int k = 0; k < 3; ++k) {
        translation_boxes_[k] = new QLineEdit(QStringLiteral("0"), translation_panel_);
        translation_boxes_[k]->setObjectName(QStringLiteral("translation_%1").arg(k));
        translation_boxes_[k]->setMaximumWidth(44);
        connect(translation_boxes_[k], &QLineEdit::returnPressed, this, &Tfdessin::ok_translation);
        t_layout->addWidget(translation_boxes_[k], 2, k);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), translation_panel_);
    ok->setObjectName(QStringLiteral("ok_translation"));
    connect(ok, &QPushButton::clicked, this, &Tfdessin::ok_translation);
    t_layout->addWidget(ok, 3, 0, 1, 3);
    translation_panel_->adjustSize();
    translation_panel_->move(4, 4);
    translation_panel_->hide();
    return column;
}

QWidget* Tfdessin::build_view_panel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* mouse_box = new QGroupBox(QStringLiteral("Mouse movement (left button down)"), panel);
    if (compact_) {
        QFont f = mouse_box->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        mouse_box->setFont(f);
    }
    auto* mouse_layout = new QVBoxLayout(mouse_box);
    mouse_layout->setContentsMargins(6, 2, 6, 2);
    mouse_group_ = new QButtonGroup(this);
    mouse_group_->setExclusive(false);  // no choice shown while zooming
    const char* modes[] = {"Rotation XY", "Rotation Z", "Translation"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(modes[i]), mouse_box);
        mouse_group_->addButton(b, i);
        mouse_layout->addWidget(b);
    }
    connect(mouse_group_, &QButtonGroup::idClicked, this, &Tfdessin::set_mode_rotation);
    layout->addWidget(mouse_box);

    auto* scale_group = new QGroupBox(QStringLiteral("Scale"), panel);
    auto* scale_layout = new QHBoxLayout(scale_group);
    scale_layout->setContentsMargins(6, 2, 6, 2);
    scale_bar_ = new QSlider(Qt::Horizontal, scale_group);
    scale_bar_->setObjectName(QStringLiteral("scale_bar"));
    scale_bar_->setRange(kScaleMin, kScaleMax);
    scale_bar_->setPageStep(1);
    scale_box_ = read_only_box(scale_group, QStringLiteral("Edit13"), 64);
    scale_box_->setText(QString::fromLatin1(kZoomResetText));
    scale_layout->addWidget(scale_bar_);
    scale_layout->addWidget(scale_box_);
    connect(scale_bar_, &QSlider::valueChanged, this, [this](int p) {
        if (!updating_controls_) change_echelle(p);
    });
    connect(scale_bar_, &QSlider::sliderReleased, this, &Tfdessin::show_owed_still_picture);
    layout->addWidget(scale_group);

    auto* probability_label = new QLabel(QStringLiteral("&Probability (%)"), panel);
    layout->addWidget(probability_label);
    probability_ = new QListWidget(panel);
    probability_->setObjectName(QStringLiteral("probability"));
    probability_label->setBuddy(probability_);
    for (int p = 10; p <= 100; p += 10)
        probability_->addItem(QString::number(p));
    probability_->setMaximumHeight(compact_ ? 80 : 110);
    connect(probability_, &QListWidget::currentRowChanged, this, [this] {
        if (!updating_controls_) redessine();
    });
    layout->addWidget(probability_);

    thermal_box_ = radio_pair(panel, QStringLiteral("Thermal parameters"), QStringLiteral("Aniso"),
                              QStringLiteral("Iso"), thermal_group_, QStringLiteral("thermal"));
    connect(thermal_group_, &QButtonGroup::idClicked, this, [this] {
        if (!updating_controls_) redessine();
    });
    layout->addWidget(thermal_box_);

    auto* direction_box = new QGroupBox(QStringLiteral("Direction of projection"), panel);
    auto* direction_layout = new QHBoxLayout(direction_box);
    direction_layout->setContentsMargins(6, 2, 6, 2);
    auto* boxes = new QVBoxLayout;
    const char* axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromLatin1(axes[i]), direction_box));
        direction_[i] =
            read_only_box(direction_box, QStringLiteral("direction_%1").arg(i), compact_ ? 70 : 90);
        row->addWidget(direction_[i]);
        boxes->addLayout(row);
    }
    direction_layout->addLayout(boxes);
    orientation_picture_ = new QLabel(direction_box);
    orientation_picture_->setFixedSize(orientation_size(), orientation_size());
    direction_layout->addWidget(orientation_picture_);
    layout->addWidget(direction_box);

    auto* buttons = new QGridLayout;
    auto* bview = new QPushButton(QStringLiteral("B.View"), panel);
    bview->setObjectName(QStringLiteral("bview_button"));
    bview->setToolTip(QStringLiteral("Best view"));
    auto* help = new QPushButton(QStringLiteral("&Help"), panel);
    help->setObjectName(QStringLiteral("help_button"));
    auto* reset = new QPushButton(QStringLiteral("&Reset"), panel);
    reset->setObjectName(QStringLiteral("reset_button"));
    reset->setToolTip(QStringLiteral("Reset coordinates or masked atoms"));
    auto* ret = new QPushButton(QStringLiteral("R&eturn"), panel);
    ret->setObjectName(QStringLiteral("return_button"));
    connect(bview, &QPushButton::clicked, this, &Tfdessin::best_view);
    connect(help, &QPushButton::clicked, this, &Tfdessin::aide);
    connect(reset, &QPushButton::clicked, this, &Tfdessin::reset_child);
    connect(ret, &QPushButton::clicked, this, &Tfdessin::Retour);
    buttons->addWidget(bview, 0, 0);
    buttons->addWidget(reset, 0, 1);
    buttons->addWidget(help, 1, 0);
    buttons->addWidget(ret, 1, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    return panel;
}

QWidget* Tfdessin::build_option_panel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* options = new QGroupBox(QStringLiteral("Options"), panel);
    auto* options_layout = new QGridLayout(options);
    options_layout->setContentsMargins(6, 2, 6, 2);
    options_layout->setVerticalSpacing(1);
    int k = 0;
    for (const OptionBox& o : kOptionBoxes) {
        auto* box = new QCheckBox(QString::fromLatin1(compact_ ? o.compact : o.caption), options);
        box->setObjectName(QString::fromLatin1(o.name));
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            if (!updating_controls_) option_toggled(box, on);
        });
        options_layout->addWidget(box, k, 0);
        ++k;
    }
    layout->addWidget(options);

    layout->addWidget(radio_pair(
        panel,
        compact_ ? QStringLiteral("Double/triple bond") : QStringLiteral("Draw Double/triple bond"),
        QStringLiteral("No"), QStringLiteral("Yes"), double_group_,
        QStringLiteral("double_triple")));
    connect(double_group_, &QButtonGroup::idClicked, this, [this] {
        if (!updating_controls_) redessine();
    });

    auto slider_row = [&](const QString& title, QSlider*& bar, QLineEdit*& box, int lo, int hi,
                          const QString& name) {
        auto* group = new QGroupBox(title, panel);
        group->setObjectName(name);
        auto* row = new QHBoxLayout(group);
        row->setContentsMargins(6, 2, 6, 2);
        bar = new QSlider(Qt::Horizontal, group);
        bar->setObjectName(name + QStringLiteral("_bar"));
        bar->setRange(lo, hi);
        bar->setPageStep(1);
        box = read_only_box(group, name + QStringLiteral("_box"), 60);
        row->addWidget(bar);
        row->addWidget(box);
        layout->addWidget(group);
    };
    slider_row(QStringLiteral("Bond width"), bond_width_bar_, bond_width_box_, kBondWidthMin,
               kBondWidthMax, QStringLiteral("bond_width"));
    slider_row(compact_ ? QStringLiteral("B. perspectivee") : QStringLiteral("Bond perspective"),
               perspective_bar_, perspective_box_, 0, kPerspectiveMax,
               QStringLiteral("bond_perspective"));
    connect(bond_width_bar_, &QSlider::valueChanged, this, [this](int w) {
        if (!updating_controls_) change_bond_width(w);
    });
    connect(perspective_bar_, &QSlider::valueChanged, this, [this](int p) {
        if (!updating_controls_) change_perspective(p);
    });

    // The colour grid, which the labelling panels cover while they are shown.
    lower_panel_ = new QStackedWidget(panel);
    colour_grid_ = new ColourGrid(lower_panel_);
    colour_grid_->setObjectName(QStringLiteral("colour_grid"));
    connect(colour_grid_, &ColourGrid::row_chosen, this, &Tfdessin::choose_colour);
    labelling_ = new LabellingPanel(lower_panel_);
    bond_labelling_ = new BondLabellingPanel(lower_panel_);
    lower_panel_->addWidget(colour_grid_);
    lower_panel_->addWidget(labelling_);
    lower_panel_->addWidget(bond_labelling_);
    lower_panel_->setMinimumHeight(compact_ ? 150 : 260);
    // The compact layout gives the colours and the labelling panels a tab of their own.
    if (!compact_) layout->addWidget(lower_panel_, 1);

    connect(labelling_->entries(), &CheckList::ticked_entry, this, &Tfdessin::labelling_entry);
    connect(labelling_, &LabellingPanel::help_requested, this, &Tfdessin::help_requested);
    connect(labelling_, &LabellingPanel::close_requested, this, [this] {
        if (session_.active() == Tool::LabelOffCentre || session_.active() == Tool::LabelInCentre ||
            session_.active() == Tool::DeleteLabel || session_.active() == Tool::DeleteLabelArea)
            session_.cancel();
        show_labelling_panel(false);
        show_tool_state();
        redraw();
    });
    connect(labelling_, &LabellingPanel::position_code_changed, this, [this] { redessine(); });
    connect(bond_labelling_->entries(), &CheckList::ticked_entry, this,
            &Tfdessin::bond_labelling_entry);
    connect(bond_labelling_, &BondLabellingPanel::close_requested, this, [this] {
        if (session_.active() == Tool::BondLabel) session_.cancel();
        show_bond_labelling_panel(false);
        show_tool_state();
        redraw();
    });
    connect(bond_labelling_, &BondLabellingPanel::string_setting_changed, this,
            [this](bool oblique) { state_.options.oblique_bond_labels = oblique; });
    return panel;
}

int Tfdessin::orientation_size() const {
    return compact_ ? kCompactOrientationPictureSize : kOrientationPictureSize;
}

DrawingEnvironment Tfdessin::environment() const {
    DrawingEnvironment env;
    env.width = picture_size_;
    env.height = picture_size_;
    env.work_dir = work_dir_;
    return env;
}

const QImage& Tfdessin::picture() const {
    return picture_->picture();
}

QStringList Tfdessin::projection_texts() const {
    return {direction_[0]->text(), direction_[1]->text(), direction_[2]->text()};
}

QString Tfdessin::scale_text() const {
    return scale_box_->text();
}

QString Tfdessin::prompt_text() const {
    return prompt_->isVisibleTo(this) ? prompt_->text() : QString();
}

QColor Tfdessin::prompt_colour() const {
    return prompt_->palette().color(QPalette::Window);
}

bool Tfdessin::label_box_shown() const {
    return label_box_->isVisibleTo(picture_);
}

// ------------------------------------------------------------ state and controls

void Tfdessin::controls_from_state() {
    updating_controls_ = true;
    const DrawingOptions& o = state_.options;
    const bool values[] = {o.draw_planes,       o.draw_planes_and_axes,
                           o.draw_cell,         o.labels_in_centre,
                           o.labels_off_centre, o.colour_gradation,
                           o.black_and_white,   session_.active() == Tool::CustomiseBond,
                           o.bond_labels};
    int k = 0;
    for (const OptionBox& b : kOptionBoxes)
        option_box(QString::fromLatin1(b.name))->setChecked(values[k++]);
    probability_->setCurrentRow(std::clamp(state_.view.probability_index, 1, 10) - 1);
    thermal_group_->button(o.iso_display ? 1 : 0)->setChecked(true);
    double_group_->button(o.double_triple_bonds ? 1 : 0)->setChecked(true);
    labelling_->set_position_code(o.add_position_code);
    bond_labelling_->set_oblique(o.oblique_bond_labels);
    // A structure made isotropic in the main window has no anisotropic display.
    thermal_box_->setVisible(!made_isotropic_ &&
                             (std::any_of(doc_.display.begin(), doc_.display.end(),
                                          [](const Atom& a) { return a.iso == 0; }) ||
                              doc_.display.empty()));
    const int mode = state_.view.mouse_mode;
    for (int i = 0; i < 3; ++i)
        mouse_group_->button(i)->setChecked(mode == i + 1);
    bond_width_bar_->setValue(std::clamp(doc_.bond_width, kBondWidthMin, kBondWidthMax));
    bond_width_box_->setText(qs(format_fixed(doc_.bond_width / 100.0, 5, 2)));
    perspective_bar_->setValue(std::clamp(
        static_cast<int>(std::nearbyint(state_.view.bond_perspective * 0.5)), 0, kPerspectiveMax));
    perspective_box_->setText(qs(format_fixed(state_.view.bond_perspective, 5, 2)));
    centre_button_->setChecked(session_.active() != Tool::CentreAtom);
    std::vector<std::pair<QString, QColor>> rows;
    for (const ColourRow& r : colour_grid_rows(doc_, state_))
        rows.emplace_back(qs(r.name), to_qcolor(r.colour));
    colour_grid_->set_rows(rows);
    if (!labelling_->isVisibleTo(this) && lower_panel_->currentWidget() == labelling_)
        lower_panel_->setCurrentWidget(colour_grid_);
    updating_controls_ = false;
}

void Tfdessin::show_tool_state() {
    const Prompt& p = session_.prompt();
    prompt_->setText(qs(p.text));
    QPalette pal = prompt_->palette();
    pal.setColor(QPalette::Window, to_qcolor(p.colour));
    pal.setColor(QPalette::WindowText, Qt::black);
    prompt_->setPalette(pal);
    prompt_->setVisible(p.visible);
    if (session_.label_box_visible()) {
        if (!label_box_->isVisibleTo(picture_)) {
            label_text_->setText(qs(session_.label_box_text()));
            label_box_->show();
            label_box_->raise();
            label_text_->setFocus();
            label_text_->selectAll();
        }
    } else {
        label_box_->hide();
    }
    if (session_.translation_panel_visible()) {
        if (!translation_panel_->isVisibleTo(picture_)) {
            for (QLineEdit* e : translation_boxes_)
                e->setText(QStringLiteral("0"));
            translation_panel_->show();
            translation_panel_->raise();
            translation_boxes_[0]->setFocus();
            translation_boxes_[0]->selectAll();
        }
    } else {
        translation_panel_->hide();
    }
    labelling_->show_moved_label_mode(session_.explanation_visible());
    explanation_->setVisible(session_.explanation_visible());
    // The label and bond-label entries stay ticked while their tool runs.
    if (session_.active() == Tool::None) {
        for (int e : {LabellingPanel::WriteOffCentre, LabellingPanel::WriteInCentre,
                      LabellingPanel::DeleteLabel, LabellingPanel::DeleteArea})
            labelling_->entries()->set_ticked(e, false);
        bond_labelling_->entries()->set_ticked(BondLabellingPanel::WriteBondLabel, false);
    }
    updating_controls_ = true;
    centre_button_->setChecked(session_.active() != Tool::CentreAtom);
    option_box(QStringLiteral("customize_bonds"))
        ->setChecked(session_.active() == Tool::CustomiseBond);
    const int mode = state_.view.mouse_mode;
    for (int i = 0; i < 3; ++i)
        mouse_group_->button(i)->setChecked(mode == i + 1);
    option_box(QStringLiteral("labels_centre"))->setChecked(state_.options.labels_in_centre);
    option_box(QStringLiteral("labels_off_centre"))->setChecked(state_.options.labels_off_centre);
    updating_controls_ = false;
}

void Tfdessin::initialise_fiche() {
    session_.set_environment(environment());
    {
        BusyScope busy(messages_);
        initialise_view(doc_, state_, environment(), messages_);
    }
    if (session_.waiting_for_clicks()) state_.view.mouse_mode = 0;
    doc_.regeneration_needed = false;
    // The atoms wear their element colours from the first picture on, as
    // after every redraw request.
    colour_atoms(doc_.display, doc_.element_sorts);
    controls_from_state();
    {
        const QSignalBlocker block(scale_bar_);
        scale_bar_->setValue(std::clamp(static_cast<int>(std::lround(5 * state_.view.zoom - 5)),
                                        kScaleMin, kScaleMax));
    }
    scale_box_->setText(QString::fromLatin1(kZoomResetText));
    show_tool_state();
    // A large structure shows at once in the quick picture; the still one
    // follows as soon as the first is on the screen.
    if (quick_picture_first(static_cast<int>(doc_.display.size())))
        show_quick_picture(0);
    else
        redraw();
    set_up_while_active_ = true;
}

void Tfdessin::set_up_again() {
    initialise_fiche();
}

void Tfdessin::redessine() {
    RedrawRequest request;
    request.options = state_.options;
    DrawingOptions& o = request.options;
    o.draw_planes = option_box(QStringLiteral("planes"))->isChecked();
    o.draw_planes_and_axes = option_box(QStringLiteral("planes_axes"))->isChecked();
    o.draw_cell = option_box(QStringLiteral("cell"))->isChecked();
    o.labels_in_centre = option_box(QStringLiteral("labels_centre"))->isChecked();
    o.labels_off_centre = option_box(QStringLiteral("labels_off_centre"))->isChecked();
    o.colour_gradation = option_box(QStringLiteral("gradation"))->isChecked();
    o.black_and_white = option_box(QStringLiteral("black_white"))->isChecked();
    o.bond_labels = option_box(QStringLiteral("bond_labels"))->isChecked();
    o.iso_display = thermal_group_->checkedId() == 1;
    o.double_triple_bonds = double_group_->checkedId() == 1;
    o.add_position_code = labelling_->position_code();
    o.oblique_bond_labels = bond_labelling_->oblique();
    request.bond_width_text = bond_width_box_->text().toStdString();
    request.bond_perspective_text = perspective_box_->text().toStdString();
    request.probability_index = probability_->currentRow() + 1;
    request.mouse_mode =
        session_.waiting_for_clicks() ? 0 : std::max(1, mouse_group_->checkedId() + 1);
    RedrawRequestResult result;
    {
        BusyScope busy(messages_);
        result = redraw_request(doc_, state_, request, environment(), messages_);
    }
    if (result == RedrawRequestResult::BondWidthUnreadable) {
        bond_width_box_->setFocus();
        return;
    }
    if (result == RedrawRequestResult::PerspectiveUnreadable) {
        perspective_box_->setFocus();
        return;
    }
    redraw();
}

void Tfdessin::redraw() {
    const double started = frame_log_.now();
    still_timer_->stop();
    still_owed_ = false;
    const PageGeometry page = screen_page(state_.view, environment());
    QImage image = still_picture(doc_, state_, page, devicePixelRatioF(), messages_, composed_);
    if (!marked_.empty()) {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        draw_atom_marks(doc_, state_.view, canvas, page, marked_);
    }
    picture_->set_picture(image);
    show_direction();
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setImage(image);
    frame_log_.picture("still", started, previous_);
}

void Tfdessin::show_quick_picture(int still_after_ms) {
    const double started = frame_log_.now();
    const QImage image = drag_picture(doc_, state_, screen_page(state_.view, environment()),
                                      devicePixelRatioF(), drag_frame_);
    if (image.isNull()) {
        redraw();  // too large to draw: the redraw says so
        return;
    }
    picture_->set_picture(image);
    show_direction();
    still_owed_ = true;
    still_timer_->start(still_after_ms);
    frame_log_.picture("drag", started, previous_);
}

void Tfdessin::show_owed_still_picture() {
    if (still_owed_) redraw();
}

void Tfdessin::show_direction() {
    const ProjectionDirection d = projection_direction(state_.view);
    for (int i = 0; i < 3; ++i)
        direction_[i]->setText(qs(trim(d.texts[i])));
    const int size = orientation_size();
    QImage small = make_picture_image(size, size, devicePixelRatioF());
    {
        QPainter painter(&small);
        QPainterCanvas canvas(painter);
        draw_orientation_picture(canvas, state_.view.view_matrix, size, size);
    }
    orientation_picture_->setPixmap(QPixmap::fromImage(small));
}

// ------------------------------------------------------------ tools

void Tfdessin::start_tool(Tool tool) {
    session_.set_environment(environment());
    handle(session_.start(tool));
}

void Tfdessin::handle(const ToolOutcome& out) {
    switch (out.request) {
        case ToolRequest::None:
            break;
        case ToolRequest::TranslationPanel:
            break;  // shown by show_tool_state
        case ToolRequest::BondStyleDialog:
            style_liai_->show();
            style_liai_->raise();
            break;
        case ToolRequest::DummyStyleDialog:
            customize_->open();
            break;
        case ToolRequest::CoordinationWindow:
            emit coordination_requested(out.atoms.front());
            break;
        case ToolRequest::MeanPlaneOpen:
            emit mean_plane_opened();
            break;
        case ToolRequest::MeanPlaneAtom:
            emit mean_plane_atom_picked(out.atoms.front());
            break;
        case ToolRequest::MeanPlaneDone:
            emit mean_plane_picked(QVector<int>(out.atoms.begin(), out.atoms.end()));
            break;
    }
    if (out.zoom_track) {
        const QSignalBlocker block(scale_bar_);
        scale_bar_->setValue(*out.zoom_track);
        scale_box_->setText(qs(out.zoom_text));
    }
    if (session_.active() != Tool::CustomiseBond && style_liai_->isVisible()) style_liai_->hide();
    show_tool_state();
    if (out.redraw) redraw();
}

void Tfdessin::pique_distance() {
    start_tool(Tool::Distance);
}
void Tfdessin::pique_angle() {
    start_tool(Tool::Angle);
}
void Tfdessin::set_coordinance() {
    start_tool(Tool::Coordination);
}
void Tfdessin::tue_liaison() {
    start_tool(Tool::BondAddDelete);
}
void Tfdessin::tue_atome() {
    start_tool(Tool::MaskAtoms);
}
void Tfdessin::select_atom_rect() {
    start_tool(Tool::MaskRectangle);
}
void Tfdessin::masque_fragment() {
    start_tool(Tool::MaskFragment);
}
void Tfdessin::tue_liaisons() {
    start_tool(Tool::MaskBonds);
}
void Tfdessin::set_translations() {
    start_tool(Tool::Translation);
}
void Tfdessin::centroid() {
    start_tool(Tool::RingMiddle);
}
void Tfdessin::set_mean_plane() {
    start_tool(Tool::MeanPlane);
}
void Tfdessin::set_direction_projection() {
    start_tool(Tool::DirectionTwoAtoms);
}
void Tfdessin::matrice_sur_3atomes() {
    start_tool(Tool::PlaneThreeAtoms);
}
void Tfdessin::selecte_centre() {
    start_tool(Tool::CentreAtom);
}

void Tfdessin::set_zoom() {
    start_tool(Tool::ZoomIn);
}

void Tfdessin::reset_zoom() {
    if (session_.active() == Tool::ZoomIn) session_.cancel();
    veldor::reset_zoom(doc_, state_, environment());
    {
        const QSignalBlocker block(scale_bar_);
        scale_bar_->setValue(0);
    }
    scale_box_->setText(QString::fromLatin1(kZoomOutText));
    show_tool_state();
    redraw();
}

void Tfdessin::masque_elements() {
    end_all_tools();
    own_dialog_ = true;
    mask_element_->open();
}

void Tfdessin::modif_orientation() {
    end_all_tools();
    own_dialog_ = true;
    limat_->open();
}

void Tfdessin::after_orientation_change() {
    BusyScope busy(messages_);
    recompute_ellipsoids(doc_, state_, environment(), messages_);
    set_up_scene(doc_, state_, environment().height);
    scale_box_->setText(QString::fromLatin1(kZoomResetText));
    redraw();
}

void Tfdessin::ok_translation() {
    std::array<std::string, 3> boxes;
    for (int k = 0; k < 3; ++k)
        boxes[static_cast<std::size_t>(k)] = translation_boxes_[k]->text().toStdString();
    handle(session_.translation_ok(boxes));
}

void Tfdessin::end_picking() {
    handle(session_.end());
}

void Tfdessin::end_all_tools() {
    if (session_.active() == Tool::None) return;
    session_.cancel();
    show_tool_state();
    redraw();
}

bool Tfdessin::rotation_allowed() const {
    return !session_.waiting_for_clicks() && centre_button_->isChecked() &&
           !labelling_->isVisibleTo(this);
}

void Tfdessin::mouse_down(QPointF pos, Qt::MouseButton button) {
    button_down_ = true;
    button_ = button;
    previous_ = pos;
    session_.press({pos.x(), pos.y()});
}

void Tfdessin::mouse_move(QPointF pos, Qt::MouseButtons buttons) {
    if (!button_down_ || button_ != Qt::LeftButton || !(buttons & Qt::LeftButton)) return;
    if (session_.waiting_for_clicks()) {
        const std::optional<PixelRect> band = session_.rubber_band({pos.x(), pos.y()});
        if (band)
            picture_->set_rubber_band(
                QRectF(QPointF(band->left, band->top), QPointF(band->right, band->bottom)));
        return;
    }
    const int mode = state_.view.mouse_mode;
    if (mode == 3) {
        translate_view(state_.view, static_cast<int>(std::lround(pos.x() - previous_.x())),
                       static_cast<int>(std::lround(pos.y() - previous_.y())));
    } else if ((mode == 1 || mode == 2) && rotation_allowed()) {
        const IncrementalRotation r =
            mode == 1 ? rotation_xy(pos.x() - previous_.x(), pos.y() - previous_.y())
                      : rotation_z({previous_.x(), previous_.y()}, {pos.x(), pos.y()},
                                   state_.view.screen_centre[0], state_.view.screen_centre[1]);
        if (!apply_rotation(state_, doc_.metric, r, messages_)) {
            button_down_ = false;
            return;
        }
        if (option_box(QStringLiteral("gradation"))->isChecked()) {
            const QSignalBlocker block(option_box(QStringLiteral("gradation")));
            option_box(QStringLiteral("gradation"))->setChecked(false);
        }
    } else {
        return;
    }
    previous_ = pos;
    show_quick_picture(kStillPictureDelayMs);
}

void Tfdessin::mouse_up(QPointF pos, Qt::MouseButton button) {
    const bool was_down = button_down_;
    button_down_ = false;
    button_ = Qt::NoButton;
    picture_->set_rubber_band(std::nullopt);
    show_owed_still_picture();
    if (!was_down) return;
    if (button == Qt::RightButton || session_.waiting_for_clicks()) {
        session_.set_environment(environment());
        const bool had_tool = session_.waiting_for_clicks();
        ToolOutcome out = session_.release({pos.x(), pos.y()}, button == Qt::LeftButton);
        if (button == Qt::RightButton && !had_tool) {
            state_.view.mouse_mode = std::max(1, state_.view.mouse_mode);
            out.redraw = true;
        }
        handle(out);
    }
}

// ------------------------------------------------------------ view controls

void Tfdessin::set_mode_rotation(int index) {
    if (session_.active() == Tool::ZoomIn) session_.cancel();
    state_.view.mouse_mode = index + 1;
    show_tool_state();
}

void Tfdessin::change_echelle(int position) {
    set_zoom_track(state_.view, position);
    scale_box_->setText(qs(zoom_text(state_.view.zoom, 1)));
    if (scale_bar_->isSliderDown())
        show_quick_picture(kStillPictureDelayMs);
    else
        redraw();
}

void Tfdessin::best_view() {
    BusyScope busy(messages_);
    if (veldor::best_view(doc_, state_, environment(), messages_)) {
        scale_box_->setText(QString::fromLatin1(kZoomResetText));
        redraw();
    }
}

// ------------------------------------------------------------ options

void Tfdessin::option_toggled(QCheckBox* box, bool on) {
    const QString name = box->objectName();
    updating_controls_ = true;
    if (name == QLatin1String("planes") && on)
        option_box(QStringLiteral("planes_axes"))->setChecked(false);
    if (name == QLatin1String("planes_axes") && on)
        option_box(QStringLiteral("planes"))->setChecked(false);
    updating_controls_ = false;
    if (name == QLatin1String("labels_centre")) {
        set_labels_in_centre(doc_, state_, on);
        if (on) show_labelling_panel(false);
        controls_from_state();
    } else if (name == QLatin1String("labels_off_centre")) {
        set_labels_off_centre(doc_, state_.options, on);
        show_labelling_panel(on);
        controls_from_state();
    } else if (name == QLatin1String("black_white")) {
        set_black_and_white(doc_, state_, on);
        if (!on) recompute_ellipsoids(doc_, state_, environment(), messages_);
        controls_from_state();
    } else if (name == QLatin1String("customize_bonds")) {
        if (on) {
            start_tool(Tool::CustomiseBond);
        } else if (session_.active() == Tool::CustomiseBond) {
            session_.cancel();
            style_liai_->hide();
            show_tool_state();
        }
        redraw();
        return;
    } else if (name == QLatin1String("bond_labels")) {
        show_bond_labelling_panel(on);
    }
    redessine();
}

void Tfdessin::change_bond_width(int position) {
    bond_width_box_->setText(qs(format_fixed(position / 100.0, 5, 2)));
    scale_bond_widths(doc_, position);
    redessine();
}

void Tfdessin::change_perspective(int position) {
    perspective_box_->setText(qs(format_fixed(2.0 * position, 5, 2)));
    redessine();
}

void Tfdessin::choose_colour(int row) {
    const QColor initial = colour_grid_->row_colour(row);
    own_dialog_ = true;
    const QColor chosen = QColorDialog::getColor(initial, this, QStringLiteral("Colour"));
    if (!chosen.isValid()) return;
    if (veldor::choose_colour(doc_, state_, row, from_qcolor(chosen)))
        recompute_ellipsoids(doc_, state_, environment(), messages_);
    controls_from_state();
    redessine();
}

void Tfdessin::show_labelling_panel(bool on) {
    if (on) {
        lower_panel_->setCurrentWidget(labelling_);
        labelling_->show();
        if (tabs_) tabs_->setCurrentWidget(lower_panel_);
    } else {
        labelling_->entries()->untick_all();
        labelling_->hide();
        lower_panel_->setCurrentWidget(bond_labelling_->isVisibleTo(this)
                                           ? static_cast<QWidget*>(bond_labelling_)
                                           : colour_grid_);
        if (lower_panel_->currentWidget() == colour_grid_) colour_grid_->show();
    }
}

void Tfdessin::show_bond_labelling_panel(bool on) {
    if (on) {
        lower_panel_->setCurrentWidget(bond_labelling_);
        bond_labelling_->show();
        if (tabs_) tabs_->setCurrentWidget(lower_panel_);
    } else {
        bond_labelling_->entries()->untick_all();
        bond_labelling_->hide();
        lower_panel_->setCurrentWidget(
            labelling_->isVisibleTo(this) ? static_cast<QWidget*>(labelling_) : colour_grid_);
        if (lower_panel_->currentWidget() == colour_grid_) colour_grid_->show();
    }
}

void Tfdessin::choose_label_font(LabelFont& font) {
    QFont initial(qs(font.name));
    initial.setPointSize(std::max(1, font.size));
    const FontStyle style = font_style_from_text(font.style_text);
    initial.setBold(style.bold);
    initial.setItalic(style.italic);
    initial.setUnderline(style.underline);
    initial.setStrikeOut(style.strikeout);
    bool ok = false;
    own_dialog_ = true;
    const QFont f = QFontDialog::getFont(&ok, initial, this, QStringLiteral("Font"));
    if (!ok) return;
    set_label_font(font, f.family().toStdString(), std::max(1, f.pointSize()), font.colour,
                   FontStyle{f.bold(), f.italic(), f.underline(), f.strikeOut()});
    redraw();
}

void Tfdessin::labelling_entry(int entry) {
    if (session_.refuse_label_entry()) {
        labelling_->entries()->refuse(entry);
        return;
    }
    switch (entry) {
        case LabellingPanel::Font:
            choose_label_font(state_.atom_label_font);
            break;
        case LabellingPanel::WriteOffCentre:
            start_tool(Tool::LabelOffCentre);
            break;
        case LabellingPanel::WriteInCentre:
            start_tool(Tool::LabelInCentre);
            break;
        case LabellingPanel::DeleteLabel:
            start_tool(Tool::DeleteLabel);
            break;
        case LabellingPanel::DeleteArea:
            start_tool(Tool::DeleteLabelArea);
            break;
        default: {
            LabelBulkAction a = LabelBulkAction::DeleteAll;
            if (entry == LabellingPanel::DeleteCentred) a = LabelBulkAction::DeleteCentred;
            if (entry == LabellingPanel::DeleteMoved) a = LabelBulkAction::DeleteMoved;
            if (entry == LabellingPanel::RestoreCentred) a = LabelBulkAction::RestoreCentred;
            if (entry == LabellingPanel::RestoreMoved) a = LabelBulkAction::RestoreMoved;
            apply_label_action(doc_, a);
            redraw();
            break;
        }
    }
}

void Tfdessin::bond_labelling_entry(int entry) {
    if (session_.refuse_label_entry()) {
        bond_labelling_->entries()->refuse(entry);
        return;
    }
    switch (entry) {
        case BondLabellingPanel::Font:
            choose_label_font(state_.bond_label_font);
            break;
        case BondLabellingPanel::WriteBondLabel:
            start_tool(Tool::BondLabel);
            break;
        case BondLabellingPanel::DeleteAll:
            delete_bond_labels(doc_);
            bond_labelling_->entries()->set_ticked(BondLabellingPanel::WriteBondLabel, false);
            redraw();
            break;
        default:
            break;
    }
}

// ------------------------------------------------------------ buttons

void Tfdessin::aide() {
    emit help_requested(kHelpDrawing);
}

void Tfdessin::reset_child() {
    session_.cancel();
    {
        BusyScope busy(messages_);
        reset_drawing(doc_, state_, environment(), messages_);
    }
    {
        const QSignalBlocker block(scale_bar_);
        scale_bar_->setValue(0);
    }
    scale_box_->setText(QString::fromLatin1(kZoomResetText));
    controls_from_state();
    show_tool_state();
    redraw();
}

void Tfdessin::Retour() {
    session_.cancel();
    show_labelling_panel(false);
    style_liai_->hide();
    show_tool_state();
    emit tools_ended();
    state_.view.zoomed = false;
    state_.view.mouse_mode = 1;
    hide();
    emit closed_by_return();
}

void Tfdessin::hideEvent(QHideEvent* e) {
    still_timer_->stop();
    still_owed_ = false;
    if (!e->spontaneous() && session_.waiting_for_clicks()) {
        session_.cancel();
        show_tool_state();
    }
    QWidget::hideEvent(e);
}

void Tfdessin::closeEvent(QCloseEvent* e) {
    session_.cancel();
    show_labelling_panel(false);
    style_liai_->hide();
    show_tool_state();
    emit tools_ended();
    QWidget::closeEvent(e);
}

void Tfdessin::sauve_fichier_vld(const QString& file_name) {
    show_labelling_panel(false);
    end_all_tools();
    QString chosen = file_name;
    if (chosen.isEmpty()) {
        own_dialog_ = true;
        chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Save"), QString(),
                                              QStringLiteral("Export ASCII file (*.vld)"), nullptr,
                                              QFileDialog::DontConfirmOverwrite);
    }
    if (chosen.isEmpty()) return;
    const std::string path = with_default_extension(chosen.toStdString(), ".vld");
    if (!may_write(path, messages_)) return;
    // What the drawing shows is what the file keeps: the display copy, with
    // its masks, moved fragments and ring middles, as the generated atoms.
    StructureDocument shown = doc_;
    shown.gen = doc_.display;
    shown.gen_labels.resize(shown.gen.size());
    for (std::size_t i = doc_.gen_labels.size(); i < shown.gen.size(); ++i)
        shown.gen_labels[i] = shown.gen[i].name;
    BusyScope busy(messages_);
    if (write_vld(path, shown, state_, messages_)) doc_.written_file = path;
}

void Tfdessin::save_drawing() {
    sauve_fichier_vld();
}

void Tfdessin::mark_atoms(const std::vector<int>& atoms) {
    if (atoms == marked_) return;
    marked_ = atoms;
    redraw();
}

void Tfdessin::affiche_distances() {
    emit distances_requested();
}

void Tfdessin::reset_checks() {
    show_labelling_panel(false);
    show_bond_labelling_panel(false);
    // "Font" becomes the current entry, unticked as when the window was
    // made: a ticked one would not open the font dialog on the next click.
    labelling_->entries()->list()->setCurrentRow(LabellingPanel::Font);
    bond_labelling_->entries()->list()->setCurrentRow(BondLabellingPanel::Font);
    controls_from_state();
}

void Tfdessin::set_isotropic_display(bool iso) {
    made_isotropic_ = iso;
    controls_from_state();
}

void Tfdessin::make_povray() {
    emit povray_export_requested();
}
void Tfdessin::povray() {
    emit povray_launch_requested();
}
void Tfdessin::imprime() {
    emit print_requested();
}
void Tfdessin::sauve_bmp() {
    emit bmp_export_requested();
}
void Tfdessin::sauve_jpeg() {
    emit jpeg_export_requested();
}
void Tfdessin::sauve_emf() {
    emit emf_export_requested();
}

bool Tfdessin::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) {
        // A dialog of our own takes the focus: coming back from it must not
        // set the view up again.
        const QWidget* active = QApplication::activeWindow();
        own_dialog_ = own_dialog_ || QApplication::activeModalWidget() != nullptr ||
                      (active && active != this && isAncestorOf(active));
        set_up_while_active_ = false;
    } else if (e->type() == QEvent::WindowActivate) {
        // Set up again, unless it was just done (Plot shows the window, then
        // it is activated) and nothing asks for it since.
        const bool fresh = set_up_while_active_ && !doc_.regeneration_needed;
        if (!own_dialog_ && !fresh && !doc_.display.empty()) initialise_fiche();
        own_dialog_ = false;
    }
    return QWidget::event(e);
}

}  // namespace veldor
