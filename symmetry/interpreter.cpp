#include "symmetry/interpreter.h"

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <stdexcept>
#include <system_error>

#include "core/text.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

namespace fs = std::filesystem;

constexpr int kDen = gemmi::Op::DEN;  // gemmi stores operators in 24ths

const char* system_code(const gemmi::SpaceGroup& sg) {
    switch (sg.crystal_system()) {
        case gemmi::CrystalSystem::Triclinic:
            return "TRIC";
        case gemmi::CrystalSystem::Monoclinic:
            return "MONO";
        case gemmi::CrystalSystem::Orthorhombic:
            return "ORTH";
        case gemmi::CrystalSystem::Tetragonal:
            return "TETR";
        case gemmi::CrystalSystem::Trigonal:
            return sg.ext == 'R' ? "RHOM" : "HEXA";
        case gemmi::CrystalSystem::Hexagonal:
            return "HEXA";
        case gemmi::CrystalSystem::Cubic:
            return "CUBI";
    }
    return "TRIC";
}

int system_rank(std::string_view code) {
    static const char* order[] = {"TRIC", "MONO", "ORTH", "TETR", "HEXA", "RHOM", "CUBI"};
    for (int i = 0; i < 7; ++i)
        if (code == order[i]) return i;
    return 7;
}

// "P 1 21/c 1" -> "P21/c" (monoclinic with unique axis b written short),
// blanks removed, origin or axes choice appended as ":1", ":H", ...
std::string short_symbol(const gemmi::SpaceGroup& sg) {
    std::string s(sg.hm);
    const std::size_t len = s.size();
    if (len > 6 && s[2] == '1' && s[len - 2] == ' ' && s[len - 1] == '1')
        s = std::string(1, s[0]) + s.substr(4, len - 6);
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    if (sg.ext) {
        s += ':';
        s += sg.ext;
    }
    return s;
}

bool has_translation(const gemmi::Op& op) {
    return op.tran[0] != 0 || op.tran[1] != 0 || op.tran[2] != 0;
}

// The table and, in parallel, the gemmi entry each setting comes from.
struct SettingTable {
    std::vector<SpaceGroupSetting> settings;
    std::vector<const gemmi::SpaceGroup*> entries;
    std::vector<std::string> keys, full_keys, base_keys, full_base_keys;
};

const SettingTable& table() {
    static const SettingTable t = [] {
        // gemmi's first 530 entries are the settings of International Tables
        // volume A. Of the entries after them, the origin-shifted variants
        // ("P 21212(a)", ...) are left out and the centred cells of a
        // smaller group (A1, C112, F4/mmm, ...) kept unless another entry
        // already has their operators.
        constexpr std::size_t kItaSettings = 530;
        std::vector<const gemmi::SpaceGroup*> chosen;
        std::size_t index = 0;
        for (const gemmi::SpaceGroup& sg : gemmi::spacegroup_tables::main) {
            const std::size_t i = index++;
            if (i >= kItaSettings) {
                if (has_translation(sg.basisop())) continue;
                const gemmi::GroupOps ops = sg.operations();
                bool duplicate = false;
                for (const gemmi::SpaceGroup* other : chosen)
                    if (ops.is_same_as(other->operations())) duplicate = true;
                if (duplicate) continue;
            }
            chosen.push_back(&sg);
        }
        std::stable_sort(chosen.begin(), chosen.end(),
                         [](const gemmi::SpaceGroup* a, const gemmi::SpaceGroup* b) {
                             const int ra = system_rank(system_code(*a));
                             const int rb = system_rank(system_code(*b));
                             if (ra != rb) return ra < rb;
                             return a->number < b->number;
                         });
        // Origin choice 2 (inversion centre at the origin, as SHELX needs it)
        // before origin choice 1.
        for (std::size_t i = 0; i + 1 < chosen.size(); ++i)
            if (chosen[i]->ext == '1' && chosen[i + 1]->ext == '2' &&
                std::string_view(chosen[i]->hm) == chosen[i + 1]->hm) {
                std::swap(chosen[i], chosen[i + 1]);
                ++i;
            }

        SettingTable t;
        for (const gemmi::SpaceGroup* sg : chosen) {
            SpaceGroupSetting s;
            s.number = sg->number;
            s.symbol = short_symbol(*sg);
            s.full_symbol = sg->xhm();
            s.hall = trim(sg->hall);
            s.crystal_system = system_code(*sg);
            s.lattice = sg->hm[0];
            s.reference = sg->is_reference_setting();
            t.keys.push_back(symbol_key(s.symbol));
            t.full_keys.push_back(symbol_key(s.full_symbol));
            t.base_keys.push_back(symbol_key_without_suffix(s.symbol));
            t.full_base_keys.push_back(symbol_key_without_suffix(s.full_symbol));
            t.settings.push_back(std::move(s));
            t.entries.push_back(sg);
        }
        return t;
    }();
    return t;
}

