#include "analysis/plane_fit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/report_file.h"
#include "core/metric.h"
#include "core/text.h"

namespace veldor {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// Eigenvalues (ascending) and unit eigenvectors (columns, same order) of a
// symmetric 3x3 matrix, by cyclic Jacobi rotations.
void symmetric_eigen(Mat3 a, Vec3& values, Mat3& vectors) {
    Mat3 v = identity3();
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
        if (off < 1e-30) break;
        for (int p = 0; p < 2; ++p)
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t =
                    (theta >= 0 ? 1.0 : -1.0) / (std::abs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {  // a = J^T a J
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    std::array<int, 3> order{0, 1, 2};
    std::sort(order.begin(), order.end(), [&](int i, int j) { return a[i][i] < a[j][j]; });
    for (int c = 0; c < 3; ++c) {
        values[c] = a[order[c]][order[c]];
        for (int r = 0; r < 3; ++r)
            vectors[r][c] = v[r][order[c]];
    }
}

// Fw.d that never shows a negative zero ("-0.00000").
std::string field(double v, int width, int decimals) {
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;
    return format_fixed(v, width, decimals);
}

// "-0.12345 X - 0.54321 Y + 0.83000 Z =  3.21000"
std::string equation(const Vec3& n, double d, const char* const names[3]) {
    std::string s = field(n[0], 8, 5) + " " + names[0];
    for (std::size_t i = 1; i < 3; ++i)
        s += (n[i] < -0.5e-5 ? " - " : " + ") + field(std::abs(n[i]), 7, 5) + " " + names[i];
    return s + " =" + field(d, 10, 5);
}

std::string plane_header(std::size_t k) {
    return "Plane Nb." + pad_left(std::to_string(k), 2) + ":";
}

}  // namespace

std::vector<std::string> plane_data_lines(const PlaneData& data) {
    std::vector<std::string> lines{data.title};
    std::string cell;
    for (double v : data.cell)
        cell += format_fixed(v, 10, 3);
    lines.push_back(cell);
    lines.push_back(format_int(static_cast<long long>(data.atoms.size()), 4));
    for (const PlaneAtom& a : data.atoms) {
        std::string l = pad_right(a.label, 5);
        for (double v : a.fractional)
            l += format_fixed(v, 10, 4);
        lines.push_back(std::move(l));
    }
    for (const std::vector<int>& p : data.planes) {
        std::string l = format_int(static_cast<long long>(p.size()), 5);
        for (int n : p)
            l += format_int(n, 5);
        lines.push_back(std::move(l));
    }
    return lines;
}

std::optional<PlaneData> read_plane_data(const std::vector<std::string>& lines,
                                         std::string& error) {
    auto fail = [&](std::size_t line, const std::string& why) {
        error = "line " + std::to_string(line + 1) + ": " + why;
        return std::optional<PlaneData>();
    };
    PlaneData data;
    if (lines.size() < 3) return fail(lines.size(), "the file ends too early");
    data.title = trim(lines[0]);
    const std::vector<std::string> cell = split_tokens(lines[1]);
    if (cell.size() != 6) return fail(1, "six cell parameters expected");
    for (std::size_t i = 0; i < 6; ++i) {
        const auto v = parse_double(cell[i]);
        if (!v) return fail(1, "six cell parameters expected");
        data.cell[i] = *v;
    }
    const auto count = parse_int(lines[2]);
    if (!count || *count < 0 || static_cast<std::size_t>(*count) > lines.size() - 3)
        return fail(2, "the number of atoms does not match the file");
    for (std::size_t i = 0; i < static_cast<std::size_t>(*count); ++i) {
        const std::string& l = lines[3 + i];
        std::vector<std::string> w = split_tokens(l);
        PlaneAtom a;
        bool ok = w.size() >= 4;
        for (std::size_t k = 0; ok && k < 3; ++k) {
            const auto v = parse_double(w[w.size() - 3 + k]);
            ok = v.has_value();
            if (ok) a.fractional[k] = *v;
        }
        if (!ok && l.size() > 30) {  // a label running into its coordinates
            ok = true;
            for (std::size_t k = 0; ok && k < 3; ++k) {
                const auto v = parse_double(l.substr(l.size() - 30 + 10 * k, 10));
                ok = v.has_value();
                if (ok) a.fractional[k] = *v;
            }
            a.label = trim(l.substr(0, l.size() - 30));
        } else if (ok) {
            for (std::size_t k = 0; k + 3 < w.size(); ++k)
                a.label += (k ? " " : "") + w[k];
        }
        if (!ok || a.label.empty()) return fail(3 + i, "a label and three coordinates expected");
        data.atoms.push_back(std::move(a));
    }
    for (std::size_t i = 3 + static_cast<std::size_t>(*count); i < lines.size(); ++i) {
        if (trim(lines[i]).empty()) continue;
        std::vector<int> plane;
        const std::vector<std::string> w = split_tokens(lines[i]);
        for (const std::string& t : w) {
            const auto n = parse_int(t);
            if (!n) return fail(i, "whole numbers expected");
            plane.push_back(static_cast<int>(*n));
        }
        if (plane.front() != static_cast<int>(plane.size()) - 1)
            return fail(i, "the number of atoms of the plane does not match the line");
        plane.erase(plane.begin());
        for (int n : plane)
            if (n < 1 || n > static_cast<int>(data.atoms.size()))
                return fail(i, "atom " + std::to_string(n) + " does not exist");
        data.planes.push_back(std::move(plane));
    }
    return data;
}

PlaneFit fit_plane(const std::vector<Vec3>& points) {
    PlaneFit fit;
    if (points.empty()) {
        fit.aligned = true;
        return fit;
    }
    const double n = static_cast<double>(points.size());
    for (const Vec3& p : points)
        for (int k = 0; k < 3; ++k)
            fit.centroid[k] += p[k] / n;
    Mat3 scatter{};
    for (const Vec3& p : points) {
        const Vec3 q = minus(p, fit.centroid);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                scatter[i][j] += q[i] * q[j];
    }
    Vec3 values{};
    Mat3 vectors{};
    symmetric_eigen(scatter, values, vectors);
    // The spread along the second axis measures how far the points are from a line.
    if (points.size() < 3 || !(std::sqrt(std::max(values[1], 0.0) / n) >= kAlignedSpread)) {
        fit.aligned = true;
        return fit;
    }
    Vec3 normal = normalise({vectors[0][0], vectors[1][0], vectors[2][0]});
    Vec3 turn{};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Vec3 c = cross(minus(points[i], fit.centroid),
                             minus(points[(i + 1) % points.size()], fit.centroid));
        for (int k = 0; k < 3; ++k)
            turn[k] += c[k];
    }
    double sense = dot(turn, normal);
    if (std::abs(sense) < 1e-6 * std::max(1.0, values[2])) {
        std::size_t big = 0;
        for (std::size_t k = 1; k < 3; ++k)
            if (std::abs(normal[k]) > std::abs(normal[big])) big = k;
        sense = normal[big];
    }
    if (sense < 0)
        for (double& c : normal)
            c = -c;
    fit.normal = normal;
    fit.d = dot(normal, fit.centroid);
    double sum = 0;
    for (const Vec3& p : points) {
        const double dev = dot(normal, p) - fit.d;
        fit.deviations.push_back(dev);
        sum += dev * dev;
    }
    fit.rms = std::sqrt(sum / n);
    return fit;
}

double angle_between_planes(const Vec3& n1, const Vec3& n2) {
    const double c = std::abs(dot(normalise(n1), normalise(n2)));
    return std::acos(std::min(c, 1.0)) * kDegrees;
}

std::vector<std::string> plane_report_lines(const PlaneData& data) {
    std::vector<std::string> out{"Mean planes calculated by Veldor", data.title};
    std::string cell = "Cell:";
    for (std::size_t i = 0; i < 6; ++i)
        cell += format_fixed(data.cell[i], 10, i < 3 ? 4 : 3);
    out.push_back(cell);
    out.push_back("Cartesian axes (A): X along a*, Y in the plane (a*, b*), Z along c");
    Metric metric;
    SilentMessages quiet;
    if (!compute_metric(data.cell, metric, quiet)) {
        out.push_back("The cell parameters give no Cartesian frame");
        return out;
    }
    static const char* const cart_names[3] = {"X", "Y", "Z"};
    static const char* const frac_names[3] = {"x", "y", "z"};
    std::vector<Vec3> normals;
    for (std::size_t k = 0; k < data.planes.size(); ++k) {
        const std::vector<int>& plane = data.planes[k];
        out.push_back("");
        out.push_back(plane_header(k + 1));
        out.push_back("  Atoms: " + std::to_string(plane.size()));
        std::vector<Vec3> points;
        for (int n : plane)
            points.push_back(
                frac_to_cart(data.atoms[static_cast<std::size_t>(n - 1)].fractional, metric));
        const PlaneFit fit = fit_plane(points);
        if (fit.aligned) {
            out.push_back("");
            out.push_back("The atoms of plane " + std::to_string(k + 1) + " are aligned");
            return out;
        }
        // X = M x, so n . X = d reads (M^T n) . x = d in fractional terms.
        const Vec3 fractional = transform(transpose(metric.frac_to_cart), fit.normal);
        out.push_back("  Cartesian equation:  " + equation(fit.normal, fit.d, cart_names));
        out.push_back("  Fractional equation: " + equation(fractional, fit.d, frac_names));
        out.push_back("  " + pad_right("Atom", 6) + pad_left("Nb.", 5) + pad_left("x", 10) +
                      pad_left("y", 10) + pad_left("z", 10) + pad_left("Dev. (A)", 12));
        for (std::size_t i = 0; i < plane.size(); ++i) {
            const PlaneAtom& a = data.atoms[static_cast<std::size_t>(plane[i] - 1)];
            std::string l = "  " + pad_right(a.label, 6) + pad_left(std::to_string(plane[i]), 5);
            for (double v : a.fractional)
                l += format_fixed(v, 10, 4);
            l += field(fit.deviations[i], 12, 4);
            out.push_back(std::move(l));
        }
        out.push_back("  R.m.s. deviation (A): " + field(fit.rms, 8, 4));
        for (std::size_t j = 0; j < normals.size(); ++j)
            out.push_back("  Angle with plane " + pad_left(std::to_string(j + 1), 2) + ":" +
                          format_fixed(angle_between_planes(normals[j], fit.normal), 9, 3) +
                          " degrees");
        normals.push_back(fit.normal);
    }
    out.push_back("");
    out.push_back(kNormalEnd);
    return out;
}

bool run_plane_calculator(const std::string& work_dir, Messages& messages) {
    std::vector<std::string> report;
    const std::optional<std::vector<std::string>> lines =
        read_report(report_path(work_dir, kPlaneDataFile));
    std::string error;
    if (!lines) {
        report = {"Mean planes calculated by Veldor", "Cannot read plan.dat"};
    } else if (const std::optional<PlaneData> data = read_plane_data(*lines, error)) {
        report = plane_report_lines(*data);
    } else {
        report = {"Mean planes calculated by Veldor", "Error in plan.dat, " + error};
    }
    return write_report(report_path(work_dir, kPlaneReportFile), report, messages);
}

}  // namespace veldor
