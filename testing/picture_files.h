#pragma once
// Colour pictures and the bitmap and Targa files of them, written byte by byte here so the
// readers are checked against files they had no part in making; and PPM files for the
// outside converters to start from.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace quenda::testing {

struct Bgr {
  uint8_t b = 0, g = 0, r = 0;
  bool operator==(const Bgr&) const = default;
};

// `width` x `height` pixels, top row first, drawn from the first `colours` of a fixed set of
// colours (at most 256; the first 16 all distinct, so 2 or 16 suit a 1- or 4-bit palette).
struct TestPicture {
  int width = 0;
  int height = 0;
  std::vector<Bgr> pixels;
  const Bgr& At(int x, int yFromTop) const { return pixels[std::size_t(yFromTop * width + x)]; }
};

inline TestPicture MakeTestPicture(int width, int height, int colours) {
  static const Bgr kSet[16] = {{0, 0, 0},    {255, 255, 255}, {0, 0, 255},   {0, 255, 0},
                               {255, 0, 0},  {17, 200, 90},   {250, 3, 128}, {64, 64, 64},
                               {1, 2, 254},  {128, 255, 0},   {33, 66, 99},  {200, 100, 50},
                               {90, 91, 92}, {7, 250, 250},   {255, 254, 1}, {140, 20, 230}};
  TestPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = (x * 7 + y * 3) % colours;
      picture.pixels.push_back(i < 16 ? kSet[i]
                                      : Bgr{uint8_t(i * 37), uint8_t(i * 91), uint8_t(255 - i)});
    }
  return picture;
}

inline void PutU16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// An uncompressed bitmap with the 40-byte info header; depths 1, 4 and 8 get a palette of the
// picture's colours in order of first use.
inline std::vector<uint8_t> EncodeTestBmp(const TestPicture& p, int depth, bool topDown) {
  std::vector<Bgr> palette;
  std::vector<unsigned> index;
  for (const Bgr& c : p.pixels) {
    const auto at = std::find(palette.begin(), palette.end(), c);
    index.push_back(unsigned(at - palette.begin()));
    if (at == palette.end()) palette.push_back(c);
  }
  if (depth > 8) palette.clear();
  const std::size_t stride = (std::size_t(p.width) * depth + 31) / 32 * 4;
  const uint32_t offset = uint32_t(14 + 40 + palette.size() * 4);
  std::vector<uint8_t> out{'B', 'M'};
  PutU32(out, uint32_t(offset + stride * p.height));
  PutU32(out, 0);
  PutU32(out, offset);
  PutU32(out, 40);
  PutU32(out, uint32_t(p.width));
  PutU32(out, uint32_t(topDown ? -p.height : p.height));
  PutU16(out, 1);
  PutU16(out, unsigned(depth));
  for (uint32_t v : {0u, uint32_t(stride * p.height), 2835u, 2835u, uint32_t(palette.size()), 0u})
    PutU32(out, v);
  for (const Bgr& c : palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  for (int row = 0; row < p.height; ++row) {
    const int y = topDown ? row : p.height - 1 - row;
    std::vector<uint8_t> line(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const Bgr& c = p.At(x, y);
      if (depth == 24 || depth == 32) {
        uint8_t* px = &line[std::size_t(x) * (depth / 8)];
        px[0] = c.b, px[1] = c.g, px[2] = c.r;
        if (depth == 32) px[3] = 0xFF;
      } else {
        const std::size_t bit = std::size_t(x) * depth;
        line[bit / 8] |= uint8_t(index[std::size_t(y * p.width + x)] << (8 - depth - bit % 8));
      }
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

// An uncompressed Targa: depth 8 is grey (type 3) taking each pixel's blue byte, 24 and 32
// true colour; `topLeft` sets the descriptor's top-first bit and stores the top row first.
inline std::vector<uint8_t> EncodeTestTga(const TestPicture& p, int depth, bool topLeft) {
  std::vector<uint8_t> out{0, 0, uint8_t(depth == 8 ? 3 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  PutU16(out, unsigned(p.width));
  PutU16(out, unsigned(p.height));
  out.push_back(uint8_t(depth));
  out.push_back(uint8_t((topLeft ? 0x20 : 0) | (depth == 32 ? 8 : 0)));
  for (int row = 0; row < p.height; ++row) {
    const int y = topLeft ? row : p.height - 1 - row;
    for (int x = 0; x < p.width; ++x) {
      const Bgr& c = p.At(x, y);
      if (depth == 8) {
        out.push_back(c.b);
        continue;
      }
      out.insert(out.end(), {c.b, c.g, c.r});
      if (depth == 32) out.push_back(0xFF);
    }
  }
  return out;
}

// Binary PPM, the plainest input the converters take.
inline std::vector<uint8_t> EncodeTestPpm(const TestPicture& p) {
  const std::string head =
      "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
  std::vector<uint8_t> out(head.begin(), head.end());
  for (const Bgr& c : p.pixels) out.insert(out.end(), {c.r, c.g, c.b});
  return out;
}

}  // namespace quenda::testing
