#pragma once
// The printed page on Qt's page devices (a printer, a PDF file), and Qt's
// font metrics for canvases that cannot measure text themselves.

#include <QPagedPaintDevice>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "output/metafile.h"
#include "output/page_layout.h"

namespace veldor {

// Paints the page on a device whose painting starts at the paper's corner
// (a full-page printer, a PDF writer without margins). The layout's pixels
// (settings.pixels_per_cm of them a centimetre) are mapped onto the device's
// own resolution, so the page holds in centimetres on any device. False when
// painting could not begin.
bool paint_printed_page(QPagedPaintDevice& device, const StructureDocument& doc,
                        const DrawingState& state, const PrintSettings& settings,
                        const std::string& file_name, Messages& messages);

// The printed page as a PDF file, landscape A4, saved atomically; false
// after "Cannot write the file ...".
bool write_printed_pdf(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const PrintSettings& settings,
                       Messages& messages);

// Text sizes in pixels as Qt's fonts give them, points taken at
// `dots_per_inch`.
TextMeasure qt_text_measure(double dots_per_inch = 96);

}  // namespace veldor
