#include "bmp.h"

#include <cstddef>
#include <vector>

#include "common/byte_order.h"
#include "common/file_io.h"

namespace quenda {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kRunLength8 = 1;
constexpr uint32_t kRunLength4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kJpeg = 4;
constexpr uint32_t kPng = 5;

Error Fail(std::string_view path, std::string_view reason) {
  return Error{"Error : " + std::string(path) + std::string(reason)};
}
Error NotBitmap(std::string_view path) {
  return Fail(path, " is not a Windows bitmap!");
}
Error Corrupted(std::string_view path) {
  return Fail(path, " is corrupted!");
}

// One colour channel of a 32-bit pixel under a mask, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t top = 0;  // the largest value under the mask

  explicit Channel(uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1u) == 0) ++shift;
    top = mask >> shift;
  }
  uint8_t Of(uint32_t pixel) const {
    if (top == 0) return 0;
    return uint8_t(uint64_t((pixel & mask) >> shift) * 255u / top);
  }
};

}  // namespace

Result<Raster> ParseBmp(std::span<const uint8_t> bytes, std::string_view path) {
  if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M')
    return NotBitmap(path);
  const uint8_t* data = bytes.data();
  const std::size_t pixelOffset = GetU32LE(data + 10);
  const std::size_t headerSize = GetU32LE(data + kFileHeaderSize);
  if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) return Corrupted(path);
  if (bytes.size() < kFileHeaderSize + headerSize) return Fail(path, " is truncated!");
  const uint8_t* info = data + kFileHeaderSize;

  const bool core = headerSize == kCoreHeaderSize;
  int64_t width = 0;
  int64_t height = 0;
  int planes = 0;
  int depth = 0;
  uint32_t compression = kUncompressed;
  uint32_t colorsUsed = 0;
  if (core) {
    width = GetU16LE(info + 4);
    height = GetU16LE(info + 6);
    planes = GetU16LE(info + 8);
    depth = GetU16LE(info + 10);
  } else {
    width = int32_t(GetU32LE(info + 4));
    height = int32_t(GetU32LE(info + 8));
    planes = GetU16LE(info + 12);
    depth = GetU16LE(info + 14);
    compression = GetU32LE(info + 16);
    colorsUsed = GetU32LE(info + 32);
  }
  if (compression == kRunLength8 || compression == kRunLength4 || compression == kJpeg ||
      compression == kPng)
    return Fail(path, " is compressed bitmap, can not read compressed bitmaps, sorry!");
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)
    return Error{"Unsupported Bitmap Error : " + std::string(path) +
                 " is not 1, 4, 8, 24 or 32 bit!"};
  // Masks only say where the channels of an uncompressed 32-bit pixel lie.
  if (compression != kUncompressed && !(compression == kBitFields && depth == 32))
    return Corrupted(path);
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (planes != 1 || width < 1 || height < 1 || width > kBmpMaxSide || height > kBmpMaxSide)
    return Corrupted(path);

  // The palette, or the masks, follow the info header.
  std::size_t tableAt = kFileHeaderSize + headerSize;
  Channel blue(0xFFu), green(0xFF00u), red(0xFF0000u);
  if (compression == kBitFields) {
    // The first info header keeps its masks after itself, the later ones inside.
    std::size_t masksAt = headerSize == kInfoHeaderSize ? tableAt : kFileHeaderSize + 40;
    if (bytes.size() < masksAt + 12) return Fail(path, " is truncated!");
    red = Channel(GetU32LE(data + masksAt));
    green = Channel(GetU32LE(data + masksAt + 4));
    blue = Channel(GetU32LE(data + masksAt + 8));
    if (headerSize == kInfoHeaderSize) tableAt += 12;
  }
  std::vector<uint8_t> palette;  // B, G, R per entry
  if (depth <= 8) {
    const std::size_t most = std::size_t(1) << depth;
    const std::size_t count = colorsUsed == 0 ? most : colorsUsed;
    if (count > most) return Corrupted(path);
    const std::size_t entry = core ? 3 : 4;
    if (bytes.size() < tableAt + count * entry) return Fail(path, " is truncated!");
    palette.resize(most * 3, 0);  // indices past the table are black
    for (std::size_t i = 0; i < count; ++i)
      for (std::size_t c = 0; c < 3; ++c) palette[i * 3 + c] = data[tableAt + i * entry + c];
  }

  const std::size_t stride = (std::size_t(width) * std::size_t(depth) + 31) / 32 * 4;
  const std::size_t lastRow = (std::size_t(width) * std::size_t(depth) + 7) / 8;
  // The last row's padding may be left off; everything before it must be there.
  if (pixelOffset < kFileHeaderSize + headerSize || pixelOffset > bytes.size() ||
      bytes.size() - pixelOffset < stride * std::size_t(height - 1) + lastRow)
    return Fail(path, " is truncated!");

  const int w = int(width);
  const int h = int(height);
  Raster picture(w, h, 3);
  for (int row = 0; row < h; ++row) {
    const uint8_t* in = data + pixelOffset + std::size_t(row) * stride;
    uint8_t* out = picture.Row(topDown ? h - 1 - row : row);
    for (int x = 0; x < w; ++x, out += 3) {
      if (depth <= 8) {
        const std::size_t bit = std::size_t(x) * std::size_t(depth);
        const unsigned index = (in[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1u);
        for (int c = 0; c < 3; ++c) out[c] = palette[index * 3 + c];
      } else if (depth == 24) {
        for (int c = 0; c < 3; ++c) out[c] = in[std::size_t(x) * 3 + c];
      } else {
        const uint32_t pixel = GetU32LE(in + std::size_t(x) * 4);
        out[0] = blue.Of(pixel);
        out[1] = green.Of(pixel);
        out[2] = red.Of(pixel);
      }
    }
  }
  return picture;
}

Result<Raster> ReadBmp(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Fail(path, " can not be opened!");
  return ParseBmp(*bytes, path);
}

}  // namespace quenda
