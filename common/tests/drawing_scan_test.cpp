#include "common/drawing_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;
using namespace std::string_literals;

DrawingScan MakeScan(int width, int height) {
  DrawingScan scan{300, kPegRight, 1234, 567, Raster(width, height, 1)};
  for (int i = 0; i < width * height; ++i)
    scan.picture.data()[i] = uint8_t((i * 7 + i / width) & 0xFF);
  return scan;
}

// A grey Targa header as another program might write it.
struct ForeignHeader {
  uint8_t idLength = 0, mapType = 0, imageType = 3;
  uint16_t mapFirst = 0, mapLength = 0;
  uint8_t entrySize = 0;
  uint16_t x = 0, y = 0, width = 4, height = 2;
  uint8_t bits = 8, descriptor = 0;
};

std::vector<uint8_t> Bytes(const ForeignHeader& h, const std::string& id, std::size_t pixels) {
  std::vector<uint8_t> b = {h.idLength, h.mapType, h.imageType};
  for (uint16_t v : {h.mapFirst, h.mapLength}) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
  b.push_back(h.entrySize);
  for (uint16_t v : {h.x, h.y, h.width, h.height}) b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
  b.insert(b.end(), {h.bits, h.descriptor});
  static_assert(kDrawingScanHeaderSize == 18);
  for (char c : id) b.push_back(uint8_t(c));
  for (std::size_t i = 0; i < pixels; ++i) b.push_back(uint8_t(10 + i));
  return b;
}

// dpi, peg, x and y of the bed position.
std::tuple<int, int, int, int> Facts(const DrawingScan& s) {
  return {s.dpi, s.pegPosition, s.xPosition, s.yPosition};
}

std::string Message(std::span<const uint8_t> bytes, ScanReader who, const std::string& path) {
  return ParseDrawingScan(bytes, who, path).message();
}

TEST(DrawingScanFile, SizeAndExactHeaderBytes) {
  TempDir dir;
  ASSERT_TRUE(WriteDrawingScan(dir.File("a2.qds"), MakeScan(100, 50), ScanWriter::Analyzer).ok());
  std::vector<uint8_t> file = ReadBytes(dir.File("a2.qds"));
  ASSERT_EQ(file.size(), 5018u);
  std::vector<uint8_t> header(file.begin(), file.begin() + 18);
  // 300 dpi, peg 1, x 1234, y 567, 100 x 50, 8 bits, descriptor 0.
  EXPECT_EQ(header, (std::vector<uint8_t>{0, 0, 3, 0x2C, 0x01, 1, 0, 0, 0xD2, 0x04, 0x37, 0x02, 100,
                                          0, 50, 0, 8, 0}));
}

// Ours at an odd size, and a foreign grey Targa stored top row first (descriptor bit 5, as other
// tools write it), whose rows are turned.
TEST(DrawingScanFile, OursAndForeignGreyTargasReadTheSameForEveryReader) {
  TempDir dir;
  DrawingScan scan = MakeScan(47, 33);
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk1.qds"), scan, ScanWriter::Scanner).ok());
  WriteBytes(dir.File("f1.qds"), Bytes({.x = 5, .y = 260, .descriptor = 0x20}, "", 8));
  for (ScanReader who : {ScanReader::Analyzer, ScanReader::Scanner, ScanReader::Painter}) {
    auto loaded = ReadDrawingScan(dir.File("walk1.qds"), who);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(Facts(loaded->scan), std::tuple(300, kPegRight, 1234, 567));
    EXPECT_EQ(loaded->scan.picture, scan.picture);
    EXPECT_TRUE(loaded->idText.empty() && !loaded->warning.has_value());
    auto foreign = ReadDrawingScan(dir.File("f1.qds"), who);
    ASSERT_TRUE(foreign.ok()) << foreign.message();
    EXPECT_EQ(Facts(foreign->scan), std::tuple(0, 0, 5, 260));
    EXPECT_EQ(foreign->scan.picture.bytes(),
              (std::vector<uint8_t>{14, 15, 16, 17, 10, 11, 12, 13}));
  }
}

