// libFuzzer entry for the three powder-diffraction readers (Lazy Pulverix,
// PowderCell, Tessard): any input ends in a status, within the tables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/powder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veldor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SilentMessages messages;
    const ProgramPaths paths{VELDOR_DATA_DIR, ""};
    for (auto reader : {read_lazy_pulverix_text, read_powdercell_text, read_tessard_text}) {
        StructureDocument doc;
        const int status = reader(text, doc, paths, messages);
        if (status != 0 && status != 1) std::abort();
        if (doc.positions.size() > 192 || doc.asym.size() > 1000) std::abort();
        if (status == 0 && doc.generation_ops.size() != 1) std::abort();
    }
    return 0;
}
