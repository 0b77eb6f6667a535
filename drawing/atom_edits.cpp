#include "drawing/atom_edits.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "core/adp.h"
#include "core/elements.h"
#include "core/text.h"

namespace veldor {

namespace {

bool valid(const StructureDocument& doc, int atom) {
    return atom >= 0 && atom < static_cast<int>(doc.display.size());
}

bool is_dummy(const Atom& a) {
    return element_key(a.element) == kDummyElement;
}

bool same_within(const Vec3& a, const Vec3& b) {
    for (int k = 0; k < 3; ++k)
        if (std::fabs(a[k] - b[k]) > kSamePickTolerance) return false;
    return true;
}

}  // namespace

void mask_atom(StructureDocument& doc, int atom) {
    if (!valid(doc, atom)) return;
    Atom& a = doc.display[static_cast<std::size_t>(atom)];
    a.drawn = 0;
    a.labelled = 0;
}

void mask_fragment(StructureDocument& doc, int atom) {
    if (!valid(doc, atom)) return;
    const int tag = doc.display[static_cast<std::size_t>(atom)].tag;
    for (Atom& a : doc.display)
        if (a.tag == tag) a.drawn = 0;
}

void mask_atoms_inside(StructureDocument& doc, const std::vector<int>& inside) {
    for (int i : inside)
        if (valid(doc, i)) doc.display[static_cast<std::size_t>(i)].drawn = 0;
    for (Atom& a : doc.display)
        a.labelled = 0;
}

int mask_bonds_inside(StructureDocument& doc, const std::vector<int>& inside) {
    const std::set<int> in(inside.begin(), inside.end());
    int hidden = 0;
    for (CalcBond& b : doc.bonds) {
        if (in.count(b.atom1 - 1) && in.count(b.atom2 - 1) && b.width != 0) {
            b.width = 0;
            ++hidden;
        }
    }
    return hidden;
}

std::vector<std::string> maskable_elements(const StructureDocument& doc) {
    std::vector<std::string> symbols;
    for (const ElementSort& s : doc.element_sorts)
        symbols.push_back(element_display_text(s.symbol));
    return symbols;
}

void mask_elements(StructureDocument& doc, const std::vector<std::string>& symbols) {
    std::set<std::string> keys;
    for (const std::string& s : symbols)
        keys.insert(element_key(s));
    for (Atom& a : doc.display)
        if (keys.count(element_key(a.element))) a.drawn = 0;
}

std::string not_an_integer_message(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

std::optional<std::array<int, 3>> read_translation(const std::array<std::string, 3>& boxes,
                                                   Messages& messages) {
    std::array<int, 3> t{};
    for (std::size_t k = 0; k < 3; ++k) {
        std::string text = trim(boxes[k]);
        if (text.empty()) text = "0";
        const std::optional<long long> v = parse_int(text);
        if (!v || *v < -1000000 || *v > 1000000) {
            messages.warn(not_an_integer_message(text));
            return std::nullopt;
        }
        t[k] = static_cast<int>(*v);
    }
    return t;
}

void translate_atoms(StructureDocument& doc, const std::vector<int>& atoms,
                     const std::array<int, 3>& t) {
    for (int i : atoms) {
        if (!valid(doc, i)) continue;
        Atom& a = doc.display[static_cast<std::size_t>(i)];
        a.x += t[0];
        a.y += t[1];
        a.z += t[2];
    }
}

std::vector<RingPick> distinct_picks(const std::vector<RingPick>& picks) {
    std::vector<RingPick> kept;
    for (const RingPick& p : picks) {
        const bool repeat = std::any_of(kept.begin(), kept.end(), [&](const RingPick& k) {
            return same_within(k.fractional, p.fractional) && same_within(k.view, p.view);
        });
        if (!repeat) kept.push_back(p);
    }
    return kept;
}

std::array<double, 6> dummy_tensor(const Metric& metric, double dimension) {
    std::array<double, 6> beta = isotropic_factors(metric);
    for (double& b : beta)
        b *= dimension;
    return beta;
}

std::optional<int> add_ring_middle(StructureDocument& doc, const DummyStyle& style,
                                   const std::vector<RingPick>& picks, Messages& messages) {
    std::vector<RingPick> atoms = distinct_picks(picks);
    std::erase_if(atoms, [&](const RingPick& p) { return !valid(doc, p.atom); });
    if (atoms.size() <= 2) {
        messages.warn(kNotEnoughAtoms);
        return std::nullopt;
    }
    if (static_cast<int>(doc.display.size()) >= kMaxGenAtoms) {
        messages.warn("Nb of atoms too big (>5000)");
        return std::nullopt;
    }
    Vec3 mean{};
    for (const RingPick& p : atoms)
        for (int k = 0; k < 3; ++k)
            mean[k] += p.fractional[k] / static_cast<double>(atoms.size());

    auto sort = std::find_if(doc.element_sorts.begin(), doc.element_sorts.end(),
                             [](const ElementSort& s) { return element_key(s.symbol) == "DU"; });
    int sort_number = 0;
    if (sort != doc.element_sorts.end()) {
        sort_number = static_cast<int>(sort - doc.element_sorts.begin()) + 1;
    } else if (static_cast<int>(doc.element_sorts.size()) < kMaxElementSorts) {
        doc.element_sorts.push_back({kDummySortColour, kDummySortRadius, kDummyElement});
        sort_number = static_cast<int>(doc.element_sorts.size());
    }
    const int count =
        1 + static_cast<int>(std::count_if(doc.display.begin(), doc.display.end(), is_dummy));

    Atom dummy;
    dummy.element = kDummyElement;
    dummy.name = std::string(kDummyElement) + std::to_string(count);
    dummy.set_position(mean);
    dummy.element_index = sort_number;
    // The ring's own fragment: masking that fragment hides its middle too.
    dummy.tag = doc.display[static_cast<std::size_t>(atoms.front().atom)].tag;
    dummy.iso = 1;
    dummy.drawn = 1;
    dummy.labelled = 1;
    // Styled at once, so the atom is never drawn with an empty tensor
    // before the style dialog is answered.
    dummy.colour = style.colour;
    dummy.adp = dummy_tensor(doc.metric, style.dimension);
    doc.display.push_back(dummy);
    return static_cast<int>(doc.display.size()) - 1;
}

void apply_dummy_style(StructureDocument& doc, const DummyStyle& style) {
    for (auto it = doc.display.rbegin(); it != doc.display.rend(); ++it) {
        if (!is_dummy(*it)) continue;
        it->colour = style.colour;
        it->adp = dummy_tensor(doc.metric, style.dimension);
        return;
    }
}

void restore_display(StructureDocument& doc) {
    doc.display = doc.gen;
    for (Atom& a : doc.display)
        a.drawn = 1;
}

}  // namespace veldor
