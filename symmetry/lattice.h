#pragma once
// What a list of operators says about its lattice, for files that give
// operators rather than a LATT code: the centring translations present, the
// inversion centre, the comparison of two operator sets modulo lattice
// translations, and whether a cell has the metric the rotations demand.

#include <array>
#include <string>
#include <vector>

#include "core/document.h"

namespace veldor {

// Translations of operators read from files are compared with this
// tolerance: 4-decimal files write 1/3 as 0.3333.
inline constexpr double kTranslationMatchTolerance = 0.002;

// A translation brought into [0, 1); a value within 1e-9 of a whole number
// becomes 0, so that 0.9999999999 (2/3 + 1/3 in decimals) is not kept as
// almost 1.
double unit_translation(double t);
// All three translations of an operator brought into [0, 1), so that
// "x+5/2" reads as "x+1/2" and site symmetry codes stay within their digits.
void reduce_translations(SymOp& op);

// The lattice an operator list describes.
struct LatticeDescription {
    // "P", "A", "B", "C", "I", "F" or "R" (hexagonal axes, obverse). Pure
    // translations that form none of these (or none at all) give "P": the
    // list then carries every operator itself.
    std::string letter = "P";
    std::vector<Vec3> centring;  // the centring vectors of `letter` (for "R" on hexagonal axes)
    // 1 when an operator is the inversion through the origin: rotation -I,
    // translation 0 modulo a centring vector. A centre elsewhere (origin
    // choice 1) leaves it 0.
    int centrosymmetric = 0;
};
LatticeDescription describe_lattice(const std::vector<EquivalentPosition>& positions);

// True when every operator of `a` matches one of `b` and every one of `b`
// one of `a`: equal rotations, translations equal modulo 1 within
// kTranslationMatchTolerance.
bool same_operator_set(const std::vector<SymOp>& a, const std::vector<SymOp>& b);
std::vector<SymOp> operators_of(const std::vector<EquivalentPosition>& positions);

// True when the metric tensor G of the cell is kept by every rotation R of
// the operators (R^T G R = G within one part in 10^5 of the largest
// diagonal term): a cell of 89.98 degrees is not monoclinic, one of 90.00
// is. Angles converted with the exact value of pi.
bool cell_fits_operators(const std::array<double, 6>& cell,
                         const std::vector<EquivalentPosition>& positions);

}  // namespace veldor
