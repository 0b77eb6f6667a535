#include "generation/neighbours.h"

#include <algorithm>
#include <limits>

#include "core/metric.h"

namespace veldor::detail {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Relative and absolute slack of the reach: far above the rounding of a
// distance, far below anything that costs time.
constexpr double kReachSlack = 1e-7;

bool finite(const Vec3& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

}  // namespace

Vec3 fractional_reach(const Metric& metric, double distance, double scale) {
    const Vec3 unbounded{kInfinity, kInfinity, kInfinity};
    if (std::isnan(distance) || distance == kInfinity) return unbounded;
    const double d = std::max(distance, 0.0);
    // A fractional component is the dot product of a row of the inverse of
    // the orthogonalisation matrix with the Cartesian vector, so it is at
    // most that row's length times the distance.
    const InverseResult inv = inverse(metric.frac_to_cart);
    if (inv.singular) return unbounded;
    Vec3 reach{};
    for (int c = 0; c < 3; ++c) {
        const double row = length(inv.inverse[c]);
        const double r = (d * row) * (1 + kReachSlack) + kReachSlack * (1 + row + scale);
        if (!std::isfinite(r)) return unbounded;
        reach[c] = r;
    }
    return reach;
}

double cartesian_limit_squared(const Metric& metric, double distance, double scale) {
    if (std::isnan(distance) || distance == kInfinity) return kInfinity;
    double norm = 0;
    for (const auto& row : metric.frac_to_cart)
        for (double v : row)
            norm += v * v;
    norm = std::sqrt(norm);
    const double d = std::max(distance, 0.0);
    const double limit = d * (1 + kReachSlack) + kReachSlack * (1 + norm * (scale + 1));
    if (!std::isfinite(limit)) return kInfinity;
    return limit * limit;
}

double coordinate_scale(const std::vector<Vec3>& points) {
    double s = 0;
    for (const Vec3& p : points)
        for (double v : p)
            if (std::isfinite(v)) s = std::max(s, std::fabs(v));
    return s;
}

FracGrid::FracGrid(const std::vector<Vec3>& points, const Vec3& reach)
    : count_(static_cast<int>(points.size())) {
    if (!finite(reach)) {
        all_ = true;
        return;
    }
    std::vector<int> kept;
    kept.reserve(points.size());
    Vec3 lo{kInfinity, kInfinity, kInfinity}, hi{-kInfinity, -kInfinity, -kInfinity};
    for (int i = 0; i < count_; ++i) {
        const Vec3& p = points[static_cast<std::size_t>(i)];
        if (!finite(p)) continue;
        kept.push_back(i);
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], p[c]);
            hi[c] = std::max(hi[c], p[c]);
        }
    }
    if (kept.empty()) return;
    box_lo_ = lo;
    box_hi_ = hi;
    lo_ = lo;

    // Cells at least as wide as the reach; coarser when the points spread
    // far, so that the table stays proportional to the number of points.
    const double cap = std::max(64.0, 2.0 * static_cast<double>(kept.size()));
    Vec3 width{};
    for (int c = 0; c < 3; ++c)
        width[c] = std::max(reach[c], 1e-9);
    std::array<double, 3> n{};
    for (int attempt = 0; attempt < 200; ++attempt) {
        double cells = 1;
        for (int c = 0; c < 3; ++c) {
            const double extent = hi[c] - lo[c];
            n[c] = std::isfinite(extent / width[c]) ? std::floor(extent / width[c]) + 1 : 1e300;
            cells *= n[c];
        }
        if (cells <= cap) break;
        const double grow = std::max(1.01, std::cbrt(cells / cap));
        for (int c = 0; c < 3; ++c)
            if (n[c] > 1) width[c] *= grow;
    }
    double cells = 1;
    for (int c = 0; c < 3; ++c) {
        if (!(n[c] >= 1 && n[c] <= cap)) {  // spread beyond any grid: one cell on that axis
            n[c] = 1;
            width[c] = kInfinity;
        }
        cells *= n[c];
    }
    if (cells > cap) {
        all_ = true;
        return;
    }
    width_ = width;
    for (int c = 0; c < 3; ++c)
        n_[c] = static_cast<int>(n[c]);

    auto cell_of = [&](const Vec3& p) {
        int k[3];
        for (int c = 0; c < 3; ++c) {
            double f = std::isfinite(width_[c]) ? std::floor((p[c] - lo_[c]) / width_[c]) : 0;
            k[c] = static_cast<int>(std::clamp(f, 0.0, static_cast<double>(n_[c] - 1)));
        }
        return (k[0] * n_[1] + k[1]) * n_[2] + k[2];
    };
    const int total = n_[0] * n_[1] * n_[2];
    start_.assign(static_cast<std::size_t>(total) + 1, 0);
    std::vector<int> cell(kept.size());
    for (std::size_t s = 0; s < kept.size(); ++s) {
        cell[s] = cell_of(points[static_cast<std::size_t>(kept[s])]);
        ++start_[static_cast<std::size_t>(cell[s]) + 1];
    }
    for (int i = 0; i < total; ++i)
        start_[i + 1] += start_[i];
    items_.resize(kept.size());
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (std::size_t s = 0; s < kept.size(); ++s)
        items_[static_cast<std::size_t>(fill[static_cast<std::size_t>(cell[s])]++)] = kept[s];
}

