#include "formats/cif_write.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "core/adp.h"
#include "core/atomic_file.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/cif_read.h"
#include "formats/text_file.h"
#include "generation/bonds.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

constexpr int kItemWidth = 32;

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A text as one CIF value: kept as it is when it is a plain word or already
// quoted, otherwise put in quotes (a label "C 1'" or "#1" stays one value).
// CIF text is printable ASCII: line ends and tabs become blanks, any other
// byte outside it (a control character, a byte of another encoding) "_".
std::string cif_word(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        if (c < ' ' || c > '~') c = '_';
    }
    text = trim(text);
    if (text.empty()) return "?";
    const char first = text.front();
    if (text.size() >= 2 && (first == '\'' || first == '"') && text.back() == first &&
        text.find(std::string(1, first) + " ") == std::string::npos)
        return text;
    const std::string lower = to_lower(text);
    const bool reserved = lower.rfind("data_", 0) == 0 || lower.rfind("loop_", 0) == 0 ||
                          lower.rfind("save_", 0) == 0 || lower.rfind("global_", 0) == 0 ||
                          lower.rfind("stop_", 0) == 0 || text == "?" || text == ".";
    const bool plain = !reserved && text.find_first_of(" \"'#") == std::string::npos &&
                       first != '_' && first != '$' && first != ';' && first != '[' && first != ']';
    if (plain) return text;
    if (text.find("' ") == std::string::npos && text.back() != '\'') return "'" + text + "'";
    if (text.find("\" ") == std::string::npos && text.back() != '"') return "\"" + text + "\"";
    return "'" + remove_spaces(text) + "_'";
}

// Text standing for the operator: the stored one when it decodes to it,
// otherwise one made from the matrix.
std::string operator_text_for(const EquivalentPosition& p) {
    const std::optional<SymOp> decoded = decode_cif_operator(remove_spaces(p.text));
    if (decoded) {
        bool same = true;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j)
                if (std::abs(decoded->m[i][j] - p.op.m[i][j]) > 1e-4) same = false;
        if (same) return p.text;
    }
    return cif_operator_text(p.op);
}

// Fw.d that stays a separate word when the value overflows the field.
std::string field(double value, int width, int decimals) {
    std::string s = format_fixed(value, width, decimals);
    if (!s.empty() && s[0] != ' ') s.insert(s.begin(), ' ');
    return s;
}

std::string fraction_text(double t) {
    const double a = std::abs(t);
    for (int q : {1, 2, 3, 4, 6, 8, 12}) {
        const double p = std::round(a * q);
        if (std::abs(a * q - p) < 1e-4 * q) {
            const long long pi = static_cast<long long>(p);
            return q == 1 ? std::to_string(pi) : std::to_string(pi) + "/" + std::to_string(q);
        }
    }
    std::string s = format_fixed(a, 0, 6);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    return s;
}

// The symbol line, which must name the operators the file lists: the
// catalogue's full Hermann-Mauguin symbol of the setting of the symbol
// whose operators they are (a symbol without origin choice may mean
// either), else the Hall symbol of the interpreter when its operators are
// these; nothing for a symbol neither knows, or whose operators are others
// (a file read with operators that disagree with its symbol).
std::string symbol_line(const StructureDocument& doc, const std::string& data_dir) {
    if (doc.space_group.empty()) return {};
    // The operators written: the identity alone when there are none.
    const std::vector<SymOp> ops =
        doc.positions.empty() ? std::vector<SymOp>{SymOp::identity()} : operators_of(doc.positions);
    if (const auto setting = catalogue_setting_with_operators(data_dir, doc.space_group, false,
                                                              doc.crystal_system, ops)) {
        const CatalogueEntry& e = setting->entry;
        const std::string full = e.full_symbol().empty() ? e.symbol : e.full_symbol();
        return "_symmetry_space_group_name_H-M   '" + full + "'";
    }
    std::string error;
    std::optional<InterpretedGroup> g = interpret_symbol(doc.space_group, error);
    if (!g) g = interpret_symbol(hall_symbol_lower(doc.space_group), error);
    if (!g || g->hall.empty()) return {};
    StructureDocument group;
    if (!take_interpreted_operators(group, *g) ||
        !same_operator_set(operators_of(group.positions), ops))
        return {};
    return "_symmetry_space_group_name_Hall  '" + g->hall + "'";
}

std::string columns(const std::string& s, std::size_t from, std::size_t to) {
    return from - 1 < s.size() ? s.substr(from - 1, to - from + 1) : std::string();
}

std::string without(std::string s, std::string_view chars) {
    s.erase(std::remove_if(s.begin(), s.end(),
                           [&](char c) { return chars.find(c) != std::string_view::npos; }),
            s.end());
    return s;
}

