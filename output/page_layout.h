#pragma once
// The printed page and the metafile page: the scene recomputed for the
// page (view coordinates from the fractional ones, centred on the box of
// the drawn atoms, fitted to a radius), then drawn by the drawing's own
// steps on any Canvas with the page's geometry, and what only pages have:
// the frame and the mask around the picture, the legend of elements with
// the direction of projection, the scale bar, the file name, and the
// stereo pair.
//
// The printed page is laid out in centimetres: P printer pixels make one
// centimetre, the page's own resolution, so the layout holds whatever the
// device. Points are not rounded to pixels on pages.

#include <optional>
#include <string>
#include <string_view>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/canvas.h"
#include "drawing/drawing_state.h"

namespace veldor {

// The resolution box shows dots per inch and stores pixels per centimetre,
// converting both ways with this factor.
inline constexpr double kDotsPerInchFactor = 2.55;
inline constexpr double kInitialPixelsPerCm = 117.66;
// Typed resolutions outside this range (dots per inch) are refused.
inline constexpr double kMinimumDotsPerInch = 10;
inline constexpr double kMaximumDotsPerInch = 10000;
inline constexpr const char* kResolutionReadError = "read error on Pixels/Cm";
inline constexpr const char* kBePatient = "Be patient!";
inline constexpr int kDefaultPrintPenWidth = 2;
inline constexpr int kStereoPenWidth = 1;
inline constexpr double kStereoSeparationCm = 6.5;
inline constexpr double kStereoAngleDegrees = 3.0;
// Directions per outline turn on pages (the screen has 50).
inline constexpr int kPageOutlineSteps = 100;
inline constexpr int kLegendDiscRadius = 30;  // printer pixels
inline constexpr const char* kProjectionCaption = "Direction of projection:";
// Landscape A4, the page when the printer does not say.
inline constexpr double kPageWidthCm = 29.7;
inline constexpr double kPageHeightCm = 21.0;

// The resolution box: P x 2.55 without decimals in 5 columns ("  300").
std::string resolution_box_text(double pixels_per_cm);
// P from the box; nullopt when the text is not a number or lies outside
// the accepted dots per inch (the caller shows kResolutionReadError).
std::optional<double> pixels_per_cm_from_box(std::string_view text);

// The "Scale" track-bar position (-4..10) of the view's zoom and the
// factor 1 + 0.2 x position that pages multiply their scale by.
int zoom_track_position(const ViewState& view);
double zoom_track_factor(const ViewState& view);

// The scene as a page sees it: a copy of the drawing state whose view
// table holds every displayed atom (from its fractional coordinates and
// view_matrix, the cell corners after them when the cell is drawn)
// centred on the midpoint of the drawn atoms' extremes, with the outlines
// for `rotation`; and the fit radius: the largest distance of a drawn atom
// from that centre plus twice the longest semi-axis. `turn_degrees` turns
// the structure about the screen's vertical axis first (stereo pair).
struct PageScene {
    DrawingState state;
    double fit_radius = 1;
};
PageScene page_scene(const StructureDocument& doc, const DrawingState& state,
                     double turn_degrees = 0);

// What the print window sets.
struct PrintSettings {
    double pixels_per_cm = kInitialPixelsPerCm;
    int pen_width = kDefaultPrintPenWidth;
    bool stereo = false;
    // The paper, in printer pixels (landscape A4 at P when zero).
    double page_width = 0, page_height = 0;
};

// Where the view lands on the printed page: origin round(10.5 P),
// round(10 P); scale 10 P / R x the zoom factor (single view); origins
// round(5 P) and round(11.5 P), round(10 P) and scale 6.5 P / 2R x 0.5 x
// the zoom factor for the stereo views (pass 0 left, 1 right).
PageGeometry print_geometry(const PrintSettings& settings, double fit_radius, double zoom_factor);
PageGeometry stereo_geometry(const PrintSettings& settings, int pass, double fit_radius,
                             double zoom_factor);

// The whole printed page (one view or the stereo pair). `file_name` is the
// structure's file name shown at the top right (its directory is dropped).
void draw_printed_page(const StructureDocument& doc, const DrawingState& state,
                       const PrintSettings& settings, const std::string& file_name, Canvas& canvas,
                       Messages& messages);

// The file name the page shows: the structure file last read, else the
// VLD file last read, without its directory.
std::string page_file_name(const StructureDocument& doc);

// What "Metafile create" sets.
struct MetafileSettings {
    int width = 800;  // the picture is width x width pixels
    int pen_width = 1;
};
inline constexpr int kMinimumMetafileWidth = 16;
inline constexpr int kMaximumMetafileWidth = 20000;
inline constexpr int kMaximumPenWidth = 50;

// Origin (W div 2, W div 2), scale (W div 2) / R x the zoom factor.
PageGeometry metafile_geometry(const MetafileSettings& settings, double fit_radius,
                               double zoom_factor);

// The metafile picture: background, atoms and bonds, labels, scale bar and
// cell; no legend, frame or file name.
void draw_metafile_page(const StructureDocument& doc, const DrawingState& state,
                        const MetafileSettings& settings, Canvas& canvas, Messages& messages);

}  // namespace veldor
