#include "analysis/listing.h"

#include <cctype>

#include "analysis/report_file.h"
#include "core/elements.h"
#include "core/text.h"

namespace veldor {

std::string normalised_label(std::string_view name) {
    std::string s = remove_spaces(name);
    if (s.size() > 1) s[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[1])));
    return trim(s);
}

std::string padded_label(std::string_view name, std::size_t n) {
    return pad_right(normalised_label(name).substr(0, n), static_cast<int>(n));
}

bool is_dummy(const Atom& atom) {
    return element_key(atom.element) == "DU";
}

AtomPlace atom_place(const StructureDocument& doc, const Atom& atom, Messages& messages) {
    AtomPlace place;
    if (is_dummy(atom)) return place;
    if (const std::optional<SiteCode> code = site_code(doc, atom, messages)) place.code = *code;
    const int n = place.code.n;
    if (n >= 1 && n <= static_cast<int>(doc.positions.size()))
        place.operator_text = doc.positions[static_cast<std::size_t>(n - 1)].text;
    return place;
}

std::string spaced_place_text(const AtomPlace& place) {
    return " (" + place.operator_text + ") (" + format_site_code(place.code) + ")";
}

std::string joined_place_text(const AtomPlace& place) {
    return " (" + place.operator_text + ")(" + format_site_code(place.code) + ")";
}

std::string first_structure_file(const StructureDocument& doc) {
    return file_name_only(trim(doc.data_file));
}

std::string second_structure_file(const StructureDocument& doc) {
    return file_name_only(trim(doc.vld_file));
}

std::vector<std::string> structure_file_lines(const StructureDocument& doc) {
    std::vector<std::string> lines;
    for (const std::string& f : {first_structure_file(doc), second_structure_file(doc)})
        if (!f.empty()) lines.push_back(f);
    return lines;
}

const std::vector<Atom>& shown_atoms(const StructureDocument& doc) {
    return doc.display.empty() ? doc.gen : doc.display;
}

}  // namespace veldor
