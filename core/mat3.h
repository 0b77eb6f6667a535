#pragma once
// 3x3 matrices and 3-vectors: the small set of routines that generation,
// bonds, ellipsoids and the drawing rest on. Matrices are row-major.

#include <array>

namespace veldor {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<std::array<double, 3>, 3>;

// Absolute determinant below this value means a singular matrix.
inline constexpr double kSingularDeterminant = 1e-15;

Mat3 identity3();
double determinant(const Mat3& m);

struct InverseResult {
    Mat3 inverse{};
    bool singular = false;  // the inverse is undefined when set
};
// Adjugate divided by the determinant (cofactor expansion along row 1).
InverseResult inverse(const Mat3& m);

Mat3 multiply(const Mat3& p, const Mat3& q);
Mat3 transpose(const Mat3& m);
Vec3 transform(const Mat3& m, const Vec3& v);
Vec3 cross(const Vec3& u, const Vec3& v);
// u - v.
Vec3 subtract(const Vec3& u, const Vec3& v);
double dot(const Vec3& u, const Vec3& v);
double length(const Vec3& v);
// Divides by the Euclidean length; a zero vector is returned unchanged.
Vec3 normalise(const Vec3& v);

// True unless all three leading 2x2 minors and the determinant of the
// symmetric matrix (m11 m12 m13 / m12 m22 m23 / m13 m23 m33) are >= 0.
// Returns true for a matrix that is NOT positive (semi-)definite, i.e.
// the historical "flag 1".
bool not_positive_definite(double m11, double m22, double m33, double m12, double m13, double m23);

}  // namespace veldor
