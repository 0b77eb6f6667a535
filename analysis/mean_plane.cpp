#include "analysis/mean_plane.h"

#include <algorithm>

#include "analysis/listing.h"
#include "analysis/report_file.h"
#include "core/text.h"

namespace veldor {

std::string plane_number_text(int k) {
    return "Nb." + std::to_string(k);
}

std::string plane_atom_text(int atom) {
    return "(" + std::to_string(atom) + ")";
}

PlaneTable::Pick PlaneTable::add_pick(int atom) {
    if (pick_.empty()) {
        if (static_cast<int>(planes_.size()) >= kMaxPlanes) return Pick::TooManyPlanes;
        planes_.emplace_back();
    }
    std::vector<int>& plane = planes_.back();
    if (static_cast<int>(plane.size()) >= kMaxPlaneAtoms) return Pick::TooManyAtoms;
    plane.push_back(atom);
    pick_.push_back(atom);
    return Pick::Added;
}

void PlaneTable::delete_plane(int row) {
    if (row < 0 || row >= static_cast<int>(planes_.size())) return;
    planes_.erase(planes_.begin() + row);
    pick_.clear();
}

bool PlaneTable::remove_atom(int row, int index) {
    if (row < 0 || row >= static_cast<int>(planes_.size())) return false;
    std::vector<int>& plane = planes_[static_cast<std::size_t>(row)];
    if (index < 0 || index >= static_cast<int>(plane.size())) return false;
    plane.erase(plane.begin() + index);
    const bool picking_this_row = !pick_.empty() && row == static_cast<int>(planes_.size()) - 1;
    if (picking_this_row && index < static_cast<int>(pick_.size()))
        pick_.erase(pick_.begin() + index);
    return true;
}

void PlaneTable::drop_newest() {
    if (!planes_.empty()) planes_.pop_back();
    pick_.clear();
}

void PlaneTable::clear() {
    planes_.clear();
    pick_.clear();
}

PlaneData plane_data(const StructureDocument& doc, const std::vector<Atom>& atoms,
                     const std::vector<std::vector<int>>& planes) {
    PlaneData data;
    data.title = first_structure_file(doc);
    data.cell = doc.cell_parameters;
    for (const Atom& a : atoms)
        data.atoms.push_back({a.name, a.position()});
    data.planes = planes;
    return data;
}

std::string plane_report_marker(int k) {
    return "Plane Nb." + pad_left(std::to_string(k), 2) + ":";
}

PlaneRun compute_mean_planes(const StructureDocument& doc, PlaneTable& table,
                             const std::string& work_dir, Messages& messages,
                             const PlaneCalculator& calculator) {
    PlaneRun run;
    const std::vector<std::vector<int>>& planes = table.planes();
    if (planes.empty()) return run;
    run.outcome = PlaneOutcome::Refused;
    if (std::any_of(planes.begin(), planes.end(),
                    [](const std::vector<int>& p) { return p.size() < 3; })) {
        messages.beep();
        messages.warn(kTooFewPlaneAtomsMessage);
        return run;
    }
    const std::vector<Atom>& atoms = shown_atoms(doc);
    for (const std::vector<int>& p : planes)
        for (int n : p)
            if (n < 1 || n > static_cast<int>(atoms.size())) {
                messages.warn("Atom number " + std::to_string(n) + " is not in the drawing");
                return run;
            }

    const std::string data_path = report_path(work_dir, kPlaneDataFile);
    const std::string report_file = report_path(work_dir, kPlaneReportFile);
    std::optional<std::vector<std::string>> report;
    {
        BusyScope busy(messages);
        if (!write_report(data_path, plane_data_lines(plane_data(doc, atoms, planes)), messages))
            return run;
        remove_report(report_file);
        if (calculator)
            calculator(work_dir);
        else
            run_plane_calculator(work_dir, messages);
        report = read_report(report_file);
    }
    const std::string last = report && !report->empty() ? report->back() : std::string();
    if (last.find(kNormalEnd) != std::string::npos) {
        const std::string marker = plane_report_marker(static_cast<int>(planes.size()));
        auto it = std::find_if(report->begin(), report->end(), [&](const std::string& l) {
            return l.find(marker) != std::string::npos;
        });
        run.lines.assign(it, report->end());
        run.outcome = PlaneOutcome::Shown;
        messages.beep();
        table.end_pick();
        return run;
    }
    messages.beep();
    if (last.find(kAlignedWord) != std::string::npos) {
        if (messages.confirm(trim(last) + ". Do you want to continue?") == Answer::Yes) {
            run.outcome = PlaneOutcome::AlignedKept;
        } else {
            table.drop_newest();
            run.outcome = PlaneOutcome::AlignedDropped;
        }
        return run;
    }
    table.end_pick();
    run.outcome = PlaneOutcome::NoResult;
    return run;
}

}  // namespace veldor
