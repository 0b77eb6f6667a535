#pragma once
// The "Create a CIF" dialog's values: what it shows on opening and the
// reading of its fields into the CIF writer's options.

#include <optional>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "formats/cif_write.h"

namespace veldor {

inline constexpr const char* kFormulaNote =
    "If you do not give a formula, veldor will try to calculate it";

struct FormulaDialogFields {
    std::string formula;  // "Chemical formula"
    std::string z;        // "Z number"
    bool include_bonds = true;
};

// On opening: the document's formula (a CIF read sets it), Z the number
// of equivalent positions, bonds included.
FormulaDialogFields formula_dialog_fields(const StructureDocument& doc);

// OK: the formula as typed (trimmed), Z read as an integer. A Z that is not
// an integer shows "'<text>' is not a valid integer value" and gives nullopt.
std::optional<CifWriteOptions> read_formula_dialog(const FormulaDialogFields& fields,
                                                   Messages& messages);

}  // namespace veldor
