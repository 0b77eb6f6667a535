#include "analysis/environment.h"

#include <algorithm>
#include <cmath>

#include "analysis/listing.h"
#include "core/metric.h"
#include "core/text.h"

namespace veldor {

namespace {

std::string xyz(const Atom& a, int width, int decimals) {
    return format_fixed(a.x, width, decimals) + format_fixed(a.y, width, decimals) +
           format_fixed(a.z, width, decimals);
}

std::string translation_digits(const SiteCode& c) {
    return std::to_string(c.k) + std::to_string(c.l) + std::to_string(c.m);
}

struct Neighbour {
    const Atom* atom;
    Vec3 cart;
    double distance;
};

}  // namespace

std::string environment_caption(const Atom& centre) {
    return "Distances and angles around the atom " + normalised_label(centre.name) + " (" +
           xyz(centre, 8, 4) + ")";
}

std::optional<double> read_radius(std::string_view text) {
    return parse_double(text);
}

EnvironmentReport environment_report(const StructureDocument& doc, const std::vector<Atom>& atoms,
                                     int centre, double radius, Messages& messages) {
    EnvironmentReport r;
    if (centre < 0 || centre >= static_cast<int>(atoms.size())) return r;
    const Atom& c = atoms[static_cast<std::size_t>(centre)];
    const Vec3 cc = frac_to_cart(c.position(), doc.metric);
    const std::string file_name =
        second_structure_file(doc).empty() ? first_structure_file(doc) : second_structure_file(doc);
    const AtomPlace centre_place = atom_place(doc, c, messages);

    r.memo.push_back("                Linked atoms");
    r.file.push_back(file_name);
    r.file.push_back("Linked atoms with " + pad_left(c.name, 4) + xyz(c, 10, 5) + "  (" +
                     centre_place.operator_text + ") (" + translation_digits(centre_place.code) +
                     ")");

    std::vector<Neighbour> neighbours;
    for (const Atom& a : atoms) {
        const Vec3 ac = frac_to_cart(a.position(), doc.metric);
        const double d = length({ac[0] - cc[0], ac[1] - cc[1], ac[2] - cc[2]});
        if (!(d > kSameAtomDistance && d <= radius)) continue;
        neighbours.push_back({&a, ac, d});
        const AtomPlace p = atom_place(doc, a, messages);
        const std::string line = "(" + format_int(static_cast<long long>(neighbours.size()), 3) +
                                 ")" + padded_label(a.name) + xyz(a, 8, 4) +
                                 " d=" + format_fixed(d, 6, 3) + spaced_place_text(p);
        r.memo.push_back(line);
        r.file.push_back(line);
    }
    r.neighbours = static_cast<int>(neighbours.size());

    r.memo.push_back("            Angles");
    r.file.push_back("Angles around " + pad_left(c.name, 4) + xyz(c, 10, 5));
    const std::string centre_label = normalised_label(c.name);
    if (r.neighbours > kMaxAngleNeighbours) {
        messages.warn(kTooManyAnglesMessage);
        return r;
    }
    for (std::size_t n = 0; n + 1 < neighbours.size(); ++n) {
        const Neighbour& a = neighbours[n];
        if (!(a.distance > kSameAtomDistance && a.distance <= radius)) continue;
        for (std::size_t m = n + 1; m < neighbours.size(); ++m) {
            const Neighbour& b = neighbours[m];
            if (!(b.distance > kAngleSecondAtomDistance && b.distance <= radius)) continue;
            const Vec3 va{cc[0] - a.cart[0], cc[1] - a.cart[1], cc[2] - a.cart[2]};
            const Vec3 vb{cc[0] - b.cart[0], cc[1] - b.cart[1], cc[2] - b.cart[2]};
            const double cosine = std::clamp(dot(va, vb) / (a.distance * b.distance), -1.0, 1.0);
            const std::string line = padded_label(a.atom->name) + "(" +
                                     format_int(static_cast<long long>(n + 1), 3) + ")" + "-" +
                                     centre_label + "-" + padded_label(b.atom->name) + "(" +
                                     format_int(static_cast<long long>(m + 1), 3) + ")" +
                                     " a=" + format_fixed(std::acos(cosine) * kRadToDeg, 7, 2);
            r.memo.push_back(line);
            r.file.push_back(line);
        }
    }
    return r;
}

}  // namespace veldor