int wrap24(int t) {
    return ((t % kDen) + kDen) % kDen;
}

int det(const gemmi::Op::Rot& r) {
    return r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
           r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
           r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
}

bool is_identity(const gemmi::Op& op) {
    return op == gemmi::Op::identity();
}

SymOp to_symop(const gemmi::Op::Rot& rot, const gemmi::Op::Tran& tran) {
    SymOp s;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            s.m[i][j] = static_cast<double>(rot[i][j]) / kDen;
        s.m[i][3] = static_cast<double>(wrap24(tran[i])) / kDen;
    }
    return s;
}

// The operators of a gemmi group as Veldor lists them (see InterpretedGroup).
InterpretedGroup from_group_ops(const gemmi::GroupOps& gops) {
    InterpretedGroup g;
    std::vector<gemmi::Op> ops = gops.sym_ops;
    for (gemmi::Op& op : ops)
        for (int& t : op.tran)
            t = wrap24(t);
    auto id = std::find_if(ops.begin(), ops.end(), is_identity);
    if (id != ops.end()) std::rotate(ops.begin(), id, id + 1);

    // Is -x,-y,-z (translation 0 up to a centring vector) in the group?
    const gemmi::Op::Rot minus_one = {{{-kDen, 0, 0}, {0, -kDen, 0}, {0, 0, -kDen}}};
    for (const gemmi::Op& op : ops) {
        if (op.rot != minus_one) continue;
        for (const gemmi::Op::Tran& c : gops.cen_ops)
            if (wrap24(op.tran[0] + c[0]) == 0 && wrap24(op.tran[1] + c[1]) == 0 &&
                wrap24(op.tran[2] + c[2]) == 0)
                g.inversion_at_origin = true;
    }
    if (g.inversion_at_origin) {
        std::vector<gemmi::Op> proper;
        for (const gemmi::Op& op : ops)
            if (det(op.rot) > 0) proper.push_back(op);
        for (const gemmi::Op& op : proper)
            g.ops.push_back(to_symop(op.rot, op.tran));
        for (const gemmi::Op& op : proper) {
            gemmi::Op::Tran t = {-op.tran[0], -op.tran[1], -op.tran[2]};
            g.ops.push_back(to_symop(op.negated_rot(), t));
        }
    } else {
        for (const gemmi::Op& op : ops)
            g.ops.push_back(to_symop(op.rot, op.tran));
    }
    g.order = gops.order();
    return g;
}

InterpretedGroup from_setting(std::size_t i) {
    const SettingTable& t = table();
    InterpretedGroup g = from_group_ops(t.entries[i]->operations());
    const SpaceGroupSetting& s = t.settings[i];
    g.symbol = s.symbol;
    g.hall = s.hall;
    g.number = s.number;
    g.lattice = s.lattice;
    return g;
}

// A Hall symbol's change of basis such as "(x,y,2z)" can ask gemmi for an
// enormous set of lattice points; only origin shifts "(0 0 4)" are taken.
bool safe_hall(std::string_view hall) {
    const auto open = hall.find('(');
    if (open == std::string_view::npos) return true;
    for (char c : hall.substr(open))
        if (std::isalpha(static_cast<unsigned char>(c))) return false;
    return true;
}

// A fraction of 24ths as text: "1/2", "3/8", "1/12".
std::string fraction_text(int n24) {
    const int g = std::gcd(n24, kDen);
    return std::to_string(n24 / g) + "/" + std::to_string(kDen / g);
}

