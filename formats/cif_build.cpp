// Building the document from what a CIF block says (cif_record.h): the
// meaning of every value, the same whichever reader found it.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/cif_read.h"
#include "formats/cif_record.h"
#include "formats/identify.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/lattice.h"

namespace veldor {

namespace {

// Removes every part in parentheses (a standard uncertainty).
std::string drop_uncertainty(std::string_view text) {
    std::string out;
    bool inside = false;
    for (char c : text) {
        if (c == '(') inside = true;
        if (!inside) out += c;
        if (c == ')') inside = false;
    }
    return out;
}

char lower_char(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool is_element(std::string_view symbol) {
    const auto& table = default_colour_symbols();
    return std::find(table.begin(), table.end(), symbol) != table.end();
}

bool unknown(const CifValue& v) {
    return !v || trim(*v).empty() || trim(*v) == kCifUnknown;
}

std::string title_from_formula(std::string_view formula) {
    std::string out;
    for (char c : formula)
        if (c != '\'' && c != ';' && c != '"' && !std::isspace(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

bool read_cell(const CifBlockRecord& record, StructureDocument& doc, Messages& messages) {
    static const char* const names[6] = {"_cell_length_a",   "_cell_length_b",
                                         "_cell_length_c",   "_cell_angle_alpha",
                                         "_cell_angle_beta", "_cell_angle_gamma"};
    for (std::size_t i = 0; i < 6; ++i) {
        const CifValue& v = record.cell[i];
        // An angle given as "?" (or left out) is a right angle.
        if (i >= 3 && unknown(v)) {
            doc.cell_parameters[i] = 90;
            continue;
        }
        const std::optional<double> x = unknown(v) ? std::nullopt : read_cif_number(*v);
        if (!x || *x <= 0) {
            messages.warn(std::string("Cannot read the cell parameter ") + names[i]);
            return false;
        }
        doc.cell_parameters[i] = *x;
    }
    return true;
}

// Operator texts cleaned: upper case, no quotes, no blanks; a leading
// operator number dropped from every line when the first begins with "1 ".
std::vector<std::string> operator_texts(const CifBlockRecord& record) {
    std::vector<std::string> raw;
    for (const std::string& t : record.operators) {
        std::string s = to_upper(trim(t));
        std::replace(s.begin(), s.end(), '\t', ' ');
        if (!s.empty()) raw.push_back(s);
    }
    const bool numbered = !raw.empty() && raw.front().rfind("1 ", 0) == 0;
    std::vector<std::string> out;
    for (std::string s : raw) {
        if (numbered) {
            const std::size_t blank = s.find(' ');
            if (blank != std::string::npos) s = s.substr(blank + 1);
        }
        std::string clean;
        for (char c : s)
            if (c != '\'' && c != '"' && !std::isspace(static_cast<unsigned char>(c))) clean += c;
        if (!clean.empty()) out.push_back(clean);
    }
    return out;
}

struct SymbolFound {
    std::string symbol;  // as stored in the document
    std::string raw;     // as written in the file
    bool hall = false;
};

SymbolFound clean_symbol(const std::string& raw, bool hall) {
    SymbolFound s;
    s.raw = raw;
    s.hall = hall;
    std::string cleaned;
    for (char c : s.raw) {
        // Primes belong to Hall symbols ('-P 3 2"'); elsewhere they are stray quotes.
        if (!s.hall && (c == '\'' || c == '"')) continue;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (s.hall && !cleaned.empty() && cleaned.back() != ' ') cleaned += ' ';
            continue;
        }
        cleaned += c;
    }
    s.symbol = trim(cleaned);
    if (s.hall) s.symbol = to_upper(s.symbol);
    return s;
}

// The name the block gives first (H-M or Hall), else the other. An H-M
// symbol loses its blanks ("P 21/c" -> "P21/c"); a Hall symbol keeps single
// blanks between its parts, which it needs, and is upper-cased.
std::optional<SymbolFound> space_group_symbol(const CifBlockRecord& record) {
    const CifValue& first = record.hall_first ? record.hall : record.hm;
    const CifValue& second = record.hall_first ? record.hm : record.hall;
    for (const CifValue* v : {&first, &second}) {
        if (unknown(*v)) continue;
        SymbolFound s = clean_symbol(**v, v == &record.hall);
        if (!s.symbol.empty() && s.symbol != kCifUnknown) return s;
    }
    return std::nullopt;
}

// The lattice letter of a symbol: its first letter ("-P 2ybc" -> "P").
std::string first_letter(std::string_view symbol) {
    for (char c : symbol)
        if (std::isalpha(static_cast<unsigned char>(c)))
            return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return {};
}

// A symbol as the catalogue and the interpreter understand it: an origin
// or axes choice written in words becomes the ":1", ":2", ":H", ":R"
// suffix. A symbol without suffix names the default setting of
// International Tables (origin choice 1, hexagonal axes), except that a
// rhombohedral symbol takes rhombohedral axes in a cell of that metric.
std::string interpretable_symbol(std::string symbol, const std::string& crystal_system) {
    const std::string lower = to_lower(symbol);
    std::string suffix;
    if (lower.find("origin choice 1") != std::string::npos) suffix = ":1";
    if (lower.find("origin choice 2") != std::string::npos) suffix = ":2";
    if (lower.find("hexagonal axes") != std::string::npos) suffix = ":H";
    if (lower.find("rhombohedral axes") != std::string::npos) suffix = ":R";
    const std::size_t paren = symbol.find('(');
    if (paren != std::string::npos) symbol = trim(symbol.substr(0, paren));
    if (suffix.empty() && symbol.find(':') == std::string::npos) {
        const std::string t = trim(symbol);
        if (!t.empty() && std::toupper(static_cast<unsigned char>(t[0])) == 'R')
            suffix = crystal_system == "RHOM" ? ":R" : ":H";
    }
    return symbol + suffix;
}

bool is_identity(const SymOp& op) {
    return op == SymOp::identity();
}

// The operators of a group named without operators: the catalogues (the
// cell's system first), else the interpreter. False after a message when
// the symbol cannot be read: a structure must not be taken as P1 because
// its symbol is one Veldor does not know (a superspace symbol, a typo).
bool operators_from_symbol(StructureDocument& doc, const SymbolFound& found,
                           const CifBlockRecord& record, const ProgramPaths& paths,
                           Messages& messages) {
    // Translations in [0, 1), as for operators read from the file.
    auto finish = [&doc] {
        for (EquivalentPosition& p : doc.positions) {
            reduce_translations(p.op);
            p.text = format_operator(p.op);
        }
    };
    const std::string hall_key =
        unknown(record.hall) ? std::string() : symbol_key(clean_symbol(*record.hall, true).symbol);
    if (!unknown(record.hm) && !paths.data_dir.empty()) {
        const std::string symbol = interpretable_symbol(*record.hm, doc.crystal_system);
        StructureDocument trial = doc;
        trial.lattice_letter = first_letter(symbol);
        SilentMessages quiet;
        if (look_up_group_in_any_system(trial, symbol, paths.data_dir, quiet) ==
                LookupStatus::Found &&
            !trial.positions.empty()) {
            const auto cat =
                read_catalogue(catalogue_file(paths.data_dir, trial.crystal_system), quiet);
            const int i = cat ? cat->find(symbol) : -1;
            const CatalogueEntry* e = i >= 0 ? &cat->entries[static_cast<std::size_t>(i)] : nullptr;
            // A Hall symbol names the setting without doubt: an H-M name
            // whose setting is another one does not win over it.
            if (e && (hall_key.empty() || symbol_key(e->hall()) == hall_key)) {
                doc = std::move(trial);
                doc.space_group = trim(e->symbol);
                finish();
                return true;
            }
        }
    }
    std::string error;
    std::optional<InterpretedGroup> group;
    // A Hall symbol names one setting without doubt; try it first.
    if (!unknown(record.hall)) {
        const std::string hall = clean_symbol(*record.hall, true).symbol;
        group = interpret_symbol(hall, error);
        if (!group) group = interpret_symbol(hall_symbol_lower(hall), error);
    }
    if (!group && !unknown(record.hm))
        group = interpret_symbol(interpretable_symbol(*record.hm, doc.crystal_system), error);
    if (!group || group->ops.empty()) {
        messages.warn("The space group symbol " + found.raw +
                      " cannot be read, and the file lists no symmetry operators");
        return false;
    }
    if (!take_interpreted_operators(doc, *group))
        messages.warn("Too many symmetry operators: only the first 192 are kept");
    finish();
    return true;
}

// The catalogue setting whose operators are the document's, among those
// the file's symbol may mean (its settings with any origin or axes
// choice, in every system's catalogue). Sets the symbol and the system.
bool adopt_setting_of_operators(StructureDocument& doc, const SymbolFound& found,
                                const std::string& data_dir) {
    const std::string symbol = found.hall ? found.symbol : interpretable_symbol(found.symbol, "");
    const auto setting = catalogue_setting_with_operators(data_dir, symbol, found.hall, "",
                                                          operators_of(doc.positions));
    if (!setting) return false;
    doc.space_group = trim(setting->entry.symbol);
    doc.crystal_system = setting->system;
    return true;
}

// Element and label of an atom site. The type symbol, when it names an
// element, settles labels that do not start with their element ("M1" for
// an Fe site).
void set_element_and_label(Atom& atom, std::string_view type_symbol, Messages& messages) {
    const std::string name = atom.name;
    std::string element = element_from_type_symbol(type_symbol);
    const std::string upper = to_upper(name);
    std::string rest;
    if (!element.empty() && upper.rfind(element, 0) == 0) {
        rest = name.substr(element.size());
    } else {
        const std::string from_label = element_from_cif_label(name);
        if (element.empty()) {
            element = from_label;
            if (element.size() == 1 && !is_element(element))
                messages.warn(std::string(kCannotDecodeLabel) + name);
        }
        rest = name.size() > from_label.size() ? name.substr(from_label.size()) : std::string();
    }
    atom.element = fit(element, kElementLength);
    atom.label = fit(trim(rest), kLabelLength);
}

// A displacement value as U: B converted by the program's one factor.
double as_u(double v, CifDisplacement kind) {
    return kind == CifDisplacement::B ? u_from_b(v) : v;
}

// The disorder group as the SHELX part it stands for ("2", "-1" for a
// special position); "." and a code that is no whole number ("A") are none.
int disorder_part(const CifValue& group) {
    if (unknown(group)) return 0;
    const std::optional<long long> g = parse_int(trim(*group));
    constexpr long long kLargest = 99999;
    return g && *g >= -kLargest && *g <= kLargest ? static_cast<int>(*g) : 0;
}

enum class AtomsResult { Ok, None, TooMany, Failed };

AtomsResult read_atoms(const CifBlockRecord& record, StructureDocument& doc, Messages& messages,
                       std::vector<double>& loop_uiso) {
    if (!record.atom_loop) return AtomsResult::None;
    bool too_many = false;
    bool unknown_coordinate = false;
    for (const CifAtomSite& s : record.atoms) {
        const std::string label = s.label ? trim(*s.label) : std::string();
        if (label.empty()) continue;
        // "?" and "." read as 0, as the blank-and-point rule of the rows gives.
        std::optional<double> xyz[3];
        const CifValue* given[3] = {&s.x, &s.y, &s.z};
        for (int k = 0; k < 3; ++k) {
            if (*given[k] && trim(**given[k]) == kCifUnknown) {
                xyz[k] = 0.0;
                unknown_coordinate = true;
            } else if (*given[k]) {
                xyz[k] = read_cif_number(**given[k]);
            }
        }
        if (!xyz[0] || !xyz[1] || !xyz[2]) {
            messages.warn("The atom " + label + " has no coordinates");
            return AtomsResult::Failed;
        }
        if (static_cast<int>(doc.asym.size()) >= kMaxAsymAtoms) {
            too_many = true;
            break;
        }
        Atom a;
        a.name = fit(label, kNameLength);
        set_element_and_label(a, s.type_symbol ? *s.type_symbol : std::string(), messages);
        a.x = *xyz[0];
        a.y = *xyz[1];
        a.z = *xyz[2];
        // The loop's Uiso (0 when the file does not give it: an aniso reset
        // then takes the mean of the diagonal), the default for drawing.
        std::optional<double> u_given;
        if (!unknown(s.displacement))
            if (const std::optional<double> v = read_cif_number(*s.displacement))
                u_given = as_u(*v, record.iso_kind);
        a.adp = {u_given.value_or(kDefaultIsoValue), 0, 0, 0, 0, 0};
        a.iso = 1;
        a.part = disorder_part(s.disorder_group);
        doc.asym.push_back(a);
        loop_uiso.push_back(u_given.value_or(0));
    }
    if (unknown_coordinate) messages.warn("Unknown atom coordinates (\"?\" or \".\") read as 0");
    if (too_many) {
        messages.warn(kTooManyAtomsMessage);
        return AtomsResult::TooMany;
    }
    return doc.asym.empty() ? AtomsResult::None : AtomsResult::Ok;
}

void read_aniso(const CifBlockRecord& record, StructureDocument& doc,
                const std::vector<double>& loop_uiso, Messages& messages) {
    if (record.aniso_kind == CifDisplacement::None) return;
    for (const CifAnisoSite& s : record.aniso) {
        if (!s.label) continue;
        // Names keep 6 characters; the aniso label is cut the same way.
        const std::string label = to_upper(fit(trim(*s.label), kNameLength));
        auto it = std::find_if(doc.asym.begin(), doc.asym.end(),
                               [&](const Atom& a) { return to_upper(trim(a.name)) == label; });
        if (it == doc.asym.end()) continue;
        std::array<double, 6> u{};
        bool ok = true;
        for (std::size_t k = 0; k < 6; ++k) {
            const std::optional<double> v =
                unknown(s.values[k]) ? std::nullopt : read_cif_number(*s.values[k]);
            if (!v)
                ok = false;
            else
                u[k] = as_u(*v, record.aniso_kind);
        }
        if (!ok) {
            messages.warn("Cannot read the anisotropic parameters of " + it->name);
            continue;
        }
        it->adp = u;
        it->iso = 0;
        if (not_positive_definite(u[0], u[1], u[2], u[3], u[4], u[5])) {
            const double from_loop = loop_uiso[static_cast<std::size_t>(it - doc.asym.begin())];
            const double ueq = from_loop != 0 ? from_loop : (u[0] + u[1] + u[2]) / 3;
            it->adp = {ueq, 0, 0, 0, 0, 0};
            it->iso = 1;
            messages.warn(it->name + kNonDefinitePositiveReset + format_fixed(ueq, 6, 4));
        }
    }
}

bool read_operators(const CifBlockRecord& record, StructureDocument& doc, Messages& messages) {
    const std::vector<std::string> texts = operator_texts(record);
    doc.positions.clear();
    bool capped = false;
    for (const std::string& text : texts) {
        if (static_cast<int>(doc.positions.size()) >= kMaxOperators) {
            capped = true;
            break;
        }
        std::optional<SymOp> op = decode_cif_operator(text);
        if (!op) {
            // Report the coordinate that failed, or the whole text.
            std::string bad = text;
            for (const std::string& part : split_tokens(text, ","))
                if (!decode_cif_coordinate(part)) {
                    bad = part;
                    break;
                }
            messages.warn(std::string(kCannotDecodePosition) + bad);
            return false;
        }
        reduce_translations(*op);
        doc.positions.push_back({*op, fit(text, kOperatorTextLength), 0});
    }
    if (capped) messages.warn("Too many symmetry operators: only the first 192 are kept");
    return true;
}

}  // namespace

void select_identity_operator(StructureDocument& doc) {
    for (EquivalentPosition& p : doc.positions)
        p.selected = 0;
    doc.generation_ops = {SymOp::identity()};
    if (doc.positions.empty()) return;
    auto it = std::find_if(doc.positions.begin(), doc.positions.end(),
                           [](const EquivalentPosition& p) { return is_identity(p.op); });
    (it != doc.positions.end() ? *it : doc.positions.front()).selected = 1;
}

int build_cif_document(const CifBlockRecord& record, const std::string& file_name,
                       StructureDocument& doc, const ProgramPaths& paths, Messages& messages,
                       CifReadInfo& info) {
    info = CifReadInfo{};
    info.formula = record.formula;
    doc.formula = record.formula;
    if (!record.formula.empty()) doc.title = title_from_formula(record.formula);

    if (!read_cell(record, doc, messages)) return 1;
    if (!read_operators(record, doc, messages)) return 1;
    const bool operators_listed = !doc.positions.empty();

    const std::optional<SymbolFound> symbol = space_group_symbol(record);
    doc.space_group = symbol ? symbol->symbol : std::string();
    if (!operators_listed && !symbol) {
        messages.warn(kNoCifSymmetryMessage);
        return 1;
    }
    if (symbol) doc.lattice_letter = first_letter(symbol->symbol);

    std::vector<double> loop_uiso;
    switch (read_atoms(record, doc, messages, loop_uiso)) {
        case AtomsResult::None:
            messages.warn(kNoAtomSiteMessage);
            return 1;
        case AtomsResult::TooMany:
        case AtomsResult::Failed:
            return 1;
        case AtomsResult::Ok:
            break;
    }
    read_aniso(record, doc, loop_uiso, messages);

    if (!compute_metric(doc, messages)) return 1;
    set_crystal_system_from_cell(doc);

    if (!operators_listed) {
        if (!operators_from_symbol(doc, *symbol, record, paths, messages)) return 1;
        info.operators_from_symbol = true;
        const LatticeDescription lattice = describe_lattice(doc.positions);
        doc.centrosymmetric = lattice.centrosymmetric;
        if (doc.centring.empty())
            doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);
        warn_if_cell_departs(doc, messages);
    } else {
        // The operators describe the lattice: the letter from the centring
        // translations present, the centre only when it is at the origin.
        const LatticeDescription lattice = describe_lattice(doc.positions);
        doc.lattice_letter = lattice.letter;
        doc.centring = lattice.centring;
        doc.centrosymmetric = lattice.centrosymmetric;
        if (lattice.letter == "R") doc.crystal_system = "HEXA";  // obverse centring: hexagonal axes
        // A symbol stands for the setting whose operators are the file's.
        if (symbol && !adopt_setting_of_operators(doc, *symbol, paths.data_dir))
            info.symbol_disagrees = true;
        if (symbol && !info.symbol_disagrees) warn_if_cell_departs(doc, messages);
    }
    select_identity_operator(doc);

    if (!build_element_sorts(doc, load_radii(paths.data_dir), messages)) return 1;
    doc.data_file = file_name;
    doc.regeneration_needed = true;
    doc.cell_changed = true;
    doc.elements_changed = true;
    return 0;
}

std::optional<double> read_cif_number(std::string_view text) {
    const std::string t = trim(drop_uncertainty(text));
    if (t.empty()) return std::nullopt;
    const std::size_t slash = t.find('/');
    if (slash == std::string::npos) return parse_double(t);
    const std::optional<double> p = parse_double(t.substr(0, slash));
    const std::optional<double> q = parse_double(t.substr(slash + 1));
    if (!p || !q || *q == 0) return std::nullopt;
    return *p / *q;
}

std::optional<OperatorRow> decode_cif_coordinate(std::string_view text) {
    OperatorRow row;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skip_blanks = [&] {
        while (i < n && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    auto read_number = [&](double& value) {
        const std::size_t start = i;
        while (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
            ++i;
        if (i == start) return false;
        const std::optional<double> v = parse_double(text.substr(start, i - start));
        if (!v) return false;
        value = *v;
        return true;
    };
    skip_blanks();
    if (i >= n) return std::nullopt;
    bool any = false;
    while (true) {
        skip_blanks();
        if (i >= n) break;
        double sign = 1;
        bool signed_term = false;
        if (text[i] == '+' || text[i] == '-') {
            sign = text[i] == '-' ? -1 : 1;
            signed_term = true;
            ++i;
            skip_blanks();
        }
        if (!signed_term && any) return std::nullopt;  // terms must be joined by a sign
        double number = 1;
        bool has_number = false;
        if (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
            if (!read_number(number)) return std::nullopt;
            has_number = true;
            skip_blanks();
            if (i < n && text[i] == '/') {
                ++i;
                skip_blanks();
                double q = 0;
                if (!read_number(q) || q == 0) return std::nullopt;
                number /= q;
                skip_blanks();
            }
            if (i < n && text[i] == '*') {
                ++i;
                skip_blanks();
            }
        }
        int axis = -1;
        if (i < n) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            if (c == 'X' || c == 'Y' || c == 'Z') {
                axis = c - 'X';
                ++i;
            }
        }
        if (axis >= 0) {
            // Rotation coefficients are whole numbers.
            if (number != std::floor(number)) return std::nullopt;
            row.r[axis] += sign * number;
        } else if (has_number) {
            row.t += sign * number;
        } else {
            return std::nullopt;
        }
        any = true;
    }
    if (!any) return std::nullopt;
    if (row.r[0] == 0 && row.r[1] == 0 && row.r[2] == 0) return std::nullopt;
    return row;
}

std::optional<SymOp> decode_cif_operator(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() != 3) return std::nullopt;
    SymOp op;
    for (int i = 0; i < 3; ++i) {
        const std::optional<OperatorRow> row =
            decode_cif_coordinate(parts[static_cast<std::size_t>(i)]);
        if (!row) return std::nullopt;
        for (int j = 0; j < 3; ++j)
            op.m[i][j] = row->r[j];
        op.m[i][3] = row->t;
    }
    return op;
}

std::string element_from_cif_label(std::string_view label) {
    const std::string l = to_upper(trim(label));
    if (l.empty()) return {};
    std::string element;
    if (l.size() >= 2 && !std::isdigit(static_cast<unsigned char>(l[1])))
        element = l.substr(0, 2);
    else
        element = l.substr(0, 1);
    if (element.size() == 2 && !is_element(element)) element.resize(1);
    return element;
}

std::string element_from_type_symbol(std::string_view type_symbol) {
    const std::string t = to_upper(trim(type_symbol));
    std::string letters;
    for (char c : t) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || letters.size() == 2) break;
        letters += c;
    }
    if (letters.empty()) return {};
    if (is_element(letters)) return letters;
    if (letters.size() == 2 && is_element(letters.substr(0, 1))) return letters.substr(0, 1);
    return {};
}

std::string hall_symbol_lower(std::string_view hall) {
    std::string s(trim(hall));
    bool lattice_seen = false;
    for (char& c : s) {
        if (lattice_seen)
            c = lower_char(c);
        else if (std::isalpha(static_cast<unsigned char>(c)))
            lattice_seen = true;
    }
    return s;
}

}  // namespace veldor
