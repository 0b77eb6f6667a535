#pragma once
// The coordination environment of a picked atom ("Distances & Angles
// around the atom"): every shown atom within a radius of the centre, with
// its distance, then every angle at the centre between two of them. The
// same lines go to the window's memo and to "envir.txt".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kEnvironmentFile = "envir.txt";
inline constexpr const char* kRadiusReadError = "Read error";
// A neighbour is farther from the centre than this (the centre itself is
// never listed); the second atom of an angle farther than the larger one.
inline constexpr double kSameAtomDistance = 0.0001;
inline constexpr double kAngleSecondAtomDistance = 0.001;
// Beyond this many neighbours the angles (n (n - 1) / 2 lines) are not
// listed: a radius that takes in the whole structure would otherwise fill
// memory with millions of lines.
inline constexpr int kMaxAngleNeighbours = 300;
inline constexpr const char* kTooManyAnglesMessage =
    "Too many neighbours to list the angles (more than 300): reduce the radius";

// "Distances and angles around the atom " + label + " (" + x y z (F8.4) + ")".
std::string environment_caption(const Atom& centre);

// The radius as typed; nullopt for a text that is not a number.
std::optional<double> read_radius(std::string_view text);

struct EnvironmentReport {
    std::vector<std::string> memo;  // "Linked atoms" heading, neighbours, "Angles", angles
    std::vector<std::string> file;  // the structure file, headers, the same lines
    int neighbours = 0;
};

// The environment of atoms[centre] (0-based) within `radius` angstrom among
// `atoms` (the shown atoms), in list order; angles for every pair n < m of
// neighbours. An index outside the list gives an empty report.
EnvironmentReport environment_report(const StructureDocument& doc, const std::vector<Atom>& atoms,
                                     int centre, double radius, Messages& messages);

}  // namespace veldor