// One component of an operator: rotation terms in the order X, Y, Z with
// their signs, then the translation ("-X+Y", "Y+1/2", "X-Y+1/3").
// nullopt when the row is not made of 24ths.
std::optional<std::string> component_text(const SymOp& op, int row) {
    std::string s;
    static const char* axis[] = {"X", "Y", "Z"};
    for (int j = 0; j < 3; ++j) {
        const double c = op.m[row][j];
        const long n = std::lround(c);
        if (std::abs(c - static_cast<double>(n)) > 1e-6) return std::nullopt;
        if (n == 0) continue;
        if (n < 0)
            s += '-';
        else if (!s.empty())
            s += '+';
        if (std::abs(n) != 1) s += std::to_string(std::abs(n));
        s += axis[j];
    }
    double t = op.m[row][3] - std::floor(op.m[row][3]);
    long t24 = std::lround(t * kDen);
    if (std::abs(t * kDen - static_cast<double>(t24)) > 1e-4) return std::nullopt;
    t24 %= kDen;
    if (t24 != 0) s += "+" + fraction_text(static_cast<int>(t24));
    if (s.empty()) s = "0";
    return s;
}

// The text an operator is listed by in "scfs.dat".
std::string listed_text(const SymOp& op) {
    std::string text;
    for (int i = 0; i < 3; ++i) {
        if (i) text += ',';
        if (auto c = component_text(op, i)) {
            text += *c;
        } else {
            text += remove_spaces(format_row(operator_row(op, i)));
        }
    }
    return text;
}

// A key of a cubic symbol in the notation used before 1983 (Lazy Pulverix
// files write "F M 3 M", "P A 3", "P 4 3 M"): the threefold axis was
// written 3 where it is now -3 after a mirror or glide, and -43m as 43m.
// No symbol of another system has these forms.
std::string modern_cubic_key(const std::string& k) {
    if (k.size() < 3 || std::string_view("PFI").find(k[0]) == std::string_view::npos) return k;
    const std::size_t colon = k.find(':');
    std::string rest = k.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
    const std::string suffix = colon == std::string::npos ? std::string() : k.substr(colon);
    if (rest.size() >= 2 && std::string_view("MNAD").find(rest[0]) != std::string_view::npos &&
        rest[1] == '3')
        rest.insert(1, "-");
    else if (rest.size() == 3 && rest.compare(0, 2, "43") == 0 &&
             std::string_view("MNCD").find(rest[2]) != std::string_view::npos)
        rest.insert(0, "-");
    return k[0] + rest + suffix;
}

}  // namespace

std::string symbol_key(std::string_view symbol) {
    std::string k;
    for (char c : symbol) {
        if (c == ' ' || c == '\t' || c == '_' || c == '(' || c == ')' || c == '\r' || c == '\n')
            continue;
        k += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return modern_cubic_key(k);
}

std::string symbol_key_without_suffix(std::string_view symbol) {
    std::string k = symbol_key(symbol);
    const auto colon = k.find(':');
    if (colon != std::string::npos) k.erase(colon);
    return k;
}

bool is_default_setting_suffix(std::string_view symbol) {
    const std::string k = symbol_key(symbol);
    const auto colon = k.find(':');
    if (colon == std::string::npos) return false;
    const std::string suffix = k.substr(colon);
    return suffix == ":1" || suffix == ":H";
}

const std::vector<SpaceGroupSetting>& known_settings() {
    return table().settings;
}

std::optional<std::size_t> find_setting(std::string_view symbol) {
    const SettingTable& t = table();
    const std::string key = symbol_key(symbol);
    if (key.empty()) return std::nullopt;
    for (std::size_t i = 0; i < t.settings.size(); ++i)
        if (t.keys[i] == key || t.full_keys[i] == key) return i;
    if (key.find(':') != std::string::npos) return std::nullopt;
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < t.settings.size(); ++i) {
        if (t.base_keys[i] != key && t.full_base_keys[i] != key) continue;
        if (is_default_setting_suffix(t.settings[i].symbol)) return i;
        if (!first) first = i;
    }
    return first;
}

