#include "formats/powder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/identify.h"
#include "formats/text_file.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

std::string columns(const std::string& line, std::size_t first, std::size_t count) {
    return first < line.size() ? line.substr(first, count) : std::string();
}

// The first `n` words of a text as numbers; nullopt when there are fewer or
// one of them does not read. Words after them are ignored. Words are
// separated by blanks only: a comma inside a number ("0,25") makes it
// unreadable rather than two numbers.
std::optional<std::vector<double>> leading_numbers(std::string_view text, std::size_t n) {
    const std::vector<std::string> words = split_tokens(text, " \t");
    if (words.size() < n) return std::nullopt;
    std::vector<double> values;
    for (std::size_t i = 0; i < n; ++i) {
        const std::optional<double> v = parse_double(words[i]);
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    return values;
}

bool is_element(std::string_view symbol) {
    const auto& table = default_colour_symbols();
    return std::find(table.begin(), table.end(), symbol) != table.end();
}

Atom isotropic_atom(const std::string& element, const std::string& suffix, double x, double y,
                    double z, double b) {
    Atom a;
    a.element = fit(to_upper(trim(element)), kElementLength);
    a.label = fit(trim(suffix), kLabelLength);
    a.name = make_atom_name(a.element, a.label);
    a.x = x;
    a.y = y;
    a.z = z;
    a.adp = {u_from_b(b == 0 ? kDefaultB : b), 0, 0, 0, 0, 0};
    a.iso = 1;
    return a;
}

bool set_cell(StructureDocument& doc, const std::vector<double>& v, Messages& messages) {
    for (int i = 0; i < 6; ++i)
        doc.cell_parameters[static_cast<std::size_t>(i)] = v[static_cast<std::size_t>(i)];
    return compute_metric(doc, messages);
}

// Everything after the atoms: operators, element sorts, the flags.
int finish(StructureDocument& doc, const ProgramPaths& paths, Messages& messages) {
    if (!complete_powder_operators(doc, paths.data_dir, messages)) return 1;
    if (!build_element_sorts(doc, load_radii(paths.data_dir), messages)) return 1;
    doc.regeneration_needed = true;
    doc.cell_changed = true;
    doc.elements_changed = true;
    return 0;
}

bool add_atom(StructureDocument& doc, const Atom& atom, Messages& messages) {
    if (static_cast<int>(doc.asym.size()) >= kMaxAsymAtoms) {
        messages.warn("The number of atoms is > 1000!");
        return false;
    }
    doc.asym.push_back(atom);
    return true;
}

using Reader = int (*)(std::string_view, StructureDocument&, const ProgramPaths&, Messages&);

PowderLoadResult load_with(Reader reader, const std::string& path, StructureDocument& doc,
                           const ProgramPaths& paths, Messages& messages) {
    PowderLoadResult result;
    const std::string startup = doc.startup_file;
    reset(doc);
    doc.startup_file = startup;
    const std::string name = std::filesystem::path(path).filename().string();
    doc.title = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    const std::optional<std::string> text = read_file_text(path, messages);
    if (text) result.status = reader(*text, doc, paths, messages);
    if (result.status != 0) {
        messages.warn(kErrorReadingInputFile);
        doc.data_file.clear();
        return result;
    }
    doc.data_file = path;
    result.space_group_text =
        doc.space_group.empty() ? "No Space Group found" : "Space Group: " + doc.space_group;
    return result;
}

}  // namespace

std::optional<std::string> space_group_of_number(int number, const std::string& data_dir,
                                                 Messages& messages) {
    const std::optional<std::string> file = find_file_nocase(data_dir, kSpaceGroupNumbersFile);
    if (!file) {
        messages.warn(missing_data_file_message(kSpaceGroupNumbersFile));
        return std::nullopt;
    }
    const std::optional<std::string> text = read_file_text(*file, messages);
    if (!text) return std::nullopt;
    const std::vector<std::string> lines = split_lines(*text);
    if (number < 1 || number > static_cast<int>(lines.size())) {
        messages.warn("No space group number " + std::to_string(number) + " in " +
                      kSpaceGroupNumbersFile);
        return std::nullopt;
    }
    const std::string line = trim_left(lines[static_cast<std::size_t>(number - 1)]);
    std::size_t i = 0;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    const std::size_t digits = i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
        ++i;
    if (i == digits) {
        messages.warn("No space group number " + std::to_string(number) + " in " +
                      kSpaceGroupNumbersFile);
        return std::nullopt;
    }
    return trim(columns(line, i, 10));
}

