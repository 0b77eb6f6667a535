#define NOMINMAX
#include <libEMF/emf.h>

#include "output/metafile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "formats/text_file.h"

namespace veldor {

namespace {

constexpr double kMetafileDotsPerInch = 96;
// libEMF's reference device: 1024 x 768 pixels on 320 x 240 mm, so one
// pixel is 0.3125 mm, 31.25 of the frame's 0.01 mm units.
constexpr double kFrameUnitsPerPixel = 31.25;

LONG whole(double v) {
    return static_cast<LONG>(std::nearbyint(v));
}

POINT to_point(Point p) {
    return POINT{whole(p.x), whole(p.y)};
}

COLORREF colour_ref(Colour c) {
    return RGB(red(c), green(c), blue(c));
}

// UTF-8 to UTF-16; a byte that starts no valid sequence becomes "?".
std::vector<WCHAR> utf16(std::string_view s) {
    std::vector<WCHAR> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = -1;
        std::uint32_t code = 0;
        if (c < 0x80) {
            extra = 0, code = c;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, code = c & 0x07u;
        }
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            valid = (d & 0xC0) == 0x80;
            code = (code << 6) | (d & 0x3Fu);
        }
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 + (code >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(code));
        }
    }
    return out;
}

std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char ch : text)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

struct EmfCanvas::Device {
    std::FILE* file = nullptr;
    HDC dc = 0;
    HGDIOBJ pen = 0, brush = 0;  // the objects of ours selected now (0: a stock one)
    bool closed = false;

    ~Device() {
        if (!closed && dc) DeleteEnhMetaFile(CloseEnhMetaFileWithFILE(dc));
        if (pen) DeleteObject(pen);
        if (brush) DeleteObject(brush);
        if (file) std::fclose(file);
    }
    // Selects an object of ours in place of the previous one of its kind.
    void select(HGDIOBJ& slot, HGDIOBJ object) {
        SelectObject(dc, object);
        if (slot) DeleteObject(slot);
        slot = object;
    }
    void select_stock(HGDIOBJ& slot, int stock) {
        SelectObject(dc, GetStockObject(stock));
        if (slot) DeleteObject(slot);
        slot = 0;
    }
};

TextSize estimated_text_size(std::string_view text, const Font& font, double dots_per_inch) {
    const double px = font.size * dots_per_inch / 72;
    return {0.55 * px * static_cast<double>(characters(text)), 1.15 * px};
}

EmfCanvas::EmfCanvas(int width, int height, TextMeasure measure) : measure_(std::move(measure)) {
    auto device = std::make_unique<Device>();
    device->file = std::tmpfile();
    if (!device->file) return;
    const RECT frame{0, 0, static_cast<LONG>(std::ceil(width * kFrameUnitsPerPixel)),
                     static_cast<LONG>(std::ceil(height * kFrameUnitsPerPixel))};
    device->dc = CreateEnhMetaFileWithFILEA(0, device->file, &frame, "Veldor\0picture\0");
    if (!device->dc) return;
    SetBkMode(device->dc, TRANSPARENT);
    SetTextAlign(device->dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    device_ = std::move(device);
    set_pen(Pen{});
    set_brush(Brush{});
}

EmfCanvas::~EmfCanvas() = default;

std::string EmfCanvas::finish() {
    if (!device_ || device_->closed) return {};
    Device& d = *device_;
    // Stock objects in, so ours can go before the file ends.
    d.select_stock(d.pen, BLACK_PEN);
    d.select_stock(d.brush, WHITE_BRUSH);
    d.closed = true;
    const HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(d.dc);
    if (!metafile) return {};
    DeleteEnhMetaFile(metafile);
    std::string bytes;
    if (std::fflush(d.file) != 0) return {};
    std::rewind(d.file);
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, d.file)) > 0;)
        bytes.append(buffer, got);
    return bytes;
}

void EmfCanvas::set_pen(const Pen& pen) {
    if (!device_ || device_->closed) return;
    const DWORD style = pen.style == PenStyle::Dotted   ? PS_DOT
                        : pen.style == PenStyle::Dashed ? PS_DASH
                                                        : PS_SOLID;
    LOGBRUSH lb{BS_SOLID, colour_ref(pen.colour), 0};
    const DWORD width = static_cast<DWORD>(std::max(1, pen.width));
    device_->select(device_->pen,
                    ExtCreatePen(PS_GEOMETRIC | style | PS_ENDCAP_ROUND | PS_JOIN_ROUND, width, &lb,
                                 0, nullptr));
}

