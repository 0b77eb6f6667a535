#include "generation/enclosure_dialog.h"

#include "core/text.h"

namespace veldor {

namespace {

std::string shown(double v, int decimals) {
    return trim(format_fixed(v, 0, decimals));
}

EnclosureFields centre_fields(const StructureDocument& doc) {
    EnclosureFields f;
    for (int i = 0; i < 3; ++i)
        f.centre[static_cast<std::size_t>(i)] = shown(doc.enclosure.centre[i], 4);
    return f;
}

// Reads the fields of `count` sizes and the centre; -1 or the bad field.
int read_fields(EnclosureFields& fields, int count, std::array<double, 6>& values) {
    for (int i = 0; i < count; ++i) {
        const auto v = read_enclosure_field(fields.sizes[static_cast<std::size_t>(i)], true);
        if (!v) return i;
        values[static_cast<std::size_t>(i)] = *v;
    }
    for (int i = 0; i < 3; ++i) {
        const auto v = read_enclosure_field(fields.centre[static_cast<std::size_t>(i)], false);
        if (!v) return 3 + i;
        values[static_cast<std::size_t>(3 + i)] = *v;
    }
    return -1;
}

}  // namespace

EnclosureFields box_fields(const StructureDocument& doc) {
    EnclosureFields f = centre_fields(doc);
    for (int i = 0; i < 3; ++i)
        f.sizes[static_cast<std::size_t>(i)] = shown(doc.enclosure.box[i], 3);
    f.cut = doc.cut_box;
    return f;
}

EnclosureFields sphere_fields(const StructureDocument& doc) {
    EnclosureFields f = centre_fields(doc);
    f.sizes[0] = shown(doc.enclosure.radius, 3);
    f.cut = doc.cut_sphere;
    return f;
}

std::vector<EnclosureAtom> enclosure_atoms(const StructureDocument& doc) {
    std::vector<EnclosureAtom> atoms;
    for (const Atom& a : doc.asym) {
        if (a.name.empty()) continue;
        EnclosureAtom e;
        e.name = a.name;
        const Vec3 p = a.position();
        for (int i = 0; i < 3; ++i)
            e.xyz[static_cast<std::size_t>(i)] = shown(p[i], 4);
        atoms.push_back(std::move(e));
    }
    return atoms;
}

std::optional<double> read_enclosure_field(std::string& text, bool size) {
    if (trim(text).empty()) text.assign(1, '0');
    const std::optional<double> v = parse_double(tidy_number_text(trim(text)));
    if (!v || (size && *v < 0)) return std::nullopt;
    return v;
}

int store_box_fields(StructureDocument& doc, EnclosureFields& fields) {
    std::array<double, 6> v{};
    const int bad = read_fields(fields, 3, v);
    if (bad >= 0) return bad;
    doc.enclosure.box = {v[0], v[1], v[2]};
    doc.enclosure.centre = {v[3], v[4], v[5]};
    doc.cut_box = fields.cut;
    return -1;
}

int store_sphere_fields(StructureDocument& doc, EnclosureFields& fields) {
    std::array<double, 6> v{};
    const int bad = read_fields(fields, 1, v);
    if (bad >= 0) return bad;
    doc.enclosure.radius = v[0];
    doc.enclosure.centre = {v[3], v[4], v[5]};
    doc.cut_sphere = fields.cut;
    return -1;
}

}  // namespace veldor
