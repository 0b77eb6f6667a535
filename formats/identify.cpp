#include "formats/identify.h"

#include <cmath>
#include <fstream>

#include "core/data_files.h"
#include "core/text.h"
#include "formats/text_file.h"
#include "symmetry/catalogue.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

void trace(std::ofstream& out, const std::vector<EquivalentPosition>& list) {
    out << "npos=" << list.size() << "\n";
    for (std::size_t i = 0; i < list.size(); ++i)
        out << format_int(static_cast<long long>(i + 1), 4) << " " << list[i].text << "\n";
}

// Every operator of `entry` finds one of `doc` and the counts agree.
bool matches_document(const std::vector<SymOp>& entry, const std::vector<EquivalentPosition>& doc) {
    return entry.size() == doc.size() && veldor::same_operator_set(entry, operators_of(doc));
}

std::vector<SymOp> with_centring(std::vector<SymOp> ops, const std::vector<Vec3>& vectors) {
    const std::size_t n = ops.size();
    for (const Vec3& v : vectors)
        for (std::size_t i = 0; i < n; ++i) {
            SymOp c = ops[i];
            for (int k = 0; k < 3; ++k)
                c.m[k][3] = unit_translation(c.m[k][3] + v[k]);
            ops.push_back(c);
            if (ops.size() > static_cast<std::size_t>(kMaxOperators)) return ops;
        }
    return ops;
}

struct PeqResult {
    bool matched = false;
    std::string caption;
};

// The entries of `system` in "spgr.peq" (its lines, read once).
PeqResult search_peq(StructureDocument& doc, const std::vector<std::string>& lines,
                     const std::string& system) {
    PeqResult r;
    std::size_t i = 0;
    while (i < lines.size() && trim_right(lines[i]) != system)
        ++i;
    if (i < lines.size()) ++i;
    while (i < lines.size() && !lines[i].empty() && lines[i][0] == ' ') {
        const std::string& head = lines[i];
        const std::string symbol1 = trim(head.substr(0, 20));
        const std::string symbol2 = head.size() > 23 ? trim(head.substr(23, 16)) : "";
        const std::string number = head.size() > 40 ? trim(head.substr(40, 6)) : "";
        ++i;
        if (i >= lines.size()) break;
        const auto count = parse_int(trim(lines[i]));
        ++i;
        if (!count || *count < 0 || *count > kMaxOperators) break;  // a damaged entry ends the list
        std::vector<SymOp> ops;
        bool ok = true;
        for (long long k = 0; k < *count; ++k, ++i) {
            const auto v = i < lines.size() ? split_numbers(lines[i], true) : std::nullopt;
            if (!v || v->size() < 12) {
                ok = false;
                continue;
            }
            SymOp op;
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 4; ++b)
                    op.m[a][b] = (*v)[static_cast<std::size_t>(a * 4 + b)];
            ops.push_back(op);
        }
        if (!ok) continue;
        ops = with_centring(std::move(ops), centring_vectors(symbol1.substr(0, 1), system));
        if (matches_document(ops, doc.positions)) {
            doc.space_group = symbol1;
            r.matched = true;
            r.caption =
                "Possible Space Group : " + symbol1 + " / " + symbol2 + " (Nb " + number + ")";
            return r;
        }
    }
    return r;
}

