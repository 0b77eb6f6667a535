#pragma once
// The structure document: the one in-memory crystal structure that every
// window reads and writes. Plain data with fixed capacities; the program
// makes exactly one instance and hands references to whoever needs it.
//
// Containers are 0-based; numbers that users see or files store (operator
// numbers, element-sort numbers, atom numbers in bonds) are 1-based and are
// converted at that edge only.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/mat3.h"

namespace veldor {

// Capacities of the tables.
inline constexpr int kMaxOperators = 192;
inline constexpr int kMaxAsymAtoms = 1000;
inline constexpr int kMaxGenAtoms = 5000;
inline constexpr int kMaxElementSorts = 93;
inline constexpr int kMaxBondSorts = 1000;
inline constexpr int kMaxBonds = 10000;
inline constexpr int kMaxCentringVectors = 4;

// Maximum lengths of the text fields of the records.
inline constexpr std::size_t kNameLength = 6;
inline constexpr std::size_t kLabelLength = 4;
inline constexpr std::size_t kElementLength = 4;
inline constexpr std::size_t kOperatorTextLength = 24;
inline constexpr std::size_t kDrawnLabelLength = 25;
inline constexpr std::size_t kBondLabelLength = 25;
inline constexpr std::size_t kSymbolLength = 2;

// A symmetry operator: row i holds R(i,0), R(i,1), R(i,2) and t(i).
// The image of fractional (x, y, z) is R x + t.
struct SymOp {
    std::array<std::array<double, 4>, 3> m{};

    static SymOp identity() {
        SymOp s;
        s.m[0][0] = s.m[1][1] = s.m[2][2] = 1;
        return s;
    }
    Mat3 rotation() const {
        return Mat3{{{m[0][0], m[0][1], m[0][2]},
                     {m[1][0], m[1][1], m[1][2]},
                     {m[2][0], m[2][1], m[2][2]}}};
    }
    Vec3 translation() const { return {m[0][3], m[1][3], m[2][3]}; }
    Vec3 apply(const Vec3& x) const {
        Vec3 r{};
        for (int i = 0; i < 3; ++i)
            r[i] = m[i][0] * x[0] + m[i][1] * x[1] + m[i][2] * x[2] + m[i][3];
        return r;
    }
    bool operator==(const SymOp&) const = default;
};

// One entry of the equivalent-position list.
struct EquivalentPosition {
    SymOp op;
    std::string text;  // upper case, components joined by commas, at most 24 characters
    int selected = 0;  // 1 when marked "*" in the positions grid
};

// The one record layout shared by asymmetric-unit atoms and generated atoms.
struct Atom {
    std::string name;     // element + label, spaces removed, 2nd char lower case; empty = deleted
    std::string label;    // label part as typed (at most 4 characters)
    std::string element;  // element symbol as typed, upper case (at most 4 characters)
    double x = 0, y = 0, z = 0;
    double label_dx = 0, label_dy = 0;  // offset of the drawn label
    // Asymmetric unit: U11 U22 U33 U12 U13 U23 (A^2), Uiso in adp[0] when iso.
    // Generated atoms: beta11 beta22 beta33 beta12 beta13 beta23.
    std::array<double, 6> adp{};
    int element_index = 0;  // 1-based number of the element sort
    Colour colour = 0;
    int tag = 0;       // generating operator, later fragment number; 0 = discarded
    int iso = 0;       // 1 isotropic, 0 anisotropic
    int drawn = 1;     // 1 drawn, 0 masked or hidden
    int labelled = 1;  // 1 when the label is drawn
    int part = 0;      // disorder part (SHELX PART); see parts_may_bond

