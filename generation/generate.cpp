#include "generation/generate.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "generation/bonds.h"
#include "generation/neighbours.h"
#include "generation/pair_sorts.h"

namespace veldor {

namespace {

using detail::FracGrid;
using detail::PairSorts;

// Lattice translations of a box or sphere are kept within this many cells:
// a larger enclosure is meaningless and would only spin.
constexpr long long kMaxShift = 1000000;
// Fragment-by-translation tests of one box or sphere before it gives up
// (only absurd enclosures come near).
constexpr long long kMaxEnclosureWork = 200000000;

constexpr Colour kFragmentColours[14] = {
    rgb(255, 0, 0),     rgb(0, 0, 255),   rgb(0, 128, 0),   rgb(0, 255, 0),     rgb(255, 255, 0),
    rgb(255, 0, 255),   rgb(128, 0, 128), rgb(0, 128, 128), rgb(128, 128, 128), rgb(128, 0, 0),
    rgb(192, 192, 192), rgb(0, 255, 255), rgb(128, 128, 0), rgb(0, 0, 128)};

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

std::vector<std::string> element_keys(const std::vector<Atom>& atoms) {
    std::vector<std::string> keys(atoms.size());
    for (std::size_t i = 0; i < atoms.size(); ++i)
        keys[i] = element_key(atoms[i].element);
    return keys;
}

// The distance that bonds two atoms while fragments are assembled: that of
// the first sort naming both keys whose distance is not zero; false when
// there is none.
bool fragment_distance(const PairSorts& table, const std::vector<BondSort>& sorts, int ka, int kb,
                       double& d) {
    if (ka < 0 || kb < 0) return false;
    for (int s : table.sorts(ka, kb)) {
        if (sorts[at(s)].max_distance != 0) {
            d = sorts[at(s)].max_distance;
            return true;
        }
    }
    return false;
}

// Integer lattice translations from..to, or an empty range (from > to).
struct Range {
    long long from = 0, to = -1;
};

long long clamp_shift(double v) {
    return static_cast<long long>(
        std::clamp(v, static_cast<double>(-kMaxShift), static_cast<double>(kMaxShift)));
}

// round(lo) - 1 .. round(hi) + 1, rounding to nearest.
Range box_range(double lo, double hi) {
    if (std::isnan(lo) || std::isnan(hi)) return {};
    return {clamp_shift(std::nearbyint(lo)) - 1, clamp_shift(std::nearbyint(hi)) + 1};
}

// The translations t of a range with lo <= x + t <= hi, as the plain test
// decides it: x + t grows with t, so they form a run, found by bisection.
Range axis_run(double x, double lo, double hi, Range r) {
    if (r.from > r.to) return {};
    auto first_true = [&](auto pred) {  // pred false...false true...true
        long long a = r.from, b = r.to + 1;
        while (a < b) {
            const long long m = a + (b - a) / 2;
            if (pred(m))
                b = m;
            else
                a = m + 1;
        }
        return a;
    };
    const long long first =
        first_true([&](long long t) { return lo <= x + static_cast<double>(t); });
    const long long after =
        first_true([&](long long t) { return !(x + static_cast<double>(t) <= hi); });
    return {first, after - 1};
}

Range intersect(Range a, Range b) {
    return {std::max(a.from, b.from), std::min(a.to, b.to)};
}

bool empty(const std::array<Range, 3>& r) {
    return r[0].from > r[0].to || r[1].from > r[1].to || r[2].from > r[2].to;
}

// Collects the atoms a box or sphere keeps, with the 4999 limit.
class Keeper {
  public:
    // `scale` bounds the coordinates of the points the step can keep.
    Keeper(const Metric& metric, double scale, Messages& messages)
        : messages_(messages), points_(metric, kCoincidentSites, scale) {}
    // False once the limit has stopped the step.
    bool keep(const Atom& atom, const Vec3& p) {
        if (points_.coincides(p)) return true;
        if (static_cast<int>(kept_.size()) >= kMaxEnclosureAtoms) {
            messages_.warn(kTooManyGeneratedAtoms);
            return false;
        }
        points_.add(p);
        kept_.push_back(atom);
        kept_.back().set_position(p);
        return true;
    }
    std::vector<Atom> take() { return std::move(kept_); }

