#pragma once
// The distance table ("Display distances"): one entry per calculated bond
// with both atoms, their coordinates and places and the bond length, as
// the grid shows it and as "distances.txt" lists it.

#include <array>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kDistancesFile = "distances.txt";
inline constexpr int kDistanceColumns = 11;
inline constexpr const char* kDistanceFileHeading =
    "  A1    A2     dist.   x1     y1     z1     x2     y2     z2";

// "Atom", "X", "Y", "Z", "Position", twice, then "Distance".
const std::array<const char*, kDistanceColumns>& distance_headings();

struct DistanceEntry {
    std::string label1, label2;  // normalised labels, whole
    Vec3 x1{}, x2{};             // fractional
    std::string place1, place2;  // " (operator) (n_klm)"
    double length = 0;
};

// One entry per bond of doc.bonds, in order, over the generated atoms; a
// bond naming an atom that does not exist is left out. Site codes are found
// once per atom.
std::vector<DistanceEntry> distance_entries(const StructureDocument& doc, Messages& messages);

// The eleven grid cells of an entry: labels whole, coordinates F7.4,
// places, length F7.3.
std::array<std::string, kDistanceColumns> distance_cells(const DistanceEntry& e);

// The file: the structure files' names, the heading, one line per entry
// (labels cut to 4 and right-aligned, length F9.3, coordinates F7.4, the
// two places).
std::vector<std::string> distance_file_lines(const StructureDocument& doc,
                                             const std::vector<DistanceEntry>& entries);

}  // namespace veldor
