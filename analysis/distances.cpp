#include "analysis/distances.h"

#include <optional>

#include "analysis/listing.h"
#include "core/text.h"

namespace veldor {

const std::array<const char*, kDistanceColumns>& distance_headings() {
    static const std::array<const char*, kDistanceColumns> headings = {
        "Atom", "X", "Y", "Z", "Position", "Atom", "X", "Y", "Z", "Position", "Distance"};
    return headings;
}

std::vector<DistanceEntry> distance_entries(const StructureDocument& doc, Messages& messages) {
    const int n = static_cast<int>(doc.gen.size());
    std::vector<std::optional<AtomPlace>> places(doc.gen.size());
    auto place_of = [&](int atom) -> const AtomPlace& {
        std::optional<AtomPlace>& p = places[static_cast<std::size_t>(atom - 1)];
        if (!p) p = atom_place(doc, doc.gen[static_cast<std::size_t>(atom - 1)], messages);
        return *p;
    };
    std::vector<DistanceEntry> entries;
    for (const CalcBond& b : doc.bonds) {
        if (b.atom1 < 1 || b.atom1 > n || b.atom2 < 1 || b.atom2 > n) continue;
        const Atom& a1 = doc.gen[static_cast<std::size_t>(b.atom1 - 1)];
        const Atom& a2 = doc.gen[static_cast<std::size_t>(b.atom2 - 1)];
        DistanceEntry e;
        e.label1 = normalised_label(a1.name);
        e.label2 = normalised_label(a2.name);
        e.x1 = a1.position();
        e.x2 = a2.position();
        e.place1 = spaced_place_text(place_of(b.atom1));
        e.place2 = spaced_place_text(place_of(b.atom2));
        e.length = b.length;
        entries.push_back(std::move(e));
    }
    return entries;
}

std::array<std::string, kDistanceColumns> distance_cells(const DistanceEntry& e) {
    std::array<std::string, kDistanceColumns> c;
    c[0] = e.label1;
    c[5] = e.label2;
    for (int k = 0; k < 3; ++k) {
        c[static_cast<std::size_t>(1 + k)] = format_fixed(e.x1[static_cast<std::size_t>(k)], 7, 4);
        c[static_cast<std::size_t>(6 + k)] = format_fixed(e.x2[static_cast<std::size_t>(k)], 7, 4);
    }
    c[4] = e.place1;
    c[9] = e.place2;
    c[10] = format_fixed(e.length, 7, 3);
    return c;
}

std::vector<std::string> distance_file_lines(const StructureDocument& doc,
                                             const std::vector<DistanceEntry>& entries) {
    std::vector<std::string> lines = structure_file_lines(doc);
    lines.push_back(kDistanceFileHeading);
    for (const DistanceEntry& e : entries) {
        std::string l = pad_left(trim(e.label1).substr(0, 4), 4) + " -" +
                        pad_left(trim(e.label2).substr(0, 4), 4) + format_fixed(e.length, 9, 3) +
                        " ";
        for (const Vec3* x : {&e.x1, &e.x2})
            for (double v : *x)
                l += format_fixed(v, 7, 4);
        l += " " + e.place1 + " " + e.place2;
        lines.push_back(std::move(l));
    }
    return lines;
}

}  // namespace veldor
