#pragma once
// The coordination calculation ("Veldor. Coordination calculation"): the
// shell of chosen atoms of the asymmetric unit computed from the crystal
// data alone, independently of the generated atoms. For each central atom
// and each element, every symmetry-equivalent atom within the maximum
// distance set for the element pair, with its operator and site symmetry
// code, and on request every angle at the centre between two of them.
//
// The result lines have a fixed layout that the CIF export reads back by
// column (formats/cif_write.h): pieces shorter than their width w are
// filled with blanks to w + 1 characters (central label and blank: 5,
// neighbour label: 4, " (" + operator: 25, ") (" + code + ")": 11).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kCoordinationFile = "dist.txt";
// One shell search lists at most this many neighbours.
inline constexpr int kMaxCoordinationHits = 59;
// Pairs whose maximum distance is below this are not searched.
inline constexpr double kMinPairDistance = 0.001;
// A neighbour is at least this far from the centre (the centre itself is not listed).
inline constexpr double kMinHitDistance = 0.01;
// Two candidate positions closer than this in each coordinate are one.
inline constexpr double kSameCandidate = 0.001;

// "More than 59 neighbours around " + label + ": only the first 59 are listed".
std::string too_many_hits_message(std::string_view central_label);

// One row of the "Max bond lengths" grid: the window's own copy of a bond
// sort's distance.
struct PairRow {
    std::string element1, element2;
    double max_distance = 0;
};
std::vector<PairRow> pair_rows(const StructureDocument& doc);
// The grid's texts: the symbol trimmed with its second letter in lower
// case, the distance as F6.2.
std::string pair_element_text(std::string_view symbol);
std::string pair_distance_text(double d);
// Reads the "D Max." cells back, row by row (texts[0] is row 1). At the
// first text that is not a number: "Read error at line N"; that row and the
// later ones keep their values. The calculation goes on regardless.
void read_pair_distances(std::vector<PairRow>& rows, const std::vector<std::string>& texts,
                         Messages& messages);

// One row of the "Asymetric contents" grid: the index in doc.asym and the
// cells label, x, y, z (F8.4). Deleted atoms have no row.
struct AsymRow {
    int index = 0;
    std::array<std::string, 4> cells;
};
std::vector<AsymRow> asym_rows(const StructureDocument& doc);

struct CoordinationResult {
    std::vector<std::string> lines;  // the result memo; empty when nothing was found
    bool with_angles = false;        // calculated for "Distances and angles"
};

// Calc.: for each element E1 of the element sorts, each atom of the
// asymmetric unit marked in `central` (parallel to doc.asym) of element E1,
// each element E2 and each pair row naming E1 and E2 (either order) with a
// distance of at least 0.001, the shell search. Each search that finds
// something adds a blank line and its hit lines, then (with angles and two
// hits or more) a blank line and its angle lines. Hits beyond 59 in one
// search are dropped with too_many_hits_message.
CoordinationResult calculate_coordination(const StructureDocument& doc,
                                          const std::vector<bool>& central,
                                          const std::vector<PairRow>& pairs, bool with_angles,
                                          Messages& messages);

}  // namespace veldor
