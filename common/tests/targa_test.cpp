#include "common/targa.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <functional>
#include <map>
#include <tuple>

#include "common/bmp.h"
#include "testing/picture_files.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;
using namespace std::string_literals;

constexpr std::array kAllReaders = {TargaReader::ComposerPicking, TargaReader::ComposerClipFrame,
                                    TargaReader::PanoramaBackground, TargaReader::PainterImport,
                                    TargaReader::ScannerImport};

struct Header {
  int width = 4;
  int height = 3;
  int depth = 24;
  int type = 2;
  int colorMapType = 0;
  int descriptor = 0;
  int idLength = 0;
};

// A file by hand: header, `idLength` bytes of ID, then pixels whose bytes count up from 1.
std::vector<uint8_t> MakeTarga(const Header& h) {
  std::vector<uint8_t> bytes = {uint8_t(h.idLength), uint8_t(h.colorMapType), uint8_t(h.type)};
  bytes.resize(12, 0);
  for (int v : {h.width, h.height}) bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)});
  bytes.insert(bytes.end(), {uint8_t(h.depth), uint8_t(h.descriptor)});
  static_assert(kTargaHeaderSize == 18);
  for (int i = 0; i < h.idLength; ++i) bytes.push_back(uint8_t(0xA0 + i));
  std::size_t pixels = std::size_t(h.width) * std::size_t(h.height) * std::size_t(h.depth / 8);
  for (std::size_t i = 0; i < pixels; ++i) bytes.push_back(uint8_t(1 + i % 251));
  return bytes;
}

std::vector<uint8_t> PixelsOf(const std::vector<uint8_t>& file, int idLength = 0) {
  return {file.begin() + long(kTargaHeaderSize) + idLength, file.end()};
}

// The stored pixels as the import readers give them: B, G, R with rows in the given order.
std::vector<uint8_t> ImportedPixels(const std::vector<uint8_t>& stored, int width, int height,
                                    int bytesPerPixel, bool turnRows) {
  std::vector<uint8_t> out;
  for (int row = 0; row < height; ++row) {
    int from = turnRows ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &stored[std::size_t((from * width + x) * bytesPerPixel)];
      out.insert(out.end(), p, p + std::min(bytesPerPixel, 3));
    }
  }
  return out;
}

// "ok" or the message, and the check that failed.
std::pair<std::string, TargaCheck> MessageOf(TargaReader reader,
                                             const std::vector<uint8_t>& bytes) {
  TargaCheck check = TargaCheck::None;
  auto image = ParseTarga(bytes, "/d/a.tga", reader, &check);
  return {image.ok() ? "ok" : image.message(), check};
}

// The same for a file; a read that succeeds gives no message.
std::pair<std::string, TargaCheck> ReadMessage(const std::string& path, TargaReader reader) {
  TargaCheck check = TargaCheck::None;
  std::string message = ReadTarga(path, reader, &check).message();
  return {message, check};
}

