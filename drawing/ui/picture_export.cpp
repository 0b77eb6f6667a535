#include "drawing/ui/picture_export.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>

#include "core/text.h"
#include "drawing/scene.h"
#include "drawing/ui/qpainter_canvas.h"

namespace veldor {

namespace {

constexpr int kScreenDpi = 96;

std::string extension_of(const std::string& path) {
    return to_lower(QFileInfo(QString::fromStdString(path)).suffix().toStdString());
}

// The scene on the logical picture, enlarged by `factor`; `exact` keeps
// the unrounded coordinates.
void paint(QPainter& painter, const StructureDocument& doc, const DrawingState& state,
           const DrawingEnvironment& env, Messages& messages, double factor, bool exact) {
    PageGeometry page = screen_page(state.view, env);
    page.round_to_pixels = !exact;
    painter.scale(factor, factor);
    QPainterCanvas canvas(painter, kScreenDpi);
    redraw(doc, state, canvas, page, messages);
}

int output_width(const DrawingEnvironment& env, int size) {
    return size > 0 ? size : env.width;
}

int output_height(const DrawingEnvironment& env, int size) {
    return std::max(1, qRound(env.height * double(output_width(env, size)) / env.width));
}

}  // namespace

bool is_picture_file(const std::string& path) {
    const std::string ext = extension_of(path);
    return ext == "png" || ext == "svg" || ext == "pdf";
}

QImage render_picture(const StructureDocument& doc, const DrawingState& state,
                      const DrawingEnvironment& env, Messages& messages, int size) {
    const int width = output_width(env, size);
    QImage image = make_picture_image(width, output_height(env, size));
    QPainter painter(&image);
    paint(painter, doc, state, env, messages, double(width) / env.width, width != env.width);
    return image;
}

bool write_picture(const std::string& path, const StructureDocument& doc, const DrawingState& state,
                   const DrawingEnvironment& env, Messages& messages, int size) {
    const QString name = QString::fromStdString(path);
    const std::string ext = extension_of(path);
    const auto fail = [&] {
        messages.warn("Cannot write the file " + path);
        return false;
    };
    const int width = output_width(env, size), height = output_height(env, size);
    const double factor = double(width) / env.width;
    // Each picture is written to a temporary file first, so a failed write
    // leaves an older file whole.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return fail();
    if (ext == "png") {
        if (!render_picture(doc, state, env, messages, size).save(&file, "PNG")) return fail();
    } else if (ext == "svg") {
        // Drawn in the logical picture's units; the view box enlarges them.
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, env.width, env.height));
        svg.setResolution(kScreenDpi);
        svg.setTitle(QString::fromStdString(doc.title));
        svg.setDescription(QStringLiteral("Drawn by Veldor"));
        QPainter painter;
        if (!painter.begin(&svg)) return fail();
        painter.fillRect(QRect(0, 0, env.width, env.height), to_qcolor(doc.background_colour));
        paint(painter, doc, state, env, messages, 1, true);
        painter.end();
    } else if (ext == "pdf") {
        QPdfWriter pdf(&file);
        pdf.setResolution(kScreenDpi);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(width * 72.0 / kScreenDpi, height * 72.0 / kScreenDpi),
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(QString::fromStdString(doc.title));
        pdf.setCreator(QStringLiteral("Veldor"));
        QPainter painter;
        if (!painter.begin(&pdf)) return fail();
        paint(painter, doc, state, env, messages, factor, true);
        painter.end();
    } else {
        messages.warn("Unknown kind of picture file: " + path);
        return false;
    }
    if (!file.commit()) return fail();
    return true;
}

}  // namespace veldor
