#include "symmetry/ui/Tfget_sp.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldor {

Tfget_sp::Tfget_sp(const QStringList& lines, QWidget* parent) : QDialog(parent), lines_(lines) {
    setObjectName(QStringLiteral("Tfget_sp"));
    setWindowTitle(QStringLiteral("Space group symbol"));
    auto* text = new QLabel(lines_.join(QLatin1Char('\n')), this);
    text->setObjectName(QStringLiteral("notice"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

QString Tfget_sp::text() const {
    return lines_.join(QLatin1Char('\n'));
}

}  // namespace veldor
