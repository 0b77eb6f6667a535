#include "drawing/ui/Tfdessin.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "core/text.h"
#include "drawing/scene.h"
#include "drawing/ui/picture_widget.h"
#include "drawing/ui/qpainter_canvas.h"

namespace veldor {

namespace {
constexpr int kOrientationPictureSize = 96;
constexpr int kScaleMin = -4;
constexpr int kScaleMax = 10;
}  // namespace

Tfdessin::Tfdessin(StructureDocument& doc, DrawingState& state, Messages& messages,
                   std::string work_dir, bool compact, QWidget* parent)
    : QWidget(parent, Qt::Window),
      doc_(doc),
      state_(state),
      messages_(messages),
      work_dir_(std::move(work_dir)),
      picture_size_(compact ? kCompactPictureSize : kPictureSize) {
    setObjectName(QStringLiteral("Tfdessin"));
    setWindowTitle(QStringLiteral("Veldor: drawing"));
    build_controls();
}

void Tfdessin::build_controls() {
    picture_ = new PictureWidget(this);
    picture_->set_picture(make_picture_image(picture_size_, picture_size_, devicePixelRatioF()));
    connect(picture_, &PictureWidget::pressed, this, &Tfdessin::mouse_down);
    connect(picture_, &PictureWidget::moved, this, &Tfdessin::mouse_move);
    connect(picture_, &PictureWidget::released, this, &Tfdessin::mouse_up);

    auto* panel = new QVBoxLayout;

    auto* mouse_box = new QGroupBox(QStringLiteral("Mouse movement (left button down)"), this);
    auto* mouse_layout = new QVBoxLayout(mouse_box);
    mouse_group_ = new QButtonGroup(this);
    const char* modes[] = {"Rotation XY", "Rotation Z", "Translation"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(modes[i]), mouse_box);
        mouse_group_->addButton(b, i);
        mouse_layout->addWidget(b);
    }
    mouse_group_->button(0)->setChecked(true);
    connect(mouse_group_, &QButtonGroup::idClicked, this, &Tfdessin::set_mode_rotation);
    panel->addWidget(mouse_box);

    auto* scale_group = new QGroupBox(QStringLiteral("Scale"), this);
    auto* scale_layout = new QHBoxLayout(scale_group);
    scale_bar_ = new QSlider(Qt::Horizontal, scale_group);
    scale_bar_->setRange(kScaleMin, kScaleMax);
    scale_bar_->setValue(0);
    scale_bar_->setPageStep(1);
    scale_box_ = new QLineEdit(QString::fromLatin1(kZoomResetText), scale_group);
    scale_box_->setObjectName(QStringLiteral("Edit13"));
    scale_box_->setReadOnly(true);
    scale_box_->setMaximumWidth(70);
    scale_layout->addWidget(scale_bar_);
    scale_layout->addWidget(scale_box_);
    connect(scale_bar_, &QSlider::valueChanged, this, &Tfdessin::change_echelle);
    panel->addWidget(scale_group);

    panel->addWidget(new QLabel(QStringLiteral("Probability (%)"), this));
    probability_ = new QListWidget(this);
    for (int p = 10; p <= 100; p += 10)
        probability_->addItem(QString::number(p));
    probability_->setMaximumHeight(120);
    connect(probability_, &QListWidget::currentRowChanged, this, [this] {
        if (!updating_controls_) redessine();
    });
    panel->addWidget(probability_);

    auto* thermal_box = new QGroupBox(QStringLiteral("Thermal parameters"), this);
    auto* thermal_layout = new QHBoxLayout(thermal_box);
    thermal_group_ = new QButtonGroup(this);
    auto* aniso = new QRadioButton(QStringLiteral("Aniso"), thermal_box);
    auto* iso = new QRadioButton(QStringLiteral("Iso"), thermal_box);
    thermal_group_->addButton(aniso, 0);
    thermal_group_->addButton(iso, 1);
    aniso->setChecked(true);
    thermal_layout->addWidget(aniso);
    thermal_layout->addWidget(iso);
    connect(thermal_group_, &QButtonGroup::idClicked, this, [this] {
        if (!updating_controls_) redessine();
    });
    panel->addWidget(thermal_box);

    auto* buttons = new QHBoxLayout;
    auto* bview = new QPushButton(QStringLiteral("B.View"), this);
    bview->setToolTip(QStringLiteral("Best view"));
    auto* ret = new QPushButton(QStringLiteral("Return"), this);
    connect(bview, &QPushButton::clicked, this, &Tfdessin::best_view);
    connect(ret, &QPushButton::clicked, this, &Tfdessin::Retour);
    buttons->addWidget(bview);
    buttons->addWidget(ret);
    panel->addLayout(buttons);

    auto* direction_box = new QGroupBox(QStringLiteral("Direction of projection"), this);
    auto* direction_layout = new QHBoxLayout(direction_box);
    auto* boxes = new QVBoxLayout;
    const char* axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromLatin1(axes[i]), direction_box));
        direction_[i] = new QLineEdit(direction_box);
        direction_[i]->setReadOnly(true);
        direction_[i]->setMaximumWidth(90);
        row->addWidget(direction_[i]);
        boxes->addLayout(row);
    }
    direction_layout->addLayout(boxes);
    orientation_picture_ = new QLabel(direction_box);
    orientation_picture_->setFixedSize(kOrientationPictureSize, kOrientationPictureSize);
    direction_layout->addWidget(orientation_picture_);
    panel->addWidget(direction_box);
    panel->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture_, 0, Qt::AlignTop);
    layout->addLayout(panel);
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