  private:
    Messages& messages_;
    detail::CoincidentPoints points_;
    std::vector<Atom> kept_;
};

// The largest coordinate a box or sphere can keep: the atoms' own plus the
// farthest translation of the ranges.
double enclosure_scale(const std::vector<Atom>& gen, const std::array<Range, 3>& ranges) {
    std::vector<Vec3> points;
    points.reserve(gen.size());
    for (const Atom& a : gen)
        points.push_back(a.position());
    double shift = 0;
    for (const Range& r : ranges)
        shift = std::max(
            {shift, std::fabs(static_cast<double>(r.from)), std::fabs(static_cast<double>(r.to))});
    return detail::coordinate_scale(points) + shift + 2;
}

// Runs of equal tag in the generated list: the fragments the assembly laid out.
std::vector<std::pair<int, int>> fragment_runs(const std::vector<Atom>& gen) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < static_cast<int>(gen.size());) {
        int j = i + 1;
        while (j < static_cast<int>(gen.size()) && gen[at(j)].tag == gen[at(i)].tag)
            ++j;
        runs.emplace_back(i, j);
        i = j;
    }
    return runs;
}

// Whole fragments moved by every translation (x outermost) of the ranges,
// kept when `inside(atom index, point)` holds for one of their atoms;
// runs[a] bounds the translations that can put atom a inside.
template <class Inside>
void keep_whole_fragments(const std::vector<Atom>& gen, const std::array<Range, 3>& ranges,
                          const std::vector<std::array<Range, 3>>& runs, Inside inside,
                          Keeper& keeper) {
    const auto frags = fragment_runs(gen);
    // Per fragment, the translations at which some atom may be inside.
    std::vector<std::array<Range, 3>> bound(frags.size());
    std::array<Range, 3> all{Range{kMaxShift + 1, -kMaxShift - 1},
                             Range{kMaxShift + 1, -kMaxShift - 1},
                             Range{kMaxShift + 1, -kMaxShift - 1}};
    std::vector<char> live(frags.size(), 0);
    for (std::size_t f = 0; f < frags.size(); ++f) {
        std::array<Range, 3> b{Range{kMaxShift + 1, -kMaxShift - 1},
                               Range{kMaxShift + 1, -kMaxShift - 1},
                               Range{kMaxShift + 1, -kMaxShift - 1}};
        for (int a = frags[f].first; a < frags[f].second; ++a) {
            const auto& r = runs[at(a)];
            if (empty(r)) continue;
            live[f] = 1;
            for (int c = 0; c < 3; ++c) {
                b[at(c)].from = std::min(b[at(c)].from, r[at(c)].from);
                b[at(c)].to = std::max(b[at(c)].to, r[at(c)].to);
            }
        }
        bound[f] = b;
        if (!live[f]) continue;
        for (int c = 0; c < 3; ++c) {
            all[at(c)].from = std::min(all[at(c)].from, b[at(c)].from);
            all[at(c)].to = std::max(all[at(c)].to, b[at(c)].to);
        }
    }
    for (int c = 0; c < 3; ++c)
        all[at(c)] = intersect(all[at(c)], ranges[at(c)]);
    if (empty(all)) return;

    long long work = 0;
    for (long long tx = all[0].from; tx <= all[0].to; ++tx)
        for (long long ty = all[1].from; ty <= all[1].to; ++ty)
            for (long long tz = all[2].from; tz <= all[2].to; ++tz)
                for (std::size_t f = 0; f < frags.size(); ++f) {
                    if (++work > kMaxEnclosureWork) return;
                    const auto& b = bound[f];
                    if (!live[f] || tx < b[0].from || tx > b[0].to || ty < b[1].from ||
                        ty > b[1].to || tz < b[2].from || tz > b[2].to)
                        continue;
                    bool in = false;
                    for (int a = frags[f].first; a < frags[f].second && !in; ++a) {
                        const auto& r = runs[at(a)];
                        if (tx < r[0].from || tx > r[0].to || ty < r[1].from || ty > r[1].to ||
                            tz < r[2].from || tz > r[2].to)
                            continue;
                        const Atom& g = gen[at(a)];
                        in = inside(
                            a, Vec3{g.x + static_cast<double>(tx), g.y + static_cast<double>(ty),
                                    g.z + static_cast<double>(tz)});
                    }
                    if (!in) continue;
                    for (int a = frags[f].first; a < frags[f].second; ++a) {
                        const Atom& g = gen[at(a)];
                        if (!keeper.keep(g, Vec3{g.x + static_cast<double>(tx),
                                                 g.y + static_cast<double>(ty),
                                                 g.z + static_cast<double>(tz)}))
                            return;
                    }
                }
}