TEST(DrawingScanFile, IdFieldIsShownAndSkippedByTheAnalyzerOnly) {
  ForeignHeader h{.idLength = 5};
  std::string id("ab\0cd", 5);
  std::vector<uint8_t> bytes = Bytes(h, id, 8);

  // The analyzer skips the text; the scanner shows it but reads its pixels from offset 18, ID
  // bytes included; the painter never looks at the ID length.
  const std::tuple<ScanReader, std::string, std::vector<uint8_t>> readers[] = {
      {ScanReader::Analyzer, id, {10, 11, 12, 13, 14, 15}},
      {ScanReader::Scanner, id, {'a', 'b', 0, 'c', 'd', 10}},
      {ScanReader::Painter, "", {'a', 'b', 0, 'c', 'd', 10}}};
  for (const auto& [who, text, first] : readers) {
    auto loaded = ParseDrawingScan(bytes, who, "f.qds");
    ASSERT_TRUE(loaded.ok());
    const std::vector<uint8_t>& pixels = loaded->scan.picture.bytes();
    EXPECT_EQ(std::tuple(loaded->idText, std::vector(pixels.begin(), pixels.begin() + 6)),
              std::tuple(text, first))
        << int(who);
  }

  // An ID field cut short fails for the readers that read it.
  std::vector<uint8_t> cut = Bytes(h, "ab", 0);
  EXPECT_EQ(Message(cut, ScanReader::Analyzer, "f.qds"), "Unexpected end of file!");
  EXPECT_EQ(Message(cut, ScanReader::Scanner, "f.qds"), "Unexpected end of file: f.qds");
}

TEST(DrawingScanFile, HeaderChecksInOrderWithEachProgramsWording) {
  const std::string p = "/anim/walk1.qds";
  struct Case {
    const char* what;
    ForeignHeader header;
    const char* analyzer;
    const char* others;  // scanner and painter, path appended
  };
  const Case cases[] = {
      // A map is refused even with type 3, and before the type is looked at.
      {"map", {.mapType = 1}, "Can not read images with maps!", "Can not read images with maps: "},
      {"map before type",
       {.mapType = 1, .imageType = 1},
       "Can not read images with maps!",
       "Can not read images with maps: "},
      // The type check comes before the depth check.
      {"colour",
       {.imageType = 2, .bits = 24},
       "Can only read Quenda Drawing Scan images!",
       "Can only read Quenda Drawing Scan images: "},
      {"rle grey",
       {.imageType = 11},
       "Can only read Quenda Drawing Scan images!",
       "Can only read Quenda Drawing Scan images: "},
      {"16 bit", {.bits = 16}, "Can only read 8 bit images!", "Can only read 8 bit images: "},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = Bytes(c.header, "", 8 * 3);
    EXPECT_EQ(Message(bytes, ScanReader::Analyzer, p), c.analyzer) << c.what;
    for (ScanReader who : {ScanReader::Scanner, ScanReader::Painter})
      EXPECT_EQ(Message(bytes, who, p), c.others + p) << c.what;
  }
}

TEST(DrawingScanFile, SizesOutsideTheCapacityAreRefused) {
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {10001, 1}, {1, 65535}}) {
    std::vector<uint8_t> bytes = Bytes({.width = uint16_t(w), .height = uint16_t(h)}, "", 16);
    EXPECT_EQ(Message(bytes, ScanReader::Analyzer, "x"), "Image size out of range!");
    EXPECT_EQ(Message(bytes, ScanReader::Scanner, "x"), "Image size out of range: x");
  }
  EXPECT_TRUE(
      ParseDrawingScan(Bytes({.width = 10000, .height = 1}, "", 10000), ScanReader::Painter, "x")
          .ok());
}

TEST(DrawingScanFile, TheSheetChecksAsThePainterDoes) {
  const ForeignHeader withId{.idLength = 200};  // not looked at: the file is far shorter
  const ForeignHeader headers[] = {{}, {.mapType = 1}, {.imageType = 2}, {.width = 10001}, withId};
  for (const ForeignHeader& h : headers) {
    std::vector<uint8_t> bytes = Bytes(h, "", 16);
    auto painter = ParseDrawingScanHeader(bytes, ScanReader::Painter, "x");
    auto sheet = ParseDrawingScanHeader(bytes, ScanReader::Sheet, "x");
    EXPECT_EQ(sheet.ok(), painter.ok());
    EXPECT_EQ(sheet.message(), painter.message());
  }
  EXPECT_TRUE(ParseDrawingScanHeader(Bytes(withId, "", 0), ScanReader::Sheet, "x").ok());
}

