// libFuzzer entry for the CIF reader and writer: any input ends in a
// message or a document, and a document read is written as a CIF that
// parses and reads back with as many atoms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/cif_read.h"
#include "tests/fuzz/cif_round_trip.h"

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
        check_cif_round_trip(doc, paths, messages);
    }
    return 0;
}
