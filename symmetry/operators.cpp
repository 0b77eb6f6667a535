#include "symmetry/operators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "core/real48.h"
#include "core/text.h"

namespace veldor {

namespace {

struct Term {
    std::string_view text;
    double a, b, c;
};

struct Fraction {
    std::string_view text;
    double value;
};

// The strict translations, tried in this order: signed forms first, so that
// "-1/2" is not taken for "1/2". The values are the historical decimals.
constexpr Fraction kStrictTranslations[] = {
    {"+1/2", 0.5},        {"+1/3", 0.3333333},  {"+2/3", 0.6666667}, {"+1/4", 0.25},
    {"+3/4", 0.75},       {"+1/6", 0.166667},   {"+5/6", 0.83333},   {"-1/2", -0.5},
    {"-1/3", -0.3333333}, {"-2/3", -0.6666667}, {"-1/4", -0.25},     {"-3/4", -0.75},
    {"-1/6", -0.166667},  {"-5/6", -0.83333},   {"1/2", 0.5},        {"1/3", 0.3333333},
    {"2/3", 0.6666667},   {"1/4", 0.25},        {"3/4", 0.75},       {"1/6", 0.166667},
    {"5/6", 0.83333},
};

// What remains of a strict component must be exactly one of these.
constexpr Term kStrictRotations[] = {
    {"X-Y", 1, -1, 0}, {"Y-X", -1, 1, 0}, {"-X+Y", -1, 1, 0}, {"-Y+X", 1, -1, 0}, {"X+Y", 1, 1, 0},
    {"X", 1, 0, 0},    {"Y", 0, 1, 0},    {"Z", 0, 0, 1},     {"+X", 1, 0, 0},    {"+Y", 0, 1, 0},
    {"+Z", 0, 0, 1},   {"-X", -1, 0, 0},  {"-Y", 0, -1, 0},   {"-Z", 0, 0, -1},
};

// The grid reader looks for these inside the text; two-letter terms first so
// that "X-Y" is not read as "X".
constexpr Term kGridRotations[] = {
    {"-X+Y", -1, 1, 0}, {"-Y+X", 1, -1, 0}, {"Y-X", -1, 1, 0}, {"X-Y", 1, -1, 0},
    {"X+Y", 1, 1, 0},   {"Y+X", 1, 1, 0},   {"-Z", 0, 0, -1},  {"-Y", 0, -1, 0},
    {"-X", -1, 0, 0},   {"Z", 0, 0, 1},     {"Y", 0, 1, 0},    {"X", 1, 0, 0},
};

// Coefficient texts (three width-2 integers, trimmed, "-0" cleared) and the
// rotation text each one is written as.
constexpr std::pair<std::string_view, std::string_view> kRowTexts[] = {
    {"1 0 0", " X"}, {"0 1 0", " Y"},   {"0 0 1", " Z"},    {"-1 0 0", "-X"}, {"0-1 0", "-Y"},
    {"0 0-1", "-Z"}, {"1-1 0", " X-Y"}, {"-1 1 0", " Y-X"}, {"1 1 0", "X+Y"},
};

constexpr Fraction kWrittenTranslations[] = {
    {"+1/2", 0.5},  {"+1/3", 0.3333333}, {"+2/3", 0.6666667}, {"+1/4", 0.25},
    {"+3/4", 0.75}, {"+1/6", 0.166667},  {"+5/6", 0.83333},
};
constexpr double kTranslationWindow = 0.001;

// Images within this distance of an atom, per coordinate, are the atom.
constexpr double kSiteTolerance = 0.001;
constexpr int kMaxCellShift = 3;

void erase_first(std::string& s, std::string_view what) {
    const auto p = s.find(what);
    if (p != std::string::npos) s.erase(p, what.size());
}

// The strict grammar; on failure `rest` holds the text that was refused.
std::optional<OperatorRow> decode_strict(std::string_view text, std::string& rest) {
    std::string s = trim(text);
    OperatorRow row;
    for (const Fraction& f : kStrictTranslations) {
        if (s.find(f.text) != std::string::npos) {
            erase_first(s, f.text);
            row.t = round_real48(f.value);
            break;
        }
    }
    if (!s.empty() && s.front() == '+') s = trim(std::string_view(s).substr(1));
    for (const Term& term : kStrictRotations) {
        if (s == term.text) {
            row.r[0] = round_real48(term.a);
            row.r[1] = round_real48(term.b);
            row.r[2] = round_real48(term.c);
            return row;
        }
    }
    rest = s;
    return std::nullopt;
}

// Splits an operator at its commas; nullopt unless there are exactly three parts.
std::optional<std::array<std::string_view, 3>> split_operator(std::string_view text) {
    std::array<std::string_view, 3> parts;
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const auto comma = text.find(',', start);
        if ((i < 2) != (comma != std::string_view::npos)) return std::nullopt;
        const auto end = i < 2 ? comma : text.size();
        parts[static_cast<std::size_t>(i)] = text.substr(start, end - start);
        start = end + 1;
    }
    return parts;
}

SymOp make_op(const std::array<OperatorRow, 3>& rows) {
    SymOp op;
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j)
            op.m[i][j] = rows[i].r[j];
        op.m[i][3] = rows[i].t;
    }
    return op;
}

