#pragma once
// Neighbour search in fractional coordinates, for generation and the bond
// search. The grid only proposes candidates: it never misses a point within
// the reach, and every caller decides with the same exact distance test that
// a pair-by-pair loop would make, so results do not depend on the grid.

#include <array>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/document.h"

namespace veldor::detail {

// Per-axis fractional half-widths that contain every point lying within
// `distance` angstrom (Cartesian) of another, with a margin for rounding.
// `scale` is the largest absolute coordinate involved. Infinite components
// mean "no bound" (a degenerate metric, a non-finite distance).
Vec3 fractional_reach(const Metric& metric, double distance, double scale);

// A squared Cartesian distance beyond which two points, their Cartesian
// coordinates computed apart, are surely farther than `distance` by the
// exact test: a cheap first test. Infinite when nothing can be excluded.
double cartesian_limit_squared(const Metric& metric, double distance, double scale);

// Largest finite absolute coordinate of the points (0 when none).
double coordinate_scale(const std::vector<Vec3>& points);

class FracGrid {
  public:
    FracGrid() = default;
    // Points with a non-finite coordinate are left out: with a finite reach
    // their distance to anything is never finite. With an infinite reach
    // every point is a candidate of every query.
    FracGrid(const std::vector<Vec3>& points, const Vec3& reach);

    // Calls f(i) for every point i with |p_c - q_c| <= reach_c on each axis,
    // and possibly for some others; indices come cell by cell.
    template <class F>
    void visit(const Vec3& q, F&& f) const {
        if (all_) {
            for (int i = 0; i < count_; ++i)
                f(i);
            return;
        }
        if (items_.empty()) return;
        int from[3], to[3];
        for (int c = 0; c < 3; ++c) {
            if (!std::isfinite(q[c])) return;
            const double cell = std::floor((q[c] - lo_[c]) / width_[c]);
            if (cell < -1.0 || cell > static_cast<double>(n_[c])) return;
            const int k = static_cast<int>(cell);
            from[c] = k - 1 < 0 ? 0 : k - 1;
            to[c] = k + 1 > n_[c] - 1 ? n_[c] - 1 : k + 1;
            if (from[c] > to[c]) return;
        }
        for (int x = from[0]; x <= to[0]; ++x)
            for (int y = from[1]; y <= to[1]; ++y) {
                const int row = (x * n_[1] + y) * n_[2];
                const int b = start_[row + from[2]];
                const int e = start_[row + to[2] + 1];
                for (int i = b; i < e; ++i)
                    f(items_[i]);
            }
    }

    // Fractional bounds of the stored points (empty grid: lo > hi).
    const Vec3& lower() const { return box_lo_; }
    const Vec3& upper() const { return box_hi_; }
    bool unbounded() const { return all_; }

  private:
    bool all_ = false;
    int count_ = 0;
    Vec3 lo_{}, width_{{1, 1, 1}};
    Vec3 box_lo_{{1, 1, 1}}, box_hi_{{0, 0, 0}};
    std::array<int, 3> n_{{0, 0, 0}};
    std::vector<int> start_;  // first item of each cell, cells in x, y, z order
    std::vector<int> items_;  // point indices, ascending within a cell
};

// Points kept one by one, with the question whether a new point lies
// within `tolerance` angstrom (Cartesian, strictly closer) of one already
// kept: the test of coincident images and kept points. The answer is the
// plain test over every kept point (`distance() < tolerance`); cells of the
// fractional reach of the tolerance only make it fast. `scale` bounds the
// coordinates that are filed in cells; points beyond it (and every point
// when the metric is degenerate) are compared with all the others.
class CoincidentPoints {
  public:
    CoincidentPoints(const Metric& metric, double tolerance, double scale);
    bool coincides(const Vec3& p) const;
    void add(const Vec3& p);

  private:
    struct Cell {
        long long x, y, z;
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& c) const;
    };
    bool close(const Vec3& p, const Vec3& q) const;
    bool filed(const Vec3& p) const;
    Cell cell_of(const Vec3& p) const;

    const Metric& metric_;
    double tolerance_;
    double scale_;
    Vec3 width_{};
    bool linear_ = false;
    std::vector<Vec3> points_;
    std::vector<int> unfiled_;
    std::unordered_map<Cell, std::vector<int>, CellHash> cells_;
};

}  // namespace veldor::detail
