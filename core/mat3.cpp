#include "core/mat3.h"

#include <cmath>

namespace veldor {

Mat3 identity3() {
    return Mat3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

double determinant(const Mat3& m) {
    // Extended precision for the intermediate products.
    const long double a = m[0][0], b = m[0][1], c = m[0][2];
    const long double d = m[1][0], e = m[1][1], f = m[1][2];
    const long double g = m[2][0], h = m[2][1], i = m[2][2];
    return static_cast<double>(a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g));
}

InverseResult inverse(const Mat3& m) {
    InverseResult r;
    const double det = determinant(m);
    if (std::fabs(det) < kSingularDeterminant) {
        r.singular = true;
        return r;
    }
    const long double a = m[0][0], b = m[0][1], c = m[0][2];
    const long double d = m[1][0], e = m[1][1], f = m[1][2];
    const long double g = m[2][0], h = m[2][1], i = m[2][2];
    const long double cof[3][3] = {{e * i - f * h, -(d * i - f * g), d * h - e * g},
                                   {-(b * i - c * h), a * i - c * g, -(a * h - b * g)},
                                   {b * f - c * e, -(a * f - c * d), a * e - b * d}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.inverse[row][col] = static_cast<double>(cof[col][row] / det);  // adjugate = cof^T
    return r;
}

Mat3 multiply(const Mat3& p, const Mat3& q) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            long double s = 0;
            for (int k = 0; k < 3; ++k)
                s += static_cast<long double>(p[i][k]) * q[k][j];
            r[i][j] = static_cast<double>(s);
        }
    return r;
}

Mat3 transpose(const Mat3& m) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = m[j][i];
    return r;
}

Vec3 transform(const Mat3& m, const Vec3& v) {
    Vec3 r{};
    for (int i = 0; i < 3; ++i) {
        long double s = 0;
        for (int k = 0; k < 3; ++k)
            s += static_cast<long double>(m[i][k]) * v[k];
        r[i] = static_cast<double>(s);
    }
    return r;
}

Vec3 cross(const Vec3& u, const Vec3& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

double dot(const Vec3& u, const Vec3& v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

double length(const Vec3& v) {
    return std::sqrt(dot(v, v));
}

Vec3 subtract(const Vec3& u, const Vec3& v) {
    return {u[0] - v[0], u[1] - v[1], u[2] - v[2]};
}

Vec3 normalise(const Vec3& v) {
    const double n = length(v);
    if (n == 0) return v;
    return {v[0] / n, v[1] / n, v[2] / n};
}

bool not_positive_definite(double m11, double m22, double m33, double m12, double m13, double m23) {
    const double det =
        m11 * m22 * m33 + 2 * m12 * m13 * m23 - m11 * m23 * m23 - m22 * m13 * m13 - m33 * m12 * m12;
    const bool ok = m11 * m22 - m12 * m12 >= 0 && m11 * m33 - m13 * m13 >= 0 &&
                    m22 * m33 - m23 * m23 >= 0 && det >= 0;
    return !ok;
}

}  // namespace veldor