TEST(Targa, WritesTheExactBytesAndRoundTripsThroughEveryReader) {
  TempDir dir;
  const std::vector<uint8_t> two = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(WriteTarga32(dir.File("a.tga"), 2, 1, two.data(), WriteMessages("failed")).ok());
  EXPECT_EQ(ReadBytes(dir.File("a.tga")),
            (std::vector<uint8_t>{0, 0, 2, 0,  0, 0, 0, 0, 0, 0, 0, 0, 2,
                                  0, 1, 0, 32, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  const int width = 47, height = 33;
  std::vector<uint8_t> pixels(std::size_t(width * height * 4));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 + i / 188) % 256);
  std::string path = dir.File("round.tga");
  ASSERT_TRUE(WriteTarga32(path, width, height, pixels.data(), WriteMessages("failed")).ok());
  for (TargaReader reader : kAllReaders) {
    SCOPED_TRACE(int(reader));
    ASSERT_TRUE(CheckTarga(path, reader).ok());
    auto image = ReadTarga(path, reader);
    ASSERT_TRUE(image.ok()) << image.message();
    bool import = reader == TargaReader::PainterImport || reader == TargaReader::ScannerImport;
    EXPECT_EQ(std::tuple(image->width(), image->height(), image->channels(), image->stride()),
              std::tuple(width, height, import ? 3 : 4, width * (import ? 3 : 4)));
    EXPECT_EQ(image->bytes(), import ? ImportedPixels(pixels, width, height, 4, false) : pixels);
  }
}

TEST(Targa, IdFieldIsSkippedAndExtraBytesIgnored) {
  const Header plain{.width = 5, .height = 3, .depth = 24};
  std::vector<uint8_t> trailing = MakeTarga(plain);
  trailing.insert(trailing.end(), {9, 9, 9, 9});
  const std::vector<uint8_t> withId = MakeTarga({.width = 5, .height = 3, .idLength = 20});
  for (TargaReader reader : kAllReaders)
    for (const std::vector<uint8_t>& file : {MakeTarga(plain), withId, trailing}) {
      SCOPED_TRACE(std::to_string(int(reader)) + " " + std::to_string(file.size()));
      auto image = ParseTarga(file, "a", reader);
      ASSERT_TRUE(image.ok()) << image.message();
      EXPECT_EQ(image->bytes(), PixelsOf(MakeTarga(plain)));
    }
}

// Each reader's texts for the checks that every reader shares.
struct Texts {
  std::string header, idShort, colorMap, type, depth, pixelsShort;
};

// The background program words all but a short picture as the composer does; the scanner all
// but the depth as the painter does.
const std::map<TargaReader, Texts>& TextsByReader() {
  static const std::map<TargaReader, Texts> kTexts = [] {
    std::map<TargaReader, Texts> texts = {
        {TargaReader::ComposerPicking,
         {"/d/a.tga is not a valid targa image", "/d/a.tga is truncated",
          "Can not read targa with image maps, /d/a.tga has maps",
          "/d/a.tga is of unsupported Targa type", "/d/a.tga is of unsupported Targa type",
          "/d/a.tga is truncated"}},
        {TargaReader::ComposerClipFrame,
         {"Clip member: /d/a.tga is not valid", "Clip member: /d/a.tga is incomplete",
          "Clip member: /d/a.tga has maps", "Clip member: /d/a.tga is not RGB or RGBA",
          "Clip member: /d/a.tga is not RGB or RGBA", "Clip member: /d/a.tga is incomplete"}},
        {TargaReader::PainterImport,
         {"Error : /d/a.tga is corrupted!", "Error : /d/a.tga is corrupted!",
          "Error : /d/a.tga has palettes in it, paletted targa is not supported!",
          "Error : /d/a.tga is compressed targa, can not read compressed targa, sorry!",
          "Error : /d/a.tga is not 24 bit !", "Error : /d/a.tga is corrupted!"}}};
    // The background program words all but a short picture as the composer does, and the
    // scanner all but the depth as the painter does.
    texts[TargaReader::PanoramaBackground] = texts[TargaReader::ComposerPicking];
    texts[TargaReader::PanoramaBackground].pixelsShort = "Truncated image file!";
    texts[TargaReader::ScannerImport] = texts[TargaReader::PainterImport];
    texts[TargaReader::ScannerImport].depth =
        "Unsupported Targa Error : /d/a.tga is not 24 bit or 8 bit or 32 bit!";
    return texts;
  }();
  return kTexts;
}

TEST(Targa, BadAndTruncatedFilesGetEachReadersMessage) {
  std::vector<uint8_t> tenByTen = MakeTarga({.width = 10, .height = 10, .depth = 24});
  ASSERT_EQ(tenByTen.size(), 318u);
  std::vector<uint8_t> oneShort(tenByTen.begin(), tenByTen.end() - 1);
  std::vector<uint8_t> idCut = MakeTarga({.idLength = 20});
  idCut.resize(kTargaHeaderSize + 19);
  std::vector<uint8_t> garbage(kTargaHeaderSize - 1, 0xEE);
  std::vector<uint8_t> zeroWidth = MakeTarga({.width = 0});
  std::vector<uint8_t> rle = MakeTarga({.type = 10});
  std::vector<uint8_t> mappedRle = MakeTarga({.type = 10, .colorMapType = 1});
  std::vector<uint8_t> otherMapType = MakeTarga({.colorMapType = 2});

  for (TargaReader reader : kAllReaders) {
    SCOPED_TRACE(int(reader));
    const Texts& t = TextsByReader().at(reader);
    EXPECT_EQ(MessageOf(reader, tenByTen).first, "ok");
    EXPECT_EQ(MessageOf(reader, oneShort), std::pair(t.pixelsShort, TargaCheck::Pixels));
    // One byte short of a header.
    EXPECT_EQ(MessageOf(reader, garbage), std::pair(t.header, TargaCheck::Header));
    EXPECT_EQ(MessageOf(reader, zeroWidth).first, t.header);
    EXPECT_EQ(MessageOf(reader, idCut), std::pair(t.idShort, TargaCheck::IdField));
    EXPECT_EQ(MessageOf(reader, rle), std::pair(t.type, TargaCheck::ImageType));
    EXPECT_EQ(MessageOf(reader, mappedRle), std::pair(t.colorMap, TargaCheck::ColorMap));
    EXPECT_EQ(MessageOf(reader, otherMapType).first, "ok");
    // The header checks alone pass a file whose pixels are short.
    EXPECT_TRUE(CheckTargaBytes(oneShort, "/d/a.tga", reader).ok());
  }
}

TEST(Targa, EachReaderAcceptsItsOwnDepths) {
  struct Row {
    int type, depth;
    bool composerAndBackground, painter, scanner;
  };
  const Row rows[] = {
      {2, 24, true, true, true},    {2, 32, true, true, true},    {2, 8, false, false, true},
      {2, 16, false, false, false}, {2, 15, false, false, false}, {3, 8, false, false, true},
      {3, 24, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.type) + "/" + std::to_string(row.depth));
    std::vector<uint8_t> file = MakeTarga({.depth = row.depth, .type = row.type});
    for (TargaReader reader : kAllReaders) {
      SCOPED_TRACE(int(reader));
      bool accepted = reader == TargaReader::PainterImport   ? row.painter
                      : reader == TargaReader::ScannerImport ? row.scanner
                                                             : row.composerAndBackground;
      const Texts& t = TextsByReader().at(reader);
      bool typeRefused = row.type == 3 && reader != TargaReader::ScannerImport;
      EXPECT_EQ(MessageOf(reader, file).first, accepted ? "ok" : typeRefused ? t.type : t.depth);
    }
  }
  auto grey = ParseTarga(MakeTarga({.depth = 8, .type = 3}), "g", TargaReader::ScannerImport);
  ASSERT_TRUE(grey.ok());
  EXPECT_EQ(std::pair(grey->channels(), grey->bytes()),
            std::pair(1, PixelsOf(MakeTarga({.depth = 8, .type = 3}))));
}

