#include "analysis/coordination.h"

#include <algorithm>
#include <cmath>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "generation/bonds.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

// A piece shorter than its width is filled with blanks to width + 1.
std::string filled(std::string piece, std::size_t width) {
    if (piece.size() < width) piece.resize(width + 1, ' ');
    return piece;
}

// Negative coordinates are raised by one, then every coordinate keeps its
// fractional part (so -1.3 stays -0.3: such a neighbour is not reached).
Vec3 reduced_candidate(Vec3 p) {
    for (double& v : p) {
        if (v < 0) v += 1;
        v -= std::trunc(v);
    }
    return p;
}

struct Candidate {
    Vec3 position;
    const Atom* source;
};

struct Hit {
    std::string label;
    std::string code;           // "n_klm"
    std::string operator_text;  // of operator n; empty when no operator reproduces the hit
    Vec3 position;              // fractional, translation included
    Vec3 offset;                // Cartesian, from the centre
};

class ShellSearch {
  public:
    ShellSearch(const StructureDocument& doc, const Metric& metric, Messages& messages)
        : doc_(doc), metric_(metric), messages_(messages) {}

    void run(const Atom& centre, const std::string& element, double limit, bool with_angles,
             std::vector<std::string>& lines) {
        std::vector<Hit> hits;
        bool reported = false;
        const std::string central_label = fit(centre.name, kNameLength);
        for (const Candidate& c : candidates(element)) {
            for (int t1 = -1; t1 <= 1; ++t1)
                for (int t2 = -1; t2 <= 1; ++t2)
                    for (int t3 = -1; t3 <= 1; ++t3) {
                        const Vec3 p{c.position[0] + t1, c.position[1] + t2, c.position[2] + t3};
                        const Vec3 offset = frac_to_cart(
                            {p[0] - centre.x, p[1] - centre.y, p[2] - centre.z}, metric_);
                        const double d = length(offset);
                        if (d < kMinHitDistance || d > limit) continue;
                        if (static_cast<int>(hits.size()) == kMaxCoordinationHits) {
                            if (!reported) messages_.warn(too_many_hits_message(central_label));
                            reported = true;
                            continue;
                        }
                        if (hits.empty()) lines.push_back(" ");
                        hits.push_back(hit(*c.source, p, offset));
                        lines.push_back(hit_line(central_label, hits.back(), d));
                    }
        }
        if (!with_angles || hits.size() < 2) return;
        lines.push_back(" ");
        for (std::size_t i = 0; i + 1 < hits.size(); ++i)
            for (std::size_t j = i + 1; j < hits.size(); ++j)
                lines.push_back(angle_line(central_label, hits[i], hits[j]));
    }

  private:
    std::vector<Candidate> candidates(const std::string& element) const {
        std::vector<Candidate> kept;
        for (const Atom& a : doc_.asym) {
            if (a.name.empty() || element_key(a.element) != element) continue;
            for (const EquivalentPosition& op : doc_.positions) {
                const Vec3 p = reduced_candidate(op.op.apply(a.position()));
                const bool seen = std::any_of(kept.begin(), kept.end(), [&](const Candidate& k) {
                    return std::abs(k.position[0] - p[0]) < kSameCandidate &&
                           std::abs(k.position[1] - p[1]) < kSameCandidate &&
                           std::abs(k.position[2] - p[2]) < kSameCandidate;
                });
                if (!seen) kept.push_back({p, &a});
            }
        }
        return kept;
    }

    // The site code of the image is found anew, by the first operator and
    // translation that reproduce it from the atom of the same label.
    Hit hit(const Atom& source, const Vec3& p, const Vec3& offset) const {
        Atom image = source;
        image.set_position(p);
        const SiteCode code = site_code(doc_, image, messages_).value_or(SiteCode{});
        const bool known = code.n >= 1 && code.n <= static_cast<int>(doc_.positions.size());
        return {fit(source.name, kNameLength), format_site_code(code),
                known ? doc_.positions[static_cast<std::size_t>(code.n - 1)].text : std::string(),
                p, offset};
    }

