#pragma once
// SHELX files: the instruction reader (.ins, .inp, .shx) with free
// variables, continuation lines, PART and riding Uiso; the listing reader
// (.lst, .out); the load command that ties them to space-group
// identification; and the instruction writer (.shx).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// What a read gives besides the document.
struct ShelxReadResult {
    double wavelength = 0;   // from the CELL line
    std::string title_stem;  // file name without folder and last 4 characters, upper case
    std::string caption;     // "Space Group: ...", "Possible Space Group : ...", ...
};

// True for names containing ".INS", ".INP", ".SHX" or ".RES" (any case; a
// refinement result is an instruction file too): the instruction reader.
// Any other name goes to the listing reader.
bool is_shelx_instruction_file(std::string_view path);

// Fills an empty document from the lines of an instruction file: cell and
// wavelength, title, LATT, SYMM (completed by centring and inversion),
// SFAC, FVAR and the atoms up to END. The generation list becomes the first
// operator alone. A line that cannot be read shows "Read error at line Nb "
// + its number (or the "(1)" to "(4)" forms for the scans before the atoms)
// and stops; an operator that cannot be decoded shows
// "Non decoded position: " + text. Element sorts are not built here.
bool read_shelx_instructions(const std::vector<std::string>& lines, StructureDocument& doc,
                             double& wavelength, Messages& messages);
// The same for a listing; `file_name` is named in the messages.
bool read_shelx_listing(const std::vector<std::string>& lines, const std::string& file_name,
                        StructureDocument& doc, double& wavelength, Messages& messages);

// One parameter of an atom line decoded by the free-variable convention:
// 10m + p is p times free variable m (m > 1), p times (fv(-m) - 1) for
// m < -1, and the fixed value p for m = 1 or -1; a coordinate of 5 or more
// first loses 10. `free_variables` holds fv(1), fv(2), ...; a missing one is 0.
double shelx_parameter(double value, bool coordinate, const std::vector<double>& free_variables);

// Anisotropic atoms whose U matrix is not positive definite become
// isotropic with (U11 + U22 + U33) / 3, with the message
// name + ": has a non definite positive matrix Uij. Ueq was reset to " + F6.4.
void reset_non_positive_definite(StructureDocument& doc, Messages& messages);

// The load command: resets the document, reads the file by its kind,
// builds the element sorts (radii from paths.data_dir) and bond sorts,
// normalises the operators (trace "espion_pos.txt" in paths.work_dir) and
// identifies the space group, then checks the U matrices. False when the
// read stopped; the document keeps what was read.
bool load_shelx(const std::string& path, StructureDocument& doc, const ProgramPaths& paths,
                ShelxReadResult& result, Messages& messages);
// The same on a text in memory, for tests and fuzzing.
bool load_shelx_text(std::string_view text, const std::string& path, StructureDocument& doc,
                     const ProgramPaths& paths, ShelxReadResult& result, Messages& messages);

// Fractions of an operator text written as decimals, each occurrence in
// turn: 1/2 0.5, 1/3 0.3333333, 2/3 0.6666667, 1/4 0.25, 3/4 0.75,
// 1/6 0.166667, 5/6 0.83333.
std::string decimal_fractions(std::string_view text);

// Where the SYMM lines come from.
enum class SymmSource {
    Automatic,    // the catalogue when it lists doc.space_group, else the document
    Catalogue,    // the listed operators of the catalogue entry of doc.space_group
    Interpreter,  // the text section of "scfs.dat" in the work directory
    Document,     // the document's operators not implied by LATT
};

struct ShelxWriteOptions {
    std::string title;      // after "TITL "; the document's title when empty
    double wavelength = 0;  // 0: the document's wavelength, or 0.7106 when it has none
    SymmSource symm = SymmSource::Automatic;
};

// The instruction file as text (LF line ends), atoms of a disorder part
// after a "PART n" line and "PART 0" after the last of them when it is not
// 0 (so that the file reads back with the same bonds); nullopt after a message when
// a catalogue or "scfs.dat" is missing, or "No data" for an empty
// asymmetric unit.
std::optional<std::string> shelx_text(const StructureDocument& doc, const ProgramPaths& paths,
                                      const ShelxWriteOptions& options, Messages& messages);
// Writes it atomically.
bool write_shelx(const std::string& path, const StructureDocument& doc, const ProgramPaths& paths,
                 const ShelxWriteOptions& options, Messages& messages);

// LATT code of a lattice letter (P 1, I 2, R 1 for RHOM and 3 for HEXA, F 4,
// A 5, B 6, C 7; any other letter 1), positive when centrosymmetric.
int latt_code(const StructureDocument& doc);

}  // namespace veldor
