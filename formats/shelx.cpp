#include "formats/shelx.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <set>

#include "core/adp.h"
#include "core/atomic_file.h"
#include "core/elements.h"
#include "core/mat3.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/identify.h"
#include "formats/text_file.h"
#include "generation/bonds.h"
#include "symmetry/catalogue.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

constexpr int kMaxFreeVariables = 50;
constexpr double kDefaultWavelength = 0.7106;
constexpr double kCentringTolerance = 0.001;

// Instructions that are never atoms. The first 25 are the classic list;
// the others are the instructions of current refinement and solution
// programs, which real files carry before, between and after the atoms (a
// SHELXD or SHELXT input has no FVAR line, so its atoms, if any, start
// after the last of them).
const std::set<std::string>& instruction_keywords() {
    static const std::set<std::string> k = {
        "TITL", "CELL", "LATT", "SYMM", "SFAC", "UNIT", "AXIS", "ABSC", "FACE", "HKLF", "MERG",
        "OMIT", "EEES", "TANG", "PHIX", "L.S.", "AFLS", "BOND", "LIST", "FMAP", "GRID", "PLAN",
        "WGHT", "ILSF", "ZERR", "REM", "END", "FVAR", "PART", "AFIX", "ANIS", "BLOC", "MOLE",
        "TREF", "ABIN", "ACTA", "ANSC", "ANSR", "BASF", "BIND", "BUMP", "CGLS", "CHIV", "CONF",
        "CONN", "DAMP", "DANG", "DEFS", "DELU", "DFIX", "DISP", "EADP", "EGEN", "EQIV", "ESEL",
        "EXTI", "EXYZ", "FEND", "FLAT", "FRAG", "FREE", "HFIX", "HOPE", "HTAB", "INIT", "ISOR",
        "LAUE", "MORE", "MOVE", "MPLA", "NCSY", "NEUT", "PATT", "PRIG", "RESI", "RIGU", "RTAB",
        "SADI", "SAME", "SHEL", "SIMU", "SIZE", "SPEC", "STIR", "SUMP", "SWAT", "TEMP", "TIME",
        "TWIN", "TWST", "WIGL", "WPDB", "XNPD", "FIND", "PSEE", "TEXP", "VECT", "SPIN", "DISP",
        "EXTN", "NOTR", "ESIG",
        // Structure-solution programs (SHELXS, SHELXD, SHELXT) and the older
        // "ERR" line that earlier Veldor versions wrote in place of ZERR.
        "PATS", "MIND", "NTRY", "DSUL", "SEED", "PLOP", "TEST", "SKIP", "WEED", "CCWT", "FRES",
        "PHAN", "PREJ", "ERR"};
    return k;
}

// A line split into its keyword (the first word, at most 4 characters; empty
// for a line that starts with a blank) and the rest after that word.
struct Instruction {
    std::string word;     // as written
    std::string keyword;  // upper case, at most 4 characters
    std::string rest;
};

Instruction split_instruction(std::string_view line) {
    Instruction in;
    if (line.empty() || static_cast<unsigned char>(line[0]) <= ' ') {
        in.rest = std::string(line);
        return in;
    }
    std::size_t end = 0;
    while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ')
        ++end;
    in.word = std::string(line.substr(0, end));
    in.keyword = to_upper(fit(in.word, 4));
    in.rest = std::string(line.substr(end));
    return in;
}

std::string read_error(int scan, std::size_t index) {
    const std::string n = std::to_string(index + 1);
    if (scan == 0) return "Read error at line Nb " + n;
    return "Read error(" + std::to_string(scan) + ") at line Nb " + n;
}

std::string lattice_letter_of(long long code) {
    static const char* letters[] = {"P", "I", "R", "F", "A", "B", "C"};
    return letters[code - 1];
}

bool is_end(const Instruction& in) {
    return in.keyword == "END";
}

