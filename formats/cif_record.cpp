#include "formats/cif_record.h"

#include <algorithm>

#include "core/text.h"
#include "formats/cif_read.h"
#include "formats/cif_syntax.h"
#include "formats/cif_tags.h"

namespace veldor {

namespace {

using namespace cif_tags;

int column_of(const CifTable& t, std::string_view k) {
    for (std::size_t i = 0; i < t.tags.size(); ++i)
        if (t.tags[i] == k) return static_cast<int>(i);
    return -1;
}

// The rows a tag's values come from: its loop, or the block's single items
// taken together as one row (a structure of one atom written without loop_).
class View {
  public:
    View(const CifBlockTables& tables, std::string_view k) : tables_(tables) {
        for (const CifTable& t : tables)
            if (column_of(t, k) >= 0) {
                if (t.loop) loop_ = &t;
                found_ = true;
                return;
            }
    }
    bool found() const { return found_; }
    int rows() const {
        if (!found_) return 0;
        return loop_ ? static_cast<int>(loop_->rows.size()) : 1;
    }
    bool has(std::string_view k) const {
        if (loop_) return column_of(*loop_, k) >= 0;
        return found_ && single(k) != nullptr;
    }
    int line(int row) const {
        if (loop_) return loop_->rows[static_cast<std::size_t>(row)].line;
        return 0;
    }
    CifValue value(int row, std::string_view k) const {
        if (loop_) {
            const int c = column_of(*loop_, k);
            const CifRow& r = loop_->rows[static_cast<std::size_t>(row)];
            if (c < 0 || static_cast<std::size_t>(c) >= r.values.size()) return std::nullopt;
            return r.values[static_cast<std::size_t>(c)];
        }
        const CifTable* t = single(k);
        if (!t || t->rows.empty() || t->rows[0].values.empty()) return std::nullopt;
        return t->rows[0].values[0];
    }

