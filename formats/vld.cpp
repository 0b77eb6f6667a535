#include "formats/vld.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/atomic_file.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/text_file.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

const char* const kEol = "\r\n";

// Option numbers (1-based) of the drawing-options line.
enum Option {
    kReserved = 1,
    kGradation,
    kCell,
    kPlanes,
    kPlanesAxes,
    kLabelsCentre,
    kLabelsOffCentre,
    kFragments,
    kSphere,
    kBox,
    kCutSphere,
    kCutBox,
    kCellContents,
    kBlackWhite,
    kPositionCode,
    kColourFragments,
    kBondLabels,
    kOptionCount = 20
};

constexpr double kOldDummyDimension = 0.01;
constexpr Colour kOldDummyColour = 16744576;  // FF8080
constexpr int kOldBondWidth = 6;
// Columns of a calculated-bond line's numbers as the layout gives them, and
// how much wider outgrown values may make them before the line is refused.
constexpr std::size_t kBondNumberColumns = 61;
constexpr std::size_t kMaxBondOvergrowth = 9;

// A text field on one line: line ends inside it would shift every later line.
std::string one_line(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string font_field(std::string_view text) {
    return one_line(fit(trim(text), 30));
}

std::string int_field(long long v, int w) {
    return format_int(v, w);
}

// Appends a number field; a field that has grown past its width and would
// touch the text before it gets a separating blank, so that the file still
// reads back.
struct Fields {
    std::string text;
    Fields& operator<<(const std::string& field) {
        if (!text.empty() && !field.empty() && field[0] != ' ' && text.back() != ' ') text += ' ';
        text += field;
        return *this;
    }
};

// The 61 numeric columns of a bond line (wider only for values that do
// not fit, which the reader refuses).
std::string bond_numbers(const CalcBond& b) {
    Fields f;
    f << int_field(b.atom1, 4) << int_field(b.atom2, 4) << int_field(b.multiplicity, 4)
      << fixed_field(b.length, 8, 3) << int_field(b.width, 5) << int_field(b.colour, 10)
      << fixed_field(b.label_dx, 8, 3) << fixed_field(b.label_dy, 8, 3);
    f.text += "  ";
    f << fixed_field(b.label_angle, 8, 3);
    return f.text;
}

// ---------------------------------------------------------------- writer

void write_operator(std::string& out, const EquivalentPosition& p) {
    Fields f;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            f << fixed_field(p.op.m[i][j], 4, 0);
        f << fixed_field(p.op.m[i][3], 10, 6);
    }
    f.text += "  ";
    f << int_field(p.selected, 4);
    out += f.text + kEol;
}

std::string option_line(const StructureDocument& doc, const DrawingSettings& d) {
    int flag[kOptionCount + 1] = {};
    const DrawingOptions& o = d.options;
    flag[kReserved] = o.reserved;
    flag[kGradation] = o.colour_gradation;
    flag[kCell] = o.draw_cell;
    flag[kPlanes] = o.draw_planes;
    flag[kPlanesAxes] = o.draw_planes_and_axes;
    flag[kLabelsCentre] = o.labels_in_centre;
    flag[kLabelsOffCentre] = o.labels_off_centre;
    flag[kFragments] = doc.generation_mode == GenerationMode::Fragments;
    flag[kSphere] = doc.generation_mode == GenerationMode::Sphere;
    flag[kBox] = doc.generation_mode == GenerationMode::Box;
    flag[kCutSphere] = doc.cut_sphere;
    flag[kCutBox] = doc.cut_box;
    flag[kCellContents] = doc.generation_mode == GenerationMode::CellContents;
    flag[kBlackWhite] = o.black_and_white;
    flag[kPositionCode] = o.add_position_code;
    flag[kColourFragments] = doc.colour_fragments;
    flag[kBondLabels] = o.bond_labels;
    Fields line;
    for (int k = 1; k <= kOptionCount; ++k)
        line << int_field(flag[k], 3);
    line << fixed_field(d.dummy.dimension, 8, 2) << int_field(d.dummy.colour, 12);
    return line.text;
}

}  // namespace

