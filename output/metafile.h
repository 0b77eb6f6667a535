#pragma once
// Enhanced metafiles (EMF), written with libEMF: the Canvas that records
// into a metafile, and the metafile export of the picture.
//
// The metafile's logical unit is one pixel of the picture, at the screen's
// 96 dots per inch for font sizes. Pens are geometric (their width is kept
// by every reader), a text's opaque background is a filled box of its own,
// and text goes out as UTF-16, so "1Å" stays "1Å".

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/canvas.h"
#include "drawing/drawing_state.h"
#include "output/page_layout.h"

namespace veldor {

inline constexpr const char* kMetafileExtension = ".emf";

// How large a text is on a device, for canvases that cannot measure fonts
// themselves (sizes in device pixels).
using TextMeasure = std::function<TextSize(std::string_view text, const Font& font)>;
// A fair guess without fonts: each character 0.55 of the size wide, a line
// 1.15 sizes high, points taken at `dots_per_inch`.
TextSize estimated_text_size(std::string_view text, const Font& font, double dots_per_inch);

class EmfCanvas : public Canvas {
  public:
    // A metafile of width x height pixels in memory. `measure` sizes texts in
    // pixels (the estimate when empty).
    EmfCanvas(int width, int height, TextMeasure measure = {});
    ~EmfCanvas() override;
    EmfCanvas(const EmfCanvas&) = delete;
    EmfCanvas& operator=(const EmfCanvas&) = delete;

    // False when the metafile could not be made; the calls then do nothing.
    bool ok() const { return device_ != nullptr; }
    // Ends the metafile and gives its bytes (empty when it failed). Drawing
    // calls after this do nothing.
    std::string finish();

    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void polygon(std::span<const Point> points) override;
    void polyline(std::span<const Point> points) override;
    void line(Point from, Point to) override;
    void ellipse(Point top_left, Point bottom_right) override;
    void rectangle(Point top_left, Point bottom_right) override;
    void text(Point at, std::string_view text, const TextStyle& style) override;
    TextSize text_size(std::string_view text, const Font& font) override;

  private:
    struct Device;  // libEMF's device context and the objects selected into it
    std::unique_ptr<Device> device_;
    TextMeasure measure_;
};

// The metafile of the picture, laid out by draw_metafile_page, saved
// atomically; false after "Cannot write the file ..." when it cannot be.
bool write_metafile(const std::string& path, const StructureDocument& doc,
                    const DrawingState& state, const MetafileSettings& settings, Messages& messages,
                    const TextMeasure& measure = {});

}  // namespace veldor
