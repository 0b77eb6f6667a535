// libFuzzer entry for the CIF line rules, the reader of files that the
// strict parser refuses: any input ends in a message or a document within
// the tables, and a document read is written as a CIF that the strict
// parser accepts and that reads back with as many atoms.
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
    const CifScan scan = scan_cif_text_by_lines(text, "fuzz.cif", messages);
    for (const CifBlockInfo& block : scan.candidates) {
        if (!block.by_lines) std::abort();
        StructureDocument doc;
        const int status = read_cif_block_text(text, "fuzz.cif", block, doc, paths, messages);
        if (status != 0 && status != 1) std::abort();
        if (doc.positions.size() > 192 || doc.asym.size() > 1000) std::abort();
        if (status != 0) continue;
        check_cif_round_trip(doc, paths, messages);
    }
    return 0;
}
