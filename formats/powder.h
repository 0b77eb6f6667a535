#pragma once
// Structures from the data files of three powder-diffraction programs:
// Lazy Pulverix (".lzy"), PowderCell (".cel") and Tessard (".cry"). Each
// gives a cell, a space-group symbol (PowderCell a group number, looked up
// in "spa.grp") and isotropic atoms with B values; the equivalent
// positions come from the catalogue of the crystal system.

#include <optional>
#include <string>
#include <string_view>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// Uiso = B / (8 pi^2): u_from_b, the program's one conversion.
// A B of 0 is read as this.
inline constexpr double kDefaultB = 1.0;

inline constexpr const char* kSpaceGroupNumbersFile = "spa.grp";

inline constexpr const char* kCellNotFoundMessage = "Cell not found";
inline constexpr const char* kPowderReadErrorMessage = "Read error";
inline constexpr const char* kErrorReadingInputFile = "Error while reading input file";

// The readers proper: fill a reset document from the file's text and
// return 0, or show a message and return 1 (the document keeps what was
// read). On success the operators are completed from the catalogue and the
// element sorts built.
int read_lazy_pulverix_text(std::string_view text, StructureDocument& doc,
                            const ProgramPaths& paths, Messages& messages);
int read_powdercell_text(std::string_view text, StructureDocument& doc, const ProgramPaths& paths,
                         Messages& messages);
int read_tessard_text(std::string_view text, StructureDocument& doc, const ProgramPaths& paths,
                      Messages& messages);

// The symbol of space group `number` in "spa.grp" of the data folder:
// number - 1 lines passed over, then the line's leading integer and the
// next 10 characters, trimmed. nullopt (and the message) when the file is
// missing or has no such line.
std::optional<std::string> space_group_of_number(int number, const std::string& data_dir,
                                                 Messages& messages);

// Completing the operators from doc.space_group and the symbol's lattice
// letter: the catalogue entry (the catalogue of doc.crystal_system first,
// then the others, which may change the system; a symbol without origin
// suffix names origin choice 1) with centring and inversion, texts rebuilt,
// only operator 1 (the identity, " X, Y, Z") selected and generating. A
// symbol absent from every catalogue is given to the interpreter; one that
// neither reads shows "The space group symbol " + symbol + " cannot be
// read" and gives false.
// False when the catalogue file is missing or damaged (reported).
bool complete_powder_operators(StructureDocument& doc, const std::string& data_dir,
                               Messages& messages);

struct PowderLoadResult {
    int status = 1;
    std::string space_group_text;  // "Space Group: Fm-3m" or "No Space Group found"
};

// The load commands: reset the document, read the file (its title stem,
// the name without folder and last 4 characters, is the title unless the
// file gives one). A failed read shows "Error while reading input file"
// and forgets the file name.
PowderLoadResult load_lazy_pulverix(const std::string& path, StructureDocument& doc,
                                    const ProgramPaths& paths, Messages& messages);
PowderLoadResult load_powdercell(const std::string& path, StructureDocument& doc,
                                 const ProgramPaths& paths, Messages& messages);
PowderLoadResult load_tessard(const std::string& path, StructureDocument& doc,
                              const ProgramPaths& paths, Messages& messages);

}  // namespace veldor