// The entries of the catalogue of `system` whose operators, completed, are
// the document's. `report` names a missing file and a refused operator.
enum class PosSearch { Matched, NoMatch, Failed };
PosSearch search_catalogue(StructureDocument& doc, const std::filesystem::path& data_dir,
                           const std::string& system, bool report, Messages& messages,
                           std::string& caption) {
    SilentMessages quiet;
    Messages& say = report ? messages : quiet;
    const auto file = catalogue_file(data_dir, system);
    if (file.empty()) {
        say.warn(to_lower(system) + ".pos not found");
        return PosSearch::Failed;
    }
    const auto catalogue = read_catalogue(file, say);
    if (!catalogue) return PosSearch::Failed;
    const int n = static_cast<int>(doc.positions.size());
    const int doc_centro = doc.centrosymmetric > 0 ? 1 : 0;
    for (const CatalogueEntry& e : catalogue->entries) {
        const std::string symbol = trim(e.symbol);
        const auto vectors = centring_vectors(symbol.substr(0, 1), system);
        const int flag = e.centrosymmetric > 0 ? 1 : 0;
        const long long expected = static_cast<long long>(e.operators.size()) *
                                   static_cast<long long>(vectors.size() + 1) * (flag + 1);
        if (expected != n || flag != doc_centro) continue;
        const auto ops = expanded_operators(e, system);
        if (!ops) {
            for (const std::string& text : e.operators)
                if (!decode_operator(to_upper(trim(text)))) {
                    say.warn("Non decoded position: " + text);
                    break;
                }
            return PosSearch::Failed;
        }
        if (matches_document(*ops, doc.positions)) {
            doc.space_group = symbol;
            caption = "Possible Space Group : " + symbol;
            return PosSearch::Matched;
        }
    }
    return PosSearch::NoMatch;
}

}  // namespace

void normalise_operator_list(StructureDocument& doc, const std::filesystem::path& work_dir) {
    // No work folder (tests, fuzzing): no trace file.
    std::ofstream out;
    if (!work_dir.empty()) out.open(work_dir / "espion_pos.txt", std::ios::trunc);
    trace(out, doc.positions);
    std::vector<EquivalentPosition> kept;
    for (EquivalentPosition p : doc.positions) {
        for (int k = 0; k < 3; ++k)
            p.op.m[k][3] = unit_translation(p.op.m[k][3]);
        p.text = remove_spaces(format_operator(p.op));
        bool repeated = false;
        for (const EquivalentPosition& q : kept)
            repeated = repeated || q.text == p.text;
        if (!repeated) kept.push_back(p);
    }
    doc.positions = std::move(kept);
    trace(out, doc.positions);
}

std::string identify_space_group(StructureDocument& doc, const std::filesystem::path& data_dir,
                                 Messages& messages) {
    const auto peq_file = find_file_nocase(data_dir.string(), "spgr.peq");
    const auto peq_text = peq_file ? read_file_text(*peq_file, messages) : std::nullopt;
    if (!peq_text) {
        messages.warn("spgr.peq not found");
        return "No Space Group found";
    }
    const std::vector<std::string> peq_lines = split_lines(*peq_text);
    const std::string guessed = system_code(doc.crystal_system);
    // The operators decide; the cell only orders the search.
    for (const std::string& system : systems_in_search_order(guessed)) {
        const PeqResult peq = search_peq(doc, peq_lines, system);
        std::string caption = peq.caption;
        bool matched = peq.matched;
        if (!matched) {
            const PosSearch pos =
                search_catalogue(doc, data_dir, system, system == guessed, messages, caption);
            if (pos == PosSearch::Failed && system == guessed) return "No Space Group found";
            matched = pos == PosSearch::Matched;
        }
        if (!matched) continue;
        adopt_identified_group(doc, system, messages);
        return caption;
    }
    messages.warn("VELDOR Cannot identify the Space Group in the Shelx file");
    return "Space Group not identified: ";
}

void adopt_identified_group(StructureDocument& doc, const std::string& system, Messages& messages) {
    doc.crystal_system = system;
    doc.lattice_letter = doc.space_group.substr(0, 1);
    doc.centring = centring_vectors(doc.lattice_letter, system);
    warn_if_cell_departs(doc, messages);
}

void warn_if_cell_departs(const StructureDocument& doc, Messages& messages) {
    if (cell_fits_operators(doc.cell_parameters, doc.positions)) return;
    messages.warn(kCellDepartsMessage + doc.space_group);
}

std::string space_group_caption(const StructureDocument& doc) {
    return doc.space_group.empty() ? std::string("No Space Group found")
                                   : "Space Group: " + doc.space_group;
}

}  // namespace veldor
