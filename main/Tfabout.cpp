#include "main/Tfabout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldor {

Tfabout::Tfabout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tfabout"));
    setWindowTitle(QStringLiteral("About Veldor"));
    auto* name = new QLabel(QStringLiteral("VELDOR V2"), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version =
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VELDOR_VERSION)), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);
    auto* text =
        new QLabel(QStringLiteral("Thermal-ellipsoid plots of crystal structures.\n\n"
                                  "Load a structure (CIF, SHELX, Veldor, Lazy Pulverix,\n"
                                  "PowderCell or Tessard file) or type it in, generate the\n"
                                  "atoms and bonds, and draw, label, measure and export.\n\n"
                                  "Space-group settings from the gemmi library;\n"
                                  "windows by Qt %1.")
                       .arg(QString::fromLatin1(qVersion())),
                   this);
    text->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace veldor