Mat3 turned_u(const std::array<double, 6>& u, const Mat3& r) {
    const Mat3 m{{{u[0], u[3], u[4]}, {u[3], u[1], u[5]}, {u[4], u[5], u[2]}}};
    return multiply(multiply(r, m), transpose(r));
}

}  // namespace

Colour fragment_colour(int fragment) {
    if (fragment < 1) return kFragmentColours[0];
    return kFragmentColours[(fragment - 1) % 14];
}

double reduce_coordinate(double x) {
    double r = x - std::trunc(x);
    if (r < 0) r += 1;
    return r;
}

Vec3 reduce_into_cell(const Vec3& p) {
    return {reduce_coordinate(p[0]), reduce_coordinate(p[1]), reduce_coordinate(p[2])};
}

void assemble_asym_fragments(StructureDocument& doc) {
    std::vector<Atom>& asym = doc.asym;
    const int n = static_cast<int>(asym.size());
    const int np = static_cast<int>(doc.positions.size());
    if (n == 0) return;

    const PairSorts table(doc.bond_sorts, element_keys(asym));
    const std::vector<int>& key = table.atom_keys();

    // Every image by an equivalent position of every atom; a pair is tested
    // against these shifted by the 27 translations.
    std::vector<Vec3> image(at(n) * at(np));
    for (int b = 0; b < n; ++b)
        for (int p = 0; p < np; ++p)
            image[at(b * np + p)] = doc.positions[at(p)].op.apply(asym[at(b)].position());
    std::vector<Vec3> here(at(n));
    for (int a = 0; a < n; ++a)
        here[at(a)] = asym[at(a)].position();
    const double scale =
        std::max(detail::coordinate_scale(image), detail::coordinate_scale(here)) + 1;
    const FracGrid grid(image, detail::fractional_reach(doc.metric, table.reach(), scale));
    const double limit2 = detail::cartesian_limit_squared(doc.metric, table.reach(), scale);
    std::vector<Vec3> image_cart(image.size());
    for (std::size_t i = 0; i < image.size(); ++i)
        image_cart[i] = frac_to_cart(image[i], doc.metric);

    std::vector<char> taken(at(n), 0);
    std::vector<int> order, fragment_of(at(n), 0);
    order.reserve(at(n));
    std::vector<int> found_t(at(n), -1), found_p(at(n), 0), hits;
    int fragments = 0;
    for (int start = 0; start < n; ++start) {
        if (taken[at(start)]) continue;
        ++fragments;
        taken[at(start)] = 1;
        fragment_of[at(start)] = fragments;
        order.push_back(start);
        // Once every atom is taken no scan can add one.
        for (std::size_t k = order.size() - 1; k < order.size() && order.size() < at(n); ++k) {
            const int a = order[k];
            const int ka = key[at(a)];
            if (ka < 0) continue;
            const Vec3 xa = asym[at(a)].position();
            const Vec3 ca = frac_to_cart(xa, doc.metric);
            hits.clear();
            int t_index = 0;
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j)
                    for (int l = -1; l <= 1; ++l, ++t_index) {
                        const Vec3 q{xa[0] - i, xa[1] - j, xa[2] - l};
                        const Vec3 shift =
                            frac_to_cart(Vec3{double(i), double(j), double(l)}, doc.metric);
                        grid.visit(q, [&](int idx) {
                            const int b = idx / np, p = idx % np;
                            if (taken[at(b)]) return;
                            const Vec3& cb = image_cart[at(idx)];
                            const Vec3 v{cb[0] + shift[0] - ca[0], cb[1] + shift[1] - ca[1],
                                         cb[2] + shift[2] - ca[2]};
                            if (dot(v, v) > limit2) return;
                            const int ft = found_t[at(b)];
                            if (ft >= 0 && (ft < t_index || p >= found_p[at(b)])) return;
                            double d = 0;
                            if (!fragment_distance(table, doc.bond_sorts, ka, key[at(b)], d))
                                return;
                            const Vec3& y = image[at(idx)];
                            const Vec3 img{y[0] + i, y[1] + j, y[2] + l};
                            if (!(distance(xa, img, doc.metric) <= d)) return;
                            if (ft < 0) hits.push_back(b);
                            found_t[at(b)] = t_index;
                            found_p[at(b)] = p;
                        });
                    }
            std::sort(hits.begin(), hits.end());
            for (int b : hits) {
                const int t = found_t[at(b)], p = found_p[at(b)];
                const Vec3& y = image[at(b * np + p)];
                const int i = t / 9 - 1, j = (t / 3) % 3 - 1, l = t % 3 - 1;
                Atom& atom = asym[at(b)];
                atom.set_position(Vec3{y[0] + i, y[1] + j, y[2] + l});
                if (atom.iso == 0) {
                    const Mat3 u = turned_u(atom.adp, doc.positions[at(p)].op.rotation());
                    atom.adp = {u[0][0], u[1][1], u[2][2], u[0][1], u[0][2], u[1][2]};
                }
                taken[at(b)] = 1;
                fragment_of[at(b)] = fragments;
                order.push_back(b);
                found_t[at(b)] = -1;
            }
        }
    }

    std::vector<Atom> rewritten;
    rewritten.reserve(at(n));
    for (int a : order) {
        rewritten.push_back(asym[at(a)]);
        rewritten.back().tag = fragment_of[at(a)];
    }
    asym = std::move(rewritten);
}

