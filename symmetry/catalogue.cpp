#include "symmetry/catalogue.h"

#include <fstream>
#include <sstream>

#include "core/data_files.h"
#include "core/text.h"
#include "symmetry/interpreter.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

namespace fs = std::filesystem;

// A record never lists more operators than the document holds; a larger
// count means a damaged file, not a bigger group.
constexpr long long kMaxNotes = 1000;

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> read_text(const fs::path& file) {
    std::ifstream f(file, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string field(const std::string& line, std::size_t first_column, std::size_t width) {
    if (line.size() < first_column) return {};
    return trim(line.substr(first_column - 1, width));
}

}  // namespace

std::string system_code(std::string_view entry) {
    return to_upper(trim(entry).substr(0, std::min<std::size_t>(4, trim(entry).size())));
}

int system_entry_index(std::string_view code) {
    const std::string c = to_upper(trim(code));
    for (std::size_t i = 0; i < kSystemEntries.size(); ++i)
        if (!c.empty() && system_code(kSystemEntries[i]) == c) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> systems_in_search_order(std::string_view guessed) {
    const std::string first = system_code(guessed);
    std::vector<std::string> systems;
    if (system_entry_index(first) >= 0) systems.push_back(first);
    for (std::string_view entry : kSystemEntries)
        if (system_code(entry) != first) systems.push_back(system_code(entry));
    return systems;
}

std::string CatalogueEntry::full_symbol() const {
    return notes.size() > 0 ? trim(notes[0]) : std::string();
}
std::string CatalogueEntry::hall() const {
    return notes.size() > 1 ? trim(notes[1]) : std::string();
}
int CatalogueEntry::number() const {
    if (notes.size() < 3) return 0;
    return static_cast<int>(parse_int(notes[2]).value_or(0));
}

std::vector<std::string> Catalogue::symbols() const {
    std::vector<std::string> out;
    for (const CatalogueEntry& e : entries)
        out.push_back(trim(e.symbol));
    return out;
}

int Catalogue::find(std::string_view symbol) const {
    const std::string key = symbol_key(symbol);
    if (key.empty()) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (symbol_key(entries[i].symbol) == key || symbol_key(entries[i].full_symbol()) == key)
            return static_cast<int>(i);
    if (key.find(':') != std::string::npos) return -1;
    int first = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (symbol_key_without_suffix(entries[i].symbol) != key &&
            symbol_key_without_suffix(entries[i].full_symbol()) != key)
            continue;
        if (is_default_setting_suffix(entries[i].symbol)) return static_cast<int>(i);
        if (first < 0) first = static_cast<int>(i);
    }
    return first;
}

fs::path catalogue_file(const fs::path& data_dir, std::string_view system_code) {
    const auto found = find_file_nocase(data_dir.string(), to_lower(trim(system_code)) + ".pos");
    return found ? fs::path(*found) : fs::path();
}

std::optional<Catalogue> parse_catalogue(std::string_view text, const std::string& name,
                                         Messages& messages) {
    const std::vector<std::string> lines = split_lines(text);
    Catalogue cat;
    std::size_t i = 0;
    auto damaged = [&](std::size_t line) {
        messages.warn("Damaged catalogue file " + name + " at line " + std::to_string(line + 1));
        return std::nullopt;
    };
    auto read_count = [&](long long max) -> std::optional<long long> {
        if (i >= lines.size()) return std::nullopt;
        const auto n = parse_int(lines[i]);
        if (!n || *n < 0 || *n > max) return std::nullopt;
        ++i;
        return n;
    };
    while (true) {
        while (i < lines.size() && trim(lines[i]).empty())
            ++i;
        if (i >= lines.size()) break;
        CatalogueEntry e;
        e.symbol = trim_right(lines[i++]);
        if (i >= lines.size()) return damaged(i);
        const auto flag = parse_int(lines[i]);
        if (!flag) return damaged(i);
        e.centrosymmetric = static_cast<int>(*flag);
        ++i;
        const auto n = read_count(kMaxOperators);
        if (!n) return damaged(i);
        for (long long k = 0; k < *n; ++k) {
            if (i >= lines.size() || trim(lines[i]).empty()) return damaged(i);
            e.operators.push_back(trim(lines[i++]));
        }
        const auto m = read_count(kMaxNotes);
        if (!m) return damaged(i);
        for (long long k = 0; k < *m; ++k) {
            if (i >= lines.size()) return damaged(i);
            e.notes.push_back(lines[i++]);
        }
        cat.entries.push_back(std::move(e));
    }
    return cat;
}

std::optional<Catalogue> read_catalogue(const fs::path& file, Messages& messages) {
    const auto text = file.empty() ? std::nullopt : read_text(file);
    if (!text) {
        messages.warn(file.filename().string() + " not found");
        return std::nullopt;
    }
    return parse_catalogue(*text, file.filename().string(), messages);
}

std::pair<int, int> getspec_block(std::string_view system_code) {
    const std::string c = to_upper(trim(system_code));
    if (c == "TRIC") return {1, 18};
    if (c == "MONO") return {19, 178};
    if (c == "ORTH") return {179, 370};
    if (c == "TETR") return {371, 480};
    if (c == "HEXA") return {481, 547};
    if (c == "RHOM") return {548, 556};
    if (c == "CUBI") return {558, 637};
    return {0, -1};
}

std::vector<std::string> getspec_entries(const fs::path& data_dir, std::string_view system_code,
                                         Messages& messages) {
    std::vector<std::string> out;
    const auto [first, last] = getspec_block(system_code);
    if (first == 0) return out;
    const auto path = find_file_nocase(data_dir.string(), "spgr2.dat");
    const auto text = path ? read_text(*path) : std::nullopt;
    if (!text) {
        messages.warn("spgr2.dat not found");
        return out;
    }
    const std::vector<std::string> lines = split_lines(*text);
    for (int k = first; k <= last && k <= static_cast<int>(lines.size()); ++k) {
        const std::string& line = lines[static_cast<std::size_t>(k - 1)];
        const std::string hm = field(line, 6, 12);
        if (hm.empty()) continue;
        out.push_back(pad_right(hm, 12) + pad_right(field(line, 27, 20), 17) +
                      pad_right(field(line, 47, 3), 3));
    }
    return out;
}

SystemChoice choose_system(StructureDocument& doc, std::string_view entry, const fs::path& data_dir,
                           Messages& messages) {
    SystemChoice choice;
    doc.regeneration_needed = true;
    const std::string code = system_code(entry);
    doc.crystal_system = code;
    doc.lattice_letter = code.substr(0, 1);

    auto& cell = doc.cell_parameters;
    const auto before = cell;
    auto set = [&](int i, double v) {
        cell[static_cast<std::size_t>(i)] = v;
        choice.constrained[static_cast<std::size_t>(i)] = true;
        choice.changed[static_cast<std::size_t>(i)] = true;
    };
    const double a = cell[0], alpha = cell[3];
    if (code == "CUBI") {
        set(1, a), set(2, a), set(3, 90), set(4, 90), set(5, 90);
    } else if (code == "TETR") {
        set(1, a), set(3, 90), set(4, 90), set(5, 90);
    } else if (code == "ORTH") {
        set(3, 90), set(4, 90), set(5, 90);
    } else if (code == "HEXA") {
        set(1, a), set(3, 90), set(4, 90), set(5, 120);
    } else if (code == "RHOM") {
        set(1, a), set(2, a), set(4, alpha), set(5, alpha);
    }
    if (cell != before) doc.cell_changed = true;

    if (system_entry_index(code) < 0) return choice;
    const fs::path file = catalogue_file(data_dir, code);
    if (file.empty()) {
        messages.warn(to_lower(code) + ".pos not found");
    } else if (auto cat = read_catalogue(file, messages)) {
        choice.standard_symbols = cat->symbols();
    }
    choice.getspec_symbols = getspec_entries(data_dir, code, messages);
    return choice;
}

LookupStatus look_up_group(StructureDocument& doc, std::string_view symbol,
                           const fs::path& data_dir, Messages& messages) {
    const fs::path file = catalogue_file(data_dir, doc.crystal_system);
    if (file.empty()) {
        messages.warn(to_lower(trim(doc.crystal_system)) + ".pos not found");
        return LookupStatus::Failed;
    }
    const auto cat = read_catalogue(file, messages);
    if (!cat) return LookupStatus::Failed;
    const int index = cat->find(symbol);
    if (index < 0) {
        doc.positions.clear();
        return LookupStatus::NotFound;
    }
    const CatalogueEntry& e = cat->entries[static_cast<std::size_t>(index)];
    std::vector<EquivalentPosition> positions;
    for (const std::string& listed : e.operators) {
        const std::string text = to_upper(remove_spaces(listed));
        const auto op = decode_operator(text, messages);
        if (!op) return LookupStatus::Failed;
        EquivalentPosition p;
        p.op = *op;
        p.text = fit(text, kOperatorTextLength);
        positions.push_back(std::move(p));
    }
    doc.positions = std::move(positions);
    doc.centrosymmetric = e.centrosymmetric;
    expand_positions(doc);
    return LookupStatus::Found;
}

std::optional<std::vector<SymOp>> expanded_operators(const CatalogueEntry& entry,
                                                     std::string_view system) {
    std::vector<EquivalentPosition> list;
    for (const std::string& listed : entry.operators) {
        const auto op = decode_operator(to_upper(remove_spaces(listed)));
        if (!op) return std::nullopt;
        list.push_back({*op, "", 0});
    }
    const std::string symbol = trim(entry.symbol);
    expand_by_centring(list, centring_vectors(symbol.substr(0, 1), system));
    if (entry.centrosymmetric > 0) expand_by_inversion(list);
    std::vector<SymOp> ops;
    ops.reserve(list.size());
    for (const EquivalentPosition& p : list)
        ops.push_back(p.op);
    return ops;
}

std::optional<CatalogueSetting> catalogue_setting_with_operators(const fs::path& data_dir,
                                                                 std::string_view symbol, bool hall,
                                                                 std::string_view guessed,
                                                                 const std::vector<SymOp>& ops) {
    if (data_dir.empty()) return std::nullopt;
    const std::string base = hall ? symbol_key(symbol) : symbol_key_without_suffix(symbol);
    if (base.empty()) return std::nullopt;
    SilentMessages quiet;
    for (const std::string& system : systems_in_search_order(guessed)) {
        const fs::path file = catalogue_file(data_dir, system);
        if (file.empty()) continue;
        const auto cat = read_catalogue(file, quiet);
        if (!cat) continue;
        for (const CatalogueEntry& e : cat->entries) {
            const bool named = hall ? symbol_key(e.hall()) == base
                                    : symbol_key_without_suffix(e.symbol) == base ||
                                          symbol_key_without_suffix(e.full_symbol()) == base;
            if (!named) continue;
            const auto listed = expanded_operators(e, system);
            if (listed && same_operator_set(*listed, ops)) return CatalogueSetting{e, system};
        }
    }
    return std::nullopt;
}

LookupStatus look_up_group_in_any_system(StructureDocument& doc, std::string_view symbol,
                                         const fs::path& data_dir, Messages& messages) {
    const std::string first = system_code(doc.crystal_system);
    for (const std::string& code : systems_in_search_order(first)) {
        const std::string kept = doc.crystal_system;
        doc.crystal_system = code;
        SilentMessages quiet;
        // A fault of the cell's own catalogue is reported; the others are only searched.
        const LookupStatus status =
            look_up_group(doc, symbol, data_dir, code == first ? messages : quiet);
        if (status == LookupStatus::Found) return status;
        doc.crystal_system = kept;
        if (status == LookupStatus::Failed && code == first) return status;
    }
    doc.positions.clear();
    return LookupStatus::NotFound;
}

CatalogueChoice choose_catalogue_group(StructureDocument& doc, std::string_view symbol,
                                       const fs::path& data_dir, Messages& messages) {
    const auto& cell = doc.cell_parameters;
    if (doc.crystal_system == "MONO" && cell[4] == 90 && cell[5] != 90) {
        messages.warn("No Space group available for C monoclinic cell");
        return CatalogueChoice::MonoclinicCCell;
    }
    if (trim(doc.crystal_system).empty()) {
        messages.warn("Select the system");
        return CatalogueChoice::NoSystem;
    }
    const std::string sym = trim(symbol);
    const std::string old_letter = doc.lattice_letter;
    doc.lattice_letter = sym.substr(0, 1);
    if (look_up_group(doc, sym, data_dir, messages) == LookupStatus::Failed) {
        doc.lattice_letter = old_letter;
        return CatalogueChoice::LookupFailed;
    }
    doc.space_group = sym;
    for (EquivalentPosition& p : doc.positions)
        p.text = format_operator(p.op);
    select_only_first_position(doc);
    return CatalogueChoice::Chosen;
}

LoadedSymbolMatch match_loaded_symbol(StructureDocument& doc, const fs::path& data_dir,
                                      const fs::path& work_dir, bool cif_positions_read,
                                      Messages& messages) {
    LoadedSymbolMatch m;
    m.system_index = system_entry_index(doc.crystal_system);
    if (m.system_index < 0) return m;
    const std::string code = system_code(doc.crystal_system);

    const fs::path file = catalogue_file(data_dir, code);
    std::optional<Catalogue> cat;
    if (file.empty())
        messages.warn(to_lower(code) + ".pos not found");
    else
        cat = read_catalogue(file, messages);
    if (cat) {
        m.standard_symbols = cat->symbols();
        if (!trim(doc.space_group).empty()) m.standard_index = cat->find(doc.space_group);
    }
    m.getspec_symbols = getspec_entries(data_dir, code, messages);

    const std::string symbol = to_upper(trim(doc.space_group));
    if (m.standard_index < 0 && !symbol.empty()) {
        for (std::size_t i = 0; i < m.getspec_symbols.size(); ++i) {
            const std::string& e = m.getspec_symbols[i];
            const std::string first = to_upper(trim(e.substr(0, e.find(' '))));
            std::string second;
            const auto gap = e.find("  ");
            if (gap != std::string::npos) {
                const std::string rest = trim_left(e.substr(gap));
                second = to_upper(trim(rest.substr(0, std::min<std::size_t>(15, rest.size()))));
            }
            if (first == symbol || second == symbol) {
                m.getspec_index = static_cast<int>(i);
                if (!cif_positions_read)
                    m.interpreter_ran = choose_getspec_setting(doc, e, work_dir, messages);
                break;
            }
        }
    }
    if (code == "RHOM") doc.lattice_letter = "P";
    return m;
}

bool edit_cell_field(StructureDocument& doc, int field, std::string_view text, Messages& messages) {
    if (field < 0 || field > 5) return false;
    const auto value = parse_double(tidy_number_text(text));
    if (!value) {
        messages.warn("Type error!");
        return false;
    }
    auto& cell = doc.cell_parameters;
    cell[static_cast<std::size_t>(field)] = *value;
    const std::string& code = doc.crystal_system;
    if (field == 0) {
        if (code == "CUBI" || code == "RHOM") cell[1] = cell[2] = *value;
        if (code == "TETR" || code == "HEXA") cell[1] = *value;
    }
    if (field == 3 && code == "RHOM") cell[4] = cell[5] = *value;
    doc.cell_changed = true;
    doc.regeneration_needed = true;
    return true;
}

}  // namespace veldor
