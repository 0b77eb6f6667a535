#include "formats/identify.h"

#include <cmath>
#include <fstream>

#include "core/data_files.h"
#include "core/text.h"
#include "formats/text_file.h"
#include "symmetry/catalogue.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

constexpr double kMatchTolerance = 0.01;

double unit_translation(double t) {
    if (t >= 1) t -= 1;
    if (t < 0) t += 1;
    return t;
}

void trace(std::ofstream& out, const std::vector<EquivalentPosition>& list) {
    out << "npos=" << list.size() << "\n";
    for (std::size_t i = 0; i < list.size(); ++i)
        out << format_int(static_cast<long long>(i + 1), 4) << " " << list[i].text << "\n";
}

// Every operator of `entry` finds one of `doc` whose twelve elements differ
// by at most 0.01 in all.
bool same_operator_set(const std::vector<SymOp>& entry,
                       const std::vector<EquivalentPosition>& doc) {
    if (entry.size() != doc.size()) return false;
    for (const SymOp& e : entry) {
        bool found = false;
        for (const EquivalentPosition& p : doc) {
            double diff = 0;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 4; ++j) {
                    double a = e.m[i][j], b = p.op.m[i][j];
                    if (j == 3) {
                        a = unit_translation(a);
                        b = unit_translation(b);
                    }
                    diff += std::fabs(a - b);
                }
            if (diff <= kMatchTolerance) {
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
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
    bool file_found = false;
    bool matched = false;
    std::string caption;
};

PeqResult search_peq(StructureDocument& doc, const std::filesystem::path& data_dir,
                     Messages& messages) {
    PeqResult r;
    const auto file = find_file_nocase(data_dir.string(), "spgr.peq");
    if (!file) return r;
    const auto text = read_file_text(*file, messages);
    if (!text) return r;
    r.file_found = true;
    const std::vector<std::string> lines = split_lines(*text);
    std::size_t i = 0;
    while (i < lines.size() && trim_right(lines[i]) != doc.crystal_system)
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
        ops = with_centring(std::move(ops),
                            centring_vectors(symbol1.substr(0, 1), doc.crystal_system));
        if (same_operator_set(ops, doc.positions)) {
            doc.space_group = symbol1;
            r.matched = true;
            r.caption =
                "Possible Space Group : " + symbol1 + " / " + symbol2 + " (Nb " + number + ")";
            return r;
        }
    }
    return r;
}

}  // namespace

void normalise_operator_list(StructureDocument& doc, const std::filesystem::path& work_dir) {
    std::ofstream out(work_dir / "espion_pos.txt", std::ios::trunc);
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
    const PeqResult peq = search_peq(doc, data_dir, messages);
    if (!peq.file_found) {
        messages.warn("spgr.peq not found");
        return "No Space Group found";
    }
    if (peq.matched) return peq.caption;

    const auto file = catalogue_file(data_dir, doc.crystal_system);
    if (file.empty()) {
        messages.warn(to_lower(doc.crystal_system) + ".pos not found");
        return "No Space Group found";
    }
    const auto catalogue = read_catalogue(file, messages);
    if (!catalogue) return "No Space Group found";
    const int n = static_cast<int>(doc.positions.size());
    const int doc_centro = doc.centrosymmetric > 0 ? 1 : 0;
    for (const CatalogueEntry& e : catalogue->entries) {
        const std::string symbol = trim(e.symbol);
        const auto vectors = centring_vectors(symbol.substr(0, 1), doc.crystal_system);
        const int flag = e.centrosymmetric > 0 ? 1 : 0;
        const long long expected = static_cast<long long>(e.operators.size()) *
                                   static_cast<long long>(vectors.size() + 1) * (flag + 1);
        if (expected != n || flag != doc_centro) continue;
        std::vector<EquivalentPosition> list;
        for (const std::string& text : e.operators) {
            const auto op = decode_operator(to_upper(trim(text)));
            if (!op) {
                messages.warn("Non decoded position: " + text);
                return "No Space Group found";
            }
            list.push_back({*op, "", 0});
        }
        expand_by_centring(list, vectors);
        if (flag) expand_by_inversion(list);
        std::vector<SymOp> ops;
        for (const auto& p : list)
            ops.push_back(p.op);
        if (same_operator_set(ops, doc.positions)) {
            doc.space_group = symbol;
            return "Possible Space Group : " + symbol;
        }
    }
    messages.warn("VELDOR Cannot identify the Space Group in the Shelx file");
    return "Space Group not identified: ";
}

std::string space_group_caption(const StructureDocument& doc) {
    return doc.space_group.empty() ? std::string("No Space Group found")
                                   : "Space Group: " + doc.space_group;
}

}  // namespace veldor
