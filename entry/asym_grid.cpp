#include "entry/asym_grid.h"

#include <optional>

#include "core/elements.h"
#include "core/text.h"

namespace veldor {

namespace {

constexpr std::array<const char*, 7> kUHeadings = {"u11", "u22", "u33", "u12",
                                                   "u13", "u23", "Uiso"};
constexpr std::array<const char*, 7> kBHeadings = {"B11", "B22", "B33", "B12",
                                                   "B13", "B23", "Biso"};
constexpr std::array<const char*, 7> kBetaHeadings = {"Beta11", "Beta22", "Beta33", "Beta12",
                                                      "Beta13", "Beta23", "BETAiso"};

bool is_blank(const std::string& s) {
    return trim(s).empty();
}

// "Elem." as the grid shows it: upper case with the second letter lower.
std::string element_cell(std::string_view text) {
    return element_display_text(to_upper(trim(text)));
}

void number_rows(std::vector<AsymGridRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i][kColumnNumber] = is_blank(rows[i][kColumnElement]) ? "" : std::to_string(i + 1);
}

const Atom* previous_atom(const StructureDocument& doc, const std::string& name) {
    for (const Atom& a : doc.asym)
        if (!a.name.empty() && same_atom_name(a.name, name)) return &a;
    return nullptr;
}

}  // namespace

AsymGridRow asym_grid_headings(ThermalExpression expr) {
    const auto& adp = expr == ThermalExpression::B      ? kBHeadings
                      : expr == ThermalExpression::Beta ? kBetaHeadings
                                                        : kUHeadings;
    AsymGridRow h{"No", "Elem.", "Label", "X", "Y", "Z"};
    for (std::size_t k = 0; k < adp.size(); ++k)
        h[kColumnFirstAdp + k] = adp[k];
    return h;
}

std::vector<AsymGridRow> empty_asym_grid() {
    return std::vector<AsymGridRow>(kAsymGridRows);
}

std::vector<AsymGridRow> fill_asym_grid(StructureDocument& doc, ThermalExpression expr) {
    std::vector<AsymGridRow> rows;
    for (Atom& atom : doc.asym) {
        if (atom.name.empty()) continue;
        AsymGridRow row;
        row[kColumnNumber] = std::to_string(rows.size() + 1);
        row[kColumnElement] = element_display_text(atom.element);
        row[kColumnLabel] = trim(atom.label);
        const Vec3 p = atom.position();
        for (int i = 0; i < 3; ++i)
            row[kColumnX + i] = trim(format_fixed(p[i], 9, 5));
        const AdpCells cells = show_adp(atom, expr, doc.metric);
        for (int k = 0; k < 6; ++k)
            row[kColumnFirstAdp + k] = trim(cells.aniso[k]);
        row[kColumnIso] = trim(cells.iso);
        rows.push_back(row);
    }
    const std::size_t wanted =
        rows.size() > kAsymGridRows - 1 ? rows.size() + 5 : static_cast<std::size_t>(kAsymGridRows);
    rows.resize(wanted);
    return rows;
}

std::string asym_grid_error_text(const GridCell& cell) {
    return "Erreur \xC3\xA0 la ligne " + std::to_string(cell.row) + " ,colonne " +
           std::to_string(cell.column + 1);
}

AsymGridRead read_asym_grid(std::vector<AsymGridRow>& rows, StructureDocument& doc,
                            ThermalExpression expr) {
    AsymGridRead result;
    std::vector<Atom> atoms;
    std::vector<int> iso_flags;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        AsymGridRow& row = rows[r];
        if (is_blank(row[kColumnElement])) continue;
        const GridCell here{static_cast<int>(r + 1), -1};
        Atom atom;
        atom.element = fit(to_upper(trim(row[kColumnElement])), kElementLength);
        atom.label = fit(trim(row[kColumnLabel]), kLabelLength);
        atom.name = make_atom_name(atom.element, atom.label);
        Vec3 p{};
        for (int i = 0; i < 3; ++i) {
            std::string& cell = row[kColumnX + i];
            if (is_blank(cell)) cell = "0";
            const std::optional<double> v = parse_double(cell);
            if (!v) {
                result.error = {here.row, kColumnX + i};
                return result;
            }
            p[i] = *v;
        }
        atom.set_position(p);

        AdpCells cells;
        for (int k = 0; k < 6; ++k)
            cells.aniso[k] = row[kColumnFirstAdp + k];
        cells.iso = row[kColumnIso];
        AdpReadError bad;
        const std::optional<TypedAdp> typed = read_typed_adp(cells, &bad);
        if (!typed) {
            result.error = {here.row, kColumnFirstAdp + bad.cell};
            return result;
        }
        for (int k = 0; k < 6; ++k)
            row[kColumnFirstAdp + k] = trim(typed->shown.aniso[k]);
        row[kColumnIso] = trim(typed->shown.iso);
        atom.adp = typed->values;
        atom.iso = typed->iso;
        convert_typed_to_u(atom.adp, atom.iso, expr, doc.metric);
        if (const Atom* before = previous_atom(doc, atom.name)) atom.part = before->part;
        atoms.push_back(std::move(atom));
        if (atoms.size() > static_cast<std::size_t>(kMaxAsymAtoms)) {
            result.too_many = true;
            return result;
        }
    }
    for (Atom& atom : atoms) {
        const std::string key = element_key(atom.element);
        atom.element_index = 0;
        for (std::size_t s = 0; s < doc.element_sorts.size(); ++s)
            if (element_key(doc.element_sorts[s].symbol) == key)
                atom.element_index = static_cast<int>(s + 1);
        if (atom.element_index == 0) doc.elements_changed = true;
    }
    doc.asym = std::move(atoms);
    result.ok = true;
    return result;
}

RowEdit leave_asym_cell(std::vector<AsymGridRow>& rows, const GridCell& left, int entering_row) {
    if (left.row < 1 || left.row > static_cast<int>(rows.size())) return RowEdit::None;
    AsymGridRow& row = rows[static_cast<std::size_t>(left.row - 1)];
    if (is_blank(row[kColumnElement])) {
        if (left.column == kColumnNumber || entering_row == left.row) return RowEdit::None;
        rows.erase(rows.begin() + (left.row - 1));
        rows.emplace_back();
        number_rows(rows);
        return RowEdit::Deleted;
    }
    for (std::string& cell : row)
        cell = to_upper(cell);
    row[kColumnElement] = element_cell(row[kColumnElement]);
    row[kColumnNumber] = std::to_string(left.row);
    for (int c = std::max(left.column + 1, kColumnElement + 1); c <= kColumnLastAdp; ++c) {
        if (c == kColumnLabel) continue;
        std::string& cell = row[static_cast<std::size_t>(c)];
        if (is_blank(cell)) cell = "0";
    }
    return RowEdit::Tidied;
}

}  // namespace veldor
