#include "output/ui/printed_page.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "drawing/ui/qpainter_canvas.h"

namespace veldor {

namespace {
constexpr double kCmPerInch = 2.54;
constexpr int kPdfDotsPerInch = 1200;
}  // namespace

bool paint_printed_page(QPagedPaintDevice& device, const StructureDocument& doc,
                        const DrawingState& state, const PrintSettings& settings,
                        const std::string& file_name, Messages& messages) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double layout_dpi = settings.pixels_per_cm * kCmPerInch;
    const double factor = device.logicalDpiX() / layout_dpi;
    painter.scale(factor, device.logicalDpiY() / layout_dpi);
    PrintSettings page = settings;
    page.page_width = device.width() / factor;
    page.page_height = device.height() * layout_dpi / device.logicalDpiY();
    QPainterCanvas canvas(painter, layout_dpi);
    draw_printed_page(doc, state, page, file_name, canvas, messages);
    painter.end();
    return true;
}

bool write_printed_pdf(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const PrintSettings& settings,
                       Messages& messages) {
    QSaveFile file(QString::fromStdString(path));
    const auto fail = [&] {
        messages.warn("Cannot write the file " + path);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail();
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kPdfDotsPerInch);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(QString::fromStdString(doc.title));
        pdf.setCreator(QStringLiteral("Veldor"));
        if (!paint_printed_page(pdf, doc, state, settings, page_file_name(doc), messages))
            return fail();
    }
    if (!file.commit()) return fail();
    return true;
}

TextMeasure qt_text_measure(double dots_per_inch) {
    return [dots_per_inch](std::string_view text, const Font& font) {
        const QFontMetricsF metrics(canvas_qfont(font, dots_per_inch));
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return TextSize{metrics.horizontalAdvance(s), metrics.height()};
    };
}

}  // namespace veldor