bool complete_powder_operators(StructureDocument& doc, const std::string& data_dir,
                               Messages& messages) {
    doc.positions.clear();
    doc.lattice_letter =
        doc.space_group.substr(0, std::min<std::size_t>(1, doc.space_group.size()));
    if (!doc.space_group.empty()) {
        // The cell only orders the search: a cell not quite of its group's
        // system still finds the group.
        const std::string system = doc.crystal_system;
        const LookupStatus status =
            look_up_group_in_any_system(doc, doc.space_group, data_dir, messages);
        if (status == LookupStatus::Failed) return false;
        if (status == LookupStatus::Found && doc.crystal_system != system)
            warn_if_cell_departs(doc, messages);
        if (status == LookupStatus::NotFound) {
            // Not a catalogue symbol: the interpreter may know it ("P 1 1 21/b",
            // a Hall symbol); a symbol nothing can read fails the read rather
            // than giving a structure in P1.
            std::string error;
            const auto group = interpret_symbol(doc.space_group, error);
            if (!group || group->ops.empty()) {
                messages.warn("The space group symbol " + doc.space_group + " cannot be read");
                return false;
            }
            take_interpreted_operators(doc, *group);
            doc.centrosymmetric = describe_lattice(doc.positions).centrosymmetric;
        }
    }
    for (EquivalentPosition& p : doc.positions) {
        p.text = format_operator(p.op);
        p.selected = 0;
    }
    // Without a symbol, the identity alone.
    if (doc.positions.empty()) doc.positions.push_back({SymOp::identity(), "", 0});
    doc.positions[0].text = " X, Y, Z";
    doc.positions[0].selected = 1;
    doc.generation_ops = {SymOp::identity()};
    return true;
}

int read_lazy_pulverix_text(std::string_view text, StructureDocument& doc,
                            const ProgramPaths& paths, Messages& messages) {
    bool have_cell = false;
    for (const std::string& line : split_lines(text)) {
        const std::string upper = to_upper(line);
        const std::size_t blank = line.find(' ');
        const std::string after_blank =
            blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (upper.find("TITLE") != std::string::npos) {
            doc.title = trim(after_blank);
        } else if (upper.find("CELL") != std::string::npos) {
            const std::optional<std::vector<double>> v = leading_numbers(after_blank, 6);
            if (!v) {
                messages.warn(kCellNotFoundMessage);
                return 1;
            }
            if (!set_cell(doc, *v, messages)) return 1;
            set_crystal_system_from_cell(doc);
            have_cell = true;
        } else if (upper.find("SPCGRP") != std::string::npos) {
            doc.space_group = remove_spaces(after_blank);
        } else if (upper.find("ATOM") != std::string::npos) {
            const std::string label = normalise_label(columns(line, 4, 6));
            const std::optional<std::vector<double>> v =
                leading_numbers(columns(line, 10, line.size()), 4);
            if (!v) {
                messages.warn(kPowderReadErrorMessage);
                return 1;
            }
            const Atom a =
                isotropic_atom(trim(columns(label, 0, 2)), columns(label, 2, label.size()), (*v)[0],
                               (*v)[1], (*v)[2], (*v)[3]);
            if (!add_atom(doc, a, messages)) return 1;
        }
    }
    if (!have_cell) {
        messages.warn(kCellNotFoundMessage);
        return 1;
    }
    return finish(doc, paths, messages);
}

