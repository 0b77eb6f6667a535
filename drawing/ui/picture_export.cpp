#include "drawing/ui/picture_export.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "core/text.h"
#include "drawing/scene.h"
#include "drawing/ui/qpainter_canvas.h"

namespace veldor {

namespace {

constexpr int kScreenDpi = 96;

std::string extension_of(const std::string& path) {
    return to_lower(QFileInfo(QString::fromStdString(path)).suffix().toStdString());
}

void paint(QPainter& painter, const StructureDocument& doc, const DrawingState& state,
           const DrawingEnvironment& env, Messages& messages) {
    QPainterCanvas canvas(painter, kScreenDpi);
    redraw(doc, state, canvas, screen_page(state.view, env), messages);
}

}  // namespace

bool is_picture_file(const std::string& path) {
    const std::string ext = extension_of(path);
    return ext == "png" || ext == "svg" || ext == "pdf";
}

bool write_picture(const std::string& path, const StructureDocument& doc, const DrawingState& state,
                   const DrawingEnvironment& env, Messages& messages) {
    const QString name = QString::fromStdString(path);
    const std::string ext = extension_of(path);
    const auto fail = [&] {
        messages.warn("Cannot write the file " + path);
        return false;
    };
    // Each picture is written to a temporary file first, so a failed write
    // leaves an older file whole.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return fail();
    if (ext == "png") {
        QImage image = make_picture_image(env.width, env.height);
        {
            QPainter painter(&image);
            paint(painter, doc, state, env, messages);
        }
        if (!image.save(&file, "PNG")) return fail();
    } else if (ext == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(env.width, env.height));
        svg.setViewBox(QRect(0, 0, env.width, env.height));
        svg.setResolution(kScreenDpi);
        svg.setTitle(QString::fromStdString(doc.title));
        svg.setDescription(QStringLiteral("Drawn by Veldor"));
        QPainter painter;
        if (!painter.begin(&svg)) return fail();
        painter.fillRect(QRect(0, 0, env.width, env.height), to_qcolor(doc.background_colour));
        paint(painter, doc, state, env, messages);
        painter.end();
    } else if (ext == "pdf") {
        QPdfWriter pdf(&file);
        pdf.setResolution(kScreenDpi);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(
            QPageSize(QSizeF(env.width * 72.0 / kScreenDpi, env.height * 72.0 / kScreenDpi),
                      QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(QString::fromStdString(doc.title));
        pdf.setCreator(QStringLiteral("Veldor"));
        QPainter painter;
        if (!painter.begin(&pdf)) return fail();
        paint(painter, doc, state, env, messages);
        painter.end();
    } else {
        messages.warn("Unknown kind of picture file: " + path);
        return false;
    }
    if (!file.commit()) return fail();
    return true;
}

}  // namespace veldor