void make_generated_atoms(StructureDocument& doc, Messages& messages) {
    doc.gen.clear();
    const std::vector<Atom>& asym = doc.asym;
    const std::size_t na = asym.size(), nops = doc.generation_ops.size();
    const std::size_t count = na * nops;

    // Coincident images: an image survives unless its reduced position lies
    // within kCoincidentSites (Cartesian) of an earlier survivor's, which is
    // what discarding later images from each live one amounts to. Reduced
    // positions are compared as they are: nothing wraps at the cell faces.
    std::vector<Vec3> position(count);
    std::vector<char> alive(count, 1);
    detail::CoincidentPoints survivors(doc.metric, kCoincidentSites, 1);
    for (std::size_t c = 0; c < count; ++c) {
        position[c] = doc.generation_ops[c / na].apply(asym[c % na].position());
        const Vec3 reduced = reduce_into_cell(position[c]);
        if (survivors.coincides(reduced))
            alive[c] = 0;
        else
            survivors.add(reduced);
    }

    bool overflow = false;
    for (std::size_t c = 0; c < count; ++c) {
        const Atom& source = asym[c % na];
        const SymOp& op = doc.generation_ops[c / na];
        const GeneratedAdp adp = generated_betas(source, op.rotation(), doc.metric, messages);
        if (!alive[c] || source.name.empty()) continue;
        if (doc.gen.size() >= static_cast<std::size_t>(kMaxGenAtoms)) {
            overflow = true;
            continue;
        }
        Atom atom = source;
        atom.tag = static_cast<int>(c / na) + 1;
        atom.set_position(position[c]);
        atom.adp = adp.beta;
        atom.iso = adp.iso;
        doc.gen.push_back(std::move(atom));
    }
    if (overflow) messages.warn(kTooManyGeneratedAtoms);
}

