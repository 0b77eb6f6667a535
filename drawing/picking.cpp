#include "drawing/picking.h"

#include <algorithm>
#include <cmath>

namespace veldor {

namespace {
int table_atoms(const StructureDocument& doc, const ViewState& view) {
    return std::min({view.atom_count, static_cast<int>(doc.display.size()),
                     static_cast<int>(view.points.size())});
}
}  // namespace

Point atom_pixel(const ViewState& view, const PageGeometry& page, int atom) {
    const Vec3& p = view.points[static_cast<std::size_t>(atom)];
    return page.map(p[0], p[1]);
}

std::optional<int> pick_atom(const StructureDocument& doc, const ViewState& view,
                             const PageGeometry& page, Point click) {
    const int n = table_atoms(doc, view);
    for (int i = 0; i < n; ++i) {
        if (doc.display[static_cast<std::size_t>(i)].drawn != 1) continue;
        const Point s = atom_pixel(view, page, i);
        if (std::fabs(click.x - s.x) < kPickTolerance && std::fabs(click.y - s.y) < kPickTolerance)
            return i;
    }
    return std::nullopt;
}

bool is_drag(Point press, Point release) {
    return std::fabs(release.x - press.x) > kClickTolerance ||
           std::fabs(release.y - press.y) > kClickTolerance;
}

bool PixelRect::contains(Point p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

bool PixelRect::strictly_contains(Point p) const {
    return p.x > left && p.x < right && p.y > top && p.y < bottom;
}

PixelRect drag_rectangle(Point press, Point release) {
    return {std::min(press.x, release.x), std::min(press.y, release.y),
            std::max(press.x, release.x), std::max(press.y, release.y)};
}

std::vector<int> atoms_in_rectangle(const StructureDocument& doc, const ViewState& view,
                                    const PageGeometry& page, const PixelRect& rect, bool strict) {
    std::vector<int> inside;
    const int n = table_atoms(doc, view);
    for (int i = 0; i < n; ++i) {
        const Point s = atom_pixel(view, page, i);
        if (strict ? rect.strictly_contains(s) : rect.contains(s)) inside.push_back(i);
    }
    return inside;
}

}  // namespace veldor