// Other tools (ffmpeg among them) write the top row first and set descriptor bit 5; every
// reader hands the picture back bottom row first all the same.
TEST(Targa, TopLeftOriginIsTurnedByEveryReader) {
  TempDir dir;
  for (int depth : {24, 32}) {
    const int width = 3, height = 4, size = depth / 8;
    std::vector<uint8_t> file(kTargaHeaderSize, 0);
    file[2] = 2, file[12] = width, file[14] = height, file[16] = uint8_t(depth), file[17] = 0x20;
    // Stored top row first: the byte for channel c of (x, y from the bottom) says where it is.
    for (int row = 0; row < height; ++row)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < size; ++c)
          file.push_back(uint8_t(60 * c + 10 * (height - 1 - row) + x));
    const std::string path = dir.File("top" + std::to_string(depth) + ".tga");
    WriteBytes(path, file);
    for (TargaReader reader : kAllReaders) {
      SCOPED_TRACE(std::to_string(depth) + " " + std::to_string(int(reader)));
      Result<Raster> image = ReadTarga(path, reader);
      ASSERT_TRUE(image.ok()) << image.message();
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          for (int c = 0; c < image->channels(); ++c)
            ASSERT_EQ(image->At(x, y)[c], 60 * c + 10 * y + x) << x << "," << y << " " << c;
    }
  }
}