std::optional<InterpretedGroup> interpret_symbol(std::string_view symbol, std::string& error) {
    const std::string text = trim(symbol);
    if (text.empty()) {
        error = "empty space group symbol";
        return std::nullopt;
    }
    if (auto i = find_setting(text)) return from_setting(*i);

    // Other spellings gemmi knows ("P 1 1 21/b", "H 3", a group number).
    if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(text)) {
        InterpretedGroup g = from_group_ops(sg->operations());
        const SettingTable& t = table();
        const auto it = std::find(t.entries.begin(), t.entries.end(), sg);
        if (it != t.entries.end())
            return from_setting(static_cast<std::size_t>(it - t.entries.begin()));
        g.symbol = short_symbol(*sg);
        g.hall = trim(sg->hall);
        g.number = sg->number;
        g.lattice = sg->hm[0];
        return g;
    }

    // A Hall symbol.
    if (!safe_hall(text)) {
        error = "unsupported change of basis in " + text;
        return std::nullopt;
    }
    try {
        const gemmi::GroupOps gops = gemmi::symops_from_hall(text.c_str());
        if (gops.order() > kMaxOperators || gops.sym_ops.empty()) {
            error = "more than 192 operators";
            return std::nullopt;
        }
        if (const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_ops(gops)) {
            const SettingTable& t = table();
            const auto it = std::find(t.entries.begin(), t.entries.end(), sg);
            if (it != t.entries.end())
                return from_setting(static_cast<std::size_t>(it - t.entries.begin()));
        }
        // The reader adds the centring of a lattice letter; translations no
        // letter stands for are written out as operators of a P lattice.
        const char c = gops.find_centering();
        const bool lettered =
            c == 'P' || c == 'A' || c == 'B' || c == 'C' || c == 'I' || c == 'F' || c == 'R';
        gemmi::GroupOps listed = gops;
        if (!lettered) {
            listed.sym_ops.clear();
            for (const gemmi::Op& op : gops.sym_ops)
                for (const gemmi::Op::Tran& v : gops.cen_ops)
                    listed.sym_ops.push_back(
                        {op.rot, {op.tran[0] + v[0], op.tran[1] + v[1], op.tran[2] + v[2]}});
            listed.cen_ops = {{0, 0, 0}};
        }
        InterpretedGroup g = from_group_ops(listed);
        g.symbol = text;
        g.hall = text;
        g.number = 0;
        g.lattice = lettered ? c : 'P';
        return g;
    } catch (const std::exception& e) {
        error = e.what();
        return std::nullopt;
    }
}

std::optional<std::string> catalogue_operator_text(const SymOp& op) {
    static const char* rotations[] = {"X", "Y", "Z", "-X", "-Y", "-Z", "X-Y", "-X+Y", "X+Y"};
    static const char* fractions[] = {"+1/2", "+1/3", "+2/3", "+1/4", "+3/4", "+1/6", "+5/6"};
    std::string text;
    for (int i = 0; i < 3; ++i) {
        auto c = component_text(op, i);
        if (!c) return std::nullopt;
        std::string comp = *c;
        std::string rot = comp, frac;
        if (comp.find('/') != std::string::npos) {
            // The translation is always last.
            const auto last_plus = comp.rfind('+');
            rot = comp.substr(0, last_plus);
            frac = comp.substr(last_plus);
        }
        if (std::find_if(std::begin(rotations), std::end(rotations),
                         [&](const char* r) { return rot == r; }) == std::end(rotations))
            return std::nullopt;
        if (!frac.empty() &&
            std::find_if(std::begin(fractions), std::end(fractions),
                         [&](const char* f) { return frac == f; }) == std::end(fractions))
            return std::nullopt;
        if (i) text += ',';
        text += comp;
    }
    return text;
}

bool write_scfs(const InterpretedGroup& group, const fs::path& file, Messages& messages) {
    std::string out = " GETSPEC  " + group.symbol + "  Hall: " + group.hall +
                      "  Nb: " + std::to_string(group.number) + "  " +
                      std::to_string(group.ops.size()) +
                      " operators, lattice translations not listed\n";
    for (const SymOp& op : group.ops) {
        std::string line;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                line += format_int(std::lround(op.m[i][j]), 3);
            line += format_fixed(op.m[i][3], 11, 7);
        }
        out += line + "\n";
    }
    out += "\n Symmetry Operators\n";
    int k = 0;
    for (const SymOp& op : group.ops)
        out += pad_right(format_int(++k, 4), 11) + listed_text(op) + "\n";
    out += "\n";

    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    if (f) f << out;
    if (!f) {
        messages.warn("Cannot write " + file.string());
        return false;
    }
    return true;
}

