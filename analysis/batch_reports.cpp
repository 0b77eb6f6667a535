#include "analysis/batch_reports.h"

#include "analysis/coordinates.h"
#include "analysis/coordination.h"
#include "analysis/distances.h"
#include "analysis/environment.h"
#include "analysis/listing.h"
#include "analysis/mean_plane.h"
#include "analysis/report_file.h"
#include "core/text.h"

namespace veldor {

namespace {

constexpr const char* kAccepted =
    "--report takes distances, coordinates, coordination[:angles], environment:LABEL[:RADIUS] or "
    "plane:L1,L2,L3[,...]";

std::optional<std::vector<int>> plane_atoms(const StructureDocument& doc,
                                            const std::vector<std::string>& names,
                                            Messages& messages) {
    std::vector<int> atoms;
    for (const std::string& n : names) {
        const std::optional<int> i = find_shown_atom(doc, n);
        if (!i) {
            messages.warn("No atom " + n + " in the drawing");
            return std::nullopt;
        }
        atoms.push_back(*i + 1);
    }
    return atoms;
}

bool write_planes(const StructureDocument& doc, const std::vector<ReportRequest>& planes,
                  const std::string& folder, Messages& messages) {
    PlaneTable table;
    for (const ReportRequest& r : planes) {
        const std::optional<std::vector<int>> atoms = plane_atoms(doc, r.atoms, messages);
        if (!atoms) return false;
        table.end_pick();
        for (int a : *atoms) {
            const PlaneTable::Pick pick = table.add_pick(a);
            if (pick == PlaneTable::Pick::Added) continue;
            messages.warn(pick == PlaneTable::Pick::TooManyPlanes ? kTooManyPlanesMessage
                                                                  : kTooManyPlaneAtomsMessage);
            return false;
        }
    }
    // Batch mode answers the aligned question No: the report stays as written.
    const PlaneRun run = compute_mean_planes(doc, table, folder, messages);
    return run.outcome == PlaneOutcome::Shown;
}

}  // namespace

std::optional<ReportRequest> parse_report_request(std::string_view text, std::string& error) {
    ReportRequest r;
    const std::string t(text);
    const std::size_t colon = t.find(':');
    const std::string kind = to_lower(t.substr(0, colon));
    const std::string rest = colon == std::string::npos ? std::string() : t.substr(colon + 1);
    auto refuse = [&] {
        error = kAccepted;
        return std::optional<ReportRequest>();
    };
    if (kind == "distances" || kind == "coordinates") {
        if (colon != std::string::npos) return refuse();
        r.kind =
            kind == "distances" ? ReportRequest::Kind::Distances : ReportRequest::Kind::Coordinates;
    } else if (kind == "coordination") {
        if (colon != std::string::npos && to_lower(rest) != "angles") return refuse();
        r.kind = ReportRequest::Kind::Coordination;
        r.angles = colon != std::string::npos;
    } else if (kind == "environment") {
        r.kind = ReportRequest::Kind::Environment;
        const std::size_t radius = rest.find(':');
        r.centre = trim(rest.substr(0, radius));
        if (r.centre.empty()) return refuse();
        if (radius != std::string::npos) {
            const std::optional<double> v = parse_double(rest.substr(radius + 1));
            if (!v || !(*v > 0)) return refuse();
            r.radius = *v;
        }
    } else if (kind == "plane") {
        r.kind = ReportRequest::Kind::Plane;
        r.atoms = split_tokens(rest, ",");
        if (r.atoms.size() < 3) return refuse();
    } else {
        return refuse();
    }
    return r;
}

std::optional<int> find_shown_atom(const StructureDocument& doc, std::string_view name) {
    const std::vector<Atom>& atoms = shown_atoms(doc);
    if (const std::optional<long long> n = parse_int(name)) {
        if (*n >= 1 && *n <= static_cast<long long>(atoms.size())) return static_cast<int>(*n - 1);
        return std::nullopt;
    }
    const std::string wanted = to_upper(remove_spaces(name));
    for (std::size_t i = 0; i < atoms.size(); ++i)
        if (to_upper(remove_spaces(atoms[i].name)) == wanted) return static_cast<int>(i);
    return std::nullopt;
}

bool write_batch_reports(const StructureDocument& doc, const std::vector<std::string>& requests,
                         const std::string& folder, Messages& messages) {
    bool ok = true;
    std::vector<ReportRequest> planes;
    std::vector<std::string> environments;
    for (const std::string& text : requests) {
        std::string error;
        const std::optional<ReportRequest> r = parse_report_request(text, error);
        if (!r) {
            messages.warn(error);
            ok = false;
            continue;
        }
        switch (r->kind) {
            case ReportRequest::Kind::Distances:
                ok &= write_report(report_path(folder, kDistancesFile),
                                   distance_file_lines(doc, distance_entries(doc, messages)),
                                   messages);
                break;
            case ReportRequest::Kind::Coordinates:
                ok &= write_report(report_path(folder, kCoordinatesFile),
                                   coordinate_file_lines(doc, coordinate_lines(doc, messages)),
                                   messages);
                break;
            case ReportRequest::Kind::Coordination: {
                const std::vector<bool> all(doc.asym.size(), true);
                const CoordinationResult c =
                    calculate_coordination(doc, all, pair_rows(doc), r->angles, messages);
                ok &= write_report(report_path(folder, kCoordinationFile), c.lines, messages);
                break;
            }
            case ReportRequest::Kind::Environment: {
                const std::optional<int> centre = find_shown_atom(doc, r->centre);
                if (!centre) {
                    messages.warn("No atom " + r->centre + " in the drawing");
                    ok = false;
                    break;
                }
                const EnvironmentReport e =
                    environment_report(doc, shown_atoms(doc), *centre, r->radius, messages);
                environments.insert(environments.end(), e.file.begin(), e.file.end());
                break;
            }
            case ReportRequest::Kind::Plane:
                planes.push_back(*r);
                break;
        }
    }
    if (!environments.empty())
        ok &= write_report(report_path(folder, kEnvironmentFile), environments, messages);
    if (!planes.empty()) ok &= write_planes(doc, planes, folder, messages);
    return ok;
}

}  // namespace veldor