TEST(Targa, MissingAndUnopenableFilesByReader) {
  TempDir dir;
  std::string missing = dir.File("none.tga");
  std::string folder = dir.File("dir.tga");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  struct Row {
    TargaReader reader;
    std::string missing, notOpening;
    TargaCheck missingCheck, notOpeningCheck;
  };
  const Row rows[] = {
      {TargaReader::ComposerPicking, missing + " does not exist",
       "clip image " + folder + " does not exist", TargaCheck::Exists, TargaCheck::Opens},
      {TargaReader::PanoramaBackground, missing + " does not exist",
       "clip image " + folder + " does not exist", TargaCheck::Exists, TargaCheck::Opens},
      {TargaReader::ComposerClipFrame, "Clip member: " + missing + " does not exist",
       "Internal Error : The clip image " + folder + " does not exists", TargaCheck::Exists,
       TargaCheck::Opens},
      {TargaReader::PainterImport, "Error : " + missing + " does not exist!",
       "Error : " + folder + " is corrupted!", TargaCheck::Exists, TargaCheck::Header},
      {TargaReader::ScannerImport, "Error : " + missing + " is corrupted!",
       "Error : " + folder + " is corrupted!", TargaCheck::Header, TargaCheck::Header},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(int(row.reader));
    EXPECT_EQ(ReadMessage(missing, row.reader), std::pair(row.missing, row.missingCheck));
    EXPECT_EQ(CheckTarga(missing, row.reader).message(), row.missing);
    EXPECT_EQ(ReadMessage(folder, row.reader), std::pair(row.notOpening, row.notOpeningCheck));
  }
}

TEST(Targa, FileChecksReadOnlyTheHeaderAndReadsOnlyThePicture) {
  TempDir dir;
  std::string path = dir.File("short.tga");
  std::vector<uint8_t> file = MakeTarga({.width = 10, .height = 10, .depth = 24});
  file.pop_back();
  WriteBytes(path, file);
  EXPECT_TRUE(CheckTarga(path, TargaReader::ComposerPicking).ok());
  EXPECT_EQ(ReadMessage(path, TargaReader::ComposerClipFrame),
            std::pair("Clip member: " + path + " is incomplete", TargaCheck::Pixels));

  // A header claiming the largest picture, over a tiny file, is a short read, not an allocation.
  WriteBytes(path, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 32, 0, 1, 2, 3});
  EXPECT_EQ(ReadTarga(path, TargaReader::PanoramaBackground).message(), "Truncated image file!");
}

TEST(Targa, FailedWritesKeepTheOldFile) {
  TempDir dir;
  std::string path = dir.File("out.tga");
  WriteBytes(path, {1, 2, 3});
  std::vector<uint8_t> pixels(5 * 4 * 4, 7);
  const WriteMessages texts("cannot create", "short write");
  auto write = [&](const std::string& target, int width, int height) -> Status {
    Status status = WriteTarga32(target, width, height, pixels.data(), texts);
    bool kindMatches =
        status.kind() ==
        (status.message() == "cannot create" ? ErrorKind::CannotCreate : ErrorKind::ShortWrite);
    return kindMatches ? status : Error{"wrong kind: " + status.message()};
  };
  // The limit lets the header and a few pixels through.
  EXPECT_EQ(FailedWriteMessages(path, 30, [&] { return write(path, 5, 4); }),
            std::pair("cannot create"s, "short write"s));
  EXPECT_EQ(write(dir.File("wide.tga"), 65536, 1).message(), "cannot create");
  EXPECT_EQ(write(dir.File("empty.tga"), 0, 4).message(), "cannot create");
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"out.tga"});
}

