#include "output/ui/output_files.h"

#include <QImage>
#include <QSaveFile>
#include <filesystem>

#include "core/text.h"
#include "drawing/ui/picture_export.h"
#include "output/jpeg_file.h"
#include "output/metafile.h"
#include "output/povray_scene.h"
#include "output/ui/output_commands.h"
#include "output/ui/printed_page.h"

namespace veldor {

namespace {

std::string extension_of(const std::string& path) {
    return to_lower(std::filesystem::path(path).extension().string());
}

QImage rgb_picture(const StructureDocument& doc, const DrawingState& state,
                   const DrawingEnvironment& env, Messages& messages, int size) {
    return render_picture(doc, state, env, messages, size).convertToFormat(QImage::Format_RGB888);
}

}  // namespace

bool write_bmp_picture(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const DrawingEnvironment& env, Messages& messages,
                       int size) {
    const QImage image = rgb_picture(doc, state, env, messages, size);
    QSaveFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "BMP") && file.commit()) return true;
    messages.warn("Cannot write the file " + path);
    return false;
}

bool write_jpeg_picture(const std::string& path, const StructureDocument& doc,
                        const DrawingState& state, const DrawingEnvironment& env,
                        Messages& messages, int size) {
    const QImage image = rgb_picture(doc, state, env, messages, size);
    return write_jpeg(path, image.constBits(), image.width(), image.height(),
                      static_cast<int>(image.bytesPerLine()), messages);
}

bool is_output_file(const std::string& path) {
    const std::string ext = extension_of(path);
    return ext == ".pov" || ext == ".emf" || ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

bool write_output_file(const std::string& path, const StructureDocument& doc,
                       const DrawingState& state, const DrawingEnvironment& env,
                       const OutputFileOptions& options, Messages& messages) {
    const std::string ext = extension_of(path);
    if (ext == ".pov") {
        return write_povray_scene(path, doc, state, povray_scene_info(path, options.caption, doc),
                                  messages);
    }
    if (ext == ".emf") {
        MetafileSettings settings;
        if (options.size > 0) settings.width = options.size;
        if (options.pen_width > 0) settings.pen_width = options.pen_width;
        return write_metafile(path, doc, state, settings, messages, qt_text_measure());
    }
    if (ext == ".bmp") return write_bmp_picture(path, doc, state, env, messages, options.size);
    if (ext == ".jpg" || ext == ".jpeg")
        return write_jpeg_picture(path, doc, state, env, messages, options.size);
    messages.warn("Unknown kind of output file: " + path);
    return false;
}

}  // namespace veldor