void assemble_generated_fragments(StructureDocument& doc, Messages& messages) {
    const std::vector<Atom>& gen = doc.gen;
    const int n = static_cast<int>(gen.size());
    const PairSorts table(doc.bond_sorts, element_keys(gen));
    const std::vector<int>& key = table.atom_keys();

    std::vector<Vec3> start_pos(at(n));
    for (int i = 0; i < n; ++i)
        start_pos[at(i)] = gen[at(i)].position();
    const double scale = detail::coordinate_scale(start_pos) + kFragmentTranslations;
    const Vec3 reach = detail::fractional_reach(doc.metric, table.reach(), scale);
    const FracGrid grid(start_pos, reach);
    const double limit2 = detail::cartesian_limit_squared(doc.metric, table.reach(), scale);
    std::vector<Vec3> start_cart(at(n));
    for (int i = 0; i < n; ++i)
        start_cart[at(i)] = frac_to_cart(start_pos[at(i)], doc.metric);
    std::vector<Vec3> pos = start_pos;  // moved as atoms join

    std::vector<char> taken(at(n), 0), found(at(n), 0);
    std::vector<int> order, hits;
    std::vector<Vec3> found_shift(at(n));
    std::vector<std::pair<std::size_t, std::size_t>> fragments;  // [begin, end) in order
    bool stop = false;
    for (int start = 0; start < n && !stop; ++start) {
        if (taken[at(start)]) continue;
        if (static_cast<int>(fragments.size()) >= kMaxFragments) {
            messages.warn(kTooManyGeneratedAtoms);
            break;
        }
        const std::size_t begin = order.size();
        fragments.emplace_back(begin, begin);
        taken[at(start)] = 1;
        order.push_back(start);
        for (std::size_t k = begin; k < order.size() && !stop && order.size() < at(n); ++k) {
            const int a = order[k];
            const int ka = key[at(a)];
            const Vec3 xa = pos[at(a)];
            if (ka < 0) continue;
            // Only the translations that can bring some atom within reach.
            int from[3], to[3];
            bool none = false;
            for (int c = 0; c < 3; ++c) {
                from[c] = -kFragmentTranslations;
                to[c] = kFragmentTranslations;
                if (grid.unbounded()) continue;
                const double lo = xa[at(c)] - grid.upper()[at(c)] - reach[at(c)];
                const double hi = xa[at(c)] - grid.lower()[at(c)] + reach[at(c)];
                if (!(lo <= hi)) {  // a non-finite position, or no point in the grid
                    none = true;
                    break;
                }
                from[c] = static_cast<int>(std::max(static_cast<double>(from[c]), std::ceil(lo)));
                to[c] = static_cast<int>(std::min(static_cast<double>(to[c]), std::floor(hi)));
            }
            if (none) continue;
            const Vec3 ca = frac_to_cart(xa, doc.metric);
            hits.clear();
            for (int i = from[0]; i <= to[0]; ++i)
                for (int j = from[1]; j <= to[1]; ++j)
                    for (int l = from[2]; l <= to[2]; ++l) {
                        const Vec3 shift =
                            frac_to_cart(Vec3{double(i), double(j), double(l)}, doc.metric);
                        grid.visit(Vec3{xa[0] - i, xa[1] - j, xa[2] - l}, [&](int b) {
                            if (taken[at(b)] || found[at(b)]) return;
                            const Vec3& cb = start_cart[at(b)];
                            const Vec3 v{cb[0] + shift[0] - ca[0], cb[1] + shift[1] - ca[1],
                                         cb[2] + shift[2] - ca[2]};
                            if (dot(v, v) > limit2) return;
                            double d = 0;
                            if (!fragment_distance(table, doc.bond_sorts, ka, key[at(b)], d))
                                return;
                            const Vec3& y = start_pos[at(b)];
                            const Vec3 img{y[0] + i, y[1] + j, y[2] + l};
                            if (!(distance(xa, img, doc.metric) <= d)) return;
                            found[at(b)] = 1;
                            found_shift[at(b)] = img;
                            hits.push_back(b);
                        });
                    }
            std::sort(hits.begin(), hits.end());
            for (int b : hits) {
                found[at(b)] = 0;
                if (stop) continue;
                if (order.size() - begin >= static_cast<std::size_t>(kMaxFragmentAtoms)) {
                    messages.warn(kTooManyAtoms);
                    stop = true;
                    continue;
                }
                pos[at(b)] = found_shift[at(b)];
                taken[at(b)] = 1;
                order.push_back(b);
            }
        }
        fragments.back().second = order.size();
    }

    // Each fragment moved whole so that its centroid comes nearest the cell
    // centre; the list rebuilt fragment by fragment.
    std::vector<Atom> rebuilt;
    rebuilt.reserve(order.size());
    for (std::size_t f = 0; f < fragments.size(); ++f) {
        const auto [begin, end] = fragments[f];
        Vec3 centroid{0, 0, 0};
        for (std::size_t k = begin; k < end; ++k)
            for (int c = 0; c < 3; ++c)
                centroid[at(c)] += pos[at(order[k])][at(c)];
        const double m = static_cast<double>(end - begin);
        for (int c = 0; c < 3; ++c)
            centroid[at(c)] /= m;
        double best = kCentroidSearchStart;
        int shift[3] = {0, 0, 0};
        for (int j = -kFragmentTranslations; j <= kFragmentTranslations; ++j)
            for (int k = -kFragmentTranslations; k <= kFragmentTranslations; ++k)
                for (int l = -kFragmentTranslations; l <= kFragmentTranslations; ++l) {
                    const Vec3 v = frac_to_cart(
                        Vec3{centroid[0] + j - 0.5, centroid[1] + k - 0.5, centroid[2] + l - 0.5},
                        doc.metric);
                    const double d2 = dot(v, v);
                    if (d2 < best) {
                        best = d2;
                        shift[0] = j;
                        shift[1] = k;
                        shift[2] = l;
                    }
                }
        const int number = static_cast<int>(f) + 1;
        for (std::size_t k = begin; k < end; ++k) {
            const int a = order[k];
            Atom atom = gen[at(a)];
            const Vec3& p = pos[at(a)];
            atom.set_position(Vec3{p[0] + shift[0], p[1] + shift[1], p[2] + shift[2]});
            atom.tag = number;
            atom.colour = fragment_colour(number);
            rebuilt.push_back(std::move(atom));
        }
    }
    doc.gen = std::move(rebuilt);
}

