#pragma once
// The check both CIF fuzzers end with: a document read is written as a CIF
// that the strict parser accepts, with one block that reads back with as
// many atoms. Any failure aborts, which libFuzzer reports.
#include <cstdlib>
#include <string>

#include "formats/cif_read.h"
#include "formats/cif_syntax.h"
#include "formats/cif_write.h"

namespace veldor {

inline void check_cif_round_trip(StructureDocument& doc, const ProgramPaths& paths,
                                 Messages& messages) {
    CifWriteOptions options;
    options.include_bonds = false;
    options.z = default_cif_z(doc);
    const std::string written = cif_text(doc, options, paths.data_dir, messages);
    if (!parse_cif_syntax(written).ok) std::abort();
    const CifScan again = scan_cif_text(written, "back.cif", messages);
    if (again.candidates.size() != 1) std::abort();
    StructureDocument back;
    if (read_cif_block_text(written, "back.cif", again.candidates[0], back, paths, messages) == 0 &&
        back.asym.size() != doc.asym.size())
        std::abort();
}

}  // namespace veldor
