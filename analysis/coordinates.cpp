#include "analysis/coordinates.h"

#include "analysis/listing.h"
#include "core/text.h"

namespace veldor {

std::vector<std::string> coordinate_lines(const StructureDocument& doc, Messages& messages) {
    std::vector<std::string> lines{kCoordinatesHeading};
    lines.reserve(doc.gen.size() + 1);
    for (std::size_t i = 0; i < doc.gen.size(); ++i) {
        const Atom& a = doc.gen[i];
        std::string l = format_int(static_cast<long long>(i + 1), 3) + " " + padded_label(a.name) +
                        " " + format_fixed(a.x, 8, 4) + format_fixed(a.y, 8, 4) +
                        format_fixed(a.z, 8, 4);
        l += joined_place_text(atom_place(doc, a, messages));
        lines.push_back(std::move(l));
    }
    return lines;
}

std::vector<std::string> coordinate_file_lines(const StructureDocument& doc,
                                               const std::vector<std::string>& memo_lines) {
    std::vector<std::string> lines = structure_file_lines(doc);
    for (std::size_t i = 0; i <= doc.gen.size(); ++i)
        lines.push_back(i < memo_lines.size() ? memo_lines[i] : std::string());
    return lines;
}

}  // namespace veldor