void merge_coincident_atoms(StructureDocument& doc) {
    std::vector<Vec3> points;
    points.reserve(doc.gen.size());
    for (const Atom& a : doc.gen)
        points.push_back(a.position());
    detail::CoincidentPoints kept(doc.metric, kCoincidentSites,
                                  detail::coordinate_scale(points) + 1);
    std::vector<Atom> out;
    out.reserve(doc.gen.size());
    for (Atom& a : doc.gen) {
        if (kept.coincides(a.position())) continue;
        kept.add(a.position());
        out.push_back(std::move(a));
    }
    doc.gen = std::move(out);
}

void fill_box(StructureDocument& doc, Messages& messages) {
    const bool cell_contents = doc.generation_mode == GenerationMode::CellContents;
    const bool cut = cell_contents || doc.cut_box;
    const bool hexagonal = cell_contents && doc.crystal_system == "HEXA";
    std::array<double, 3> lo{}, hi{};
    std::array<Range, 3> ranges;
    for (int c = 0; c < 3; ++c) {
        lo[at(c)] = doc.enclosure.centre[at(c)] - doc.enclosure.box[at(c)] / 2;
        hi[at(c)] = doc.enclosure.centre[at(c)] + doc.enclosure.box[at(c)] / 2;
        ranges[at(c)] = box_range(lo[at(c)], hi[at(c)]);
    }
    const std::vector<Atom>& gen = doc.gen;
    Keeper keeper(doc.metric, enclosure_scale(gen, ranges), messages);
    long long work = 0;
    if (cut) {
        for (const Atom& g : gen) {
            const Vec3 r = reduce_into_cell(g.position());
            std::array<Range, 3> run;
            for (int c = 0; c < 3; ++c)
                run[at(c)] = axis_run(r[at(c)], lo[at(c)], hi[at(c)], ranges[at(c)]);
            if (empty(run)) continue;
            for (long long tx = run[0].from; tx <= run[0].to; ++tx)
                for (long long ty = run[1].from; ty <= run[1].to; ++ty) {
                    const double x = r[0] + static_cast<double>(tx),
                                 y = r[1] + static_cast<double>(ty);
                    if (++work > kMaxEnclosureWork) goto done;
                    if (hexagonal && !(std::fabs(x - y) <= kHexagonalCellLimit)) continue;
                    for (long long tz = run[2].from; tz <= run[2].to; ++tz)
                        if (!keeper.keep(g, Vec3{x, y, r[2] + static_cast<double>(tz)})) goto done;
                }
        }
    } else {
        std::vector<std::array<Range, 3>> runs(gen.size());
        for (std::size_t a = 0; a < gen.size(); ++a) {
            const Vec3 p = gen[a].position();
            for (int c = 0; c < 3; ++c)
                runs[a][at(c)] = axis_run(p[at(c)], lo[at(c)], hi[at(c)], ranges[at(c)]);
        }
        // Within its runs an atom is inside by construction.
        keep_whole_fragments(
            gen, ranges, runs, [](int, const Vec3&) { return true; }, keeper);
    }
done:
    doc.gen = keeper.take();
}

