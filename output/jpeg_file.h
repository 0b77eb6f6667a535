#pragma once
// JPEG files of the picture, encoded with libjpeg at quality 50.

#include <cstdint>
#include <string>

#include "core/messages.h"

namespace veldor {

inline constexpr int kJpegQuality = 50;
inline constexpr const char* kJpegExtension = ".jpg";

// The JPEG encoding of 8-bit RGB pixels (rows from the top, three bytes a
// pixel, `stride` bytes a row); empty when libjpeg refuses.
std::string encode_jpeg(const std::uint8_t* rgb, int width, int height, int stride,
                        int quality = kJpegQuality);

// Encodes and saves atomically; false after "Cannot write the file ...".
bool write_jpeg(const std::string& path, const std::uint8_t* rgb, int width, int height, int stride,
                Messages& messages, int quality = kJpegQuality);

}  // namespace veldor
