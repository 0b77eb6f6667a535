#include "main/batch_options.h"

#include "analysis/batch_reports.h"
#include "core/text.h"

namespace veldor {

namespace {

std::optional<Vec3> parse_triple(const std::string& text) {
    const auto parts = split_tokens(text, ",");
    if (parts.size() != 3) return std::nullopt;
    Vec3 v{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto d = parse_double(parts[i]);
        if (!d) return std::nullopt;
        v[i] = *d;
    }
    return v;
}

std::optional<bool> parse_yes_no(const std::string& text) {
    const std::string t = to_lower(text);
    if (t == "yes") return true;
    if (t == "no") return false;
    return std::nullopt;
}

std::optional<GenerationMode> parse_generation(const std::string& text) {
    const std::string t = to_lower(text);
    if (t == "none") return GenerationMode::None;
    if (t == "box") return GenerationMode::Box;
    if (t == "sphere") return GenerationMode::Sphere;
    if (t == "fragments") return GenerationMode::Fragments;
    if (t == "cell") return GenerationMode::CellContents;
    return std::nullopt;
}

bool valid_view(const std::string& v) {
    if (v == "best" || v == "initial") return true;
    return v.rfind("direction:", 0) == 0 && parse_triple(v.substr(10)).has_value();
}

// NAME=RRGGBB, the colour as a web page writes it.
std::optional<std::pair<std::string, Colour>> parse_colour(const std::string& text) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return std::nullopt;
    std::string hex = text.substr(eq + 1);
    if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
    if (hex.size() != 6) return std::nullopt;
    int rgb_values[3];
    for (int k = 0; k < 3; ++k) {
        int v = 0;
        for (int d = 0; d < 2; ++d) {
            const char c = hex[static_cast<std::size_t>(2 * k + d)];
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) return std::nullopt;
            v = v * 16 + digit;
        }
        rgb_values[k] = v;
    }
    return std::make_pair(trim(text.substr(0, eq)),
                          rgb(rgb_values[0], rgb_values[1], rgb_values[2]));
}

}  // namespace

bool is_valued_option(const std::string& a) {
    static const char* const names[] = {
        "--out",    "--generation",    "--box",        "--centre",        "--center",
        "--sphere", "--cut",           "--block",      "--include-bonds", "--formula",
        "--z",      "--probability",   "--view",       "--labels",        "--size",
        "--zoom",   "--mask-elements", "--bond-width", "--perspective",   "--colour",
        "--color",  "--print",         "--dpi",        "--pen",           "--report"};
    for (const char* n : names)
        if (a == n) return true;
    return false;
}

BatchParse parse_batch_options(const std::vector<std::string>& args) {
    BatchParse result;
    BatchOptions o;
    auto fail = [&result](std::string why) {
        result.error = std::move(why);
        return result;
    };
    if (args.empty() || args[0] != "--batch") return fail("batch mode starts with --batch");
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) return fail("--batch needs a FILE");
    o.input = args[1];

    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--select-all") {
            o.select_all = true;
        } else if (a == "--yes") {
            o.yes = true;
        } else if (a == "--iso") {
            o.iso = true;
        } else if (a == "--cell") {
            o.cell = true;
        } else if (a == "--planes") {
            o.planes = true;
        } else if (a == "--axes") {
            o.axes = true;
        } else if (a == "--gradation") {
            o.gradation = true;
        } else if (a == "--bw") {
            o.bw = true;
        } else if (a == "--bond-labels") {
            o.bond_labels = true;
        } else if (a == "--double-bonds") {
            o.double_bonds = true;
        } else if (a == "--position-code") {
            o.position_code = true;
        } else if (a == "--stereo") {
            o.stereo = true;
        } else if (a.rfind("--", 0) != 0) {
            return fail("unexpected argument: " + a);
        } else if (!is_valued_option(a)) {
            return fail("unknown option: " + a);
        } else if (!value(v)) {
            return fail(a + " needs a value");
        } else if (a == "--out") {
            o.outputs.push_back(v);
        } else if (a == "--report") {
            std::string why;
            if (!parse_report_request(v, why)) return fail(why);
            o.reports.push_back(v);
        } else if (a == "--generation") {
            if (!(o.generation = parse_generation(v)))
                return fail("--generation takes none, box, sphere, fragments or cell");
        } else if (a == "--box") {
            if (!(o.box_edges = parse_triple(v))) return fail("--box takes three numbers a,b,c");
        } else if (a == "--centre" || a == "--center") {
            if (!(o.centre = parse_triple(v))) return fail(a + " takes three numbers x,y,z");
        } else if (a == "--sphere") {
            o.sphere_radius = parse_double(v);
            if (!o.sphere_radius || *o.sphere_radius <= 0)
                return fail("--sphere takes a radius in angstrom");
        } else if (a == "--cut") {
            if (!(o.cut = parse_yes_no(v))) return fail("--cut takes yes or no");
        } else if (a == "--block") {
            o.block = v;
        } else if (a == "--include-bonds") {
            if (!(o.include_bonds = parse_yes_no(v)))
                return fail("--include-bonds takes yes or no");
        } else if (a == "--formula") {
            o.formula = v;
        } else if (a == "--z") {
            const auto n = parse_int(v);
            if (!n || *n < 1 || *n > 1000) return fail("--z takes a whole number from 1");
            o.z = static_cast<int>(*n);
        } else if (a == "--probability") {
            const auto n = parse_int(v);
            if (!n || *n < 10 || *n > 100 || *n % 10 != 0)
                return fail("--probability takes 10, 20, ... 100");
            o.probability = static_cast<int>(*n);
        } else if (a == "--view") {
            if (!valid_view(v)) return fail("--view takes best, initial or direction:u,v,w");
            o.view = v;
        } else if (a == "--labels") {
            if (v != "none" && v != "centre" && v != "off-centre")
                return fail("--labels takes none, centre or off-centre");
            o.labels = v;
        } else if (a == "--size") {
            const auto n = parse_int(v);
            if (!n || *n < 16 || *n > 20000) return fail("--size takes a picture size in pixels");
            o.size = static_cast<int>(*n);
        } else if (a == "--zoom") {
            o.zoom = parse_double(v);
            if (!o.zoom || *o.zoom <= 0) return fail("--zoom takes a positive number");
        } else if (a == "--mask-elements") {
            o.mask_elements = split_tokens(v, ", ");
            if (o.mask_elements.empty()) return fail("--mask-elements takes elements such as H,F");
        } else if (a == "--bond-width") {
            const auto n = parse_int(v);
            if (!n || *n < 1 || *n > 20)
                return fail("--bond-width takes 1 to 20 (hundredths of an angstrom)");
            o.bond_width = static_cast<int>(*n);
        } else if (a == "--perspective") {
            o.perspective = parse_double(v);
            if (!o.perspective || *o.perspective < 0 || *o.perspective > 20)
                return fail("--perspective takes 0 to 20 (degrees)");
        } else if (a == "--colour" || a == "--color") {
            const auto c = parse_colour(v);
            if (!c)
                return fail(a + " takes NAME=RRGGBB (an element, background, bonds or scale-bar)");
            o.colours.push_back(*c);
        } else if (a == "--print") {
            o.print = v;
        } else if (a == "--dpi") {
            const auto n = parse_int(v);
            if (!n || *n < 10 || *n > 10000) return fail("--dpi takes dots per inch, 10 to 10000");
            o.dpi = static_cast<int>(*n);
        } else if (a == "--pen") {
            const auto n = parse_int(v);
            if (!n || *n < 1 || *n > 50) return fail("--pen takes a pen width, 1 to 50");
            o.pen = static_cast<int>(*n);
        }
    }
    if (o.outputs.empty() && o.print.empty() && o.reports.empty())
        return fail("batch mode needs at least one --out OUT, --print PAGE.pdf or --report KIND");
    result.options = o;
    return result;
}

