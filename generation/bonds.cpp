#include "generation/bonds.h"

#include <algorithm>
#include <cstdlib>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "generation/neighbours.h"
#include "generation/pair_sorts.h"

namespace veldor {

bool build_bond_sorts(StructureDocument& doc) {
    doc.bond_sorts.clear();
    const auto& es = doc.element_sorts;
    for (std::size_t i = 0; i < es.size(); ++i)
        for (std::size_t j = i; j < es.size(); ++j) {
            if (doc.bond_sorts.size() >= static_cast<std::size_t>(kMaxBondSorts)) return false;
            doc.bond_sorts.push_back({trim(es[i].symbol), trim(es[j].symbol),
                                      kBondSortFactor * (es[i].radius + es[j].radius)});
        }
    return true;
}

bool parts_may_bond(int part1, int part2) {
    const long long a = std::llabs(part1), b = std::llabs(part2);
    return a == 0 || b == 0 || a == b;
}

int carbon_multiplicity(double d) {
    if (d < kCarbonMark2Below) return 2;
    if (d < kCarbonMark1Below && d > kCarbonMark2Below) return 1;
    return 0;
}

void search_bonds(StructureDocument& doc, Messages& messages) {
    doc.bonds.clear();
    const std::vector<Atom>& gen = doc.gen;
    const int n = static_cast<int>(gen.size());
    if (n < 2) return;

    std::vector<std::string> keys(gen.size());
    std::vector<Vec3> pos(gen.size());
    for (std::size_t i = 0; i < gen.size(); ++i) {
        keys[i] = element_key(gen[i].element);
        pos[i] = gen[i].position();
    }
    const detail::PairSorts table(doc.bond_sorts, keys);
    const std::vector<int>& key = table.atom_keys();
    const double scale = detail::coordinate_scale(pos);
    const detail::FracGrid grid(pos, detail::fractional_reach(doc.metric, table.reach(), scale));
    const double limit2 = detail::cartesian_limit_squared(doc.metric, table.reach(), scale);
    std::vector<Vec3> cart(gen.size());
    for (std::size_t i = 0; i < gen.size(); ++i)
        cart[i] = frac_to_cart(pos[i], doc.metric);

    std::vector<int> near;
    for (int i = 0; i + 1 < n; ++i) {
        if (key[static_cast<std::size_t>(i)] < 0) continue;
        near.clear();
        const Vec3& ci = cart[static_cast<std::size_t>(i)];
        grid.visit(pos[static_cast<std::size_t>(i)], [&](int j) {
            if (j <= i || key[static_cast<std::size_t>(j)] < 0 ||
                !parts_may_bond(gen[static_cast<std::size_t>(j)].part,
                                gen[static_cast<std::size_t>(i)].part))
                return;
            const Vec3& cj = cart[static_cast<std::size_t>(j)];
            const Vec3 v{cj[0] - ci[0], cj[1] - ci[1], cj[2] - ci[2]};
            if (dot(v, v) > limit2) return;
            near.push_back(j);
        });
        std::sort(near.begin(), near.end());
        for (int j : near) {
            const int ki = key[static_cast<std::size_t>(i)], kj = key[static_cast<std::size_t>(j)];
            const std::vector<int>& sorts = table.sorts(ki, kj);
            if (sorts.empty()) continue;
            const double d = distance(pos[static_cast<std::size_t>(i)],
                                      pos[static_cast<std::size_t>(j)], doc.metric);
            if (d < kMinBondLength) continue;
            for (int s : sorts) {
                if (!(d <= doc.bond_sorts[static_cast<std::size_t>(s)].max_distance)) continue;
                if (doc.bonds.size() >= static_cast<std::size_t>(kMaxBonds)) {
                    messages.warn(kTooMuchBondsMessage);
                    return;
                }
                CalcBond b;
                b.atom1 = i + 1;
                b.atom2 = j + 1;
                b.length = d;
                b.colour = doc.bond_colour;
                b.width = doc.bond_width;
                if (table.key(ki) == "C" && table.key(kj) == "C")
                    b.multiplicity = carbon_multiplicity(d);
                if (table.key(ki) == "H" || table.key(kj) == "H") b.width /= 2;
                doc.bonds.push_back(b);
            }
        }
    }
}

std::vector<BondLengthRow> bond_length_rows(const StructureDocument& doc) {
    std::vector<BondLengthRow> rows;
    rows.reserve(doc.bond_sorts.size());
    for (const BondSort& s : doc.bond_sorts)
        rows.push_back({s.element1, s.element2, format_fixed(s.max_distance, 6, 2)});
    return rows;
}

bool read_bond_lengths(StructureDocument& doc, const std::vector<std::string>& texts,
                       Messages& messages) {
    const std::size_t rows = std::min(texts.size(), doc.bond_sorts.size());
    for (std::size_t r = 0; r < rows; ++r) {
        const std::optional<double> v = parse_double(texts[r]);
        if (!v) {
            messages.warn(kReadErrorAtLine + std::to_string(r + 1));
            return false;
        }
        doc.bond_sorts[r].max_distance = *v;
    }
    return true;
}

}  // namespace veldor
