#include "drawing/bond_edits.h"

#include <cmath>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "drawing/atom_edits.h"
#include "generation/bonds.h"

namespace veldor {

namespace {
bool joins(const CalcBond& b, int i, int j) {
    return (b.atom1 == i + 1 && b.atom2 == j + 1) || (b.atom1 == j + 1 && b.atom2 == i + 1);
}

bool to_dummy(const StructureDocument& doc, const CalcBond& b) {
    for (int a : {b.atom1 - 1, b.atom2 - 1})
        if (a >= 0 && a < static_cast<int>(doc.display.size()) &&
            element_key(doc.display[static_cast<std::size_t>(a)].element) == kDummyElement)
            return true;
    return false;
}

bool in_view(const ViewState& view, int atom) {
    return atom >= 0 && atom < static_cast<int>(view.points.size());
}
}  // namespace

std::optional<int> find_bond(const StructureDocument& doc, int i, int j, bool drawn_only) {
    for (std::size_t b = 0; b < doc.bonds.size(); ++b) {
        const CalcBond& bond = doc.bonds[b];
        if (joins(bond, i, j) && (!drawn_only || bond.width != 0)) return static_cast<int>(b);
    }
    return std::nullopt;
}

BondToggle toggle_bond(StructureDocument& doc, const ViewState& view, int i, int j,
                       Messages& messages) {
    if (const std::optional<int> b = find_bond(doc, i, j, false)) {
        doc.bonds.erase(doc.bonds.begin() + *b);
        return BondToggle::Removed;
    }
    if (!in_view(view, i) || !in_view(view, j) || i == j) return BondToggle::Refused;
    if (static_cast<int>(doc.bonds.size()) >= kMaxBonds) {
        messages.warn(kTooMuchBondsMessage);
        return BondToggle::Refused;
    }
    const Vec3& p = view.points[static_cast<std::size_t>(i)];
    const Vec3& q = view.points[static_cast<std::size_t>(j)];
    CalcBond bond;
    bond.atom1 = i + 1;
    bond.atom2 = j + 1;
    bond.length = std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                            (p[2] - q[2]) * (p[2] - q[2]));
    bond.width = kAddedBondWidth;
    bond.colour = doc.bond_colour;
    bond.multiplicity = 0;
    doc.bonds.push_back(bond);
    return BondToggle::Added;
}

bool customise_bond(StructureDocument& doc, int i, int j, Colour colour, int radius) {
    const std::optional<int> b = find_bond(doc, i, j, true);
    if (!b) return false;
    CalcBond& bond = doc.bonds[static_cast<std::size_t>(*b)];
    bond.colour = colour;
    bond.width = radius;
    return true;
}

void scale_bond_widths(StructureDocument& doc, int w) {
    const int w0 = doc.bond_width > 0 ? doc.bond_width : 1;
    for (CalcBond& b : doc.bonds) {
        if (b.width == 0) continue;
        if (to_dummy(doc, b))
            b.width = std::max(1, w / 2);
        else
            b.width = std::max(
                1, static_cast<int>(std::nearbyint(b.width * static_cast<double>(w) / w0)));
    }
    doc.bond_width = w == 0 ? 1 : w;
}

std::string bond_label_proposal(double length) {
    return trim(format_fixed(length, 6, 3)) + " \u00c5";
}

void place_bond_label(StructureDocument& doc, const ViewState& view, int bond, double click_x,
                      double click_y, const std::string& text, bool oblique) {
    if (bond < 0 || bond >= static_cast<int>(doc.bonds.size()) || view.scale == 0) return;
    CalcBond& b = doc.bonds[static_cast<std::size_t>(bond)];
    const int a1 = b.atom1 - 1, a2 = b.atom2 - 1;
    if (!in_view(view, a1) || !in_view(view, a2)) return;
    const Vec3& p = view.points[static_cast<std::size_t>(a1)];
    const Vec3& q = view.points[static_cast<std::size_t>(a2)];
    b.label_dx = p[0] - (click_x - view.screen_centre[0]) / view.scale;
    b.label_dy = p[1] - (view.screen_centre[1] - click_y) / view.scale;
    b.label = fit(text, kBondLabelLength);
    b.label_angle = 0;
    if (oblique) {
        double angle = std::atan2(q[1] - p[1], q[0] - p[0]) * kRadToDeg;
        if (angle > 90) angle -= 180;
        if (angle <= -90) angle += 180;
        b.label_angle = std::nearbyint(angle);
    }
}

void delete_bond_labels(StructureDocument& doc) {
    for (CalcBond& b : doc.bonds)
        b.label.clear();
}

}  // namespace veldor