std::string batch_help_text() {
    return "Batch mode:\n"
           "  veldor --batch FILE [options] --out OUT [--out OUT ...]\n"
           "  Loads FILE by its extension, generates the atoms and the bonds, and writes\n"
           "  each OUT by its extension (.vld, .shx, .cif, .png, .svg, .pdf, .pov, .emf,\n"
           "  .bmp, .jpg). Messages\n"
           "  go to standard error; questions are\n"
           "  answered No unless --yes is given, so existing files are never overwritten\n"
           "  by accident. The exit status is 0 on success, non-zero on any failure.\n"
           "  --generation none|box|sphere|fragments|cell   how atoms are generated\n"
           "  --box a,b,c          box edges along a, b, c (fractional)\n"
           "  --centre x,y,z       centre of the box and the sphere (fractional)\n"
           "  --sphere r           sphere radius in angstrom\n"
           "  --cut yes|no         cut the fragments at the box or sphere\n"
           "  --select-all         apply every equivalent position\n"
           "  --block NAME         data block of a CIF with several blocks\n"
           "  --include-bonds yes|no  CIF: write the bond and angle loops\n"
           "  --formula TEXT       CIF: the chemical formula (default: the one the CIF read\n"
           "                       gave, else counted from the atoms)\n"
           "  --z N                CIF: formula units per cell\n"
           "  --yes                answer Yes to every question\n"
           "  --report KIND        an analysis report, into the folder of the first --out\n"
           "                       (else the work folder); repeatable: distances,\n"
           "                       coordinates, coordination[:angles],\n"
           "                       environment:LABEL[:RADIUS] (3.0 A), plane:L1,L2,L3[,...]\n"
           "  Pictures (.png, .svg, .pdf, .pov, .emf, .bmp, .jpg) and the printed page:\n"
           "  --probability P      ellipsoid probability, 10, 20, ... 100 (%)\n"
           "  --iso                draw every atom as a sphere of its Ueq\n"
           "  --view best|initial|direction:u,v,w   orientation (u,v,w in a, b, c)\n"
           "  --cell --planes --axes --gradation     overlays and shading\n"
           "  --labels none|centre|off-centre   atom labels (off-centre: where the VLD file\n"
           "                       placed them)\n"
           "  --position-code      the site symmetry code after moved labels\n"
           "  --bond-labels        the bond labels a VLD file holds\n"
           "  --double-bonds       carbon-carbon bonds coloured by their multiplicity mark\n"
           "  --mask-elements H,F  hide the atoms of these elements\n"
           "  --bond-width N       bond width, 1 to 20 hundredths of an angstrom (6)\n"
           "  --perspective D      bond taper, 0 to 20 degrees (6)\n"
           "  --colour NAME=RRGGBB  colour of an element, or of background, bonds or\n"
           "                       scale-bar (repeatable)\n"
           "  --bw                 black and white\n"
           "  --size N             picture size in pixels (692; 800 for .emf)\n"
           "  --zoom Z             magnification (1.0)\n"
           "  --print PAGE.pdf     the printed page (landscape A4) as a PDF file\n"
           "  --stereo             print a stereo pair (6.5 cm apart, 3 degrees)\n"
           "  --dpi N              resolution of the printed page (300)\n"
           "  --pen N              pen width of the printed page and the metafile\n";
}

}  // namespace veldor
