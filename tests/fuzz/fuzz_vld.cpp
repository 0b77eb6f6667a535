// libFuzzer entry for the VLD reader: any input must end in a message or a
// document, never a crash; a document read whole must survive its own
// write and read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/vld.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veldor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SilentMessages messages;
    StructureDocument doc;
    DrawingSettings drawing;
    if (read_vld_text(text, "fuzz.vld", doc, drawing, messages)) {
        const std::string again = vld_text(doc, drawing);
        StructureDocument doc2;
        DrawingSettings drawing2;
        if (!read_vld_text(again, "again.vld", doc2, drawing2, messages)) std::abort();
    }
    return 0;
}