std::string vld_text(const StructureDocument& doc, const DrawingSettings& d) {
    std::string out;
    auto line = [&out](std::string_view s) {
        out += s;
        out += kEol;
    };

    line("#Title");
    line(one_line(doc.title));

    line("#Cell");
    Fields cell;
    for (int i = 0; i < 3; ++i)
        cell << fixed_field(doc.cell_parameters[i], 8, 4);
    for (int i = 3; i < 6; ++i)
        cell << fixed_field(doc.cell_parameters[i], 8, 3);
    line(cell.text);

    line("#Space group");
    line(one_line(doc.space_group));
    line(std::string(doc.centrosymmetric > 0 ? "+" : "-") + one_line(fit(doc.lattice_letter, 1)));

    line("#General Positions");
    line(std::to_string(doc.positions.size()));
    for (const EquivalentPosition& p : doc.positions)
        write_operator(out, p);

    line("#Element sorts");
    line(std::to_string(doc.element_sorts.size()));
    for (const ElementSort& e : doc.element_sorts)
        line((Fields{pad_left(one_line(fit(e.symbol, 2)), 2) + " "} << int_field(e.colour, 10)
                                                                    << fixed_field(e.radius, 6, 2))
                 .text);

    line("#Asymetric unit contents");
    line(std::to_string(doc.asym.size()));
    for (const Atom& a : doc.asym) {
        line((Fields{pad_right(one_line(trim(a.name)), 4)}
              << fixed_field(a.x, 10, 5) << fixed_field(a.y, 10, 5) << fixed_field(a.z, 10, 5)
              << int_field(a.element_index, 5))
                 .text);
        Fields adp{"     "};
        for (double u : a.adp)
            adp << fixed_field(u, 10, 6);
        line(adp.text);
    }

    line("#Generated atoms");
    line(std::to_string(doc.gen.size()));
    for (std::size_t i = 0; i < doc.gen.size(); ++i) {
        const Atom& a = doc.gen[i];
        const std::string label = i < doc.gen_labels.size() ? doc.gen_labels[i] : std::string();
        line((Fields{pad_right(one_line(a.name), 5) + pad_right(one_line(fit(label, 8)), 8)}
              << fixed_field(a.x, 10, 5) << fixed_field(a.y, 10, 5) << fixed_field(a.z, 10, 5)
              << fixed_field(a.label_dx, 8, 3) << fixed_field(a.label_dy, 8, 3)
              << int_field(a.part, 5))
                 .text);
        Fields adp{"     "};
        for (double b : a.adp)
            adp << fixed_field(b, 12, 8);
        line(adp.text);
        line((Fields{} << int_field(a.element_index, 5) << int_field(a.colour, 10)
                       << int_field(a.tag, 5) << int_field(a.iso, 5) << int_field(a.drawn, 5)
                       << int_field(a.labelled, 5))
                 .text);
    }

    line("#Bonds sorts");
    line(std::to_string(doc.bond_sorts.size()));
    for (const BondSort& s : doc.bond_sorts)
        line((Fields{pad_left(one_line(fit(s.element1, 2)), 4) +
                     pad_left(one_line(fit(s.element2, 2)), 4)}
              << fixed_field(s.max_distance, 8, 2))
                 .text);

    line("#Calculated bonds");
    line(std::to_string(doc.bonds.size()));
    for (const CalcBond& b : doc.bonds)
        line(bond_numbers(b) + one_line(fit(b.label, kBondLabelLength)));

    line("#Orientation matrix");
    for (int i = 0; i < 3; ++i)
        line((Fields{} << fixed_field(d.view.view_matrix_inverse[i][0], 12, 7)
                       << fixed_field(d.view.view_matrix_inverse[i][1], 12, 7)
                       << fixed_field(d.view.view_matrix_inverse[i][2], 12, 7))
                 .text);

    line("#Ellipsoids probability");
    line(std::to_string(d.view.probability_index));

    line("#Drawing options");
    line(option_line(doc, d));

    line("#Box of enclosure");
    line((Fields{} << fixed_field(doc.enclosure.box[0], 8, 3)
                   << fixed_field(doc.enclosure.box[1], 8, 3)
                   << fixed_field(doc.enclosure.box[2], 8, 3))
             .text);
    line((Fields{} << fixed_field(doc.enclosure.centre[0], 8, 3)
                   << fixed_field(doc.enclosure.centre[1], 8, 3)
                   << fixed_field(doc.enclosure.centre[2], 8, 3))
             .text);
    line("#sphere of enclosure");
    line(fixed_field(doc.enclosure.radius, 8, 3));

    line("#bond width and perspective");
    line(fixed_field(doc.bond_width / 100.0, 6, 3));
    line(fixed_field(d.view.bond_perspective, 8, 4));

    line("#background and bonds coulours");
    line(int_field(doc.bond_colour, 4));
    line(int_field(doc.background_colour, 4));

    line("#Fonts name and colour");
    line(pad_right(font_field(d.atom_label_font.name), 30) + font_field(d.bond_label_font.name));
    line(pad_right(font_field(d.atom_label_font.style_text), 30) +
         font_field(d.bond_label_font.style_text));
    line((Fields{} << int_field(d.atom_label_font.size, 15)
                   << int_field(d.atom_label_font.colour, 15)
                   << int_field(d.bond_label_font.size, 15)
                   << int_field(d.bond_label_font.colour, 15))
             .text);
    return out;
}

