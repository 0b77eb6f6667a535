#pragma once
// Veldor's mean-plane calculator: the module behind the "plan.dat" /
// "plan.sor" exchange of the mean-plane window. It reads the cell, the
// atoms and the atom sets of "plan.dat", fits the least-squares plane
// through each set and writes the report "plan.sor": for plane k a
// "Plane Nb. k:" header, the plane equation in Cartesian and in fractional
// coordinates, every atom's signed deviation, the r.m.s. deviation and the
// angles with the planes before it. The last line is "Normal end", or says
// that the atoms of a plane are aligned (no later plane is computed), or
// says why "plan.dat" could not be used.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/mat3.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kPlaneDataFile = "plan.dat";
inline constexpr const char* kPlaneReportFile = "plan.sor";
inline constexpr const char* kNormalEnd = "Normal end";
inline constexpr const char* kAlignedWord = "aligned";
// Points closer to a line than this (angstrom, r.m.s. across it) define no plane.
inline constexpr double kAlignedSpread = 1e-3;

struct PlaneAtom {
    std::string label;
    Vec3 fractional{};
};

// The content of "plan.dat". Plane atoms are 1-based numbers into `atoms`.
struct PlaneData {
    std::string title;
    std::array<double, 6> cell{};
    std::vector<PlaneAtom> atoms;
    std::vector<std::vector<int>> planes;
};

// "plan.dat": the title; the cell (6 F10.3); N (I4); N lines of the label
// padded to 5 (a longer one whole) and x, y, z (F10.4); one line per plane
// of its atom count and atom numbers (I5 each).
std::vector<std::string> plane_data_lines(const PlaneData& data);
// Reads those lines back; nullopt and a reason ("line 4: ...") for lines
// that do not have that form.
std::optional<PlaneData> read_plane_data(const std::vector<std::string>& lines, std::string& error);

struct PlaneFit {
    bool aligned = false;  // the points lie on a line (or coincide): no plane
    Vec3 normal{};         // unit normal, Cartesian
    double d = 0;          // the plane is normal . X = d
    Vec3 centroid{};
    std::vector<double> deviations;  // signed, angstrom, in the order of the points
    double rms = 0;
};

// The least-squares plane through Cartesian points: through their centroid,
// normal to the eigenvector of the smallest eigenvalue of the centred
// scatter matrix. The normal is turned so that the points, taken in their
// order, go round it anticlockwise (a ring picked in order); when that sense
// is undefined, so that its largest component is positive.
PlaneFit fit_plane(const std::vector<Vec3>& points);

// The angle between two planes from their normals, 0 to 90 degrees.
double angle_between_planes(const Vec3& n1, const Vec3& n2);

// The report's lines for the data.
std::vector<std::string> plane_report_lines(const PlaneData& data);

// The calculator's call: reads work_dir/plan.dat and writes work_dir/plan.sor
// (also when plan.dat is missing or damaged: the report then ends with the
// reason). False when plan.sor could not be written ("Cannot write the file").
bool run_plane_calculator(const std::string& work_dir, Messages& messages);

}  // namespace veldor
