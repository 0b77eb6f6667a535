#include "output/ui/Tfwmetafile2.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text.h"
#include "formats/save_target.h"
#include "output/metafile.h"
#include "output/ui/printed_page.h"

namespace veldor {

std::string integer_read_error(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

std::optional<MetafileSettings> read_metafile_settings(const std::string& width,
                                                       const std::string& pen_width,
                                                       Messages& messages) {
    const std::optional<long long> w = parse_int(width);
    if (!w) {
        messages.warn(integer_read_error(width));
        return std::nullopt;
    }
    const std::optional<long long> pen = parse_int(pen_width);
    if (!pen) {
        messages.warn(integer_read_error(pen_width));
        return std::nullopt;
    }
    if (*w < kMinimumMetafileWidth || *w > kMaximumMetafileWidth) {
        messages.warn(kMetafileWidthRange);
        return std::nullopt;
    }
    if (*pen < 1 || *pen > kMaximumPenWidth) {
        messages.warn(kMetafilePenRange);
        return std::nullopt;
    }
    return MetafileSettings{static_cast<int>(*w), static_cast<int>(*pen)};
}

Tfwmetafile2::Tfwmetafile2(const OutputContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Tfwmetafile2"));
    setWindowTitle(QStringLiteral("Metafile create"));
    width_ = new QLineEdit(QStringLiteral("800"), this);
    width_->setObjectName(QStringLiteral("width"));
    pen_width_ = new QLineEdit(QStringLiteral("1"), this);
    pen_width_->setObjectName(QStringLiteral("pen_width"));
    for (QLineEdit* box : {width_, pen_width_}) {
        box->setAlignment(Qt::AlignRight);
        box->setMaxLength(8);
    }
    auto* width_label = new QLabel(QStringLiteral("&Width (Nb of pixels)"), this);
    width_label->setBuddy(width_);
    auto* pen_label = new QLabel(QStringLiteral("&Penwidth"), this);
    pen_label->setBuddy(pen_width_);
    auto* form = new QFormLayout;
    form->addRow(width_label, width_);
    form->addRow(pen_label, pen_width_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tfwmetafile2::cree_metafile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setTabOrder(width_, pen_width_);
}

void Tfwmetafile2::cree_metafile() {
    const std::optional<MetafileSettings> settings = read_metafile_settings(
        width_->text().toStdString(), pen_width_->text().toStdString(), ctx_.messages);
    if (!settings) return;
    const QString chosen = choose_file(ctx_, {QStringLiteral("Metafile create"),
                                              {QString::fromLatin1(kEnhancedMetafileFilter)},
                                              0,
                                              true});
    const std::optional<std::string> path =
        export_target(chosen.toStdString(), kMetafileExtension, ctx_.messages);
    if (path) {
        BusyScope busy(ctx_.messages);
        write_metafile(*path, ctx_.doc, ctx_.state, *settings, ctx_.messages, qt_text_measure());
    }
    accept();
}

}  // namespace veldor