bool write_vld(const std::string& path, const StructureDocument& doc,
               const DrawingSettings& drawing, Messages& messages) {
    return save_file_atomically(path, vld_text(doc, drawing), messages);
}

// ---------------------------------------------------------------- reader

namespace {

// Raised inside the reader only; read_vld_text turns it into a message.
struct VldError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads the file the way its writer laid it out: numbers as blank-separated
// tokens that may run over line ends, text lines whole, and "rest of the
// line" skips.
class Cursor {
  public:
    Cursor(const std::vector<std::string>& lines, const std::string& file)
        : lines_(lines), file_(file) {}

    int line_number() const { return static_cast<int>(line_) + 1; }
    const std::string& file() const { return file_; }

    [[noreturn]] void fail(const std::string& what) const {
        throw VldError(what + " at line " + std::to_string(std::min(line_number(), line_count())) +
                       " of " + file_);
    }

    // Goes to the start of the next line when the cursor is inside one.
    void finish_line() {
        if (col_ > 0) next();
    }
    // Passes over a header line.
    void skip_header() {
        finish_line();
        if (line_ >= lines_.size()) fail("The file ends early");
        next();
    }
    // The whole current line (the cursor is at its start).
    std::string text_line() {
        finish_line();
        if (line_ >= lines_.size()) fail("The file ends early");
        std::string s = lines_[line_];
        next();
        return s;
    }
    // The rest of the current line from the cursor.
    std::string rest_of_line() {
        if (line_ >= lines_.size()) fail("The file ends early");
        std::string s = lines_[line_].substr(std::min(col_, lines_[line_].size()));
        next();
        return s;
    }
    // Moves the cursor inside the current line (used after fixed columns).
    void set_column(std::size_t col) { col_ = col; }
    const std::string& current() {
        if (line_ >= lines_.size()) fail("The file ends early");
        return lines_[line_];
    }

    std::string token() {
        while (line_ < lines_.size()) {
            const std::string& s = lines_[line_];
            while (col_ < s.size() && static_cast<unsigned char>(s[col_]) <= ' ')
                ++col_;
            if (col_ < s.size()) break;
            next();
        }
        if (line_ >= lines_.size()) fail("The file ends early");
        const std::string& s = lines_[line_];
        const std::size_t start = col_;
        while (col_ < s.size() && static_cast<unsigned char>(s[col_]) > ' ')
            ++col_;
        return s.substr(start, col_ - start);
    }
    double real() {
        const std::string t = token();
        const auto v = parse_double(t);
        if (!v) fail("Invalid numeric format \"" + fit(t, 30) + "\"");
        return *v;
    }
    long long integer() {
        const std::string t = token();
        const auto v = parse_int(t);
        if (!v) fail("Invalid numeric format \"" + fit(t, 30) + "\"");
        return *v;
    }
    int count(long long capacity, const std::string& too_many) {
        const long long n = integer();
        if (n < 0) fail("Invalid count");
        if (n > capacity) fail(too_many);
        return static_cast<int>(n);
    }
    Colour colour() {
        const long long v = integer();
        if (v < 0 || v > 0xFFFFFFFFLL) fail("Invalid colour");
        return static_cast<Colour>(v);
    }
    int small_int() {
        const long long v = integer();
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            fail("Invalid numeric format");
        return static_cast<int>(v);
    }

  private:
    void next() {
        ++line_;
        col_ = 0;
    }
    int line_count() const { return static_cast<int>(lines_.size()); }

