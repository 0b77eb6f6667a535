#include "core/document.h"

#include <algorithm>
#include <cctype>

#include "core/text.h"

namespace veldor {

void reset(StructureDocument& doc) {
    doc.crystal_system.clear();
    doc.space_group.clear();
    doc.lattice_letter.clear();
    doc.centrosymmetric = 0;
    doc.centring.clear();
    doc.title.clear();
    doc.formula.clear();
    doc.wavelength = 0;
    doc.data_file.clear();
    doc.vld_file.clear();
    doc.written_file.clear();
    doc.startup_file.clear();
    doc.positions.clear();  // the selection flags go with the entries
    doc.generation_ops.clear();
    doc.asym.clear();
    doc.asym_backup.clear();
    doc.gen.clear();
    doc.gen_labels.clear();
    doc.display.clear();
    doc.element_sorts.clear();
    doc.bond_sorts.clear();
    doc.bonds.clear();
}

std::string fit(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, std::min(n, text.size())));
}

std::string make_atom_name(std::string_view element, std::string_view label) {
    std::string name;
    for (char c : std::string(element) + std::string(label))
        if (c != ' ') name += c;
    if (name.size() >= 2)
        name[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[1])));
    return fit(name, kNameLength);
}

bool same_atom_name(std::string_view a, std::string_view b) {
    return to_upper(a) == to_upper(b);
}

}  // namespace veldor
