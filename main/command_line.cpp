#include "main/command_line.h"

#include "main/batch_files.h"
#include "main/batch_options.h"

namespace veldor {

CommandLine parse_command_line(const std::vector<std::string>& args) {
    CommandLine cl;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version" || a == "-v") {
            cl.show_version = true;
        } else if (a == "--help" || a == "-h") {
            cl.show_help = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            if (cl.error.empty()) cl.error = "unknown option: " + a;
        } else if (cl.structure_file.empty()) {
            cl.structure_file = a;
        }
    }
    return cl;
}

std::string version_text() {
    return "Veldor " VELDOR_VERSION "\n";
}

std::string help_text() {
    return "Usage: veldor [FILE]\n"
           "       veldor --batch FILE [options] --out OUT [--out OUT ...]\n"
           "       veldor --grab NAME OUT.png [FILE] [--screen WIDTHxHEIGHT] [--width W]\n"
           "       veldor --batch FILE... [options] --out-dir DIR --to EXT,... [--jobs N]\n"
           "       veldor --version | --help\n"
           "\n"
           "Draws crystal structures as thermal-ellipsoid plots.\n"
           "\n"
           "FILE is a structure file loaded at start, chosen by its extension:\n"
           "  .vld                      Veldor structure-and-drawing file\n"
           "  .ins .res .shx .inp       SHELX instruction file\n"
           "  .out .lst                 SHELX listing file\n"
           "  .cif                      Crystallographic Information File\n"
           "  .lzy .cel .cry            Lazy Pulverix, PowderCell, Tessard files\n"
           "\n"
           "--grab writes a picture of the window NAME (Tfmainmenu, Tfboite, Tfdessin,\n"
           "...) with FILE loaded, without a display.\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this text and exit\n"
           "  -v, --version  show the version and exit\n"
           "\n" +
           batch_help_text() + "\n" + file_batch_help_text() +
           "\n"
           "Environment:\n"
           "  VELDOR_DATA     folder of the data files (default: <program folder>/data,\n"
           "                  then <program folder>/../share/veldor)\n"
           "  VELDOR_WORKDIR  folder for reports and working files (default: the\n"
           "                  current folder)\n";
}

}  // namespace veldor