    Vec3 position() const { return {x, y, z}; }
    void set_position(const Vec3& p) {
        x = p[0];
        y = p[1];
        z = p[2];
    }
};

struct ElementSort {
    Colour colour = 0;
    double radius = 0;   // angstrom; 0 when the radii file has no entry
    std::string symbol;  // at most 2 characters
};

struct BondSort {
    std::string element1;  // at most 2 characters
    std::string element2;
    double max_distance = 0;  // angstrom
};

struct CalcBond {
    int atom1 = 0;  // 1-based generated-atom numbers, atom1 < atom2
    int atom2 = 0;
    int multiplicity = 0;  // 0, 1 or 2 for carbon-carbon bonds
    Colour colour = 0;
    int width = 0;  // hundredths of an angstrom
    double length = 0;
    double label_dx = 0, label_dy = 0;
    double label_angle = 0;  // degrees
    std::string label;       // at most 25 characters
};

// Box edges along a, b, c (fractional), the shared centre and the sphere radius.
struct Enclosure {
    Vec3 box{1.01, 1.01, 1.01};
    Vec3 centre{0.5, 0.5, 0.5};
    double radius = 0;
};

enum class GenerationMode { None, Box, Sphere, Fragments, CellContents };

// Everything the cell metric computation derives from the six cell values.
struct Metric {
    std::array<double, 6> cell{};        // copy of a, b, c, alpha, beta, gamma
    Vec3 cosines{};                      // cos alpha, cos beta, cos gamma
    Vec3 sines{};                        // sin alpha, sin beta, sin gamma
    std::array<double, 6> reciprocal{};  // a*, b*, c*, alpha*, beta*, gamma* (degrees)
    Vec3 reciprocal_cosines{};           // cos alpha*, cos beta*, cos gamma*
    double volume = 0;
    Mat3 G{};       // direct metric tensor
    Mat3 G_star{};  // reciprocal metric tensor
    Mat3 B{};       // reciprocal-to-Cartesian
    Mat3 B_inverse{};
    Mat3 frac_to_cart{};  // B x G
    Mat3 cart_to_frac{};  // G* x B^-1
};

struct StructureDocument {
    // Cell and symmetry setting.
    std::array<double, 6> cell_parameters{};  // a, b, c (A), alpha, beta, gamma (deg)
    Metric metric;
    std::string crystal_system;  // "TRIC" ... "CUBI"; empty until chosen
    std::string space_group;     // empty: no space group set
    std::string lattice_letter;  // at most 1 character
    int centrosymmetric = 0;     // >0: complete the list by the inversion centre
    std::vector<Vec3> centring;  // at most 4 lattice-centring translations
    std::string title;
    std::string formula;    // chemical formula the last CIF read gave ("Create a CIF" default)
    double wavelength = 0;  // angstrom, from a SHELX CELL line; 0 when unknown

    // Files.
    std::string data_file;     // data file last read ("Restore the initial Data")
    std::string vld_file;      // VLD file last read (its element colours stay as loaded)
    std::string written_file;  // file last written
    std::string startup_file;  // named on the command line; Plot loads it

    // Equivalent positions as entered/read/chosen, and the operators generation applies.
    std::vector<EquivalentPosition> positions;  // at most 192
    std::vector<SymOp> generation_ops;          // at most 192

    // Asymmetric unit and its copy kept across a generation.
    std::vector<Atom> asym;         // at most 1000
    std::vector<Atom> asym_backup;  // at most 1000

    // Generated atoms with their drawn label texts, and the display copy.
    std::vector<Atom> gen;                // at most 5000
    std::vector<std::string> gen_labels;  // one per generated atom, at most 25 characters
    std::vector<Atom> display;            // at most 5000

    std::vector<ElementSort> element_sorts;  // at most 93
    std::vector<BondSort> bond_sorts;        // at most 1000
    std::vector<CalcBond> bonds;             // at most 10000

    Enclosure enclosure;

    // Drawing defaults that generation and the element sorts set.
    int bond_width = 6;  // hundredths of an angstrom
    Colour bond_colour = rgb(255, 255, 0);
    Colour background_colour = rgb(255, 255, 255);

    // State flags.
    bool regeneration_needed = false;
    bool cell_changed = false;
    bool elements_changed = false;
    GenerationMode generation_mode = GenerationMode::None;
    bool cut_box = false;
    bool cut_sphere = false;
    bool colour_fragments = false;
};

// Empties the document before a file is loaded: every table count to 0,
// every text empty, every selection flag cleared. Drawing defaults and the
// generation options are kept.
void reset(StructureDocument& doc);

// Copies text into a field of at most n characters (cutting the rest).
std::string fit(std::string_view text, std::size_t n);

// The atom name rule: element followed by label with all spaces removed and
// the second character in lower case ("CL" + "1" -> "Cl1"), at most 6 characters.
std::string make_atom_name(std::string_view element, std::string_view label);

// Names are compared in upper case.
bool same_atom_name(std::string_view a, std::string_view b);

}  // namespace veldor