// Windows bitmaps, the other picture files taken in.
TEST(Bmp, EveryDepthBothRowOrdersGiveThePicture) {
  for (int depth : {1, 4, 8, 24, 32})
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(std::to_string(depth) + (topDown ? " top-down" : " bottom-up"));
      auto picture = MakeTestPicture(5, 3, depth == 1 ? 2 : 16);
      auto read = ParseBmp(EncodeTestBmp(picture, depth, topDown), "p.bmp");
      ASSERT_TRUE(read.ok()) << read.message();
      ASSERT_EQ(std::pair(read->width(), read->height()), std::pair(5, 3));
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
          const uint8_t* px = read->At(x, 2 - y);  // bottom row first
          const auto& want = picture.At(x, y);
          EXPECT_EQ((std::array<int, 3>{px[0], px[1], px[2]}),
                    (std::array<int, 3>{want.b, want.g, want.r}))
              << x << "," << y;
        }
    }
}

TEST(Bmp, BadAndTruncatedFilesAreRefusedWithTheirMessage) {
  const auto good = EncodeTestBmp(MakeTestPicture(5, 3, 16), 8, false);
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  const struct {
    const char* name;
    Edit edit;
    const char* message;  // after the path
  } kCases[] = {{"empty", [](auto& b) { b.clear(); }, " is not a Windows bitmap!"},
                {"other magic", [](auto& b) { b[0] = 'P'; }, " is not a Windows bitmap!"},
                {"header cut", [](auto& b) { b.resize(30); }, " is truncated!"},
                {"run-length", [](auto& b) { b[30] = 1; },
                 " is compressed bitmap, can not read compressed bitmaps, sorry!"},
                {"png inside", [](auto& b) { b[30] = 5; },
                 " is compressed bitmap, can not read compressed bitmaps, sorry!"},
                {"no planes", [](auto& b) { b[26] = 0; }, " is corrupted!"},
                {"zero width", [](auto& b) { b[18] = 0; }, " is corrupted!"},
                {"palette too long", [](auto& b) { b[46] = 0x2C, b[47] = 1; }, " is corrupted!"},
                {"header size 20", [](auto& b) { b[14] = 20; }, " is corrupted!"},
                {"pixels cut", [](auto& b) { b.erase(b.end() - 9, b.end()); }, " is truncated!"},
                {"pixels past the end", [](auto& b) { b[12] = 0x10; }, " is truncated!"}};
  TempDir dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto bytes = good;
    c.edit(bytes);
    const std::string path = dir.File("bad.bmp");
    WriteBytes(path, bytes);
    auto read = ReadBmp(path);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.message(), "Error : " + path + c.message);
  }
  auto sixteen = good;
  sixteen[28] = 16;
  WriteBytes(dir.File("16.bmp"), sixteen);
  EXPECT_EQ(ReadBmp(dir.File("16.bmp")).message(),
            "Unsupported Bitmap Error : " + dir.File("16.bmp") + " is not 1, 4, 8, 24 or 32 bit!");
  EXPECT_EQ(ReadBmp(dir.File("none.bmp")).message(),
            "Error : " + dir.File("none.bmp") + " can not be opened!");
}

TEST(Bmp, EveryShortenedFileIsRefusedUntilOnlyTheLastPaddingIsMissing) {
  // 5 pixels of 24 bits: 15 bytes a row padded to 16, so the file may lose 1 byte.
  const auto good = EncodeTestBmp(MakeTestPicture(5, 3, 16), 24, true);
  for (std::size_t size = 0; size < good.size(); ++size) {
    auto read = ParseBmp(std::span(good.data(), size), "p.bmp");
    EXPECT_EQ(read.ok(), size + 1 >= good.size()) << size;
  }
}

}  // namespace
}  // namespace quenda