    const std::vector<std::string>& lines_;
    const std::string& file_;
    std::size_t line_ = 0;
    std::size_t col_ = 0;
};

int rounded_int(double v, Cursor& c) {
    const double r = std::round(v);
    if (!(std::fabs(r) < 2e9)) c.fail("Invalid numeric format");
    return static_cast<int>(r);
}

// The numbers of a calculated-bond line (its first `width` columns): two
// atoms, mark and length, then width, colour, label offset and angle; a line
// of an older layout has the first four only.
CalcBond read_bond_numbers(const std::string& numbers_text, int ngen, Colour default_colour,
                           Cursor& c) {
    const auto numbers = split_numbers(numbers_text, true);
    if (!numbers || numbers->size() < 4) c.fail("Invalid numeric format");
    const std::vector<double>& v = *numbers;
    CalcBond b;
    b.atom1 = rounded_int(v[0], c);
    b.atom2 = rounded_int(v[1], c);
    if (b.atom1 < 1 || b.atom1 > ngen || b.atom2 < 1 || b.atom2 > ngen)
        c.fail("Bond between unknown atoms");
    b.multiplicity = rounded_int(v[2], c);
    b.length = v[3];
    if (v.size() == 4) {
        // Older layout: two atoms, mark and length only.
        b.width = kOldBondWidth;
        b.colour = default_colour;
    } else {
        auto at = [&v](std::size_t i) { return i < v.size() ? v[i] : 0.0; };
        b.width = rounded_int(at(4), c);
        const double colour = at(5);
        if (!(colour >= 0 && colour <= 4294967295.0)) c.fail("Invalid colour");
        b.colour = static_cast<Colour>(std::llround(colour));
        b.label_dx = at(6);
        b.label_dy = at(7);
        b.label_angle = at(8);
    }
    return b;
}

std::string without_prefix(std::string_view name, std::size_t n) {
    return n < name.size() ? std::string(name.substr(n)) : std::string();
}

// The asymmetric-unit name: the name is the run of non-blank characters at
// the start of the line (names hold no blanks), at most 6; a longer run means
// that a number touches the name, and the first 5 characters are the name.
std::string asym_name(Cursor& c) {
    const std::string& s = c.current();
    std::size_t run = 0;
    while (run < s.size() && static_cast<unsigned char>(s[run]) > ' ')
        ++run;
    if (run > kNameLength) run = 5;
    c.set_column(run);
    return s.substr(0, run);
}

void read_element_index(Atom& a, int sorts, Cursor& c) {
    const long long idx = c.integer();
    if (idx < 0 || idx > sorts) c.fail("Element sort number " + std::to_string(idx) + " unknown");
    a.element_index = static_cast<int>(idx);
}

void read_file_body(Cursor& c, StructureDocument& doc, DrawingSettings& d, Messages& messages) {
    // Title.
    c.skip_header();
    doc.title = c.text_line();

    // Cell.
    c.skip_header();
    for (double& v : doc.cell_parameters)
        v = c.real();
    c.finish_line();
    compute_metric(doc, messages);

    // Space group and lattice.
    c.skip_header();
    doc.space_group = trim(c.text_line());
    set_crystal_system_from_cell(doc);
    const std::string sign = c.text_line();
    doc.centrosymmetric = sign.find('+') != std::string::npos ? 1 : 0;
    const std::string letter = sign.empty() ? std::string() : trim(sign.substr(1));
    doc.lattice_letter = fit(letter, 1);
    doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);