// The text before a "!" comment, trailing blanks removed.
std::string without_comment(std::string_view text) {
    return trim_right(text.substr(0, std::min(text.find('!'), text.size())));
}

// An operator of a SYMM line: the strict grammar, or decimals ("0.5-X").
std::optional<SymOp> decode_symm(const std::string& text) {
    if (auto op = decode_operator(text)) return op;
    // A component is a rotation term with a translation before or after it.
    static const std::regex component(
        "^(?:[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:/[0-9]+)?[+-])?"
        "[+-]?[XYZ](?:[+-][XYZ])?"
        "(?:[+-](?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:/[0-9]+)?)?$");
    for (const std::string& part : split_tokens(text, ","))
        if (!std::regex_match(part, component)) return std::nullopt;
    const auto parts = split_tokens(text, ",");
    if (parts.size() != 3 || std::count(text.begin(), text.end(), ',') != 2) return std::nullopt;
    SymOp op;
    for (int i = 0; i < 3; ++i) {
        const auto row = decode_grid_component(parts[static_cast<std::size_t>(i)]);
        if (!row) return std::nullopt;
        for (int j = 0; j < 3; ++j)
            op.m[i][j] = row->r[j];
        op.m[i][3] = row->t;
    }
    return op;
}

double mod1(double t) {
    return t - std::floor(t);
}

bool differ_by(const SymOp& a, const SymOp& b, const Vec3& v) {
    if (a.rotation() != b.rotation()) return false;
    for (int k = 0; k < 3; ++k) {
        double d = mod1(a.m[k][3] + v[k] - b.m[k][3]);
        if (d > 0.5) d -= 1;
        if (std::fabs(d) > kCentringTolerance) return false;
    }
    return true;
}

// The operator list as read, completed by the centring translations (after
// removing operators that are centred copies of earlier ones) and the
// inversion centre.
bool complete_operators(StructureDocument& doc, Messages& messages) {
    const std::vector<Vec3> vectors = centring_vectors(doc.lattice_letter, doc.crystal_system);
    doc.centring = vectors;
    bool ok = true;
    if (!vectors.empty()) {
        std::vector<EquivalentPosition> kept;
        for (const EquivalentPosition& p : doc.positions) {
            bool repeat = false;
            for (const EquivalentPosition& q : kept)
                for (const Vec3& v : vectors)
                    repeat = repeat || differ_by(q.op, p.op, v);
            if (!repeat) kept.push_back(p);
        }
        doc.positions = std::move(kept);
        ok = expand_by_centring(doc.positions, vectors);
    }
    if (ok && doc.centrosymmetric > 0) ok = expand_by_inversion(doc.positions);
    for (EquivalentPosition& p : doc.positions)
        p.text = remove_spaces(format_operator(p.op));
    if (!ok) messages.warn("More than 192 equivalent positions");
    return ok;
}

// Free-variable decoding of one parameter of an atom line.
}  // namespace

double shelx_parameter(double v, bool coordinate, const std::vector<double>& fv) {
    auto free_variable = [&fv](long long m) {
        return m >= 1 && m <= static_cast<long long>(fv.size())
                   ? fv[static_cast<std::size_t>(m - 1)]
                   : 0.0;
    };
    if (std::fabs(v) > 20) {
        const long long m = static_cast<long long>(std::trunc(v / 10));
        const double p = v - 10.0 * static_cast<double>(m);
        return m > 0 ? p * free_variable(m) : p * (free_variable(-m) - 1);
    }
    if (coordinate && std::fabs(v) > 2 && v >= 5) v -= 10;
    if (std::fabs(v) > 10) {
        const long long m = std::llround(v) / 10;
        const double p = v - 10.0 * static_cast<double>(m);
        if (m == 1 || m == -1) return p;
        return m > 0 ? p * free_variable(m) : p * (free_variable(-m) - 1);
    }
    return v;
}