std::optional<double> grid_translation(const std::string& rest) {
    if (rest.empty()) return 0.0;
    const auto slash = rest.find('/');
    if (slash == std::string::npos) return parse_double(rest);
    const auto num = parse_double(std::string_view(rest).substr(0, slash));
    const auto den = parse_double(std::string_view(rest).substr(slash + 1));
    if (!num || !den || *den == 0) return std::nullopt;
    const double value = *num / *den;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::size_t room_left(const std::vector<EquivalentPosition>& positions) {
    const auto cap = static_cast<std::size_t>(kMaxOperators);
    return positions.size() < cap ? cap - positions.size() : 0;
}

std::string site_name(std::string_view name) {
    return to_upper(remove_spaces(name));
}

}  // namespace

std::optional<OperatorRow> decode_component(std::string_view text) {
    std::string rest;
    return decode_strict(text, rest);
}

std::optional<OperatorRow> decode_component(std::string_view text, Messages& messages) {
    std::string rest;
    auto row = decode_strict(text, rest);
    if (!row) messages.warn("Cannot decode " + rest);
    return row;
}

std::optional<SymOp> decode_operator(std::string_view text) {
    const auto parts = split_operator(text);
    if (!parts) return std::nullopt;
    std::array<OperatorRow, 3> rows;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto row = decode_component((*parts)[i]);
        if (!row) return std::nullopt;
        rows[i] = *row;
    }
    return make_op(rows);
}

std::optional<SymOp> decode_operator(std::string_view text, Messages& messages) {
    const auto parts = split_operator(text);
    if (!parts) {
        messages.warn("Cannot decode " + std::string(text));
        return std::nullopt;
    }
    std::array<OperatorRow, 3> rows;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto row = decode_component((*parts)[i], messages);
        if (!row) return std::nullopt;
        rows[i] = *row;
    }
    return make_op(rows);
}

std::string format_row(const OperatorRow& row) {
    std::string coefficients;
    for (double c : row.r)
        coefficients += format_fixed(c, 2, 0);
    coefficients = trim(coefficients);
    // A rounded negative zero must read as the zero it is.
    for (auto p = coefficients.find("-0"); p != std::string::npos; p = coefficients.find("-0", p))
        coefficients[p] = ' ';
    coefficients = trim(coefficients);

    std::string text;
    for (const auto& [key, value] : kRowTexts) {
        if (coefficients == key) {
            text = value;
            break;
        }
    }

    double t = row.t;
    if (t != 0) {
        if (t < 0)
            t += 1;
        else if (t > 1)
            t -= 1;
        for (const Fraction& f : kWrittenTranslations) {
            if (std::abs(t - f.value) < kTranslationWindow) {
                text += f.text;
                break;
            }
        }
    }
    return text;
}

OperatorRow operator_row(const SymOp& op, int i) {
    const auto& m = op.m[static_cast<std::size_t>(i)];
    OperatorRow row;
    row.r[0] = m[0];
    row.r[1] = m[1];
    row.r[2] = m[2];
    row.t = m[3];
    return row;
}

std::string format_operator(const SymOp& op) {
    std::string text = format_row(operator_row(op, 0)) + "," + format_row(operator_row(op, 1)) +
                       "," + format_row(operator_row(op, 2));
    return fit(to_upper(text), kOperatorTextLength);
}

std::vector<Vec3> centring_vectors(std::string_view lattice_letter,
                                   std::string_view crystal_system) {
    const std::string letter = to_upper(trim(lattice_letter));
    if (letter == "R" && to_upper(trim(crystal_system)) == "HEXA")
        return {{0.3333333333, 0.6666666666, 0.6666666666},
                {0.6666666666, 0.3333333333, 0.3333333333}};
    if (letter == "F") return {{0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}};
    if (letter == "I") return {{0.5, 0.5, 0.5}};
    if (letter == "A") return {{0, 0.5, 0.5}};
    if (letter == "B") return {{0.5, 0, 0.5}};
    if (letter == "C") return {{0.5, 0.5, 0}};
    return {};
}

bool expand_by_centring(std::vector<EquivalentPosition>& positions,
                        const std::vector<Vec3>& vectors) {
    const std::size_t n = positions.size();
    for (const Vec3& v : vectors) {
        for (std::size_t i = 0; i < n; ++i) {
            if (room_left(positions) == 0) return false;
            EquivalentPosition copy;
            copy.op = positions[i].op;
            for (std::size_t r = 0; r < 3; ++r) {
                double& t = copy.op.m[r][3];
                t += v[r];
                if (t > 1) t -= 1;
            }
            copy.text = format_operator(copy.op);
            positions.push_back(std::move(copy));
        }
    }
    return true;
}

