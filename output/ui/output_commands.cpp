#include "output/ui/output_commands.h"

#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include "formats/save_target.h"
#include "output/jpeg_file.h"
#include "output/ui/Tfimprime.h"
#include "output/ui/Tfwmetafile2.h"
#include "output/ui/output_files.h"

namespace veldor {

namespace {

constexpr const char* kBitmapExtension = ".bmp";

QStringList picture_filters() {
    return {QString::fromLatin1(kBitmapFilter), QString::fromLatin1(kJpegFilter),
            QString::fromLatin1(kMetafileFilter)};
}

// A dialog of the window's own kind, made once and kept as the parent's child.
template <class Window>
Window& window_of(const OutputContext& ctx) {
    if (ctx.parent)
        if (auto* w = ctx.parent->findChild<Window*>(QString(), Qt::FindDirectChildrenOnly))
            return *w;
    auto* w = new Window(ctx, ctx.parent);
    if (!ctx.parent) w->setAttribute(Qt::WA_DeleteOnClose);
    return *w;
}

}  // namespace

QString desktop_file_dialog(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, request.caption);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The commands ask about an existing file themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.filters);
    if (request.selected >= 0 && request.selected < request.filters.size())
        dialog.selectNameFilter(request.filters[request.selected]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

bool start_detached(const EngineCommand& command) {
    QStringList arguments;
    for (const std::string& a : command.arguments)
        arguments << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(command.program), arguments,
                                   QString::fromStdString(command.working_folder));
}

QString choose_file(const OutputContext& ctx, const FileRequest& request) {
    return ctx.choose_file ? ctx.choose_file(ctx.parent, request)
                           : desktop_file_dialog(ctx.parent, request);
}

std::string short_date_today() {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

PovraySceneInfo povray_scene_info(const std::string& path, const std::string& caption,
                                  const StructureDocument& doc) {
    PovraySceneInfo info;
    info.date = short_date_today();
    info.structure = caption;
    info.file_name = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    // The bond customise dialog starts from the bond width.
    info.custom_bond_radius = doc.bond_width;
    return info;
}

PovrayEngine& program_povray_engine() {
    static PovrayEngine engine;
    return engine;
}

void make_povray(const OutputContext& ctx) {
    const QString chosen =
        choose_file(ctx, {QStringLiteral("Export a Povray file"), {kPovrayFilter}, 0, true});
    const std::optional<std::string> path =
        export_target(chosen.toStdString(), kPovrayExtension, ctx.messages);
    if (!path) return;
    write_povray_scene(*path, ctx.doc, ctx.state, povray_scene_info(*path, ctx.caption, ctx.doc),
                       ctx.messages);
}

void povray(const OutputContext& ctx, PovrayEngine& engine, const ProgramStarter& start) {
    const std::string found =
        engine.locate(engine_search_places(), ctx.messages, [] { QApplication::processEvents(); });
    if (found.empty()) return;
    const QString scene =
        choose_file(ctx, {QStringLiteral("Launch POVRAY"), {kPovrayOpenFilter}, 0, false});
    if (scene.isEmpty()) return;
    const EngineCommand command =
        engine_command(found, QFileInfo(scene).absoluteFilePath().toStdString());
    if (!(start ? start(command) : start_detached(command)))
        ctx.messages.warn(kEngineNotStarted + found);
}

void export_bmp(const OutputContext& ctx) {
    const QString chosen =
        choose_file(ctx, {QStringLiteral("Export image to a file"), picture_filters(), 0, true});
    if (const auto path = export_target(chosen.toStdString(), kBitmapExtension, ctx.messages))
        write_bmp_picture(*path, ctx.doc, ctx.state, ctx.env, ctx.messages);
}

void export_jpeg(const OutputContext& ctx) {
    const QString chosen =
        choose_file(ctx, {QStringLiteral("Export image to a file"), picture_filters(), 1, true});
    if (const auto path = export_target(chosen.toStdString(), kJpegExtension, ctx.messages))
        write_jpeg_picture(*path, ctx.doc, ctx.state, ctx.env, ctx.messages);
}

void export_metafile(const OutputContext& ctx) {
    window_of<Tfwmetafile2>(ctx).exec();
}

void print_picture(const OutputContext& ctx) {
    window_of<Tfimprime>(ctx).exec();
}

}  // namespace veldor