namespace {

void set_first_operator_only(StructureDocument& doc) {
    for (auto& p : doc.positions)
        p.selected = 0;
    doc.generation_ops.clear();
    if (!doc.positions.empty()) {
        doc.positions[0].selected = 1;
        doc.generation_ops.push_back(doc.positions[0].op);
    }
}

bool too_many_atoms(const StructureDocument& doc, Messages& messages) {
    if (static_cast<int>(doc.asym.size()) < kMaxAsymAtoms) return false;
    messages.warn("The number of atoms is > 1000!");
    return true;
}

// Title, CELL, LATT and SYMM, common to both readers; `skip` is the number
// of leading characters before the keyword (1 in a listing).
bool read_header(const std::vector<std::string>& lines, std::size_t skip, std::size_t last,
                 StructureDocument& doc, double& wavelength, Messages& messages) {
    auto instr = [&](std::size_t i) {
        return split_instruction(
            std::string_view(lines[i]).substr(std::min(skip, lines[i].size())));
    };
    // Cell.
    std::size_t i = 0;
    while (i < last && instr(i).keyword != "CELL")
        ++i;
    if (i == last) {
        messages.warn("No CELL line in the file");
        return false;
    }
    const auto cell = split_numbers(instr(i).rest, false);
    if (!cell || cell->size() < 7) {
        messages.warn(read_error(1, i));
        return false;
    }
    wavelength = (*cell)[0];
    for (int k = 0; k < 6; ++k)
        doc.cell_parameters[static_cast<std::size_t>(k)] = (*cell)[static_cast<std::size_t>(k + 1)];
    if (!compute_metric(doc, messages)) return false;
    set_crystal_system_from_cell(doc);

    // Title and the identity.
    doc.positions.clear();
    doc.positions.push_back({SymOp::identity(), " X, Y, Z", 0});
    if (!lines.empty()) {
        const Instruction first = split_instruction(lines[0]);
        doc.title = first.keyword == "TITL" ? trim(first.rest) : std::string();
    }

    // Lattice: a missing or zero LATT counts as 1.
    long long latt = 1;
    for (i = 0; i < last; ++i) {
        const Instruction in = instr(i);
        if (in.keyword != "LATT") continue;
        const auto words = split_tokens(in.rest);
        const auto v = words.empty() ? std::nullopt : parse_int(words[0]);
        if (!v) {
            messages.warn(read_error(3, i));
            return false;
        }
        if (*v != 0) latt = *v;
        break;
    }
    doc.centrosymmetric = latt > 0 ? 1 : 0;
    const long long a = latt < 0 ? -latt : latt;
    if (a >= 1 && a <= 7) doc.lattice_letter = lattice_letter_of(a);

    // Operators: every SYMM line before the end of the instructions.
    for (i = 0; i < last; ++i) {
        const Instruction in = instr(i);
        if (in.keyword != "SYMM") continue;
        const std::string text = remove_spaces(to_upper(in.rest));
        if (text == "X,Y,Z") continue;
        auto op = decode_symm(text);
        if (!op) {
            messages.warn("Non decoded position: " + text);
            return false;
        }
        reduce_translations(*op);
        if (doc.positions.size() >= static_cast<std::size_t>(kMaxOperators)) {
            messages.warn("More than 192 equivalent positions");
            return false;
        }
        doc.positions.push_back({*op, format_operator(*op), 0});
    }
    return complete_operators(doc, messages);
}

// The index of the first END (or the end of the file) in an instruction file.
std::size_t end_of_instructions(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (is_end(split_instruction(lines[i]))) return i;
    return lines.size();
}

// U of an atom riding on the last non-hydrogen atom before it.
double riding_u(const StructureDocument& doc, double factor) {
    for (auto it = doc.asym.rbegin(); it != doc.asym.rend(); ++it) {
        const std::string key = element_key(it->element);
        if (key != "H" && key != "D") return factor * u_equivalent(*it, doc.metric);
    }
    return factor;
}

}  // namespace

