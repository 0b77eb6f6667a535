#pragma once
// The analysis reports batch mode writes on request (--report), with the
// same files and lines as the windows:
//   distances                 "distances.txt"
//   coordinates               "coordonnees.txt"
//   coordination[:angles]     "dist.txt", every atom of the asymmetric unit central,
//                             the maximum distances of the bond sorts
//   environment:LABEL[:R]     "envir.txt", the shown atom LABEL (or its number)
//                             within R angstrom (3.0 when not given); repeated,
//                             the environments follow one another in the file
//   plane:L1,L2,...           "plan.dat" and "plan.sor"; repeated, one plane each
// Atoms are named by label (the first shown atom of that label, case and
// blanks ignored) or by their number in the coordinate list.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr double kDefaultEnvironmentRadius = 3.0;

struct ReportRequest {
    enum class Kind { Distances, Coordinates, Coordination, Environment, Plane };
    Kind kind = Kind::Distances;
    bool angles = false;  // coordination:angles
    std::string centre;   // environment
    double radius = kDefaultEnvironmentRadius;
    std::vector<std::string> atoms;  // plane
};

// Reads one --report value; nullopt with `error` saying what is accepted.
std::optional<ReportRequest> parse_report_request(std::string_view text, std::string& error);

// The number (0-based) of the shown atom a report names, nullopt when none.
std::optional<int> find_shown_atom(const StructureDocument& doc, std::string_view name);

// Writes every requested report into `folder`; false when one could not be
// made (its reason shown).
bool write_batch_reports(const StructureDocument& doc, const std::vector<std::string>& requests,
                         const std::string& folder, Messages& messages);

}  // namespace veldor