void EmfCanvas::set_brush(const Brush& brush) {
    if (!device_ || device_->closed) return;
    if (brush.hollow)
        device_->select_stock(device_->brush, NULL_BRUSH);
    else
        device_->select(device_->brush, CreateSolidBrush(colour_ref(brush.colour)));
}

void EmfCanvas::polygon(std::span<const Point> points) {
    if (!device_ || device_->closed || points.size() < 2) return;
    std::vector<POINT> pts;
    pts.reserve(points.size());
    for (const Point& p : points)
        pts.push_back(to_point(p));
    Polygon(device_->dc, pts.data(), static_cast<INT>(pts.size()));
}

void EmfCanvas::polyline(std::span<const Point> points) {
    if (!device_ || device_->closed || points.size() < 2) return;
    std::vector<POINT> pts;
    pts.reserve(points.size());
    for (const Point& p : points)
        pts.push_back(to_point(p));
    Polyline(device_->dc, pts.data(), static_cast<INT>(pts.size()));
}

void EmfCanvas::line(Point from, Point to) {
    if (!device_ || device_->closed) return;
    const POINT a = to_point(from), b = to_point(to);
    MoveToEx(device_->dc, a.x, a.y, nullptr);
    LineTo(device_->dc, b.x, b.y);
}

void EmfCanvas::ellipse(Point top_left, Point bottom_right) {
    if (!device_ || device_->closed) return;
    Ellipse(device_->dc, whole(top_left.x), whole(top_left.y), whole(bottom_right.x),
            whole(bottom_right.y));
}

void EmfCanvas::rectangle(Point top_left, Point bottom_right) {
    if (!device_ || device_->closed) return;
    Rectangle(device_->dc, whole(top_left.x), whole(top_left.y), whole(bottom_right.x),
              whole(bottom_right.y));
}

void EmfCanvas::text(Point at, std::string_view text, const TextStyle& style) {
    if (!device_ || device_->closed || text.empty()) return;
    Device& d = *device_;
    const Font& f = style.font;
    const double a = style.angle * std::acos(-1.0) / 180;
    if (style.opaque) {
        // The text's box, turned with it, filled without a border.
        const TextSize size = text_size(text, f);
        const double c = std::cos(a), s = std::sin(a);
        auto corner = [&](double x, double y) {
            return POINT{whole(at.x + x * c + y * s), whole(at.y - x * s + y * c)};
        };
        const POINT box[4] = {corner(0, 0), corner(size.width, 0), corner(size.width, size.height),
                              corner(0, size.height)};
        const HGDIOBJ fill = CreateSolidBrush(colour_ref(style.background));
        const HGDIOBJ old_brush = SelectObject(d.dc, fill);
        const HGDIOBJ old_pen = SelectObject(d.dc, GetStockObject(NULL_PEN));
        Polygon(d.dc, box, 4);
        SelectObject(d.dc, old_pen);
        SelectObject(d.dc, old_brush);
        DeleteObject(fill);
    }
    const INT tenths = static_cast<INT>(std::nearbyint(style.angle * 10));
    const INT height =
        -std::max(1, static_cast<int>(std::nearbyint(f.size * kMetafileDotsPerInch / 72)));
    const HGDIOBJ font =
        CreateFontA(height, 0, tenths, tenths, f.bold ? FW_BOLD : FW_NORMAL, f.italic, f.underline,
                    f.strikeout, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    ANTIALIASED_QUALITY, DEFAULT_PITCH, f.name.c_str());
    const HGDIOBJ old_font = SelectObject(d.dc, font);
    SetTextColor(d.dc, colour_ref(f.colour));
    const std::vector<WCHAR> wide = utf16(text);
    TextOutW(d.dc, whole(at.x), whole(at.y), wide.data(), static_cast<INT>(wide.size()));
    SelectObject(d.dc, old_font);
    DeleteObject(font);
}

TextSize EmfCanvas::text_size(std::string_view text, const Font& font) {
    return measure_ ? measure_(text, font) : estimated_text_size(text, font, kMetafileDotsPerInch);
}

bool write_metafile(const std::string& path, const StructureDocument& doc,
                    const DrawingState& state, const MetafileSettings& settings, Messages& messages,
                    const TextMeasure& measure) {
    EmfCanvas canvas(settings.width, settings.width, measure);
    if (canvas.ok()) draw_metafile_page(doc, state, settings, canvas, messages);
    const std::string bytes = canvas.finish();
    if (bytes.empty()) {
        messages.warn("Cannot write the file " + path);
        return false;
    }
    return save_file_atomically(path, bytes, messages);
}

}  // namespace veldor