void fill_sphere(StructureDocument& doc, Messages& messages) {
    const double r = doc.enclosure.radius;
    const Vec3 centre = doc.enclosure.centre;
    std::array<Range, 3> ranges;
    for (int c = 0; c < 3; ++c) {
        const double q = r / doc.metric.cell[at(c)];
        if (std::isnan(q)) {
            ranges[at(c)] = Range{};
            continue;
        }
        const long long m = clamp_shift(std::nearbyint(q)) + 1;
        ranges[at(c)] = Range{-m, m};
    }
    const std::vector<Atom>& gen = doc.gen;
    std::vector<Vec3> points(gen.size());
    for (std::size_t a = 0; a < gen.size(); ++a)
        points[a] = gen[a].position();
    const double scale =
        std::max(detail::coordinate_scale(points), detail::coordinate_scale({centre})) +
        static_cast<double>(std::max({ranges[0].to, ranges[1].to, ranges[2].to, 0LL}));
    const Vec3 reach = detail::fractional_reach(doc.metric, r, scale);

    // The translations that may bring a point at p within the radius.
    auto runs_of = [&](const Vec3& p) {
        std::array<Range, 3> run;
        for (int c = 0; c < 3; ++c) {
            if (!std::isfinite(reach[at(c)])) {
                run[at(c)] = ranges[at(c)];
                continue;
            }
            const double lo = centre[at(c)] - p[at(c)] - reach[at(c)] - 1;
            const double hi = centre[at(c)] - p[at(c)] + reach[at(c)] + 1;
            if (!(lo <= hi)) return std::array<Range, 3>{};
            run[at(c)] = intersect(ranges[at(c)],
                                   Range{clamp_shift(std::floor(lo)), clamp_shift(std::ceil(hi))});
        }
        return run;
    };

    Keeper keeper(doc.metric, enclosure_scale(gen, ranges) + detail::coordinate_scale({centre}),
                  messages);
    long long work = 0;
    if (doc.cut_sphere) {
        for (const Atom& g : gen) {
            const Vec3 p = reduce_into_cell(g.position());
            const auto run = runs_of(p);
            if (empty(run)) continue;
            for (long long tx = run[0].from; tx <= run[0].to; ++tx)
                for (long long ty = run[1].from; ty <= run[1].to; ++ty)
                    for (long long tz = run[2].from; tz <= run[2].to; ++tz) {
                        if (++work > kMaxEnclosureWork) goto done;
                        const Vec3 q{p[0] + static_cast<double>(tx), p[1] + static_cast<double>(ty),
                                     p[2] + static_cast<double>(tz)};
                        if (!(distance(centre, q, doc.metric) <= r)) continue;
                        if (!keeper.keep(g, q)) goto done;
                    }
        }
    } else {
        std::vector<std::array<Range, 3>> runs(gen.size());
        for (std::size_t a = 0; a < gen.size(); ++a)
            runs[a] = runs_of(points[a]);
        keep_whole_fragments(
            gen, ranges, runs,
            [&](int, const Vec3& q) { return distance(centre, q, doc.metric) < r; }, keeper);
    }
done:
    doc.gen = keeper.take();
}

