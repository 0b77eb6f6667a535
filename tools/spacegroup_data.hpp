#pragma once
// Writes Veldor's space-group data files from the interpreter's table of
// settings (gemmi's space-group tables):
//   tric.pos ... cubi.pos  the catalogue of each crystal system
//   spgr2.dat              the interpreter's settings list, in fixed blocks
//   spgr.peq               the operator sets that identify a group
//   spa.grp                the symbol of each group number's standard setting
// Header only, so that the data test can regenerate the files and compare
// them with the ones in data/ byte for byte.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"

namespace veldor::spacegroup_data {

struct GeneratedFile {
    std::string name;
    std::string text;
};

inline const std::vector<std::string>& system_codes() {
    static const std::vector<std::string> codes = {"TRIC", "MONO", "ORTH", "TETR",
                                                   "HEXA", "RHOM", "CUBI"};
    return codes;
}

// The full symbol without its origin or axes suffix ("P b a n:1" -> "P b a n").
inline std::string orientation(const SpaceGroupSetting& s) {
    return s.full_symbol.substr(0, s.full_symbol.find(':'));
}

inline const SpaceGroupSetting& reference_setting(int number) {
    for (const SpaceGroupSetting& s : known_settings())
        if (s.number == number && s.reference) return s;
    throw std::runtime_error("no standard setting for group " + std::to_string(number));
}

// Orthorhombic groups whose other axis orders spgr2.dat leaves out: the ones
// structures are rarely reported in (mostly the mm2 groups).
inline const std::set<int>& orthorhombic_standard_only() {
    static const std::set<int> numbers = {21, 25, 26, 27, 28, 30, 35, 37, 38, 39, 42, 44, 65};
    return numbers;
}

// spgr2.dat has 192 lines for gemmi's orthorhombic settings. Left out:
// origin choice 1 in a non-standard axis order, and the non-standard axis
// orders of the groups above. Every standard setting stays.
inline bool in_settings_list(const SpaceGroupSetting& s) {
    if (s.crystal_system != "ORTH") return true;
    const bool standard_orientation = orientation(s) == orientation(reference_setting(s.number));
    if (standard_orientation) return true;
    if (s.full_symbol.ends_with(":1")) return false;
    return orthorhombic_standard_only().count(s.number) == 0;
}

inline InterpretedGroup group_of(const SpaceGroupSetting& s) {
    std::string error;
    const auto g = interpret_symbol(s.symbol, error);
    if (!g || g->symbol != s.symbol)
        throw std::runtime_error("the interpreter does not give back " + s.symbol);
    return *g;
}

inline std::string pos_file(const std::string& code) {
    std::string out;
    for (const SpaceGroupSetting& s : known_settings()) {
        if (s.crystal_system != code) continue;
        const InterpretedGroup g = group_of(s);
        // With the inversion centre at the origin only the operators without
        // it are listed; the reader adds their inverted copies.
        const std::size_t listed = g.inversion_at_origin ? g.ops.size() / 2 : g.ops.size();
        out += "\n" + s.symbol + "\n" + (g.inversion_at_origin ? "1" : "0") + "\n" +
               std::to_string(listed) + "\n";
        for (std::size_t i = 0; i < listed; ++i) {
            const auto text = catalogue_operator_text(g.ops[i]);
            if (!text) throw std::runtime_error("an operator of " + s.symbol + " has no text");
            out += *text + "\n";
        }
        out += "3\n" + s.full_symbol + "\n" + s.hall + "\n" + std::to_string(s.number) + "\n";
    }
    return out;
}

inline std::string spgr2_file() {
    std::vector<std::string> lines(637);
    for (const std::string& code : system_codes()) {
        const auto [first, last] = getspec_block(code);
        int k = first;
        for (const SpaceGroupSetting& s : known_settings()) {
            if (s.crystal_system != code || !in_settings_list(s)) continue;
            if (k > last) throw std::runtime_error("block " + code + " of spgr2.dat is full");
            // The list entry is found again by its first field or after its
            // first double blank: the symbol has no blank and leaves room.
            if (s.symbol.size() > 10 || s.symbol.find(' ') != std::string::npos)
                throw std::runtime_error("symbol too long for spgr2.dat: " + s.symbol);
            lines[static_cast<std::size_t>(k - 1)] =
                format_int(k, 4) + " " + pad_right(s.symbol, 12) + std::string(9, ' ') +
                pad_right(s.hall, 20) + format_int(s.number, 3);
            ++k;
        }
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

// The operator set of a group as comparable integers (24ths).
inline std::vector<std::array<long, 12>> operator_key(const InterpretedGroup& g) {
    std::vector<std::array<long, 12>> key;
    for (const SymOp& op : g.ops) {
        std::array<long, 12> k{};
        for (int i = 0; i < 12; ++i)
            k[static_cast<std::size_t>(i)] = std::lround(op.m[i / 4][i % 4] * 24);
        key.push_back(k);
    }
    std::sort(key.begin(), key.end());
    return key;
}

inline std::string peq_file() {
    std::string out;
    for (const std::string& code : system_codes()) {
        out += code + "\n";
        // The listed operators leave out the centring, so the letter counts too.
        std::vector<std::pair<char, std::vector<std::array<long, 12>>>> seen;
        for (const SpaceGroupSetting& s : known_settings()) {
            if (s.crystal_system != code) continue;
            const InterpretedGroup g = group_of(s);
            const auto key = std::make_pair(s.lattice, operator_key(g));
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;  // same operators
            seen.push_back(key);
            if (s.symbol.size() > 19 || s.full_symbol.size() > 16)
                throw std::runtime_error("symbol too long for spgr.peq: " + s.symbol);
            out += " " + pad_right(s.symbol, 19) + "   " + pad_right(s.full_symbol, 16) + " " +
                   format_int(s.number, 6) + "\n";
            out += format_int(static_cast<long long>(g.ops.size()), 4) + "\n";
            for (const SymOp& op : g.ops) {
                std::string line;
                for (int i = 0; i < 3; ++i) {
                    for (int j = 0; j < 3; ++j)
                        line += format_int(std::lround(op.m[i][j]), 3);
                    line += format_fixed(op.m[i][3], 10, 6);
                }
                out += line + "\n";
            }
        }
    }
    return out;
}

// The standard setting of each group number. Rhombohedral groups are
// written without their axes suffix, so the catalogue of the cell's system
// (hexagonal or rhombohedral axes) gives the operators.
inline std::string spa_file() {
    std::string out;
    for (int n = 1; n <= 230; ++n) {
        std::string symbol = reference_setting(n).symbol;
        if (symbol.ends_with(":H")) symbol.resize(symbol.size() - 2);
        if (symbol.size() > 9) throw std::runtime_error("symbol too long for spa.grp: " + symbol);
        out += format_int(n, 3) + " " + symbol + "\n";
    }
    return out;
}

inline std::vector<GeneratedFile> spacegroup_files() {
    std::vector<GeneratedFile> files;
    for (const std::string& code : system_codes())
        files.push_back({to_lower(code) + ".pos", pos_file(code)});
    files.push_back({"spgr2.dat", spgr2_file()});
    files.push_back({"spgr.peq", peq_file()});
    files.push_back({"spa.grp", spa_file()});
    return files;
}

// Writes every file into `dir`; false with `error` set on failure.
inline bool write_spacegroup_files(const std::filesystem::path& dir, std::string& error) {
    try {
        std::filesystem::create_directories(dir);
        for (const GeneratedFile& f : spacegroup_files()) {
            std::ofstream out(dir / f.name, std::ios::binary | std::ios::trunc);
            out << f.text;
            if (!out) {
                error = "cannot write " + (dir / f.name).string();
                return false;
            }
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

}  // namespace veldor::spacegroup_data
