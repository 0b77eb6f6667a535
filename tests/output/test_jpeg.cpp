#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

#include "output/jpeg_file.h"

namespace veldor {
namespace {

// Width, height and the luminance quantisation table of a JPEG file.
struct Decoded {
    int width = 0, height = 0;
    std::vector<int> luminance;
};
Decoded decode(const std::string& bytes) {
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    Decoded d;
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
        d.width = static_cast<int>(info.image_width);
        d.height = static_cast<int>(info.image_height);
        if (info.quant_tbl_ptrs[0])
            for (int k = 0; k < 8; ++k)
                d.luminance.push_back(info.quant_tbl_ptrs[0]->quantval[k]);
    }
    jpeg_destroy_decompress(&info);
    return d;
}

// Quality 50 keeps the standard luminance table unscaled: its first row.
TEST(Jpeg, ReadsBackAtQualityFifty) {
    const int w = 40, h = 30, stride = 3 * w + 8;  // rows padded, as images are
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(stride * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            rgb[static_cast<std::size_t>(y * stride + x)] = static_cast<std::uint8_t>(x + y);
    const Decoded d = decode(encode_jpeg(rgb.data(), w, h, stride));
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    EXPECT_EQ(d.luminance, (std::vector<int>{16, 11, 10, 16, 24, 40, 51, 61}));
    EXPECT_EQ(kJpegQuality, 50);
}

TEST(Jpeg, BadInputAndBadFoldersAreRefused) {
    std::vector<std::uint8_t> rgb(12, 255);
    EXPECT_EQ(encode_jpeg(rgb.data(), 0, 1, 3), "");
    EXPECT_EQ(encode_jpeg(rgb.data(), 2, 2, 5), "");  // rows shorter than the pixels
    EXPECT_EQ(encode_jpeg(nullptr, 2, 2, 6), "");
    RecordingMessages msg;
    const std::string path =
        (std::filesystem::temp_directory_path() / "no such folder" / "a.jpg").string();
    EXPECT_FALSE(write_jpeg(path, rgb.data(), 2, 2, 6, msg));
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"Cannot write the file " + path}));
}

}  // namespace
}  // namespace veldor
