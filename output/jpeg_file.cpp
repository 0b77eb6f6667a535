#include "output/jpeg_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "formats/text_file.h"

namespace veldor {

namespace {

// libjpeg ends the program on an error unless told otherwise: its errors
// jump back here instead.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

void jump_back(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->back, 1);
}

void keep_quiet(j_common_ptr) {}

// Plain C data only between setjmp and longjmp.
bool encode(const std::uint8_t* rgb, int width, int height, int stride, int quality,
            unsigned char** out, unsigned long* size) {
    jpeg_compress_struct info;
    ErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = jump_back;
    trap.manager.output_message = keep_quiet;
    if (setjmp(trap.back)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) *
                                                      static_cast<std::size_t>(stride));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::string encode_jpeg(const std::uint8_t* rgb, int width, int height, int stride, int quality) {
    if (!rgb || width <= 0 || height <= 0 || stride < 3 * width) return {};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = encode(rgb, width, height, stride, quality, &buffer, &size);
    std::string bytes;
    if (ok && buffer) bytes.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

bool write_jpeg(const std::string& path, const std::uint8_t* rgb, int width, int height, int stride,
                Messages& messages, int quality) {
    const std::string bytes = encode_jpeg(rgb, width, height, stride, quality);
    if (bytes.empty()) {
        messages.warn("Cannot write the file " + path);
        return false;
    }
    return save_file_atomically(path, bytes, messages);
}

}  // namespace veldor