// A distance line of the coordination result: the labels and the distance
// from columns 1-18, the neighbour's code from columns 47-53. Labels or an
// operator text too long for their columns shift the code; it is then taken
// from its place after ") (", the labels and the distance as the first three
// words.
std::string coordination_bond_row(const std::string& r) {
    const std::size_t code = r.find(") (");
    if (code == std::string::npos || code == 43)
        return trim(columns(r, 1, 18) + "  1_555   " + without(columns(r, 47, 53), ")"));
    const std::size_t end = r.find(')', code + 3);
    const std::vector<std::string> words = split_tokens(r.substr(0, r.find(" (")));
    std::string row;
    for (std::size_t i = 0; i < words.size() && i < 3; ++i)
        row += words[i] + " ";
    return row + " 1_555   " + r.substr(code + 3, end == std::string::npos ? end : end - code - 3);
}

// An angle line: columns 8-63 (labels, angle, the three codes), or its
// words when long labels have shifted the columns. The codes are written
// without their parentheses, as site symmetry values are.
std::string coordination_angle_row(const std::string& r) {
    const std::size_t centre_code = r.find("  (1_555)  ");
    if (centre_code == std::string::npos || centre_code == 44)
        return without(columns(r, 8, 63), "()");
    std::vector<std::string> words = split_tokens(r);
    if (!words.empty() && words.front() == "Angle:") words.erase(words.begin());
    std::string row;
    for (const std::string& w : words)
        row += (row.empty() ? "" : "  ") + without(w, "()");
    return row;
}

std::string geometry_lines(StructureDocument& doc, const CifWriteOptions& options,
                           Messages& messages) {
    std::string out;
    auto line = [&](std::string_view s) {
        out += s;
        out += '\n';
    };
    static const char* const bond_items[] = {
        " _geom_bond_atom_site_label_1", " _geom_bond_atom_site_label_2", " _geom_bond_distance",
        " _geom_bond_site_symmetry_1", " _geom_bond_site_symmetry_2"};
    static const char* const angle_items[] = {
        " _geom_angle_atom_site_label_1", " _geom_angle_atom_site_label_2",
        " _geom_angle_atom_site_label_3", " _geom_angle",
        " _geom_angle_site_symmetry_1",   " _geom_angle_site_symmetry_2",
        " _geom_angle_site_symmetry_3"};

    if (!options.coordination_result.empty()) {
        line("");
        line("loop_");
        for (const char* item : bond_items)
            line(item);
        for (const std::string& r : options.coordination_result)
            if (!trim(r).empty() && r.find("Angle") == std::string::npos)
                line(coordination_bond_row(trim(r)));
        if (options.coordination_with_angles) {
            line("");
            line("loop_");
            for (const char* item : angle_items)
                line(item);
            for (const std::string& r : options.coordination_result)
                if (r.find("Angle") != std::string::npos) line(coordination_angle_row(trim(r)));
        }
        return out;
    }
    if (!options.include_bonds) return out;
    if (doc.bonds.empty() || doc.gen.empty()) {
        messages.warn(kNoCalculatedBondsMessage);
        return out;
    }
    const int n = static_cast<int>(doc.gen.size());
    std::vector<std::string> codes(doc.gen.size());
    std::vector<Vec3> cart(doc.gen.size());
    for (int i = 0; i < n; ++i) {
        // A dummy atom (a drawn point such as a ring centre) has no code.
        const bool dummy = element_key(doc.gen[static_cast<std::size_t>(i)].element) == "DU";
        const std::optional<SiteCode> code =
            dummy ? std::optional<SiteCode>(SiteCode{}) : site_code(doc, i, messages);
        // A code outside the digits of n_klm (or none) is unknown, never 0_000.
        codes[static_cast<std::size_t>(i)] =
            code && code->n > 0 ? format_site_code(*code) : std::string("?");
        cart[static_cast<std::size_t>(i)] =
            frac_to_cart(doc.gen[static_cast<std::size_t>(i)].position(), doc.metric);
    }
    // Atoms closer than kMinBondLength are one site, not a bond.
    auto valid = [&](const CalcBond& b) {
        return b.atom1 >= 1 && b.atom1 <= n && b.atom2 >= 1 && b.atom2 <= n &&
               !(b.length < kMinBondLength);
    };
    auto label = [&](int atom) {
        return cif_geometry_label(doc.gen[static_cast<std::size_t>(atom - 1)].name);
    };
    auto code = [&](int atom) { return codes[static_cast<std::size_t>(atom - 1)]; };

    line("");
    line("loop_");
    for (const char* item : bond_items)
        line(item);
    for (const CalcBond& b : doc.bonds) {
        if (!valid(b)) continue;
        line(label(b.atom1) + " " + label(b.atom2) + " " + format_fixed(b.length, 8, 3) + " " +
             "  " + code(b.atom1) + "  " + code(b.atom2));
    }

    // Every pair of bonds meeting at an atom gives the angle there.
    struct AngleLine {
        int a, vertex, c;
        double angle;
    };
    std::vector<AngleLine> angles;
    for (std::size_t i = 0; i < doc.bonds.size(); ++i) {
        const CalcBond& b1 = doc.bonds[i];
        if (!valid(b1)) continue;
        for (std::size_t j = i + 1; j < doc.bonds.size(); ++j) {
            const CalcBond& b2 = doc.bonds[j];
            if (!valid(b2)) continue;
            int vertex = 0;
            if (b2.atom1 == b1.atom1 || b2.atom2 == b1.atom1)
                vertex = b1.atom1;
            else if (b2.atom1 == b1.atom2 || b2.atom2 == b1.atom2)
                vertex = b1.atom2;
            if (vertex == 0) continue;
            const int a = b1.atom1 == vertex ? b1.atom2 : b1.atom1;
            const int c = b2.atom1 == vertex ? b2.atom2 : b2.atom1;
            if (a == c) continue;
            const Vec3 v = cart[static_cast<std::size_t>(vertex - 1)];
            Vec3 u1{}, u2{};
            for (int k = 0; k < 3; ++k) {
                u1[k] = cart[static_cast<std::size_t>(a - 1)][k] - v[k];
                u2[k] = cart[static_cast<std::size_t>(c - 1)][k] - v[k];
            }
            const double l1 = length(u1), l2 = length(u2);
            if (l1 == 0 || l2 == 0) continue;
            const double cosine = std::clamp(dot(u1, u2) / (l1 * l2), -1.0, 1.0);
            angles.push_back({a, vertex, c, std::acos(cosine) * kRadToDeg});
        }
    }
    if (angles.empty()) return out;
    line("");
    line("loop_");
    for (const char* item : angle_items)
        line(item);
    for (const AngleLine& g : angles)
        line(label(g.a) + " " + label(g.vertex) + " " + label(g.c) + format_fixed(g.angle, 8, 3) +
             "  " + code(g.a) + "  " + code(g.vertex) + "  " + code(g.c));
    return out;
}

}  // namespace