void Tfdessin::controls_from_state() {
    updating_controls_ = true;
    const int p = std::clamp(state_.view.probability_index, 1, 10);
    probability_->setCurrentRow(p - 1);
    thermal_group_->button(state_.options.iso_display ? 1 : 0)->setChecked(true);
    const int mode = std::clamp(state_.view.mouse_mode, 1, 3);
    mouse_group_->button(mode - 1)->setChecked(true);
    updating_controls_ = false;
}

void Tfdessin::initialise_fiche() {
    BusyScope busy(messages_);
    initialise_view(doc_, state_, environment(), messages_);
    // Coming back to the drawing leaves any zoom rectangle and turns as usual.
    state_.view.mouse_mode = 1;
    doc_.regeneration_needed = false;
    controls_from_state();
    {
        const QSignalBlocker block(scale_bar_);
        scale_bar_->setValue(std::clamp(static_cast<int>(std::lround(5 * state_.view.zoom - 5)),
                                        kScaleMin, kScaleMax));
    }
    scale_box_->setText(QString::fromLatin1(kZoomResetText));
    redraw();
}

void Tfdessin::redessine() {
    RedrawRequest request;
    request.options = state_.options;
    request.options.iso_display = thermal_group_->checkedId() == 1;
    request.bond_width_text = format_fixed(doc_.bond_width / 100.0, 5, 2);
    request.bond_perspective_text = format_fixed(state_.view.bond_perspective, 5, 2);
    request.probability_index = probability_->currentRow() + 1;
    request.mouse_mode = mouse_group_->checkedId() + 1;
    BusyScope busy(messages_);
    if (redraw_request(doc_, state_, request, environment(), messages_) ==
        RedrawRequestResult::Redraw)
        redraw();
}

void Tfdessin::redraw() {
    QImage image = make_picture_image(picture_size_, picture_size_, devicePixelRatioF());
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        veldor::redraw(doc_, state_, canvas, screen_page(state_.view, environment()), messages_);
    }
    picture_->set_picture(image);
    show_direction();
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setImage(image);
}

void Tfdessin::show_direction() {
    const ProjectionDirection d = projection_direction(state_.view);
    for (int i = 0; i < 3; ++i)
        direction_[i]->setText(QString::fromStdString(trim(d.texts[i])));
    QImage small =
        make_picture_image(kOrientationPictureSize, kOrientationPictureSize, devicePixelRatioF());
    {
        QPainter painter(&small);
        QPainterCanvas canvas(painter);
        draw_orientation_picture(canvas, state_.view.view_matrix, kOrientationPictureSize,
                                 kOrientationPictureSize);
    }
    orientation_picture_->setPixmap(QPixmap::fromImage(small));
}

void Tfdessin::set_mode_rotation(int index) {
    state_.view.mouse_mode = index + 1;
}

void Tfdessin::change_echelle(int position) {
    set_zoom_track(state_.view, position);
    scale_box_->setText(QString::fromStdString(zoom_text(state_.view.zoom, 1)));
    redraw();
}

void Tfdessin::best_view() {
    BusyScope busy(messages_);
    if (veldor::best_view(doc_, state_, environment(), messages_)) redraw();
}

void Tfdessin::Retour() {
    state_.view.zoomed = false;
    state_.view.mouse_mode = 1;
    hide();
    emit closed_by_return();
}

void Tfdessin::mouse_down(QPointF pos, Qt::MouseButton button) {
    button_down_ = true;
    button_ = button;
    previous_ = pos;
}

void Tfdessin::mouse_move(QPointF pos, Qt::MouseButtons buttons) {
    if (!button_down_ || button_ != Qt::LeftButton || !(buttons & Qt::LeftButton)) return;
    const int mode = state_.view.mouse_mode;
    if (mode == 3) {
        translate_view(state_.view, static_cast<int>(std::lround(pos.x() - previous_.x())),
                       static_cast<int>(std::lround(pos.y() - previous_.y())));
    } else if (mode == 1 || mode == 2) {
        const IncrementalRotation r =
            mode == 1 ? rotation_xy(pos.x() - previous_.x(), pos.y() - previous_.y())
                      : rotation_z({previous_.x(), previous_.y()}, {pos.x(), pos.y()},
                                   state_.view.screen_centre[0], state_.view.screen_centre[1]);
        if (!apply_rotation(state_, doc_.metric, r, messages_)) {
            button_down_ = false;
            return;
        }
    } else {
        return;
    }
    previous_ = pos;
    redraw();
}

void Tfdessin::mouse_up(QPointF, Qt::MouseButton) {
    button_down_ = false;
    button_ = Qt::NoButton;
}

bool Tfdessin::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) {
        // A message box of our own takes the focus: coming back from it must
        // not set the view up again.
        own_dialog_ = QApplication::activeModalWidget() != nullptr;
    } else if (e->type() == QEvent::WindowActivate) {
        if (!own_dialog_ && !doc_.display.empty()) initialise_fiche();
        own_dialog_ = false;
    }
    return QWidget::event(e);
}

}  // namespace veldor