CoincidentPoints::CoincidentPoints(const Metric& metric, double tolerance, double scale)
    : metric_(metric), tolerance_(tolerance), scale_(scale) {
    width_ = fractional_reach(metric, tolerance, scale);
    linear_ = !finite(width_) || !(scale >= 0) || !std::isfinite(scale);
    for (int c = 0; c < 3 && !linear_; ++c)
        linear_ = !(width_[c] > 0) || scale / width_[c] > 1e15;
}

std::size_t CoincidentPoints::CellHash::operator()(const Cell& c) const {
    // Unsigned arithmetic: cell numbers can be large, and signed overflow is undefined.
    return static_cast<std::size_t>(static_cast<unsigned long long>(c.x) * 73856093ULL ^
                                    static_cast<unsigned long long>(c.y) * 19349663ULL ^
                                    static_cast<unsigned long long>(c.z) * 83492791ULL);
}

bool CoincidentPoints::close(const Vec3& p, const Vec3& q) const {
    return distance(p, q, metric_) < tolerance_;
}

bool CoincidentPoints::filed(const Vec3& p) const {
    return !linear_ && finite(p) && std::fabs(p[0]) <= scale_ && std::fabs(p[1]) <= scale_ &&
           std::fabs(p[2]) <= scale_;
}

CoincidentPoints::Cell CoincidentPoints::cell_of(const Vec3& p) const {
    return {static_cast<long long>(std::floor(p[0] / width_[0])),
            static_cast<long long>(std::floor(p[1] / width_[1])),
            static_cast<long long>(std::floor(p[2] / width_[2]))};
}

bool CoincidentPoints::coincides(const Vec3& p) const {
    if (!finite(p)) return false;  // no distance to it is finite
    if (!filed(p)) {
        for (const Vec3& q : points_)
            if (close(p, q)) return true;
        return false;
    }
    const Cell c = cell_of(p);
    for (long long dx = -1; dx <= 1; ++dx)
        for (long long dy = -1; dy <= 1; ++dy)
            for (long long dz = -1; dz <= 1; ++dz) {
                const auto it = cells_.find(Cell{c.x + dx, c.y + dy, c.z + dz});
                if (it == cells_.end()) continue;
                for (int i : it->second)
                    if (close(p, points_[static_cast<std::size_t>(i)])) return true;
            }
    for (int i : unfiled_)
        if (close(p, points_[static_cast<std::size_t>(i)])) return true;
    return false;
}

void CoincidentPoints::add(const Vec3& p) {
    const int i = static_cast<int>(points_.size());
    points_.push_back(p);
    if (!finite(p)) return;
    if (filed(p))
        cells_[cell_of(p)].push_back(i);
    else
        unfiled_.push_back(i);
}

}  // namespace veldor::detail
