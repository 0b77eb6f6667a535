#pragma once
// The list of the generated coordinates ("List of the generated
// coordinates"): one line per generated atom with its number, label,
// coordinates and place, as the memo shows it and "coordonnees.txt" keeps it.

#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kCoordinatesFile = "coordonnees.txt";
inline constexpr const char* kCoordinatesHeading = "Coordinates";

// "Coordinates", then for atom i = 1 ... N: I3, a blank, the label cut and
// padded to 4, a blank, x, y, z as F8.4, and " (operator)(n_klm)"; a dummy
// atom's place is "()(0_000)".
std::vector<std::string> coordinate_lines(const StructureDocument& doc, Messages& messages);

// The file: the structure files' names, then the memo's lines 0 ... N for N
// generated atoms, whatever the user did to the memo: missing lines are
// written empty, extra ones left out.
std::vector<std::string> coordinate_file_lines(const StructureDocument& doc,
                                               const std::vector<std::string>& memo_lines);

}  // namespace veldor
