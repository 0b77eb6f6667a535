#pragma once
// The drawing window's output commands, each one call: the POV-Ray scene
// and the launch of the engine, printing, the metafile, BMP and JPEG files
// of the picture. The window's menu entries call these; tests call them
// with a file chooser of their own.
//
// Every command that writes asks for the file, adds its extension to a name
// without ".", and replaces an existing file only after a beep and Yes to
// "This file already exists. Do you want to continue?".

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"
#include "output/povray_engine.h"
#include "output/povray_scene.h"

class QWidget;

namespace veldor {

// What a file dialog is asked for.
struct FileRequest {
    QString caption;
    QStringList filters;  // "Export Povray file (*.pov)", ...
    int selected = 0;     // the filter shown first
    bool save = true;     // a save dialog, else an open dialog
};
// Gives the chosen file name; empty when the dialog was cancelled.
using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;
// The desktop's file dialogs.
QString desktop_file_dialog(QWidget* parent, const FileRequest& request);

// Starts a program without waiting; false when it could not be started.
using ProgramStarter = std::function<bool(const EngineCommand& command)>;
bool start_detached(const EngineCommand& command);

// What the commands work on.
struct OutputContext {
    StructureDocument& doc;
    DrawingState& state;
    Messages& messages;
    DrawingEnvironment env;        // the drawing window's picture size and work folder
    QWidget* parent = nullptr;     // the drawing window
    std::string caption;           // the main window's caption (the scene's header)
    FileChooser choose_file = {};  // the desktop's dialogs when empty
};

inline constexpr const char* kPovrayFilter = "Export Povray file (*.pov)";
inline constexpr const char* kPovrayOpenFilter = "Povray files (*.pov)";
inline constexpr const char* kBitmapFilter = "Bitmap format  (*.bmp)";
inline constexpr const char* kJpegFilter = "JPEG format (*.jpg)";
inline constexpr const char* kMetafileFilter = "Windows MetaFile format (*.emf)";
inline constexpr const char* kEnhancedMetafileFilter = "Enhanced Metafiles (*.emf)";
inline constexpr const char* kEngineNotStarted = "The POV-Ray engine could not be started: ";

// "Export a &Povray file": the scene of the current picture.
void make_povray(const OutputContext& ctx);
// "&Launch POVRAY": finds the engine (once per run), asks for a scene and
// starts `<engine> +I<scene>` without waiting.
void povray(const OutputContext& ctx, PovrayEngine& engine, const ProgramStarter& start = {});
// The engine of this program run.
PovrayEngine& program_povray_engine();

// "&Bitmap format (*.bmp)" and "&JPEG format (*.jpg)": the picture as the
// screen shows it, at its size.
void export_bmp(const OutputContext& ctx);
void export_jpeg(const OutputContext& ctx);

// "Windows &MetaFile (*.emf)": opens "Metafile create".
void export_metafile(const OutputContext& ctx);
// The print command: opens "Printing...".
void print_picture(const OutputContext& ctx);

// The file chooser of a context (the desktop's dialogs when it has none).
QString choose_file(const OutputContext& ctx, const FileRequest& request);
// Today in the desktop's short date form.
std::string short_date_today();
// The header of a scene written now to `path` for the structure `caption`.
PovraySceneInfo povray_scene_info(const std::string& path, const std::string& caption,
                                  const StructureDocument& doc);

}  // namespace veldor
