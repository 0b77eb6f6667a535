#pragma once
// The mean-plane window's side of the exchange: the plane table (at most 7
// planes of at most 29 picked atoms, the atoms being picked for the newest
// one), "plan.dat" written from the shown atoms, the calculator called, and
// the part of "plan.sor" that belongs to the newest plane picked out.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/plane_fit.h"
#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr int kMaxPlanes = 7;
inline constexpr int kMaxPlaneAtoms = 29;
inline constexpr const char* kTooFewPlaneAtomsMessage = "Selected atoms number < 3!";
inline constexpr const char* kTooManyPlaneAtomsMessage = "Nb of atoms exceeding 30!";
inline constexpr const char* kTooManyPlanesMessage = "Nb of planes exceeding 7!";

// The grid's texts: "Nb." + k in column 0, "(" + atom number + ")" after it.
std::string plane_number_text(int k);
std::string plane_atom_text(int atom);

// The planes in grid order (1-based shown-atom numbers) and the pick: the
// atoms picked so far for the plane under construction, which is the
// newest plane while the pick is not empty.
class PlaneTable {
  public:
    enum class Pick { Added, TooManyAtoms, TooManyPlanes };
    // Adds a picked atom to the plane under construction, starting a new
    // plane when the pick is empty. A full plane or a full table refuses.
    Pick add_pick(int atom);
    // Removes plane `row` (0-based): the later planes move up; the pick ends.
    void delete_plane(int row);
    // Removes the atom at `index` of plane `row` (and from the pick when it
    // is that plane's); false when there is no such atom.
    bool remove_atom(int row, int index);
    // Drops the newest plane (a refused aligned plane); the pick ends.
    void drop_newest();
    void end_pick() { pick_.clear(); }
    void clear();

    const std::vector<std::vector<int>>& planes() const { return planes_; }
    const std::vector<int>& pick() const { return pick_; }

  private:
    std::vector<std::vector<int>> planes_;
    std::vector<int> pick_;
};

// "plan.dat" for the planes: the first structure file, the cell, every
// shown atom (stored label, coordinates), the planes.
PlaneData plane_data(const StructureDocument& doc, const std::vector<Atom>& atoms,
                     const std::vector<std::vector<int>>& planes);

// The line of "plan.sor" that opens plane k: it contains "Plane Nb." + k
// right-aligned in 2 + ":".
std::string plane_report_marker(int k);

// What a Compute ended in, for the window to follow.
enum class PlaneOutcome {
    Nothing,         // no plane
    Refused,         // a plane with fewer than 3 atoms, or an atom that is not shown
    Shown,           // "Normal end": `lines` are the newest plane's part of the report
    AlignedKept,     // aligned, and Yes: the plane stays in the table
    AlignedDropped,  // aligned, and No or Cancel: the newest plane was dropped
    NoResult,        // a report without either ending (or none at all)
};
struct PlaneRun {
    PlaneOutcome outcome = PlaneOutcome::Nothing;
    std::vector<std::string> lines;
};

// The calculator the window calls; by default run_plane_calculator.
using PlaneCalculator = std::function<void(const std::string& work_dir)>;

// Compute: checks the planes ("Selected atoms number < 3!" with a beep),
// writes work_dir/plan.dat, calls the calculator, reads work_dir/plan.sor
// and acts on its last line: "Normal end" shows the newest plane's part
// (with a beep) and ends the pick; "aligned" beeps and asks its text +
// ". Do you want to continue?" (Yes keeps the plane, No and Cancel drop
// it and end the pick); anything else beeps and ends the pick.
PlaneRun compute_mean_planes(const StructureDocument& doc, PlaneTable& table,
                             const std::string& work_dir, Messages& messages,
                             const PlaneCalculator& calculator = {});

}  // namespace veldor