int read_powdercell_text(std::string_view text, StructureDocument& doc, const ProgramPaths& paths,
                         Messages& messages) {
    const std::vector<std::string> lines = split_lines(text);
    auto name_of = [](const std::string& line) { return to_upper(trim(columns(line, 0, 5))); };
    bool have_cell = false;
    for (const std::string& line : lines) {
        if (name_of(line) != "CELL") continue;
        const std::optional<std::vector<double>> v =
            leading_numbers(columns(line, 5, line.size()), 6);
        if (!v) break;
        if (!set_cell(doc, *v, messages)) return 1;
        set_crystal_system_from_cell(doc);
        have_cell = true;
        break;
    }
    if (!have_cell) {
        messages.warn(kCellNotFoundMessage);
        return 1;
    }
    int group_number = 0;
    for (const std::string& line : lines) {
        const std::string name = name_of(line);
        if (name.empty() || name == "CELL" || name == "NATOM") continue;
        const std::string rest = columns(line, 5, line.size());
        if (name.find("RGNR") != std::string::npos) {
            const std::vector<std::string> words = split_tokens(rest);
            const std::optional<long long> n = words.empty() ? std::nullopt : parse_int(words[0]);
            if (!n || *n < 1 || *n > 230) {
                messages.warn(kPowderReadErrorMessage);
                return 1;
            }
            group_number = static_cast<int>(*n);
            break;
        }
        const std::string normalised = normalise_label(name);
        std::string element = trim(columns(normalised, 0, 2));
        std::string suffix;
        if (is_element(element)) {
            suffix = trim(columns(normalised, element.size(), normalised.size()));
        } else {
            // A name that is an atomic number ("14") names the element.
            std::size_t digits = 0;
            while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits])))
                ++digits;
            const std::optional<long long> z =
                digits ? parse_int(name.substr(0, digits)) : std::nullopt;
            if (!z || *z < 1 || *z > 93) {
                messages.warn(kPowderReadErrorMessage);
                return 1;
            }
            element = default_colour_symbols()[static_cast<std::size_t>(*z - 1)];
            suffix = trim(name.substr(digits));
        }
        // The atomic-number column (columns 6 and 7), then x, y, z, the
        // occupation and B. A number that the column boundary cuts is not
        // read as a coordinate.
        const bool cut = rest.size() > 2 && rest[1] > ' ' && rest[2] > ' ';
        const std::optional<std::vector<double>> v =
            cut ? std::nullopt : leading_numbers(columns(rest, 2, rest.size()), 5);
        if (!v) {
            messages.warn(kPowderReadErrorMessage);
            return 1;
        }
        if (!add_atom(doc, isotropic_atom(element, suffix, (*v)[0], (*v)[1], (*v)[2], (*v)[4]),
                      messages))
            return 1;
    }
    if (group_number > 0) {
        const std::optional<std::string> symbol =
            space_group_of_number(group_number, paths.data_dir, messages);
        if (!symbol) return 1;
        doc.space_group = *symbol;
    }
    return finish(doc, paths, messages);
}

int read_tessard_text(std::string_view text, StructureDocument& doc, const ProgramPaths& paths,
                      Messages& messages) {
    const std::vector<std::string> lines = split_lines(text);
    if (lines.size() < 3) {
        messages.warn(kCellNotFoundMessage);
        return 1;
    }
    doc.crystal_system = fit(to_upper(trim(lines[1])), 4);
    doc.space_group = trim(lines[2]);
    std::vector<double> cell;
    std::size_t next = 3;
    while (cell.size() < 6 && next < lines.size()) {
        for (const std::string& w : split_tokens(lines[next], " \t")) {
            const std::optional<double> v = parse_double(w);
            if (!v) {
                messages.warn(kPowderReadErrorMessage);
                return 1;
            }
            if (cell.size() < 6) cell.push_back(*v);
        }
        ++next;
    }
    if (cell.size() < 6) {
        messages.warn(kCellNotFoundMessage);
        return 1;
    }
    if (!set_cell(doc, cell, messages)) return 1;
    for (; next < lines.size(); ++next) {
        const std::string& line = lines[next];
        if (trim(line).empty()) continue;
        const std::optional<std::vector<double>> v =
            leading_numbers(columns(line, 6, line.size()), 4);
        if (!v) {
            messages.warn(kPowderReadErrorMessage);
            return 1;
        }
        const Atom a = isotropic_atom(columns(line, 0, 4), columns(line, 4, 2), (*v)[0], (*v)[1],
                                      (*v)[2], (*v)[3]);
        if (!add_atom(doc, a, messages)) return 1;
    }
    return finish(doc, paths, messages);
}

PowderLoadResult load_lazy_pulverix(const std::string& path, StructureDocument& doc,
                                    const ProgramPaths& paths, Messages& messages) {
    return load_with(read_lazy_pulverix_text, path, doc, paths, messages);
}

PowderLoadResult load_powdercell(const std::string& path, StructureDocument& doc,
                                 const ProgramPaths& paths, Messages& messages) {
    return load_with(read_powdercell_text, path, doc, paths, messages);
}

PowderLoadResult load_tessard(const std::string& path, StructureDocument& doc,
                              const ProgramPaths& paths, Messages& messages) {
    return load_with(read_tessard_text, path, doc, paths, messages);
}

}  // namespace veldor