CifSaveCheck check_cif_save(const StructureDocument& doc) {
    if (std::none_of(doc.asym.begin(), doc.asym.end(),
                     [](const Atom& a) { return !a.name.empty(); }))
        return CifSaveCheck::NothingToSave;
    if (trim(doc.space_group).empty()) return CifSaveCheck::NeedsSymbol;
    return CifSaveCheck::Ready;
}

int default_cif_z(const StructureDocument& doc) {
    return static_cast<int>(doc.positions.size());
}

std::string cif_formula(const StructureDocument& doc) {
    std::vector<std::string> keys;
    std::vector<int> counts;
    for (const Atom& a : doc.asym) {
        if (a.name.empty()) continue;
        const std::string k = element_key(a.element);
        auto it = std::find(keys.begin(), keys.end(), k);
        if (it == keys.end()) {
            keys.push_back(k);
            counts.push_back(1);
        } else {
            ++counts[static_cast<std::size_t>(it - keys.begin())];
        }
    }
    std::string formula;
    auto add = [&](std::size_t i) {
        formula += element_display_text(keys[i]) + std::to_string(counts[i]) + " ";
    };
    static const char* const first[] = {"C", "H", "N", "O"};
    for (const char* f : first) {
        auto it = std::find(keys.begin(), keys.end(), f);
        if (it != keys.end()) add(static_cast<std::size_t>(it - keys.begin()));
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (std::find(std::begin(first), std::end(first), keys[i]) == std::end(first)) add(i);
    return "'" + trim(formula) + "'";
}

std::string crystal_system_word(std::string_view code) {
    static const std::pair<const char*, const char*> words[] = {
        {"CUBI", "Cubic"},     {"TETR", "Tetragonal"},  {"ORTH", "Orthorhombic"},
        {"HEXA", "Hexagonal"}, {"RHOM", "Rhomboedral"}, {"MONO", "Monoclinic"},
        {"TRIC", "Triclinic"}};
    for (const auto& [c, w] : words)
        if (code == c) return w;
    return "?";
}

std::string cif_site_label(std::string_view name) {
    std::string s(name);
    if (s.size() >= 2) {
        if (s[1] == ' ')
            s.erase(1, 1);
        else
            s[1] = lower(s[1]);
    }
    return pad_right(cif_word(remove_spaces(s)), 4);
}

std::string cif_geometry_label(std::string_view name) {
    std::string s = remove_spaces(name);
    if (s.size() >= 2) s[1] = lower(s[1]);
    return pad_right(cif_word(s), 4);
}

std::string cif_operator_text(const SymOp& op) {
    std::string text;
    for (int i = 0; i < 3; ++i) {
        std::string part;
        for (int j = 0; j < 3; ++j) {
            const double c = op.m[i][j];
            if (c == 0) continue;
            const long long n = std::llround(std::abs(c));
            part += c < 0 ? "-" : "+";
            if (n != 1) part += std::to_string(n);
            part += static_cast<char>('X' + j);
        }
        const double t = op.m[i][3];
        if (std::abs(t) > 1e-9) part += (t < 0 ? "-" : "+") + fraction_text(t);
        if (!part.empty() && part[0] == '+') part.erase(0, 1);
        if (part.empty()) part = "0";
        if (i > 0) text += ",";
        text += part;
    }
    return text;
}

std::string cif_text(StructureDocument& doc, const CifWriteOptions& options,
                     const std::string& data_dir, Messages& messages, std::string* formula_used) {
    if (doc.metric.cell != doc.cell_parameters) compute_metric(doc, messages);
    std::string out;
    auto line = [&](std::string_view s) {
        out += s;
        out += '\n';
    };
    const std::string formula =
        trim(options.formula).empty() ? cif_formula(doc) : trim(options.formula);
    if (formula_used) *formula_used = formula;
    if (trim(options.formula).empty())
        doc.formula = formula;  // computed, it becomes the document's

    line("data_block1");
    line("_chemical_formula_sum   " + cif_word(formula));
    static const char* const cell_items[6] = {"_cell_length_a",   "_cell_length_b",
                                              "_cell_length_c",   "_cell_angle_alpha",
                                              "_cell_angle_beta", "_cell_angle_gamma"};
    for (int i = 0; i < 6; ++i)
        line(pad_right(cell_items[i], kItemWidth) +
             format_fixed(doc.cell_parameters[static_cast<std::size_t>(i)], 10, i < 3 ? 4 : 2));
    line(pad_right("_cell_formula_units_Z", kItemWidth) + std::to_string(options.z));
    line(pad_right("_symmetry_cell_setting", kItemWidth) + crystal_system_word(doc.crystal_system));
    line("loop_");
    line("          _symmetry_equiv_pos_as_xyz  ");
    for (const EquivalentPosition& p : doc.positions)
        line("         '" + operator_text_for(p) + "'");
    // A loop needs a value: a structure without operators has the identity.
    if (doc.positions.empty()) line("         'X,Y,Z'");
    line("");
    const std::string symbol = symbol_line(doc, data_dir);
    if (!symbol.empty()) {
        line(symbol);
        line("");
    }

    line("loop_");
    line("_atom_site_label");
    line("_atom_site_fract_x");
    line("_atom_site_fract_y");
    line("_atom_site_fract_z");
    line("_atom_site_U_iso_or_equiv");
    line("_atom_site_adp_type");
    bool any_aniso = false;
    for (Atom& a : doc.asym) {
        if (a.name.empty()) continue;
        a.iso = (a.adp[1] + a.adp[2] + a.adp[3] + a.adp[4] + a.adp[5] == 0) ? 1 : 0;
        if (!a.iso) any_aniso = true;
        std::string s = cif_site_label(a.name) + "  " + field(a.x, 10, 5) + field(a.y, 10, 5) +
                        field(a.z, 10, 5);
        s += a.iso ? field(a.adp[0], 10, 5) + "  Uiso"
                   : field(u_equivalent(a, doc.metric), 10, 5) + "  Uani";
        line(s);
    }
    line("");
    if (any_aniso) {
        line("loop_");
        line("_atom_site_aniso_label");
        line("_atom_site_aniso_U_11");
        line("_atom_site_aniso_U_22");
        line("_atom_site_aniso_U_33");
        line("_atom_site_aniso_U_12");
        line("_atom_site_aniso_U_13");
        line("_atom_site_aniso_U_23");
        for (const Atom& a : doc.asym) {
            if (a.name.empty() || a.iso) continue;
            std::string s = cif_site_label(a.name) + "  ";
            for (double u : a.adp)
                s += field(u, 10, 5);
            line(s);
        }
    }
    out += geometry_lines(doc, options, messages);
    line("");
    line("");
    return out;
}

bool write_cif(const std::string& path, StructureDocument& doc, const CifWriteOptions& options,
               const std::string& data_dir, Messages& messages, std::string* formula_used) {
    BusyScope busy(messages);
    const std::string text = cif_text(doc, options, data_dir, messages, formula_used);
    return save_file_atomically(path, text, messages);
}

}  // namespace veldor
