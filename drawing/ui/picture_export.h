#pragma once
// Pictures of the drawing as files: PNG (pixels), SVG and PDF (vectors),
// all through the one renderer with the page of the picture size.

#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"

namespace veldor {

// True for the extensions write_picture knows (".png", ".svg", ".pdf", any case).
bool is_picture_file(const std::string& path);

// Draws the current scene (view table, ellipsoids and scale already set up
// for env's picture size) into the file chosen by its extension. A file
// that cannot be written reports "Cannot write the file " + path.
bool write_picture(const std::string& path, const StructureDocument& doc, const DrawingState& state,
                   const DrawingEnvironment& env, Messages& messages);

}  // namespace veldor
