#pragma once
// Writing the structure document as a small CIF: formula, cell, Z, crystal
// system, the equivalent positions, the space-group symbol, the atom sites,
// the anisotropic U and, when wanted, the bond distances and angles of the
// current plot with their site symmetry codes.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kNoCalculatedBondsMessage = "No calculated bonds! Plot the structure";

// The notice window "Space group symbol" shown instead of saving a CIF for
// a structure without a space-group symbol.
inline constexpr std::array<const char*, 4> kCifNeedsSymbolLines = {
    "Veldor needs the Space Group symbol ", "to create a CIF. Please select a Space ",
    "Group symbol  (Hermann_Mauguin or", "    Hall) and save the Data as CIF."};

// What the Save CIF command does before its dialogs: nothing for an empty
// asymmetric unit, the notice (with a beep) without a symbol, else save.
enum class CifSaveCheck { NothingToSave, NeedsSymbol, Ready };
CifSaveCheck check_cif_save(const StructureDocument& doc);

// The choices of the "Create a CIF" dialog, and the coordination result
// that the geometry loops copy when one is present.
struct CifWriteOptions {
    std::string formula;  // empty: computed from the asymmetric unit
    int z = 0;            // "_cell_formula_units_Z"
    bool include_bonds = true;
    // Lines of the coordination calculation; empty when there is none. The
    // bond loop copies columns 1-18 and the code of columns 47-53 of each
    // trimmed distance line, the angle loop columns 8-63 of each trimmed
    // angle line with the codes' parentheses dropped; a line whose long
    // labels or operator shift those columns is read by its words instead.
    std::vector<std::string> coordination_result;
    // True when that calculation was made for "Distances and angles".
    bool coordination_with_angles = false;
};

// Z proposed by the dialog: the number of equivalent positions.
int default_cif_z(const StructureDocument& doc);

// The formula written for an empty one: for C, H, N, O (those present),
// then every other element in order of first appearance, the symbol and
// the number of asymmetric-unit atoms, in single quotes ("'C2 H1 O1'").
std::string cif_formula(const StructureDocument& doc);

// "Cubic", "Tetragonal", "Orthorhombic", "Hexagonal", "Rhomboedral",
// "Monoclinic", "Triclinic" for the crystal-system codes; "?" otherwise.
std::string crystal_system_word(std::string_view code);

// Labels as the loops write them. Atom sites: second character in lower
// case (a blank there removed), all blanks removed, padded to 4. Geometry:
// blanks removed, second character in lower case, padded to 4.
std::string cif_site_label(std::string_view name);
std::string cif_geometry_label(std::string_view name);

// An operator as CIF text ("-X+1/2,Y,-Z"), exact for any integer rotation;
// used when the stored text does not stand for the operator.
std::string cif_operator_text(const SymOp& op);

// The file's text. Recomputes each atom's isotropic flag (isotropic when
// its last five values sum to exactly zero); the metric is recomputed when
// it does not match the cell. `data_dir` holds the catalogue that gives the
// full Hermann-Mauguin symbol. `formula_used` receives the formula written;
// a computed one becomes doc.formula. Bonds shorter than kMinBondLength
// are not written (nor their angles); an atom without a site symmetry code
// within the n_klm digits gets "?", never "0_000".
std::string cif_text(StructureDocument& doc, const CifWriteOptions& options,
                     const std::string& data_dir, Messages& messages,
                     std::string* formula_used = nullptr);

// Writes the file atomically. A failed write shows
// "Cannot write the file " + path and returns false, leaving an existing
// file whole.
bool write_cif(const std::string& path, StructureDocument& doc, const CifWriteOptions& options,
               const std::string& data_dir, Messages& messages,
               std::string* formula_used = nullptr);

}  // namespace veldor
