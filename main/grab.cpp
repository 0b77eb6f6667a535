#include "main/grab.h"

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "core/text.h"
#include "main/Tfmainmenu.h"
#include "main/batch.h"
#include "main/startup.h"
#include "main/startup_windows.h"

namespace veldor {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The offscreen platform on a screen of the asked size, when no platform
// was chosen: a configuration file in the temporary folder.
std::string use_offscreen_screen(int width, int height) {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr) return {};
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() /
        ("veldor_grab_screen_" + std::to_string(::getpid()) + ".json");
    std::ofstream(config) << "{ \"screens\": [ { \"name\": \"grab\", \"x\": 0, \"y\": 0, "
                          << "\"width\": " << width << ", \"height\": " << height
                          << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.string().c_str());
    return config.string();
}

void settle() {
    for (int i = 0; i < 8; ++i)
        QApplication::processEvents();
}

}  // namespace

std::optional<GrabOptions> parse_grab_options(const std::vector<std::string>& args,
                                              std::string& error) {
    GrabOptions o;
    std::vector<std::string> plain;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--screen") {
            const std::vector<std::string> wh =
                i + 1 < args.size() ? split_tokens(args[i + 1], "x") : std::vector<std::string>{};
            const auto w = wh.size() == 2 ? parse_int(wh[0]) : std::nullopt;
            const auto h = wh.size() == 2 ? parse_int(wh[1]) : std::nullopt;
            if (!w || !h || *w < 320 || *h < 240 || *w > 8000 || *h > 8000) {
                error = "--screen wants WIDTHxHEIGHT, as 1280x900";
                return std::nullopt;
            }
            o.screen_width = static_cast<int>(*w);
            o.screen_height = static_cast<int>(*h);
            ++i;
        } else if (args[i] == "--width") {
            const auto w = i + 1 < args.size() ? parse_int(args[i + 1]) : std::nullopt;
            if (!w || *w < 16 || *w > 8000) {
                error = "--width wants a number of pixels, as 900";
                return std::nullopt;
            }
            o.width = static_cast<int>(*w);
            ++i;
        } else {
            plain.push_back(args[i]);
        }
    }
    if (plain.size() < 2 || plain.size() > 3) {
        error = "usage: veldor --grab NAME OUT.png [FILE] [--screen WIDTHxHEIGHT] [--width W]";
        return std::nullopt;
    }
    o.window = plain[0];
    o.output = plain[1];
    if (plain.size() == 3) o.file = plain[2];
    return o;
}

int grab_main(int argc, char** argv, const std::vector<std::string>& args) {
    std::string error;
    const std::optional<GrabOptions> options = parse_grab_options(args, error);
    if (!options) {
        std::fprintf(stderr, "veldor: %s\n", error.c_str());
        return 2;
    }
    const StartupWindow* entry = find_startup_window(options->window);
    if (!entry) {
        std::fprintf(stderr, "veldor: no window is named %s\n", options->window.c_str());
        return 2;
    }
    if (!entry->open) {
        std::fprintf(stderr, "veldor: %s: not built yet\n", options->window.c_str());
        return 2;
    }
    const std::string config = use_offscreen_screen(options->screen_width, options->screen_height);
    int status = 1;
    {
        QApplication app(argc, argv);
        if (!config.empty()) std::filesystem::remove(config);
        StreamMessages messages(std::cerr, false);
        const StartupResult start = check_startup(
            QCoreApplication::applicationDirPath().toStdString(), env("VELDOR_DATA"),
            env("VELDOR_WORKDIR"), QDir::currentPath().toStdString(), options->file, messages);
        if (!start.ok) return 1;

        StructureDocument doc;
        DrawingState drawing;
        Tfmainmenu window(doc, drawing, start.paths, messages);
        // No one is there to choose: a CIF gives its first structure block.
        window.set_block_chooser(
            [](const std::vector<CifBlockInfo>&) { return std::optional<int>(0); });
        window.show();
        settle();
        if (!options->file.empty()) {
            const StructureFileKind kind = structure_file_kind(to_lower(options->file));
            if (kind == StructureFileKind::Unknown)
                std::fprintf(stderr, "veldor: %s is not a kind of structure file Veldor reads\n",
                             options->file.c_str());
            else
                window.load_file(kind, QString::fromStdString(options->file));
            settle();
        }
        QWidget* shown = entry->open(window, options->file);
        if (!shown) {
            std::fprintf(stderr, "veldor: %s could not be opened\n", options->window.c_str());
            return 1;
        }
        shown->show();
        shown->raise();
        settle();
        QImage picture = shown->grab().toImage();
        if (options->width > 0 && picture.width() > options->width)
            picture = picture.scaledToWidth(options->width, Qt::SmoothTransformation);
        QSaveFile out(QString::fromStdString(options->output));
        if (picture.isNull() || !out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") ||
            !out.commit()) {
            std::fprintf(stderr, "veldor: cannot write %s\n", options->output.c_str());
            return 1;
        }
        status = 0;
    }
    return status;
}

}  // namespace veldor