bool is_shelx_instruction_file(std::string_view path) {
    const std::string up = to_upper(path);
    return up.find(".INS") != std::string::npos || up.find(".INP") != std::string::npos ||
           up.find(".SHX") != std::string::npos || up.find(".RES") != std::string::npos;
}

bool read_shelx_instructions(const std::vector<std::string>& lines, StructureDocument& doc,
                             double& wavelength, Messages& messages) {
    const std::size_t last = end_of_instructions(lines);
    if (!read_header(lines, 0, last, doc, wavelength, messages)) return false;

    // Scattering-factor types.
    std::vector<std::string> types;
    for (std::size_t i = 0; i < last; ++i) {
        const Instruction in = split_instruction(lines[i]);
        if (in.keyword != "SFAC") continue;
        const auto words = split_tokens(in.rest);
        if (in.rest.find('.') == std::string::npos) {
            for (const auto& w : words)
                types.push_back(to_upper(fit(w, 2)));
        } else if (!words.empty()) {
            types.push_back(to_upper(fit(words[0], 2)));
        }
    }

    // Free variables, and where the atoms begin.
    std::vector<double> fv;
    std::size_t i = 0;
    while (i < last && split_instruction(lines[i]).keyword != "FVAR")
        ++i;
    if (i < last) {
        for (; i < last; ++i) {
            const Instruction in = split_instruction(lines[i]);
            if (in.keyword != "FVAR") break;
            const std::string rest = trim(in.rest).empty() ? std::string("1") : in.rest;
            const auto v = split_numbers(rest, false);
            if (!v) {
                messages.warn(read_error(2, i));
                return false;
            }
            for (double x : *v)
                if (static_cast<int>(fv.size()) < kMaxFreeVariables) fv.push_back(x);
        }
        if (i < last && split_instruction(lines[i]).keyword == "TREF") {
            // A TREF line is followed by its own parameter line.
            if (i + 1 < last && trim(split_instruction(lines[i + 1]).rest).empty()) i = last;
            i = std::min(last, i + 2);
        }
    } else {
        for (i = 0; i < last; ++i) {
            const Instruction in = split_instruction(lines[i]);
            if (!in.keyword.empty() && !instruction_keywords().count(in.keyword)) break;
        }
    }

    // Atoms.
    int part = 0;
    for (; i < last; ++i) {
        const std::size_t first_line = i;
        Instruction in = split_instruction(lines[i]);
        if (in.keyword.empty()) continue;
        if (in.keyword == "PART") {
            const auto words = split_tokens(in.rest);
            const auto v = words.empty() ? std::nullopt : parse_double(words[0]);
            if (!v || std::fabs(*v) > 1e6) {
                messages.warn(read_error(0, i));
                return false;
            }
            part = static_cast<int>(std::lround(*v));
            continue;
        }
        if (in.keyword == "REM") continue;
        std::string rest = without_comment(in.rest);
        // A line ending in "=" goes on on the next one.
        while (!rest.empty() && rest.back() == '=') {
            rest.pop_back();
            if (i + 1 < last) rest += " " + without_comment(lines[++i]);
        }
        if (instruction_keywords().count(in.keyword)) continue;

        const auto numbers = split_numbers(rest, true);
        bool sane = numbers && numbers->size() >= 4;
        for (std::size_t k = 0; sane && k < numbers->size(); ++k)
            sane = std::fabs((*numbers)[k]) < 1e6;
        if (!sane) {
            messages.warn(read_error(0, first_line));
            return false;
        }
        if (too_many_atoms(doc, messages)) return false;
        const std::vector<double>& n = *numbers;
        const std::size_t values = n.size() - 1 >= 10 ? 10 : n.size() - 1 >= 5 ? 5 : 3;
        double v[10] = {0, 0, 0, 11.0, 0.05, 0, 0, 0, 0, 0};
        for (std::size_t k = 0; k < values; ++k)
            v[k] = n[k + 1];
        const bool riding = values == 5 && v[4] < -0.5 && v[4] >= -5;
        for (std::size_t k = 0; k < 10; ++k)
            v[k] = shelx_parameter(v[k], k < 3, fv);

        Atom a;
        const std::string name = to_upper(fit(in.word, 4));
        const double type = n[0];
        std::string element;
        if (!types.empty() && type >= 1 && type <= static_cast<double>(types.size()))
            element = types[static_cast<std::size_t>(std::lround(type)) - 1];
        else
            element = fit(normalise_label(name), 2);
        element = trim(element);
        a.element = fit(element, kElementLength);
        a.label =
            fit(element.size() < name.size() ? name.substr(element.size()) : "", kLabelLength);
        a.name = make_atom_name(a.element, a.label);
        a.x = v[0];
        a.y = v[1];
        a.z = v[2];
        if (riding) {
            a.adp = {riding_u(doc, -v[4]), 0, 0, 0, 0, 0};
        } else {
            a.adp = {std::fabs(v[4]), v[5], v[6], v[9], v[8], v[7]};
        }
        a.iso = a.adp[1] == 0 ? 1 : 0;
        a.part = part;
        doc.asym.push_back(a);
    }

    set_first_operator_only(doc);
    if (doc.asym.empty()) messages.warn("No atoms in the ShelX file !!!");
    return true;
}