TEST(DrawingScanFile, TheCelViewerChecksAndWordsItsOwnWay) {
  struct Case {
    const char* what;
    ForeignHeader header;
    std::size_t pixels;
    const char* message;  // "" when the drawing is shown
  };
  const ForeignHeader mapType2{.mapType = 2};               // accepted by the other readers
  const ForeignHeader widest{.width = 65535, .height = 1};  // beyond the others' limit
  const ForeignHeader withId{.idLength = 3};                // not looked at: the pixels start at 18
  const Case cases[] = {{"plain", {}, 8, ""},
                        {"map type 1", {.mapType = 1}, 8, "Incorrect image type!"},
                        {"map type 2", mapType2, 8, "Incorrect image type!"},
                        {"colour", {.imageType = 2}, 8, "Incorrect image type!"},
                        {"16 bit", {.bits = 16}, 16, "Incorrect image type!"},
                        {"no rows", {.height = 0}, 8, "Can't Display Zero length image!"},
                        {"short pixels", {}, 7, "Unexpected End of Input file"},
                        {"widest", widest, 65535, ""},
                        {"widest short", widest, 65534, "Unexpected End of Input file"},
                        {"id ignored", withId, 8, ""}};
  for (const Case& c : cases) {
    auto loaded = ParseDrawingScan(Bytes(c.header, "", c.pixels), ScanReader::CelViewer, "x");
    EXPECT_EQ(loaded.message(), c.message) << c.what;
  }
  auto shown = ParseDrawingScan(Bytes(withId, "", 8), ScanReader::CelViewer, "x");
  ASSERT_TRUE(shown.ok());
  EXPECT_TRUE(shown->idText.empty());
  EXPECT_EQ(shown->scan.picture.bytes(), (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17}));
  EXPECT_TRUE(ParseDrawingScan(Bytes(mapType2, "", 8), ScanReader::Painter, "x").ok());
  EXPECT_EQ(Message({}, ScanReader::CelViewer, "x"), "Unexpected End of Input file");
}

TEST(DrawingScanFile, TruncatedAndGarbageInputs) {
  const std::string p = "/anim/walk1.qds";
  std::vector<uint8_t> whole = Bytes(ForeignHeader{}, "", 8);
  for (std::size_t n : {0, 1, 17}) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(n));
    EXPECT_EQ(Message(part, ScanReader::Analyzer, p), "Unexpected end of file!");
    for (ScanReader who : {ScanReader::Scanner, ScanReader::Painter})
      EXPECT_EQ(Message(part, who, p), "Unexpected end of file: " + p) << n;
  }
  // Garbage claims a 165-byte ID field: too long for 64 bytes, except for the painter.
  std::vector<uint8_t> garbage(64, 0xA5);
  EXPECT_EQ(Message(garbage, ScanReader::Scanner, p), "Unexpected end of file: " + p);
  EXPECT_EQ(Message(garbage, ScanReader::Painter, p),
            "Can only read Quenda Drawing Scan images: " + p);
  garbage.resize(300, 0xA5);
  EXPECT_EQ(Message(garbage, ScanReader::Analyzer, p), "Can only read Quenda Drawing Scan images!");
  garbage[1] = 1;
  EXPECT_EQ(Message(garbage, ScanReader::Analyzer, p), "Can not read images with maps!");
}

TEST(DrawingScanFile, ShortPixelsWarnTheAnalyzerAndFailTheOthers) {
  const std::string p = "/anim/walk1.qds";
  ForeignHeader h{.width = 4, .height = 3};
  std::vector<uint8_t> bytes = Bytes(h, "", 5);  // 5 of 12 pixels
  auto analyzer = ParseDrawingScan(bytes, ScanReader::Analyzer, p);
  ASSERT_TRUE(analyzer.ok());
  EXPECT_EQ(analyzer->warning, "Error reading image " + p + " : Unexpected end of file");
  EXPECT_EQ(analyzer->scan.picture.bytes(),
            (std::vector<uint8_t>{10, 11, 12, 13, 14, 255, 255, 255, 255, 255, 255, 255}));
  for (ScanReader who : {ScanReader::Scanner, ScanReader::Painter})
    EXPECT_EQ(Message(bytes, who, p), "Error reading image: unexpected end of file: " + p);

  // A header claiming the largest picture over a tiny file never trusts the claim to read.
  h.width = 10000;
  h.height = 10000;
  std::vector<uint8_t> tiny = Bytes(h, "", 3);
  EXPECT_EQ(Message(tiny, ScanReader::Scanner, p),
            "Error reading image: unexpected end of file: " + p);
  // Extra bytes after the pixels are not part of the picture.
  h.width = 2;
  h.height = 2;
  auto extra = ParseDrawingScan(Bytes(h, "", 9), ScanReader::Scanner, p);
  ASSERT_TRUE(extra.ok());
  EXPECT_EQ(extra->scan.picture.bytes(), (std::vector<uint8_t>{10, 11, 12, 13}));
}

