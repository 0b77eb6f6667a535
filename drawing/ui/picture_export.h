#pragma once
// Pictures of the drawing as files: PNG (pixels), SVG and PDF (vectors),
// all through the one renderer with the page of the picture size.
//
// A picture of another size is the screen picture scaled: drawn on the
// logical picture (env's size) and enlarged, so pens, fonts and the scale
// bar grow with it. Vector files and enlarged pictures keep the exact
// coordinates; a picture at the screen's own size keeps the screen's pixel
// rounding and is the screen picture, pixel for pixel.

#include <QImage>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"

namespace veldor {

// True for the extensions write_picture knows (".png", ".svg", ".pdf", any case).
bool is_picture_file(const std::string& path);

// The current scene (view table, ellipsoids and scale already set up for
// env's picture size) as an image `size` pixels wide (env's width when 0),
// at one device pixel per image pixel.
QImage render_picture(const StructureDocument& doc, const DrawingState& state,
                      const DrawingEnvironment& env, Messages& messages, int size = 0);

// Draws the current scene into the file chosen by its extension, `size`
// pixels wide (env's width when 0). A file that cannot be written reports
// "Cannot write the file " + path.
bool write_picture(const std::string& path, const StructureDocument& doc, const DrawingState& state,
                   const DrawingEnvironment& env, Messages& messages, int size = 0);

}  // namespace veldor