bool read_shelx_listing(const std::vector<std::string>& lines, const std::string& file_name,
                        StructureDocument& doc, double& wavelength, Messages& messages) {
    static const std::string kOldHeader = "ATOM           x         y         z";
    static const std::string kNewHeader = "ATOM      X/A";
    bool old_layout = false, found = false;
    for (const std::string& l : lines) {
        if (l.find("ATOM") == std::string::npos) continue;
        if (l.find("x         y         z") != std::string::npos) {
            old_layout = found = true;
            break;
        }
        if (l.find("X/A") != std::string::npos) {
            found = true;
            break;
        }
    }
    if (!found) {
        messages.warn("The file " + file_name + " Seems not to be a Shelx file");
        return false;
    }
    std::size_t header = 0;
    const std::string& wanted = old_layout ? kOldHeader : kNewHeader;
    while (header < lines.size() && lines[header].find(wanted) == std::string::npos)
        ++header;
    if (!read_header(lines, 1, std::min(header, lines.size()), doc, wavelength, messages))
        return false;
    if (header >= lines.size()) {
        messages.warn("No detected atoms in the file " + file_name);
        set_first_operator_only(doc);
        return false;
    }
    const std::size_t step = old_layout ? 3 : 2;
    for (std::size_t i = header + 2; i < lines.size(); i += step) {
        const std::string& l = lines[i];
        if (trim(fit(l, 5)).empty()) break;
        const std::string raw_name = trim(l.size() > 1 ? l.substr(1, 4) : "");
        const auto v = split_numbers(l.size() > 5 ? l.substr(5) : "", false);
        if (!v || v->size() < 5) {
            messages.warn("error " + (l.size() > 5 ? l.substr(5) : "") + " " + raw_name);
            set_first_operator_only(doc);
            return false;
        }
        if (too_many_atoms(doc, messages)) break;
        const std::string normal = normalise_label(raw_name);
        Atom a;
        a.element = trim(fit(normal, 2));
        a.label = trim(normal.size() > 2 ? normal.substr(2, 2) : "");
        a.name = make_atom_name(a.element, a.label);
        auto at = [&v](std::size_t k) { return k < v->size() ? (*v)[k] : 0.0; };
        a.x = at(0);
        a.y = at(1);
        a.z = at(2);
        a.adp = {at(4), at(5), at(6), at(9), at(8), at(7)};
        a.iso = (a.adp[1] + a.adp[2] + a.adp[3] + a.adp[4] + a.adp[5]) == 0 ? 1 : 0;
        doc.asym.push_back(a);
    }
    set_first_operator_only(doc);
    return true;
}