bool run_getspec(std::string_view symbol, const fs::path& work_dir, Messages& messages) {
    std::string error;
    const auto group = interpret_symbol(symbol, error);
    if (!group) {
        messages.warn("GETSPEC cannot interpret the space group symbol " + trim(symbol));
        return false;
    }
    std::error_code ec;
    fs::remove(work_dir / "scfs.dat", ec);
    return write_scfs(*group, work_dir / "scfs.dat", messages);
}

bool take_interpreted_operators(StructureDocument& doc, const InterpretedGroup& group) {
    doc.positions.clear();
    bool complete = true;
    for (const SymOp& op : group.ops) {
        if (static_cast<int>(doc.positions.size()) >= kMaxOperators) {
            complete = false;
            break;
        }
        doc.positions.push_back({op, format_operator(op), 0});
    }
    // The setting's own system decides the centring of R (hexagonal axes).
    if (const auto i = find_setting(group.symbol))
        doc.crystal_system = known_settings()[*i].crystal_system;
    doc.lattice_letter = std::string(1, group.lattice);
    doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);
    return expand_by_centring(doc.positions, doc.centring) && complete;
}

bool read_scfs(const fs::path& file, StructureDocument& doc, Messages& messages) {
    std::ifstream f(file, std::ios::binary);
    if (!f) {
        messages.warn("Cannot read " + file.string());
        return false;
    }
    doc.positions.clear();
    std::string line;
    std::getline(f, line);  // title
    while (std::getline(f, line)) {
        if (trim(line).empty()) break;
        if (doc.positions.size() >= static_cast<std::size_t>(kMaxOperators)) break;
        // Numbers written as ".5" or "-.25" get their leading 0.
        std::string s = " " + line;
        std::replace(s.begin(), s.end(), ',', ' ');
        std::replace(s.begin(), s.end(), '\t', ' ');
        std::string tidy;
        for (std::size_t i = 0; i < s.size(); ++i) {
            tidy += s[i];
            if ((s[i] == ' ' || s[i] == '-' || s[i] == '+') && i + 1 < s.size() && s[i + 1] == '.')
                tidy += '0';
        }
        const std::vector<std::string> numbers = split_tokens(tidy, " \r");
        EquivalentPosition p;
        for (std::size_t n = 0; n < 12; ++n) {
            const double v = n < numbers.size() ? parse_double(numbers[n]).value_or(0.0) : 0.0;
            p.op.m[n / 4][n % 4] = v;
        }
        doc.positions.push_back(std::move(p));
    }
    doc.centrosymmetric = -1;
    for (EquivalentPosition& p : doc.positions) {
        p.text = format_operator(p.op);
        p.selected = 0;
        if (p.text.find("-X,-Y,-Z") != std::string::npos) doc.centrosymmetric = 1;
    }
    doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);
    expand_by_centring(doc.positions, doc.centring);
    // Translations in [0, 1), whatever the file wrote (1/2 + 1/2 is 0).
    for (EquivalentPosition& p : doc.positions) {
        reduce_translations(p.op);
        p.text = format_operator(p.op);
    }
    return true;
}

bool choose_getspec_setting(StructureDocument& doc, std::string_view entry,
                            const fs::path& work_dir, Messages& messages) {
    const std::string symbol = trim(entry.substr(0, std::min<std::size_t>(12, entry.size())));
    std::string error;
    const auto group = interpret_symbol(symbol, error);
    if (!group) {
        messages.warn("GETSPEC cannot interpret the space group symbol " + symbol);
        return false;
    }
    const fs::path file = work_dir / "scfs.dat";
    std::error_code ec;
    fs::remove(file, ec);
    if (!write_scfs(*group, file, messages)) return false;

    doc.space_group = symbol;
    doc.lattice_letter = std::string(1, group->lattice);
    if (!read_scfs(file, doc, messages)) return false;
    select_only_first_position(doc);
    return true;
}

}  // namespace veldor
