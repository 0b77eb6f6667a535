#include "entry/positions_grid.h"

#include <array>

#include "core/text.h"

namespace veldor {

namespace {

bool filled(const PositionsGridRow& row) {
    return !trim(row.a).empty();
}

// Rows compare as the grid shows them: trimmed, upper case.
bool same_row(const PositionsGridRow& x, const PositionsGridRow& y) {
    auto key = [](const PositionsGridRow& r) {
        return to_upper(trim(r.a)) + "," + to_upper(trim(r.b)) + "," + to_upper(trim(r.c));
    };
    return key(x) == key(y);
}

std::optional<SymOp> decode_row(const PositionsGridRow& row) {
    SymOp op;
    const std::string* texts[3] = {&row.a, &row.b, &row.c};
    for (int i = 0; i < 3; ++i) {
        const std::optional<OperatorRow> r = decode_grid_component(*texts[i]);
        if (!r) return std::nullopt;
        for (int k = 0; k < 3; ++k)
            op.m[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] = r->r[k];
        op.m[static_cast<std::size_t>(i)][3] = r->t;
    }
    return op;
}

}  // namespace

std::vector<PositionsGridRow> positions_grid_rows(const StructureDocument& doc) {
    std::vector<PositionsGridRow> rows;
    rows.reserve(doc.positions.size());
    for (const EquivalentPosition& p : doc.positions) {
        const std::vector<std::string> parts = split_tokens(p.text, ",");
        PositionsGridRow row;
        if (parts.size() == 3) {
            row.a = trim(parts[0]);
            row.b = trim(parts[1]);
            row.c = trim(parts[2]);
        } else {
            row.a = trim(format_row(operator_row(p.op, 0)));
            row.b = trim(format_row(operator_row(p.op, 1)));
            row.c = trim(format_row(operator_row(p.op, 2)));
        }
        if (p.selected) row.selected = "*";
        rows.push_back(std::move(row));
    }
    return rows;
}

void select_all_positions(std::vector<PositionsGridRow>& rows) {
    for (PositionsGridRow& row : rows)
        row.selected = filled(row) ? "*" : "";
}

void unselect_all_positions(std::vector<PositionsGridRow>& rows) {
    for (PositionsGridRow& row : rows)
        row.selected.clear();
}

bool toggle_position(std::vector<PositionsGridRow>& rows, std::size_t index) {
    if (index >= rows.size() || !filled(rows[index])) return false;
    PositionsGridRow& row = rows[index];
    row.selected = trim(row.selected) == "*" ? "" : "*";
    return true;
}

bool read_positions_from_grid(const std::vector<PositionsGridRow>& rows, StructureDocument& doc,
                              Messages& messages) {
    const std::vector<PositionsGridRow> shown = positions_grid_rows(doc);
    std::vector<EquivalentPosition> positions;
    for (std::size_t i = 0; i < rows.size() && filled(rows[i]); ++i) {
        if (positions.size() == static_cast<std::size_t>(kMaxOperators)) {
            messages.warn(kTooManyPositions);
            break;
        }
        if (i < shown.size() && same_row(rows[i], shown[i])) {
            positions.push_back(doc.positions[i]);
            continue;
        }
        const std::optional<SymOp> op = decode_row(rows[i]);
        if (!op) {
            const PositionsGridRow& r = rows[i];
            messages.warn("Decoding Error: " + r.a + ", " + r.b + ", " + r.c + ". Position Nb " +
                          std::to_string(i + 1));
            doc.positions.clear();
            doc.generation_ops.clear();
            return false;
        }
        // The text as typed, so that the grid shows it again.
        const PositionsGridRow& r = rows[i];
        const std::string text = remove_spaces(to_upper(r.a)) + "," + remove_spaces(to_upper(r.b)) +
                                 "," + remove_spaces(to_upper(r.c));
        positions.push_back({*op, fit(text, kOperatorTextLength), 0});
    }
    doc.positions = std::move(positions);
    return read_positions_grid(rows, doc, messages);
}

}  // namespace veldor
