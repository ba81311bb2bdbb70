// The OpenEXR layout check: whole files pass; every cut-short file, a header attribute larger
// than the file and an offset table the file cannot hold are refused before the library reads.

#include "common/exr_layout_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "common/studio_picture.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

ByteReader Over(const std::vector<uint8_t>& bytes) {
  return [&bytes](uint64_t offset, uint64_t count) {
    const uint64_t from = std::min<uint64_t>(offset, bytes.size());
    const uint64_t to = std::min<uint64_t>(bytes.size(), from + count);
    return std::vector<uint8_t>(bytes.begin() + long(from), bytes.begin() + long(to));
  };
}

std::optional<std::string> ProblemOf(const std::vector<uint8_t>& bytes) {
  return ExrLayoutProblem(Over(bytes), bytes.size());
}

std::vector<uint8_t> EncodedExr(int width, int height) {
  Raster picture(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.At(x, y)[1] = uint8_t(x * 7 + y);
  StudioWriteOptions options;
  options.format = PictureFormat::Exr;
  Result<std::vector<uint8_t>> bytes = EncodeStudioPicture(picture, options);
  EXPECT_TRUE(bytes.ok()) << bytes.message();
  return bytes.ok() ? *bytes : std::vector<uint8_t>{};
}

// Builds headers by hand, attribute by attribute.
struct HeaderBytes {
  std::vector<uint8_t> bytes;
  explicit HeaderBytes(uint32_t flags) {
    Word(20000630);
    Word(2 | flags);
  }
  void Word(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
  void Text(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
  }
  void Attribute(const std::string& name, const std::string& type,
                 const std::vector<uint32_t>& words, uint32_t statedSize = 0) {
    Text(name);
    Text(type);
    Word(statedSize ? statedSize : uint32_t(4 * words.size()));
    for (uint32_t w : words) Word(w);
  }
  void End() { bytes.push_back(0); }
  void Table(std::size_t chunks) { bytes.resize(bytes.size() + 8 * chunks, 0); }
};

TEST(ExrLayoutCheck, WholeFilesPassAndEveryCutOfTheHeaderOrTableIsRefused) {
  for (const auto& [width, height] : {std::pair{1, 1}, {5, 16}, {9, 17}, {40, 100}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const std::vector<uint8_t> whole = EncodedExr(width, height);
    ASSERT_FALSE(whole.empty());
    EXPECT_EQ(ProblemOf(whole), std::nullopt);
    // Our writer uses ZIP, 16 scan lines a chunk. The shortest cut that passes ends exactly
    // where the offset table does: the table's first entry points there, at the first chunk.
    const std::size_t chunks = std::size_t((height + 15) / 16);
    std::size_t shortest = 0;
    while (shortest < whole.size() &&
           ProblemOf({whole.begin(), whole.begin() + long(shortest)}).has_value())
      ++shortest;
    ASSERT_GE(shortest, 8 * chunks + 8);
    uint64_t firstChunk = 0;
    for (int i = 7; i >= 0; --i) firstChunk = firstChunk << 8 | whole[shortest - 8 * chunks + i];
    EXPECT_EQ(firstChunk, shortest);
  }
}

TEST(ExrLayoutCheck, HandBuiltHeadersByTheirTables) {
  const uint32_t kTiled = 0x200, kMultipart = 0x1000;
  auto scanline = [](uint8_t compression, int height) {
    HeaderBytes h(0);
    h.Attribute("dataWindow", "box2i", {0, 0, 9, uint32_t(height - 1)});
    h.Text("compression");
    h.Text("compression");
    h.Word(1);
    h.bytes.push_back(compression);
    h.End();
    return h;
  };
  // Each header passes with its whole offset table and is refused a whole entry or one byte
  // short of it.
  auto expectTable = [](const HeaderBytes& header, std::size_t chunks) {
    const std::string tooShort =
        "the file is too short for the " + std::to_string(chunks) + " chunks its header names";
    HeaderBytes whole = header, entryShort = header;
    whole.Table(chunks);
    EXPECT_EQ(ProblemOf(whole.bytes), std::nullopt);
    entryShort.Table(chunks - 1);
    EXPECT_EQ(ProblemOf(entryShort.bytes), tooShort);
    whole.bytes.pop_back();
    EXPECT_EQ(ProblemOf(whole.bytes), tooShort);
  };
  const struct {
    uint8_t compression;
    int height;
    std::size_t chunks;
  } kScanline[] = {{0, 10, 10}, {3, 17, 2}, {4, 33, 2}, {9, 256, 1}, {9, 257, 2}};
  for (const auto& c : kScanline) {
    SCOPED_TRACE(int(c.compression));
    expectTable(scanline(c.compression, c.height), c.chunks);
  }
  // Tiled: 10 x 20 pixels in 4 x 8 tiles are 3 x 3 tiles at full size.
  HeaderBytes tiled(kTiled);
  tiled.Attribute("dataWindow", "box2i", {0, 0, 9, 19});
  tiled.Text("tiles");
  tiled.Text("tiledesc");
  tiled.Word(9);
  tiled.Word(4);
  tiled.Word(8);
  tiled.bytes.push_back(0);
  tiled.End();
  expectTable(tiled, 9);
  // Two parts state their chunk counts; an empty header ends the list.
  HeaderBytes parts(kMultipart);
  parts.Attribute("chunkCount", "int", {3});
  parts.End();
  parts.Attribute("chunkCount", "int", {4});
  parts.End();
  parts.End();
  expectTable(parts, 7);

  // An attribute claiming more than the file holds, whatever its name.
  for (const char* name : {"capDate", "dataWindow"}) {
    HeaderBytes lying(0);
    lying.Attribute(name, "string", {1, 2}, 1u << 30);
    lying.End();
    EXPECT_EQ(ProblemOf(lying.bytes), std::string("its header's attribute \"") + name +
                                          "\" claims 1073741824 bytes, more than the file holds");
  }
  // Names without their end, a header without attributes, not an OpenEXR file.
  HeaderBytes endless(0);
  endless.bytes.insert(endless.bytes.end(), 300, 'a');
  EXPECT_EQ(ProblemOf(endless.bytes), "its header is cut short");
  HeaderBytes empty(0);
  empty.End();
  EXPECT_EQ(ProblemOf(empty.bytes), "its header holds no attributes");
  EXPECT_EQ(ProblemOf({'P', 'K', 3, 4, 0, 0, 0, 0}), "it is not an OpenEXR file");
}

// A 225-byte file found by fuzzing: its first attribute claims 1.2 GB, which the library took
// seconds to find missing. Refused by the picture reader with the check's reason.
TEST(ExrLayoutCheck, TheReaderRefusesAnAttributeLargerThanTheFile) {
  HeaderBytes h(0);
  h.Attribute("capDate", "string", {}, 0x474e5089);
  h.bytes.resize(225, 0);
  Result<StudioPicture> read = ParseStudioPicture(h.bytes, "fuzz.exr");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(),
            "Cannot read picture fuzz.exr: its header's attribute \"capDate\" claims 1196314761 "
            "bytes, more than the file holds");
  testing::TempDir dir;
  testing::WriteBytes(dir.File("lying.exr"), h.bytes);
  Result<StudioPictureHeader> header = ReadStudioPictureHeader(dir.File("lying.exr"));
  ASSERT_FALSE(header.ok());
  EXPECT_EQ(header.message(), "Cannot read picture " + dir.File("lying.exr") +
                                  ": its header's attribute \"capDate\" claims 1196314761 bytes, "
                                  "more than the file holds");
}

}  // namespace
}  // namespace quenda