bool expand_by_inversion(std::vector<EquivalentPosition>& positions) {
    const std::size_t n = positions.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (room_left(positions) == 0) return false;
        EquivalentPosition copy;
        // Adding 0 turns the negated zeros into plain zeros.
        for (std::size_t r = 0; r < 3; ++r)
            for (std::size_t c = 0; c < 4; ++c)
                copy.op.m[r][c] = -positions[i].op.m[r][c] + 0.0;
        copy.text = format_operator(copy.op);
        positions.push_back(std::move(copy));
    }
    return true;
}

bool expand_positions(StructureDocument& doc) {
    doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);
    bool complete = expand_by_centring(doc.positions, doc.centring);
    if (doc.centrosymmetric > 0) complete = expand_by_inversion(doc.positions) && complete;
    return complete;
}

std::optional<OperatorRow> decode_grid_component(std::string_view text) {
    std::string s = to_upper(trim(text));
    OperatorRow row;
    bool found = false;
    for (const Term& term : kGridRotations) {
        if (s.find(term.text) != std::string::npos) {
            erase_first(s, term.text);
            row.r[0] = term.a;
            row.r[1] = term.b;
            row.r[2] = term.c;
            found = true;
            break;
        }
    }
    if (!found) return std::nullopt;
    std::replace(s.begin(), s.end(), '+', ' ');
    const auto t = grid_translation(trim(s));
    if (!t) return std::nullopt;
    row.t = *t;
    return row;
}

bool read_positions_grid(const std::vector<PositionsGridRow>& rows, StructureDocument& doc,
                         Messages& messages) {
    doc.generation_ops.clear();
    const std::size_t count =
        std::min({rows.size(), doc.positions.size(), static_cast<std::size_t>(kMaxOperators)});
    for (std::size_t i = 0; i < count; ++i) {
        const PositionsGridRow& row = rows[i];
        if (trim(row.a).empty()) break;
        if (trim(row.selected) != "*") {
            doc.positions[i].selected = 0;
            continue;
        }
        doc.positions[i].selected = 1;
        std::array<OperatorRow, 3> decoded;
        bool ok = true;
        const std::string* texts[3] = {&row.a, &row.b, &row.c};
        for (std::size_t k = 0; k < 3 && ok; ++k) {
            const auto r = decode_grid_component(*texts[k]);
            if (r)
                decoded[k] = *r;
            else
                ok = false;
        }
        if (!ok) {
            messages.warn("Decoding Error: " + row.a + ", " + row.b + ", " + row.c +
                          ". Position Nb " + std::to_string(i + 1));
            doc.positions.clear();
            doc.generation_ops.clear();
            return false;
        }
        doc.generation_ops.push_back(make_op(decoded));
    }
    return true;
}

std::string format_site_code(const SiteCode& code) {
    return std::to_string(code.n) + "_" + std::to_string(code.k) + std::to_string(code.l) +
           std::to_string(code.m);
}

std::optional<SiteCode> site_code(const StructureDocument& doc, const Atom& atom,
                                  Messages& messages) {
    const std::string wanted = site_name(atom.name);
    const Atom* source = nullptr;
    for (const Atom& a : doc.asym) {
        if (!a.name.empty() && site_name(a.name) == wanted) {
            source = &a;
            break;
        }
    }
    if (source == nullptr) {
        messages.warn(atom.name + " not decoded");
        return std::nullopt;
    }

    const Vec3 target{round_real48(atom.x), round_real48(atom.y), round_real48(atom.z)};
    const std::size_t count =
        std::min(doc.positions.size(), static_cast<std::size_t>(kMaxOperators));
    for (std::size_t n = 0; n < count; ++n) {
        Vec3 image = doc.positions[n].op.apply(source->position());
        for (double& v : image)
            v = round_real48(v);
        for (int t1 = -kMaxCellShift; t1 <= kMaxCellShift; ++t1)
            for (int t2 = -kMaxCellShift; t2 <= kMaxCellShift; ++t2)
                for (int t3 = -kMaxCellShift; t3 <= kMaxCellShift; ++t3) {
                    if (std::abs(image[0] + t1 - target[0]) < kSiteTolerance &&
                        std::abs(image[1] + t2 - target[1]) < kSiteTolerance &&
                        std::abs(image[2] + t3 - target[2]) < kSiteTolerance)
                        return SiteCode{static_cast<int>(n) + 1, t1 + 5, t2 + 5, t3 + 5};
                }
    }
    return SiteCode{};
}

std::optional<SiteCode> site_code(const StructureDocument& doc, int gen_index, Messages& messages) {
    if (gen_index < 0 || static_cast<std::size_t>(gen_index) >= doc.gen.size()) return std::nullopt;
    return site_code(doc, doc.gen[static_cast<std::size_t>(gen_index)], messages);
}

void select_only_first_position(StructureDocument& doc) {
    for (EquivalentPosition& p : doc.positions)
        p.selected = 0;
    doc.generation_ops.clear();
    if (!doc.positions.empty()) {
        doc.positions[0].selected = 1;
        doc.generation_ops.push_back(doc.positions[0].op);
    }
    doc.generation_mode = GenerationMode::None;
    doc.regeneration_needed = true;
}

}  // namespace veldor