TEST(DrawingScanFile, PixelReadRechecksTheTypeForTheAnalyzer) {
  const std::string p = "/anim/walk1.qds";
  std::vector<uint8_t> bytes = Bytes(ForeignHeader{}, "", 8);
  auto header = ParseDrawingScanHeader(bytes, ScanReader::Analyzer, p);
  ASSERT_TRUE(header.ok());
  bytes[2] = 2;  // the file changed between the two reads
  auto pixels = ParseDrawingScanPixels(bytes, *header, ScanReader::Analyzer, p);
  EXPECT_EQ(pixels.message(), "Can only read uncompressed Grayscale targa images!");
  EXPECT_TRUE(ParseDrawingScanPixels(bytes, *header, ScanReader::Scanner, p).ok());
}

TEST(DrawingScanFile, MissingFileMessages) {
  TempDir dir;
  std::string p = dir.File("none.qds");
  EXPECT_EQ(ReadDrawingScan(p, ScanReader::Analyzer).message(), "Error opening file " + p + "\n");
  EXPECT_EQ(ReadDrawingScan(p, ScanReader::Scanner).message(), "Error opening file: " + p);
  EXPECT_EQ(ReadDrawingScan(p, ScanReader::CelViewer).message(), "Error opening file for reading!");
  EXPECT_EQ(ReadDrawingScanHeader(p, ScanReader::Painter).message(), "Error opening file: " + p);
  DrawingScanHeader header;
  header.width = header.height = 1;
  EXPECT_EQ(ReadDrawingScanPixels(p, header, ScanReader::Scanner).message(),
            "Error opening file: " + p);
  std::filesystem::create_directory(dir.File("d.qds"));
  EXPECT_EQ(ReadDrawingScan(dir.File("d.qds"), ScanReader::Scanner).message(),
            "Error opening file: " + dir.File("d.qds"));
  WriteBytes(dir.File("empty.qds"), {});
  EXPECT_EQ(ReadDrawingScan(dir.File("empty.qds"), ScanReader::Analyzer).message(),
            "Unexpected end of file!");
}

TEST(DrawingScanWriter, RefusesScansThatCannotBeStored) {
  TempDir dir;
  using Spoil = void (*)(DrawingScan&);
  // A colour picture is not a drawing.
  const std::pair<Spoil, const char*> cases[] = {
      {[](DrawingScan& s) { s.picture.bytes().pop_back(); }, "holds 5 pixels instead of 6"},
      {[](DrawingScan& s) { s.picture = Raster(0, 2, 1); }, "size 0x2 is out of range"},
      {[](DrawingScan& s) { s.picture = Raster(10001, 1, 1); }, "size 10001x1 is out of range"},
      {[](DrawingScan& s) { s.xPosition = -1; }, "header values do not fit the file"},
      {[](DrawingScan& s) { s.picture = Raster(3, 2, 3); }, "holds 18 pixels instead of 6"}};
  for (const auto& [spoil, message] : cases) {
    DrawingScan scan = MakeScan(3, 2);
    spoil(scan);
    for (ScanWriter writer : {ScanWriter::Scanner, ScanWriter::Analyzer})
      EXPECT_EQ(WriteDrawingScan(dir.File("bad.qds"), scan, writer).message(),
                std::string("Drawing scan ") + message);
  }
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
}

TEST(DrawingScanWriter, FailuresLeaveTheOldFileIntact) {
  TempDir dir;
  std::string p = dir.File("walk1.qds");
  ASSERT_TRUE(WriteDrawingScan(p, MakeScan(5, 4), ScanWriter::Scanner).ok());
  DrawingScan next = MakeScan(47, 33);
  auto fail = [&](ScanWriter writer, long long limit) {
    return FailedWriteMessages(p, limit, [&] { return WriteDrawingScan(p, next, writer); });
  };
  EXPECT_EQ(fail(ScanWriter::Scanner, 100),
            std::pair("Error writing scanned file " + p + " : Disk Full or Write Protected?",
                      "Error writing scanned image " + p + " : Disk full or write protected"));
  EXPECT_EQ(fail(ScanWriter::Analyzer, 0),
            std::pair("Error writing scan file"s,
                      "Error writing scan image " + p + " : Disk full or write protected"));
}

}  // namespace
}  // namespace quenda
