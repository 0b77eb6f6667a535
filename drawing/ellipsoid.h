#pragma once
// Thermal ellipsoids: the ellipsoid of every displayed atom at the chosen
// probability, its principal axes, its outline in the view plane, and the
// drawing of one atom (outline, shading, principal ellipses and axes).
//
// The ellipsoid and its axes are computed only when the probability, the
// thermal mode or the orientation set-up changes; a mouse rotation only
// re-derives the outlines, which is cheap.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/document.h"
#include "core/mat3.h"
#include "core/messages.h"
#include "drawing/canvas.h"

namespace veldor {

// Probability factors c of the ten entries "10" .. "100" (%).
inline constexpr std::array<double, 10> kProbabilityFactors = {
    0.7644, 1.0026, 1.1932, 1.3672, 1.5382, 1.7164, 1.9144, 2.1544, 2.5, 5.95};
// 2 pi^2 as the ellipsoid computation takes it.
inline constexpr double kEllipsoidTwoPiSquared = 19.739208802178716;
// Entries of the ellipsoid matrix below this magnitude become 0.
inline constexpr double kSmallEllipsoidEntry = 0.0001;
inline constexpr double kJacobiTolerance = 1e-15;
inline constexpr int kJacobiMaxSweeps = 11;
// Starting values of the smallest and largest eigenvalue over all atoms.
inline constexpr double kSmallestEigenvalueStart = 100000.0;
inline constexpr double kLargestEigenvalueStart = -100000.0;
// An atom whose tensor is unusable is drawn as a sphere of this radius (A).
inline constexpr double kFaultyAtomRadius = 0.1;
inline constexpr const char* kMatrixInversionMessage =
    "Matrix inverion error. Please contact J. Vasquin";
inline constexpr const char* kDiagnosticFileName = "espion.txt";

// c of a probability index 1..10 (clamped).
double probability_factor(int probability_index);

// "Thermal parameters": every atom as its tensor says, or every atom as a
// sphere of its isotropic average.
enum class ThermalMode { Aniso, Iso };

// The directions of an outline turn: k x 2 pi / steps for k = 0..steps
// (the last repeats the first). 50 steps give the screen's 51-point table.
struct UnitCircle {
    std::vector<double> cos, sin;
};
const UnitCircle& unit_circle(int steps);

struct AtomEllipsoid {
    Mat3 W{};                         // surface: d^T W d = 1, d Cartesian (A), W in 1/A^2
    Vec3 eigenvalues{};               // of W, largest first; semi-axis k = 1/sqrt(eigenvalue k)
    Mat3 eigenvectors = identity3();  // columns, Cartesian crystal frame
    Mat3 W_view{};                    // rotation W rotation^-1
    // Outline relative to the centre: A x^2 + B y^2 + C x y = D.
    double A = 0, B = 0, C = 0, D = 0;
    // The tensor was singular or not positive definite: the atom is a small
    // sphere (kFaultyAtomRadius), without principal ellipses or axes.
    bool faulty = false;
};

struct EllipsoidSet {
    std::vector<AtomEllipsoid> atoms;  // parallel to doc.display
    double smallest_eigenvalue = kSmallestEigenvalueStart;
    double largest_eigenvalue = kLargestEigenvalueStart;
};

// The displacement tensor T of an atom at probability factor c (crystal
// axes): k beta with k = c^2 / 2 pi^2, or in Iso mode for an anisotropic
// atom c^2 u G* with u its Ueq (u_equivalent_of_betas, the Fischer-Tillmanns value).
Mat3 probability_tensor(const Atom& atom, double c, ThermalMode mode, const Metric& metric);

// Cyclic Jacobi diagonalisation of a symmetric matrix: eigenvalues largest
// first, eigenvectors as columns. When 11 sweeps do not make the matrix
// diagonal the last sweep's values are returned with converged false.
struct Eigen {
    Vec3 values{};
    Mat3 vectors = identity3();
    int sweeps = 0;
    bool converged = false;
};
Eigen jacobi(const Mat3& symmetric);

// Ellipsoid matrix and principal axes of every atom of doc.display.
// A tensor that is singular, or whose ellipsoid has a non-positive
// eigenvalue, makes its atom faulty; the other atoms are computed as usual.
// The first such atom of a call writes espion.txt into work_dir (the atom
// number, " ier=" and 1 when the tensor is not positive semi-definite, then
// each displayed atom's name and six adp values as F8.4) and shows
// kMatrixInversionMessage. Faulty atoms do not enter the extremes.
void compute_ellipsoids(const StructureDocument& doc, int probability_index, ThermalMode mode,
                        const std::string& work_dir, Messages& messages, EllipsoidSet& set);

// Outline of one ellipsoid for the current rotation.
void compute_outline(AtomEllipsoid& e, const Mat3& rotation, const Mat3& rotation_inverse);
void compute_outlines(EllipsoidSet& set, const Mat3& rotation, const Mat3& rotation_inverse);

// Outline radius (A) in the view-plane direction (cos t, sin t).
double outline_radius(const AtomEllipsoid& e, double cos_t, double sin_t);

// What is drawn on top of an atom's filled outline.
struct AtomStyle {
    bool gradation = false;  // "Color gradation"
    bool planes = false;     // principal ellipses
    bool axes = false;       // principal semi-axes
};

// Draws one atom centred at view (X, Y): the outline polygon filled with
// `colour` and bordered by a black pen, then the shading, the front halves
// of the principal ellipses and the front semi-axes as the style asks.
// `rotation` is the Cartesian-to-view rotation.
void draw_atom(Canvas& canvas, const PageGeometry& page, const Vec3& centre, const AtomEllipsoid& e,
               Colour colour, const AtomStyle& style, const Mat3& rotation);

// The front halves of the principal ellipses and the front semi-axes, as
// the style asks (nothing for a faulty atom), with the current pen.
void draw_principal_ellipses_and_axes(Canvas& canvas, const PageGeometry& page, const Vec3& centre,
                                      const AtomEllipsoid& e, const AtomStyle& style,
                                      const Mat3& rotation);

// The outline polygon's points (outline_steps + 1, in pixels).
std::vector<Point> outline_polygon(const PageGeometry& page, const Vec3& centre,
                                   const AtomEllipsoid& e);

}  // namespace veldor