void reset_non_positive_definite(StructureDocument& doc, Messages& messages) {
    for (Atom& a : doc.asym) {
        const auto& u = a.adp;
        if (!not_positive_definite(u[0], u[1], u[2], u[3], u[4], u[5])) continue;
        const double ueq = (u[0] + u[1] + u[2]) / 3;
        a.adp = {ueq, 0, 0, 0, 0, 0};
        a.iso = 1;
        messages.warn(a.name + ": has a non definite positive matrix Uij. Ueq was reset to " +
                      format_fixed(ueq, 6, 4));
    }
}

bool load_shelx_text(std::string_view text, const std::string& path, StructureDocument& doc,
                     const ProgramPaths& paths, ShelxReadResult& result, Messages& messages) {
    reset(doc);
    result = ShelxReadResult{};
    const std::string base = to_upper(std::filesystem::path(path).filename().string());
    result.title_stem = base.size() > 4 ? base.substr(0, base.size() - 4) : std::string();
    const std::vector<std::string> lines = split_lines(text);
    const bool ok = is_shelx_instruction_file(base)
                        ? read_shelx_instructions(lines, doc, result.wavelength, messages)
                        : read_shelx_listing(lines, path, doc, result.wavelength, messages);
    doc.data_file = path;
    doc.wavelength = result.wavelength;
    if (!ok) return false;
    doc.regeneration_needed = true;
    doc.cell_changed = true;
    doc.elements_changed = true;
    if (!doc.asym.empty()) {
        if (!build_element_sorts(doc, load_radii(paths.data_dir), messages)) return false;
        build_bond_sorts(doc);
    }
    if (doc.space_group.empty()) {
        normalise_operator_list(doc, paths.work_dir);
        identify_space_group(doc, paths.data_dir, messages);
        set_first_operator_only(doc);
    }
    result.caption = space_group_caption(doc);
    reset_non_positive_definite(doc, messages);
    return true;
}

bool load_shelx(const std::string& path, StructureDocument& doc, const ProgramPaths& paths,
                ShelxReadResult& result, Messages& messages) {
    BusyScope busy(messages);
    const auto text = read_file_text(path, messages);
    if (!text) return false;
    return load_shelx_text(*text, path, doc, paths, result, messages);
}

// ---------------------------------------------------------------- writer

std::string decimal_fractions(std::string_view text) {
    static const std::pair<const char*, const char*> kDecimals[] = {
        {"1/2", "0.5"},  {"1/3", "0.3333333"}, {"2/3", "0.6666667"}, {"1/4", "0.25"},
        {"3/4", "0.75"}, {"1/6", "0.166667"},  {"5/6", "0.83333"}};
    std::string s(text);
    for (const auto& [fraction, decimal] : kDecimals) {
        std::size_t pos = 0;
        while ((pos = s.find(fraction, pos)) != std::string::npos) {
            s.replace(pos, 3, decimal);
            pos += std::string_view(decimal).size();
        }
    }
    return s;
}

int latt_code(const StructureDocument& doc) {
    const std::string letter = to_upper(trim(doc.lattice_letter));
    int code = 1;
    if (letter == "I") code = 2;
    if (letter == "R") code = to_upper(doc.crystal_system) == "HEXA" ? 3 : 1;
    if (letter == "F") code = 4;
    if (letter == "A") code = 5;
    if (letter == "B") code = 6;
    if (letter == "C") code = 7;
    return doc.centrosymmetric > 0 ? code : -code;
}

