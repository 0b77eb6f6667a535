#include "drawing/ui/Tflimat.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace veldor {

Tflimat::Tflimat(ViewState& view, const Metric& metric, Messages& messages, QWidget* parent)
    : QDialog(parent), view_(view), metric_(metric), messages_(messages) {
    setObjectName(QStringLiteral("Tflimat"));
    setWindowTitle(QStringLiteral("Veldor: Definition of the oientation  of the structure"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QLabel(
        QStringLiteral("Define the direction of 1,2 or 3 axis in the direct or reciprocal space"),
        this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setMargin(6);
    layout->addWidget(panel);

    auto* grid = new QGridLayout;
    const char* columns[3] = {"a or a*", "b or b*", "c or c*"};
    for (int c = 0; c < 3; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(columns[c]), this), 0, c + 1,
                        Qt::AlignCenter);
    const char* rows[3] = {"Horizontal direction ((X) :", "Vertical direction (Y) :",
                           "Direction of the projection (Z) :"};
    for (int r = 0; r < 3; ++r) {
        auto* label = new QLabel(QString::fromLatin1(rows[r]), this);
        grid->addWidget(label, r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* e = new QLineEdit(this);
            e->setObjectName(QStringLiteral("box_%1_%2").arg(r).arg(c));
            e->setMaximumWidth(70);
            connect(e, &QLineEdit::editingFinished, this, [this, e] { verify_box(e); });
            boxes_[r][c] = e;
            grid->addWidget(e, r + 1, c + 1);
        }
        label->setBuddy(boxes_[r][0]);
        auto* space = new QGroupBox(QStringLiteral("Space"), this);
        auto* space_layout = new QHBoxLayout(space);
        space_layout->setContentsMargins(4, 2, 4, 2);
        spaces_[r] = new QButtonGroup(space);
        auto* direct = new QRadioButton(QStringLiteral("Direct"), space);
        auto* recipr = new QRadioButton(QStringLiteral("Recipr."), space);
        spaces_[r]->addButton(direct, 0);
        spaces_[r]->addButton(recipr, 1);
        space_layout->addWidget(direct);
        space_layout->addWidget(recipr);
        grid->addWidget(space, r + 1, 4);
    }
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Tflimat::calcul_mat);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit help_requested(kHelpOrientation); });
    layout->addWidget(buttons);
    init_first();
}

void Tflimat::set_space(int row, AxisSpace space) {
    spaces_[static_cast<std::size_t>(row)]
        ->button(space == AxisSpace::Direct ? 0 : 1)
        ->setChecked(true);
}

void Tflimat::init_first() {
    for (auto& row : boxes_)
        for (QLineEdit* e : row)
            e->setText(QStringLiteral("0"));
    set_space(0, AxisSpace::Direct);
    set_space(1, AxisSpace::Reciprocal);
    set_space(2, AxisSpace::Reciprocal);
    boxes_[0][0]->setFocus();
    boxes_[0][0]->selectAll();
    move(10, 40);
}

void Tflimat::showEvent(QShowEvent* e) {
    init_first();
    QDialog::showEvent(e);
}

void Tflimat::verify_box(QLineEdit* box) {
    std::string text = box->text().toStdString();
    read_axis_box(text, messages_);
    if (text.empty()) box->clear();
}

void Tflimat::verifie() {
    for (auto& row : boxes_)
        for (QLineEdit* e : row)
            verify_box(e);
}

void Tflimat::calcul_mat() {
    verifie();
    OrientationRequest request;
    for (int r = 0; r < 3; ++r) {
        AxisRow& row = request.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < 3; ++c) {
            std::string text = boxes_[r][c]->text().toStdString();
            row.v[c] = read_axis_box(text, messages_);
        }
        row.space = spaces_[r]->checkedId() == 0 ? AxisSpace::Direct : AxisSpace::Reciprocal;
    }
    switch (set_orientation_from_axes(view_, metric_, request, messages_)) {
        case OrientationResult::Unchanged:
            accept();
            break;
        case OrientationResult::Refused:
            break;  // stays open with the user's values
        case OrientationResult::Applied:
            emit orientation_changed();
            accept();
            break;
    }
}

}  // namespace veldor
