#include "main/batch_options.h"

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

bool is_valued_option(const std::string& a) {
    static const char* const names[] = {
        "--out",  "--generation", "--box",           "--centre",  "--center", "--sphere",
        "--cut",  "--block",      "--include-bonds", "--formula", "--z",      "--probability",
        "--view", "--labels",     "--size",          "--zoom"};
    for (const char* n : names)
        if (a == n) return true;
    return false;
}

}  // namespace

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
        } else if (a.rfind("--", 0) != 0) {
            return fail("unexpected argument: " + a);
        } else if (!is_valued_option(a)) {
            return fail("unknown option: " + a);
        } else if (!value(v)) {
            return fail(a + " needs a value");
        } else if (a == "--out") {
            o.outputs.push_back(v);
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
            if (v != "none" && v != "centre") return fail("--labels takes none or centre");
            o.labels = v;
        } else if (a == "--size") {
            const auto n = parse_int(v);
            if (!n || *n < 16 || *n > 20000) return fail("--size takes a picture size in pixels");
            o.size = static_cast<int>(*n);
        } else if (a == "--zoom") {
            o.zoom = parse_double(v);
            if (!o.zoom || *o.zoom <= 0) return fail("--zoom takes a positive number");
        }
    }
    if (o.outputs.empty()) return fail("batch mode needs at least one --out OUT");
    result.options = o;
    return result;
}

std::string batch_help_text() {
    return "Batch mode:\n"
           "  veldor --batch FILE [options] --out OUT [--out OUT ...]\n"
           "  Loads FILE by its extension, generates the atoms and the bonds, and writes\n"
           "  each OUT by its extension (.vld, .shx, .cif, .png, .svg, .pdf). Messages\n"
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
           "  Pictures (.png, .svg, .pdf):\n"
           "  --probability P      ellipsoid probability, 10, 20, ... 100 (%)\n"
           "  --iso                draw every atom as a sphere of its Ueq\n"
           "  --view best|initial|direction:u,v,w   orientation (u,v,w in a, b, c)\n"
           "  --cell --planes --axes --gradation     overlays and shading\n"
           "  --labels none|centre atom labels\n"
           "  --bw                 black and white\n"
           "  --size N             picture size in pixels (692)\n"
           "  --zoom Z             magnification (1.0)\n";
}

}  // namespace veldor
