#pragma once
// Bonds are found by distance, never read: a bond sort gives for a pair of
// elements the longest bonded distance, and the bond search records every
// pair of generated atoms within it.

#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// A bond sort's distance is this factor times the sum of the two radii.
inline constexpr double kBondSortFactor = 1.2;
// Carbon-carbon lengths below these get multiplicity mark 1 and 2.
inline constexpr double kCarbonMark1Below = 1.439;
inline constexpr double kCarbonMark2Below = 1.271;

// No bond is shorter than this (angstrom): atoms so close are one site.
inline constexpr double kMinBondLength = 0.1;

inline constexpr const char* kTooMuchBondsMessage = "Too much bonds!";
inline constexpr const char* kReadErrorAtLine = "Read error at line ";

// Rebuilds the bond sorts from the element sorts: every pair i <= j once,
// symbols trimmed, distance 1.2 (r_i + r_j). Earlier edits are lost.
// The table holds 1000 sorts; returns false when more pairs than that
// exist (44 or more elements), the extra pairs then having no sort.
bool build_bond_sorts(StructureDocument& doc);

// Mark of a carbon-carbon bond of length d: 0 above 1.439 (and at exactly
// 1.271 or 1.439), 1 between, 2 below 1.271.
int carbon_multiplicity(double d);

// Disorder parts that may bond (the SHELX convention): PART 0 bonds to
// every part, two different non-zero parts never; a negative part (disorder
// about a special position) counts by its absolute value.
bool parts_may_bond(int part1, int part2);

// The bond search ("liaisons"): every pair i < j of generated atoms whose
// parts may bond, for each bond sort naming their element keys (either
// order), is a bond when the Cartesian distance is not above the sort's
// distance and not below kMinBondLength. Bonds come in the order i, then j,
// then sort. Width is the
// document's bond width (halved, towards zero, for bonds to hydrogen),
// colour its bond colour. The 10001st bond stops the search with
// "Too much bonds!", keeping the 10000 found.
void search_bonds(StructureDocument& doc, Messages& messages);

// The bond-lengths dialog ("Modif the bond lengths"): one row per bond sort.
struct BondLengthRow {
    std::string element1, element2;
    std::string distance;  // F6.2
};
std::vector<BondLengthRow> bond_length_rows(const StructureDocument& doc);

// Reads the dialog's distance column back, row by row (texts[0] is row 1).
// The first text that is not a number shows "Read error at line N" and
// returns false; the rows before it are already stored. Texts beyond the
// number of sorts are ignored.
bool read_bond_lengths(StructureDocument& doc, const std::vector<std::string>& distance_texts,
                       Messages& messages);

}  // namespace veldor
