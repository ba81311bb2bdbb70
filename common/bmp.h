#pragma once
// Windows bitmaps (.bmp), read only: uncompressed pictures of 1, 4, 8, 24 or 32 bits per pixel
// with the 12-byte core header or any of the later info headers, rows stored bottom-up or
// top-down. Compressed files (run-length, JPEG, PNG) are refused; so is anything whose header
// does not add up, and no byte outside the buffer is ever read.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/raster.h"
#include "common/result.h"

namespace quenda {

// Neither side may exceed this; it also bounds what a header can make us allocate.
inline constexpr int kBmpMaxSide = 65535;

// The picture as 3 channels B, G, R, bottom row first; palettes resolved, alpha dropped.
// `path` only names the file in messages.
Result<Raster> ParseBmp(std::span<const uint8_t> bytes, std::string_view path);
Result<Raster> ReadBmp(const std::string& path);

}  // namespace quenda