    // Equivalent positions.
    c.skip_header();
    const int nops = c.count(kMaxOperators, "More than 192 equivalent positions");
    for (int k = 0; k < nops; ++k) {
        EquivalentPosition p;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j)
                p.op.m[i][j] = c.real();
        p.selected = c.small_int();
        c.finish_line();
        p.text = format_operator(p.op);
        doc.positions.push_back(p);
    }
    // Generation applies the whole selected operators.
    for (const EquivalentPosition& p : doc.positions)
        if (p.selected != 0) doc.generation_ops.push_back(p.op);

    // Element sorts.
    c.skip_header();
    const int nsorts = c.count(kMaxElementSorts, "More than 93 element sorts");
    c.finish_line();
    for (int k = 0; k < nsorts; ++k) {
        ElementSort e;
        e.symbol = trim(fit(c.current(), 2));
        c.set_column(std::min<std::size_t>(2, c.current().size()));
        e.colour = c.colour();
        e.radius = c.real();
        c.finish_line();
        doc.element_sorts.push_back(e);
    }
    auto sort_symbol = [&doc](int index) {
        return index >= 1 && index <= static_cast<int>(doc.element_sorts.size())
                   ? doc.element_sorts[static_cast<std::size_t>(index - 1)].symbol
                   : std::string();
    };

    // Asymmetric unit.
    c.skip_header();
    const int nasym = c.count(kMaxAsymAtoms, "The number of atoms is > 1000!");
    c.finish_line();
    for (int k = 0; k < nasym; ++k) {
        Atom a;
        a.name = asym_name(c);
        a.x = c.real();
        a.y = c.real();
        a.z = c.real();
        read_element_index(a, nsorts, c);
        c.finish_line();
        for (double& u : a.adp)
            u = c.real();
        c.finish_line();
        a.iso = (a.adp[1] + a.adp[2] + a.adp[3] + a.adp[4] + a.adp[5]) == 0 ? 1 : 0;
        doc.asym.push_back(a);
    }
    for (Atom& a : doc.asym) {
        a.element = sort_symbol(a.element_index);
        a.label = fit(without_prefix(a.name, a.element.size()), kLabelLength);
    }

    // Generated atoms.
    c.skip_header();
    const int ngen = c.count(kMaxGenAtoms, "More than 5000 generated atoms");
    c.finish_line();
    for (int k = 0; k < ngen; ++k) {
        Atom a;
        const std::string& s = c.current();
        // A six-character name is recognised from the asymmetric unit; the
        // label field starts right after the name.
        std::size_t name_width = 5;
        if (s.size() > 5 && s[5] != ' ') {
            const std::string six = trim(fit(s, 6));
            for (const Atom& b : doc.asym)
                if (b.name.size() == 6 && same_atom_name(b.name, six)) name_width = 6;
        }
        a.name = trim(fit(s, name_width));
        const std::string label = trim(s.substr(std::min(name_width, s.size()), 8));
        c.set_column(std::min(name_width + 8, s.size()));
        a.x = c.real();
        a.y = c.real();
        a.z = c.real();
        a.label_dx = c.real();
        a.label_dy = c.real();
        const std::string part = trim(c.rest_of_line());
        if (!part.empty()) {
            const auto p = parse_int(split_tokens(part).front());
            a.part = p && std::llabs(*p) < 1000000 ? static_cast<int>(*p) : 0;
        }
        for (double& b : a.adp)
            b = c.real();
        c.finish_line();
        read_element_index(a, nsorts, c);
        a.colour = c.colour();
        a.tag = c.small_int();
        a.iso = c.small_int();
        a.drawn = c.small_int();
        a.labelled = c.small_int();
        c.finish_line();
        const std::string normal = normalise_label(a.name);
        a.element = trim(fit(normal, 2));
        a.label = trim(normal.size() > 2 ? normal.substr(2, 3) : std::string());
        doc.gen.push_back(a);
        doc.gen_labels.push_back(fit(label, kDrawnLabelLength));
    }
    for (Atom& a : doc.gen) {
        if (to_upper(a.element) == "DU") {
            a.label.clear();
        } else {
            a.element = sort_symbol(a.element_index);
            a.label = fit(without_prefix(a.name, a.element.size()), kLabelLength);
        }
    }

    // Bond sorts.
    c.skip_header();
    const int nbs = c.count(kMaxBondSorts, "More than 1000 bond sorts");
    c.finish_line();
    for (int k = 0; k < nbs; ++k) {
        const std::string& s = c.current();
        BondSort b;
        b.element1 = fit(trim(fit(s, 5)), 2);
        b.element2 = fit(trim(s.size() > 5 ? s.substr(5, 5) : std::string()), 2);
        c.set_column(std::min<std::size_t>(10, s.size()));
        b.max_distance = c.real();
        c.finish_line();
        doc.bond_sorts.push_back(b);
    }

    // Calculated bonds.
    c.skip_header();
    const int nbonds = c.count(kMaxBonds, "Too much bonds!");
    c.finish_line();
    for (int k = 0; k < nbonds; ++k) {
        const std::string s = c.current();
        // The numbers fill 61 columns, more when a value outgrows its field
        // (atom numbers from 1000 on, wide widths or colours): the writer then
        // keeps the fields apart by a blank, and the label starts after the
        // numbers as they were written.
        std::size_t numbers_width = kBondNumberColumns;
        CalcBond b = read_bond_numbers(fit(s, numbers_width), ngen, doc.bond_colour, c);
        while (bond_numbers(b).size() != numbers_width) {
            if (++numbers_width > kBondNumberColumns + kMaxBondOvergrowth ||
                numbers_width > s.size())
                c.fail("Bond values out of range");
            b = read_bond_numbers(fit(s, numbers_width), ngen, doc.bond_colour, c);
        }
        b.label = s.size() > numbers_width
                      ? fit(trim(s.substr(numbers_width, 25)), kBondLabelLength)
                      : std::string();
        c.text_line();
        doc.bonds.push_back(b);
    }

    // Orientation.
    c.skip_header();
    for (auto& row : d.view.view_matrix_inverse)
        for (double& v : row)
            v = c.real();
    c.finish_line();
    if (!derive_view_matrices(d.view, doc.metric)) {
        messages.warn("The orientation matrix of " + c.file() +
                      " cannot be inverted: the initial orientation is used");
        reset_orientation(d.view, doc.metric);
    }

    // Probability.
    c.skip_header();
    const long long prob = c.integer();
    d.view.probability_index = static_cast<int>(prob < 1 ? 1 : prob > 10 ? 10 : prob);
    c.finish_line();

    // Drawing options.
    c.skip_header();
    int flag[kOptionCount + 1] = {};
    for (int k = 1; k <= kOptionCount; ++k)
        flag[k] = c.small_int();
    const std::string rest = trim(c.rest_of_line());
    if (rest.empty()) {
        d.dummy.dimension = kOldDummyDimension;
        d.dummy.colour = kOldDummyColour;
    } else {
        const std::size_t blank = rest.find_first_of(" \t");
        const auto dim = parse_double(rest.substr(0, blank));
        const auto col =
            blank == std::string::npos ? std::nullopt : parse_int(trim(rest.substr(blank)));
        if (!dim || !col || *col < 0 || *col > 0xFFFFFFFFLL) c.fail("Invalid dummy-atom style");
        d.dummy.dimension = *dim;
        d.dummy.colour = static_cast<Colour>(*col);
    }
    DrawingOptions& o = d.options;
    o.reserved = flag[kReserved];
    o.colour_gradation = flag[kGradation] != 0;
    o.draw_cell = flag[kCell] != 0;
    o.draw_planes = flag[kPlanes] != 0;
    o.draw_planes_and_axes = flag[kPlanesAxes] != 0;
    o.labels_in_centre = flag[kLabelsCentre] != 0;
    o.labels_off_centre = flag[kLabelsOffCentre] != 0;
    o.black_and_white = flag[kBlackWhite] != 0;
    o.add_position_code = flag[kPositionCode] != 0;
    o.bond_labels = flag[kBondLabels] != 0;
    doc.cut_sphere = flag[kCutSphere] != 0;
    doc.cut_box = flag[kCutBox] != 0;
    doc.colour_fragments = flag[kColourFragments] != 0;
    // Later flags win: box over sphere over fragments over cell contents;
    // none set is "No option".
    doc.generation_mode = GenerationMode::None;
    if (flag[kCellContents]) doc.generation_mode = GenerationMode::CellContents;
    if (flag[kFragments]) doc.generation_mode = GenerationMode::Fragments;
    if (flag[kSphere]) doc.generation_mode = GenerationMode::Sphere;
    if (flag[kBox]) doc.generation_mode = GenerationMode::Box;

    // Box and sphere.
    c.skip_header();
    for (double& v : doc.enclosure.box)
        v = c.real();
    c.finish_line();
    for (double& v : doc.enclosure.centre)
        v = c.real();
    c.finish_line();
    c.skip_header();
    doc.enclosure.radius = c.real();
    c.finish_line();

    // Bond width (older files hold the integer width itself) and perspective.
    c.skip_header();
    const double width = c.real();
    if (!(std::fabs(width) < 1e6)) c.fail("Invalid bond width");
    doc.bond_width = static_cast<int>(std::lround(width < 1 ? width * 100 : width));
    c.finish_line();
    d.view.bond_perspective = c.real();
    c.finish_line();

    // Colours: bonds first, although the header names the background first.
    c.skip_header();
    doc.bond_colour = c.colour();
    c.finish_line();
    doc.background_colour = c.colour();
    c.finish_line();

    // Fonts.
    c.skip_header();
    const std::string names = c.text_line();
    d.atom_label_font.name = trim(fit(names, 30));
    d.bond_label_font.name = names.size() > 30 ? trim(names.substr(30)) : std::string();
    if (d.bond_label_font.name.empty()) d.bond_label_font.name = d.atom_label_font.name;
    const std::string styles = c.text_line();
    d.atom_label_font.style_text = trim(fit(styles, 30));
    d.bond_label_font.style_text = styles.size() > 30 ? trim(styles.substr(30)) : std::string();
    // A line shorter than its first field comes from the one-font layout.
    if (styles.size() < 30 && d.bond_label_font.style_text.empty())
        d.bond_label_font.style_text = d.atom_label_font.style_text;
    d.atom_label_font.style = font_style_from_text(d.atom_label_font.style_text);
    d.bond_label_font.style = font_style_from_text(d.bond_label_font.style_text);
    const auto sizes = split_numbers(c.text_line(), false);
    if (!sizes || sizes->size() < 2) c.fail("Invalid numeric format");
    auto font_int = [&c](double v) { return rounded_int(v, c); };
    auto font_colour = [&c](double v) {
        if (!(v >= 0 && v <= 4294967295.0)) c.fail("Invalid colour");
        return static_cast<Colour>(std::llround(v));
    };
    d.atom_label_font.size = font_int((*sizes)[0]);
    d.atom_label_font.colour = font_colour((*sizes)[1]);
    if (sizes->size() > 2) {
        d.bond_label_font.size = font_int((*sizes)[2]);
        d.bond_label_font.colour = sizes->size() > 3 ? font_colour((*sizes)[3]) : Colour{0};
    } else {
        d.bond_label_font.size = d.atom_label_font.size;
        d.bond_label_font.colour = d.atom_label_font.colour;
    }
}

}  // namespace