namespace {

std::optional<std::vector<std::string>> catalogue_symm(const StructureDocument& doc,
                                                       const ProgramPaths& paths, bool quiet,
                                                       Messages& messages) {
    const auto file = catalogue_file(paths.data_dir, doc.crystal_system);
    if (file.empty()) {
        if (!quiet) messages.warn(to_lower(doc.crystal_system) + ".pos not found");
        return std::nullopt;
    }
    SilentMessages silent;
    const auto catalogue = read_catalogue(file, quiet ? silent : messages);
    if (!catalogue) return std::nullopt;
    for (const CatalogueEntry& e : catalogue->entries) {
        if (trim_right(e.symbol) != doc.space_group) continue;
        std::vector<std::string> texts;
        for (const std::string& t : e.operators) {
            const std::string up = remove_spaces(to_upper(t));
            if (up != "X,Y,Z") texts.push_back(up);
        }
        return texts;
    }
    if (!quiet) messages.warn(doc.space_group + " not found in " + file.filename().string());
    return std::nullopt;
}

std::optional<std::vector<std::string>> interpreter_symm(const ProgramPaths& paths,
                                                         Messages& messages) {
    const auto text =
        read_file_text((std::filesystem::path(paths.work_dir) / "scfs.dat").string(), messages);
    if (!text) return std::nullopt;
    const auto lines = split_lines(*text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].find("Symmetry Operators") == std::string::npos)
        ++i;
    std::vector<std::string> texts;
    for (i += 2; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        const std::string field = trim(fit(l, 11));
        const std::string op = trim(l.size() > 11 ? l.substr(11) : "");
        if (field.empty() || op == "-X,-Y,-Z") break;
        texts.push_back(op);
    }
    return texts;
}

// The document's operators that LATT does not already imply: the identity,
// centred copies and inverted copies of operators written before are left out.
std::vector<std::string> document_symm(const StructureDocument& doc) {
    const auto vectors = centring_vectors(doc.lattice_letter, doc.crystal_system);
    std::vector<SymOp> implied;
    auto add_implied = [&](const SymOp& op) {
        std::vector<SymOp> family{op};
        for (const Vec3& v : vectors) {
            SymOp c = op;
            for (int k = 0; k < 3; ++k)
                c.m[k][3] += v[k];
            family.push_back(c);
        }
        const std::size_t n = family.size();
        if (doc.centrosymmetric > 0)
            for (std::size_t j = 0; j < n; ++j) {
                SymOp inv = family[j];
                for (auto& row : inv.m)
                    for (double& x : row)
                        x = -x;
                family.push_back(inv);
            }
        implied.insert(implied.end(), family.begin(), family.end());
    };
    auto is_implied = [&](const SymOp& op) {
        for (const SymOp& q : implied)
            if (differ_by(q, op, {0, 0, 0})) return true;
        return false;
    };
    add_implied(SymOp::identity());
    std::vector<std::string> texts;
    for (const EquivalentPosition& p : doc.positions) {
        if (is_implied(p.op)) continue;
        texts.push_back(p.text);
        add_implied(p.op);
    }
    return texts;
}

// True when SYMM lines `texts` under the document's LATT expand, as the
// reader expands them, to the document's operators.
bool reads_back_as_document(const StructureDocument& doc, const std::vector<std::string>& texts) {
    StructureDocument trial;
    trial.lattice_letter = doc.lattice_letter;
    trial.crystal_system = doc.crystal_system;
    trial.centrosymmetric = doc.centrosymmetric > 0 ? 1 : 0;
    trial.positions.push_back({SymOp::identity(), "", 0});
    for (const std::string& t : texts) {
        auto op = decode_symm(remove_spaces(to_upper(t)));
        if (!op) return false;
        reduce_translations(*op);
        trial.positions.push_back({*op, "", 0});
    }
    SilentMessages quiet;
    if (!complete_operators(trial, quiet)) return false;
    return same_operator_set(operators_of(trial.positions), operators_of(doc.positions));
}

}  // namespace

