#pragma once
// The cell metric: from the six cell values to the matrices every geometric
// computation uses. Cartesian frame: x along a*, y in the a*b* plane, z
// along c; lengths in angstrom.

#include <string>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// The program's own constants (not the mathematical values).
inline constexpr double kDegToRad = 0.017453316741046884;
inline constexpr double kRadToDeg = 57.2957;
inline constexpr double kTwoPiSquared = 19.7391754562;
inline constexpr double kEqualLengthTolerance = 0.001;

// The message shown when the cell gives a singular B matrix.
inline constexpr const char* kSingularCellMessage = "erreur dans oemath ligne 889";

// Fills every matrix of the metric from the six values. A degenerate cell
// (singular B) reports kSingularCellMessage and returns false; the metric is
// then left as it was.
bool compute_metric(const std::array<double, 6>& cell, Metric& metric, Messages& messages);
// Same, on the document's cell_parameters.
bool compute_metric(StructureDocument& doc, Messages& messages);

// The crystal system guessed from a cell ("CUBI" ... "TRIC"), or the
// current one when the cell leaves it undecided.
std::string crystal_system_from_cell(const std::array<double, 6>& cell, const std::string& current);
void set_crystal_system_from_cell(StructureDocument& doc);

// Fractional vector divided by its length in the direct metric.
Vec3 normalise_direct(const Vec3& frac, const Metric& m);
// (h, k, l) on a*, b*, c* divided by its length in the reciprocal metric.
Vec3 normalise_reciprocal(const Vec3& hkl, const Metric& m);

// Cartesian coordinates of a fractional position and back.
Vec3 frac_to_cart(const Vec3& frac, const Metric& m);
Vec3 cart_to_frac(const Vec3& cart, const Metric& m);
// Distance in angstrom between two fractional positions.
double distance(const Vec3& frac1, const Vec3& frac2, const Metric& m);

}  // namespace veldor
