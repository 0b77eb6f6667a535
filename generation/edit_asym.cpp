#include "generation/edit_asym.h"

#include <algorithm>

#include "core/text.h"
#include "generation/bonds.h"

namespace veldor {

namespace {

bool yes(Messages& messages, const std::string& question) {
    messages.beep();
    return messages.confirm(question) == Answer::Yes;
}

}  // namespace

std::string delete_block_question(long long from, long long to) {
    return "Are you sure to want to delete the atoms " + std::to_string(from) + " to " +
           std::to_string(to) + " ?";
}

bool has_mark(std::string_view cell) {
    return cell.find('*') != std::string_view::npos;
}

std::string toggle_mark(std::string_view cell) {
    std::string s(cell);
    const std::size_t star = s.find('*');
    if (star == std::string::npos)
        s += '*';
    else
        s.erase(star, 1);
    return s;
}

std::vector<std::array<std::string, 2>> atom_grid(const StructureDocument& doc) {
    std::vector<std::array<std::string, 2>> rows(doc.asym.size() + 2);
    rows[0] = {"Nb", "Atom"};
    for (std::size_t k = 0; k < doc.asym.size(); ++k)
        rows[k + 1] = {std::to_string(k + 1), doc.asym[k].name};
    return rows;
}

std::vector<std::string> element_grid(const StructureDocument& doc) {
    std::vector<std::string> rows(doc.element_sorts.size() + 2);
    rows[0] = "Nb";
    for (std::size_t k = 0; k < doc.element_sorts.size(); ++k)
        rows[k + 1] = doc.element_sorts[k].symbol;
    return rows;
}

DeleteOutcome delete_marked_atoms(StructureDocument& doc,
                                  const std::vector<std::string>& atom_cells, Messages& messages) {
    doc.regeneration_needed = true;
    const std::size_t rows = std::min(atom_cells.size(), doc.asym.size());
    std::vector<char> marked(doc.asym.size(), 0);
    std::size_t count = 0;
    for (std::size_t k = 0; k < rows; ++k)
        if (has_mark(atom_cells[k])) {
            marked[k] = 1;
            ++count;
        }
    if (count == 0) return DeleteOutcome::NothingToDo;
    if (!yes(messages, kDeleteAtomsQuestion)) return DeleteOutcome::Kept;
    std::vector<Atom> remain;
    remain.reserve(doc.asym.size() - count);
    for (std::size_t k = 0; k < doc.asym.size(); ++k)
        if (!marked[k]) remain.push_back(std::move(doc.asym[k]));
    doc.asym = std::move(remain);
    return DeleteOutcome::Deleted;
}

DeleteOutcome delete_block(StructureDocument& doc, std::string_view from_text,
                           std::string_view to_text, Messages& messages) {
    doc.regeneration_needed = true;
    if (trim(from_text).empty() || trim(to_text).empty()) return DeleteOutcome::NothingToDo;
    const std::optional<long long> f = parse_int(from_text);
    if (!f) {
        messages.warn(not_an_integer_message(from_text));
        return DeleteOutcome::BadNumber;
    }
    const std::optional<long long> t = parse_int(to_text);
    if (!t) {
        messages.warn(not_an_integer_message(to_text));
        return DeleteOutcome::BadNumber;
    }
    long long from = *f, to = *t;
    if (to < from) std::swap(from, to);
    if (!yes(messages, delete_block_question(from, to))) return DeleteOutcome::Kept;
    std::vector<Atom> remain;
    for (std::size_t k = 0; k < doc.asym.size(); ++k) {
        const long long number = static_cast<long long>(k) + 1;
        if (number < from || number > to) remain.push_back(std::move(doc.asym[k]));
    }
    doc.asym = std::move(remain);
    return DeleteOutcome::Deleted;
}

DeleteOutcome delete_elements(StructureDocument& doc, const std::vector<std::string>& element_cells,
                              const RadiiTable& radii, Messages& messages) {
    doc.regeneration_needed = true;
    const std::size_t rows = std::min(element_cells.size(), doc.element_sorts.size());
    std::vector<std::string> marked;
    for (std::size_t k = 0; k < rows; ++k)
        if (has_mark(element_cells[k])) marked.push_back(element_cells[k]);
    if (marked.empty()) return DeleteOutcome::NothingToDo;
    if (!yes(messages, kDeleteElementsQuestion)) return DeleteOutcome::Kept;

    std::vector<std::string> deleted;
    for (const std::string& cell : marked) {
        std::string symbol;
        for (char c : cell)
            if (c != '*') symbol += c;
        symbol = trim(symbol);
        deleted.push_back(symbol);
        auto& sorts = doc.element_sorts;
        for (std::size_t s = sorts.size(); s-- > 0;)
            if (sorts[s].symbol == symbol) {
                sorts.erase(sorts.begin() + static_cast<std::ptrdiff_t>(s));
                break;
            }
    }
    for (const std::string& symbol : deleted)
        for (Atom& a : doc.asym)
            if (element_key(a.element) == symbol) a.name.clear();
    std::erase_if(doc.asym, [](const Atom& a) { return a.name.empty(); });

    build_element_sorts(doc, radii, messages);
    build_bond_sorts(doc);
    return DeleteOutcome::Deleted;
}

std::vector<DataFileKind> readers_for(std::string_view file_name) {
    const std::string name = to_lower(file_name);
    auto has = [&](const char* ext) { return name.find(ext) != std::string::npos; };
    std::vector<DataFileKind> kinds;
    if (has(".inp") || has(".ins")) kinds.push_back(DataFileKind::Shelx);
    if (has(".out")) kinds.push_back(DataFileKind::ShelxListing);
    if (has(".lzy")) kinds.push_back(DataFileKind::LazyPulverix);
    if (has(".cel")) kinds.push_back(DataFileKind::PowderCell);
    if (has(".cif")) kinds.push_back(DataFileKind::Cif);
    return kinds;
}

RestoreOutcome restore_initial_data(StructureDocument& doc, const DataFileReader& reader,
                                    const RadiiTable& radii, Messages& messages) {
    doc.regeneration_needed = true;
    doc.gen.clear();
    doc.gen_labels.clear();
    doc.asym.clear();
    doc.centring.clear();
    doc.positions.clear();
    doc.generation_ops.clear();
    doc.element_sorts.clear();
    doc.bond_sorts.clear();
    doc.bonds.clear();
    doc.space_group.clear();

    RestoreOutcome out;
    // Readers may reset the document, names included: take them first.
    const std::string data_file = doc.data_file, vld_file = doc.vld_file;
    if (!data_file.empty()) {
        for (DataFileKind kind : readers_for(data_file)) {
            out.readers_run.push_back(kind);
            if (reader) reader(kind, data_file, doc, messages);
        }
        out.hide_no_space_group_label = true;
    } else if (!vld_file.empty()) {
        out.readers_run.push_back(DataFileKind::Vld);
        if (reader) reader(DataFileKind::Vld, vld_file, doc, messages);
    }

    for (EquivalentPosition& p : doc.positions)
        p.selected = 0;
    doc.generation_ops.clear();
    doc.generation_mode = GenerationMode::None;
    out.space_group_label =
        doc.space_group.empty() ? "No Space Group found" : "Space Group: " + doc.space_group;

    build_element_sorts(doc, radii, messages);
    build_bond_sorts(doc);
    return out;
}

void erase_all(StructureDocument& doc) {
    doc.regeneration_needed = true;
    doc.data_file.clear();
    doc.vld_file.clear();
    doc.written_file.clear();
    doc.asym.clear();
}

}  // namespace veldor
