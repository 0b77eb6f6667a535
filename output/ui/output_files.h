#pragma once
// The output files that batch mode writes by extension: the POV-Ray scene
// (.pov), the metafile (.emf), and the picture as BMP (.bmp) and JPEG
// (.jpg), each as the drawing window's commands write it.

#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"

namespace veldor {

struct OutputFileOptions {
    int size = 0;         // picture width in pixels: the screen's for BMP and JPEG, 800 for EMF (0)
    int pen_width = 0;    // the metafile's pen (1 when 0)
    std::string caption;  // the scene header's structure line
};

// The picture as the screen shows it, `size` pixels wide (its own size when
// 0), as a BMP or a JPEG (quality 50) file, whatever the name's extension.
bool write_bmp_picture(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const DrawingEnvironment& env, Messages& messages,
                       int size = 0);
bool write_jpeg_picture(const std::string& path, const StructureDocument& doc,
                        const DrawingState& state, const DrawingEnvironment& env,
                        Messages& messages, int size = 0);

// True for ".pov", ".emf", ".bmp", ".jpg" and ".jpeg" (any case).
bool is_output_file(const std::string& path);

// Writes the file chosen by its extension from the scene set up for env's
// picture (saved atomically); false after a message.
bool write_output_file(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const DrawingEnvironment& env,
                       const OutputFileOptions& options, Messages& messages);

}  // namespace veldor
