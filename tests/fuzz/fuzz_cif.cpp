// libFuzzer entry for the CIF reader and writer: any input ends in a
// message or a document, and a document read is written as a CIF that
// parses and reads back with as many atoms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/cif_read.h"
#include "formats/cif_syntax.h"
#include "formats/cif_write.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veldor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SilentMessages messages;
    // No work folder: no scratch files while fuzzing.
    const ProgramPaths paths{VELDOR_DATA_DIR, ""};
    const CifScan scan = scan_cif_text(text, "fuzz.cif", messages);
    for (const CifBlockInfo& block : scan.candidates) {
        StructureDocument doc;
        if (read_cif_block_text(text, "fuzz.cif", block, doc, paths, messages) != 0) continue;
        if (doc.positions.size() > 192 || doc.asym.size() > 1000) std::abort();
        CifWriteOptions options;
        options.include_bonds = false;
        options.z = default_cif_z(doc);
        const std::string written = cif_text(doc, options, paths.data_dir, messages);
        if (!parse_cif_syntax(written).ok) std::abort();
        const CifScan again = scan_cif_text(written, "back.cif", messages);
        if (again.candidates.size() != 1) std::abort();
        StructureDocument back;
        if (read_cif_block_text(written, "back.cif", again.candidates[0], back, paths, messages) ==
                0 &&
            back.asym.size() != doc.asym.size())
            std::abort();
    }
    return 0;
}