void generate(StructureDocument& doc, Messages& messages) {
    BusyScope busy(messages);
    doc.asym_backup = doc.asym;
    doc.gen.clear();
    if (doc.asym.empty()) {
        doc.gen_labels.clear();
        doc.display.clear();
        doc.bonds.clear();
        return;
    }
    check_asymmetric_unit(doc, messages);
    const GenerationMode mode = doc.generation_mode;
    const bool fragments = mode == GenerationMode::Fragments || mode == GenerationMode::Sphere ||
                           mode == GenerationMode::Box;
    if (fragments) assemble_asym_fragments(doc);
    make_generated_atoms(doc, messages);
    if (fragments) assemble_generated_fragments(doc, messages);
    // An image that a lattice translation brought onto an atom already
    // placed (two images on either side of a cell face) is that atom.
    merge_coincident_atoms(doc);
    for (Atom& a : doc.gen) {
        a.drawn = 1;
        a.labelled = 1;
    }
    doc.display = doc.gen;
    if (mode == GenerationMode::Box || mode == GenerationMode::CellContents)
        fill_box(doc, messages);
    else if (mode == GenerationMode::Sphere)
        fill_sphere(doc, messages);

    doc.asym = doc.asym_backup;
    doc.display = doc.gen;
    doc.gen_labels.resize(doc.gen.size());
    for (std::size_t i = 0; i < doc.gen.size(); ++i)
        doc.gen_labels[i] = fit(doc.gen[i].element + doc.gen[i].label, kDrawnLabelLength);
    search_bonds(doc, messages);
}

void set_generation_option(StructureDocument& doc, GenerationMode mode, Messages& messages) {
    doc.generation_mode = GenerationMode::None;
    doc.regeneration_needed = true;
    switch (mode) {
        case GenerationMode::None:
            return;
        case GenerationMode::CellContents:
            doc.enclosure.box = {1.01, 1.01, 1.01};
            doc.enclosure.centre = {0.5, 0.5, 0.5};
            // The system of a known group stays (its cell may be 89.98
            // degrees); without one, the cell decides.
            if (trim(doc.space_group).empty() || trim(doc.crystal_system).empty())
                set_crystal_system_from_cell(doc);
            doc.cut_box = true;
            doc.generation_mode = mode;
            doc.generation_ops.clear();
            for (EquivalentPosition& p : doc.positions) {
                p.selected = 1;
                if (doc.generation_ops.size() < static_cast<std::size_t>(kMaxOperators))
                    doc.generation_ops.push_back(p.op);
            }
            return;
        case GenerationMode::Box:
        case GenerationMode::Sphere:
        case GenerationMode::Fragments:
            doc.generation_mode = mode;
            doc.colour_fragments = messages.confirm(kColourFragmentsQuestion) == Answer::Yes;
            return;
    }
}

}  // namespace veldor
