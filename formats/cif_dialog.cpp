#include "formats/cif_dialog.h"

#include <limits>

#include "core/text.h"

namespace veldor {

FormulaDialogFields formula_dialog_fields(const StructureDocument& doc) {
    FormulaDialogFields f;
    f.formula = doc.formula;
    f.z = std::to_string(default_cif_z(doc));
    return f;
}

std::optional<CifWriteOptions> read_formula_dialog(const FormulaDialogFields& fields,
                                                   Messages& messages) {
    const std::optional<long long> z = parse_int(fields.z);
    if (!z || *z > std::numeric_limits<int>::max() || *z < std::numeric_limits<int>::min()) {
        messages.warn(not_an_integer_message(fields.z));
        return std::nullopt;
    }
    CifWriteOptions options;
    options.formula = trim(fields.formula);
    options.z = static_cast<int>(*z);
    options.include_bonds = fields.include_bonds;
    return options;
}

}  // namespace veldor
