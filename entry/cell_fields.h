#pragma once
// The six cell fields of the main window (a, b, c, alpha, beta, gamma):
// the texts they show for the document's cell, and the reading of what
// the user typed back into the cell.

#include <array>
#include <optional>
#include <string>

#include "core/document.h"

namespace veldor {

inline constexpr const char* kCellParametersError = "Cell parameters error";
inline constexpr const char* kNoCellParameters = "No cell parameters";

// What the six fields show: each value with at most 6 decimals, trailing
// zeros dropped ("5.2", "90", "10.1234"); an unset cell (all zero) shows
// empty fields.
std::array<std::string, 6> cell_field_texts(const std::array<double, 6>& cell);

enum class CellReadStatus {
    Read,         // every field read and their product is not 0
    Unreadable,   // a field does not read as a number
    ZeroProduct,  // every field read, but one of them is 0
};
struct CellRead {
    CellReadStatus status = CellReadStatus::Unreadable;
    std::array<double, 6> cell{};
    int field = -1;  // 0-based field that did not read (Unreadable)
};

// Reads the six field texts, each tidied as a typed number first (an empty
// field reads as 0). Nothing is stored: the caller decides what a zero
// product means (while typing data it is "Cell parameters error", at Plot
// "No cell parameters").
CellRead read_cell_fields(const std::array<std::string, 6>& texts);

}  // namespace veldor