bool read_vld_text(std::string_view text, const std::string& file_name, StructureDocument& doc,
                   DrawingSettings& drawing, Messages& messages) {
    reset(doc);
    const std::vector<std::string> lines = split_lines(text);
    Cursor cursor(lines, file_name);
    try {
        read_file_body(cursor, doc, drawing, messages);
    } catch (const VldError& e) {
        messages.warn(e.what());
        return false;
    }
    doc.vld_file = file_name;
    if (const auto dup = find_duplicate_names(doc)) {
        messages.warn(duplicate_name_message(doc, dup->first, dup->second));
        return false;
    }
    return true;
}

bool read_vld(const std::string& path, StructureDocument& doc, DrawingSettings& drawing,
              Messages& messages) {
    BusyScope busy(messages);
    const auto text = read_file_text(path, messages);
    if (!text) return false;
    return read_vld_text(*text, path, doc, drawing, messages);
}

std::optional<std::pair<int, int>> find_duplicate_names(const StructureDocument& doc) {
    const int n = static_cast<int>(doc.asym.size());
    for (int i = 0; i < n; ++i) {
        if (doc.asym[static_cast<std::size_t>(i)].name.empty()) continue;
        for (int j = i + 1; j < n; ++j)
            if (same_atom_name(doc.asym[static_cast<std::size_t>(i)].name,
                               doc.asym[static_cast<std::size_t>(j)].name))
                return std::make_pair(i, j);
    }
    return std::nullopt;
}

std::string duplicate_name_message(const StructureDocument& doc, int i, int j) {
    return "The atom Nb" + std::to_string(i + 1) + "(" +
           doc.asym[static_cast<std::size_t>(i)].name + ") has the same name as the atom Nb" +
           std::to_string(j + 1) + "(" + doc.asym[static_cast<std::size_t>(j)].name + ")";
}

void after_vld_load(StructureDocument& doc, DrawingSettings& drawing) {
    // The label placement comes from the atoms, not from the stored flags.
    drawing.options.labels_in_centre = false;
    drawing.options.labels_off_centre = false;
    for (const Atom& a : doc.gen)
        if (a.label_dx != 0 || a.label_dy != 0) drawing.options.labels_off_centre = true;
    for (const CalcBond& b : doc.bonds)
        if (b.label_dx != 0 || b.label_dy != 0) drawing.options.bond_labels = true;
    doc.display = doc.gen;
}

}  // namespace veldor