    static std::string hit_line(const std::string& central, const Hit& h, double d) {
        return filled(central + " ", 5) + filled(h.label, 4) + format_fixed(d, 6, 3) +
               filled(" (" + h.operator_text, 25) + filled(") (" + h.code + ")", 11) +
               format_fixed(h.position[0], 8, 4) + format_fixed(h.position[1], 8, 4) +
               format_fixed(h.position[2], 8, 4);
    }

    static std::string angle_line(const std::string& central, const Hit& a, const Hit& b) {
        const double cosine =
            std::clamp(dot(a.offset, b.offset) / (length(a.offset) * length(b.offset)), -1.0, 1.0);
        return " Angle: " + filled(trim(a.label), 5) + filled(trim(central), 5) +
               filled(trim(b.label), 5) + format_fixed(std::acos(cosine) * kRadToDeg, 7, 2) +
               "   " + filled("(" + a.code + ")", 8) + "  (1_555)  " +
               filled("(" + b.code + ")", 8);
    }

    const StructureDocument& doc_;
    const Metric& metric_;
    Messages& messages_;
};

}  // namespace

std::string too_many_hits_message(std::string_view central_label) {
    return "More than " + std::to_string(kMaxCoordinationHits) + " neighbours around " +
           trim(central_label) + ": only the first " + std::to_string(kMaxCoordinationHits) +
           " are listed";
}

std::vector<PairRow> pair_rows(const StructureDocument& doc) {
    std::vector<PairRow> rows;
    for (const BondSort& s : doc.bond_sorts)
        rows.push_back({s.element1, s.element2, s.max_distance});
    return rows;
}

std::string pair_element_text(std::string_view symbol) {
    return element_display_text(trim(symbol));
}

std::string pair_distance_text(double d) {
    return format_fixed(d, 6, 2);
}

void read_pair_distances(std::vector<PairRow>& rows, const std::vector<std::string>& texts,
                         Messages& messages) {
    for (std::size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
        const std::optional<double> d = parse_double(texts[i]);
        if (!d) {
            messages.warn(std::string(kReadErrorAtLine) + std::to_string(i + 1));
            return;
        }
        rows[i].max_distance = *d;
    }
}

std::vector<AsymRow> asym_rows(const StructureDocument& doc) {
    std::vector<AsymRow> rows;
    for (std::size_t i = 0; i < doc.asym.size(); ++i) {
        const Atom& a = doc.asym[i];
        if (a.name.empty()) continue;
        rows.push_back(
            {static_cast<int>(i),
             {a.name, format_fixed(a.x, 8, 4), format_fixed(a.y, 8, 4), format_fixed(a.z, 8, 4)}});
    }
    return rows;
}

CoordinationResult calculate_coordination(const StructureDocument& doc,
                                          const std::vector<bool>& central,
                                          const std::vector<PairRow>& pairs, bool with_angles,
                                          Messages& messages) {
    CoordinationResult result;
    result.with_angles = with_angles;
    Metric metric = doc.metric;
    if (metric.cell != doc.cell_parameters &&
        !compute_metric(doc.cell_parameters, metric, messages))
        return result;
    std::vector<std::string> elements;
    for (const ElementSort& s : doc.element_sorts)
        elements.push_back(element_key(s.symbol));
    ShellSearch search(doc, metric, messages);
    for (const std::string& e1 : elements)
        for (std::size_t a = 0; a < doc.asym.size() && a < central.size(); ++a) {
            const Atom& atom = doc.asym[a];
            if (!central[a] || atom.name.empty() || element_key(atom.element) != e1) continue;
            for (const std::string& e2 : elements)
                for (const PairRow& row : pairs) {
                    const std::string k1 = element_key(row.element1);
                    const std::string k2 = element_key(row.element2);
                    const bool names = (k1 == e1 && k2 == e2) || (k1 == e2 && k2 == e1);
                    if (!names || !(row.max_distance >= kMinPairDistance)) continue;
                    search.run(atom, e2, row.max_distance, with_angles, result.lines);
                }
        }
    return result;
}

}  // namespace veldor