  private:
    const CifTable* single(std::string_view k) const {
        for (const CifTable& t : tables_)
            if (!t.loop && column_of(t, k) >= 0) return &t;
        return nullptr;
    }
    const CifBlockTables& tables_;
    const CifTable* loop_ = nullptr;
    bool found_ = false;
};

CifValue first_value(const CifBlockTables& tables, std::string_view k) {
    const View v(tables, k);
    if (!v.found() || v.rows() == 0) return std::nullopt;
    return v.value(0, k);
}

std::string one_line(std::string_view text) {
    std::string out;
    for (char c : text)
        out += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    return trim(out);
}

// The first non-empty, known value of any of the tags.
template <std::size_t N>
CifValue named(const CifBlockTables& tables, const std::array<const char*, N>& tags) {
    for (const char* t : tags) {
        const CifValue v = first_value(tables, t);
        if (v && !one_line(*v).empty() && one_line(*v) != kCifUnknown) return one_line(*v);
    }
    return std::nullopt;
}

// Which of the tags comes first in the block.
template <std::size_t N>
std::optional<std::string> first_present(const CifBlockTables& tables,
                                         const std::array<const char*, N>& tags) {
    for (const CifTable& t : tables)
        for (const std::string& tag : t.tags)
            if (is_one_of(tag, tags)) return tag;
    return std::nullopt;
}

bool reads_as_number(const CifValue& v) {
    return v && read_cif_number(*v).has_value();
}

}  // namespace

CifBlockTables tables_from_syntax(const CifBlockData& block) {
    CifBlockTables tables;
    for (const CifItem& item : block.items) {
        if (item.tags.empty()) continue;
        CifTable t;
        t.loop = item.loop;
        for (const std::string& tag : item.tags)
            t.tags.push_back(key(tag));
        const std::size_t w = item.tags.size();
        for (std::size_t start = 0; start + w <= item.values.size(); start += w) {
            CifRow row;
            row.line = item.loop ? 0 : item.line;
            for (std::size_t c = 0; c < w; ++c) {
                const std::string& v = item.values[start + c];
                // gemmi gives "?" and "." as empty values.
                row.values.emplace_back(v.empty() ? std::string(kCifUnknown) : v);
            }
            t.rows.push_back(std::move(row));
        }
        tables.push_back(std::move(t));
    }
    return tables;
}

CifBlockRecord record_from_tables(const CifBlockTables& tables) {
    CifBlockRecord r;
    if (const CifValue f = named(tables, kFormula)) r.formula = *f;
    for (std::size_t i = 0; i < kCell.size(); ++i)
        r.cell[i] = first_value(tables, kCell[i]);

    if (const auto first = first_present(tables, kOperators)) {
        const View v(tables, *first);
        for (int row = 0; row < v.rows(); ++row) {
            const CifValue text = v.value(row, *first);
            if (text && !trim(*text).empty() && *text != kCifUnknown) r.operators.push_back(*text);
        }
    }

    r.hm = named(tables, kHm);
    r.hall = named(tables, kHall);
    const std::array<const char*, 4> names{kHm[0], kHm[1], kHall[0], kHall[1]};
    if (const auto first = first_present(tables, names)) r.hall_first = is_one_of(*first, kHall);

    const View atoms(tables, kFract[0]);
    r.atom_loop =
        atoms.has(kLabel) && atoms.has(kFract[0]) && atoms.has(kFract[1]) && atoms.has(kFract[2]);
    if (r.atom_loop) {
        const char* adp = nullptr;
        if (atoms.has(kUiso)) {
            r.iso_kind = CifDisplacement::U;
            adp = kUiso;
        } else if (atoms.has(kBiso)) {
            r.iso_kind = CifDisplacement::B;
            adp = kBiso;
        }
        for (int row = 0; row < atoms.rows(); ++row) {
            CifAtomSite s;
            s.line = atoms.line(row);
            s.label = atoms.value(row, kLabel);
            s.type_symbol = atoms.value(row, kTypeSymbol);
            s.x = atoms.value(row, kFract[0]);
            s.y = atoms.value(row, kFract[1]);
            s.z = atoms.value(row, kFract[2]);
            if (adp) s.displacement = atoms.value(row, adp);
            s.disorder_group = atoms.value(row, kDisorderGroup);
            r.atoms.push_back(std::move(s));
        }
    }

    const View aniso(tables, kAnisoLabel);
    auto all_of = [&](const std::array<const char*, 6>& tags) {
        return std::all_of(tags.begin(), tags.end(), [&](const char* t) { return aniso.has(t); });
    };
    const std::array<const char*, 6>* columns = nullptr;
    if (aniso.found() && all_of(kAnisoU)) {
        r.aniso_kind = CifDisplacement::U;
        columns = &kAnisoU;
    } else if (aniso.found() && all_of(kAnisoB)) {
        r.aniso_kind = CifDisplacement::B;
        columns = &kAnisoB;
    }
    if (columns)
        for (int row = 0; row < aniso.rows(); ++row) {
            CifAnisoSite s;
            s.line = aniso.line(row);
            s.label = aniso.value(row, kAnisoLabel);
            for (std::size_t k = 0; k < 6; ++k)
                s.values[k] = aniso.value(row, (*columns)[k]);
            r.aniso.push_back(std::move(s));
        }
    return r;
}

std::optional<CifAtomSite> misaligned_atom_site(const CifBlockRecord& record) {
    for (const CifAtomSite& s : record.atoms) {
        const bool label_ok =
            s.label && *s.label != kCifUnknown && !read_cif_number(*s.label).has_value();
        bool coordinates_ok = true;
        for (const CifValue* v : {&s.x, &s.y, &s.z})
            coordinates_ok = coordinates_ok && *v && (**v == kCifUnknown || reads_as_number(*v));
        if (!label_ok || !coordinates_ok) return s;
    }
    return std::nullopt;
}

}  // namespace veldor