std::optional<std::string> shelx_text(const StructureDocument& doc, const ProgramPaths& paths,
                                      const ShelxWriteOptions& options, Messages& messages) {
    std::vector<const Atom*> atoms;
    for (const Atom& a : doc.asym)
        if (!a.name.empty()) atoms.push_back(&a);
    if (atoms.empty()) {
        messages.warn("No data");
        return std::nullopt;
    }
    std::vector<std::string> symm;
    SymmSource source = options.symm;
    if (doc.space_group.empty() &&
        (source == SymmSource::Automatic || source == SymmSource::Catalogue))
        source = SymmSource::Document;
    if (source == SymmSource::Automatic) {
        // The catalogue's lines only when, read back with this LATT, they give
        // the document's operators (a symbol taken from a file may not).
        auto t = catalogue_symm(doc, paths, true, messages);
        if (t && reads_back_as_document(doc, *t))
            symm = *t;
        else
            source = SymmSource::Document;
    } else if (source == SymmSource::Catalogue) {
        auto t = catalogue_symm(doc, paths, false, messages);
        if (!t) return std::nullopt;
        symm = *t;
    } else if (source == SymmSource::Interpreter) {
        auto t = interpreter_symm(paths, messages);
        if (!t) return std::nullopt;
        symm = *t;
    }
    if (source == SymmSource::Document) symm = document_symm(doc);

    std::string out;
    auto line = [&out](const std::string& s) { out += s + "\n"; };
    line("TITL " + (options.title.empty() ? doc.title : options.title));
    std::string cell = "CELL " + fixed_field(options.wavelength != 0 ? options.wavelength
                                             : doc.wavelength != 0   ? doc.wavelength
                                                                     : kDefaultWavelength,
                                             8, 5);
    for (double v : doc.cell_parameters)
        cell += fixed_field(v, 10, 4);
    line(cell);
    // ZERR, which SHELXL and every SHELX reader expect ("ERR" makes the
    // file unusable as an instruction file).
    line("ZERR " + format_int(static_cast<long long>(atoms.size()), 5) + " 0 0 0 0 0");
    line("LATT " + std::to_string(latt_code(doc)));
    for (const std::string& t : symm)
        line("SYMM " + decimal_fractions(to_upper(t)));
    std::string sfac = "SFAC ";
    for (const ElementSort& e : doc.element_sorts)
        sfac += e.symbol + " ";
    line(sfac);
    std::string unit = "UNIT ";
    for (std::size_t s = 0; s < doc.element_sorts.size(); ++s) {
        long long n = 0;
        for (const Atom* a : atoms)
            n += a->element_index == static_cast<int>(s + 1);
        unit += format_int(n, 3);
    }
    line(unit);
    line("FVAR     1");
    // Disorder parts as PART lines, so that the file reads back with the
    // same bonds; a structure without parts has none.
    int part = 0;
    for (const Atom* a : atoms) {
        if (a->part != part) {
            part = a->part;
            line("PART " + std::to_string(part));
        }
        const auto& u = a->adp;
        std::string l = pad_right(fit(trim(a->name), 4), 4) + format_int(a->element_index, 4) +
                        fixed_field(a->x, 10, 5) + fixed_field(a->y, 10, 5) +
                        fixed_field(a->z, 10, 5) + "   11.0000" + fixed_field(u[0], 10, 5);
        if (u[1] != 0) {
            line(l + fixed_field(u[1], 10, 5) + "   =");
            line(fixed_field(u[2], 10, 5) + fixed_field(u[5], 10, 5) + fixed_field(u[4], 10, 5) +
                 fixed_field(u[3], 10, 5));
        } else {
            line(l);
        }
    }
    if (part != 0) line("PART 0");
    line("END");
    return out;
}

bool write_shelx(const std::string& path, const StructureDocument& doc, const ProgramPaths& paths,
                 const ShelxWriteOptions& options, Messages& messages) {
    const auto text = shelx_text(doc, paths, options, messages);
    if (!text) return false;
    return save_file_atomically(path, *text, messages);
}

}  // namespace veldor
