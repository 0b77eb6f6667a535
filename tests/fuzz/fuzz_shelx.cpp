// libFuzzer entry for the SHELX readers (instructions and listing) and for
// the writer on what they read: any input ends in a message or a document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/shelx.h"
#include "formats/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veldor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = split_lines(text);
    SilentMessages messages;
    double wavelength = 0;
    StructureDocument doc;
    if (read_shelx_instructions(lines, doc, wavelength, messages)) {
        reset_non_positive_definite(doc, messages);
        ShelxWriteOptions options;
        options.symm = SymmSource::Document;
        const auto out = shelx_text(doc, ProgramPaths{}, options, messages);
        if (out) {
            StructureDocument back;
            read_shelx_instructions(split_lines(*out), back, wavelength, messages);
        }
    }
    StructureDocument listing;
    read_shelx_listing(lines, "fuzz.lst", listing, wavelength, messages);
    return 0;
}
