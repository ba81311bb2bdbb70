#include "common/archive.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/atomic_file.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

// The string read from `bytes`, whether the reader is still good, and whether it is at the end.
std::tuple<std::string, bool, bool> ReadString(const std::vector<uint8_t>& bytes) {
  ArchiveReader reader(bytes);
  std::string text = reader.String();
  return {text, reader.ok(), reader.AtEnd()};
}

TEST(Archive, StringFormsAtTheirBoundaries) {
  struct Case {
    std::size_t length;
    std::vector<uint8_t> prefix;
  };
  const Case cases[] = {{0, {0x00}},
                        {254, {0xFE}},
                        {255, {0xFF, 0xFF, 0x00}},
                        {0xFFFD, {0xFF, 0xFD, 0xFF}},
                        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string text(c.length, 'q');
    if (!text.empty()) text.back() = 'z';
    ArchiveWriter writer;
    writer.String(text);
    std::vector<uint8_t> bytes = writer.bytes();
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin()));
    EXPECT_EQ(ReadString(bytes), std::tuple(text, true, true));
    // One byte short anywhere fails cleanly.
    bytes.pop_back();
    EXPECT_EQ(ReadString(bytes), std::tuple("", false, true));
  }
}

TEST(Archive, ReaderAcceptsLongFormsOfShortStringsButNotTheReservedWord) {
  const std::vector<uint8_t> sixteen = {0xFF, 0x03, 0x00, 'a', 'b', 'c'};
  const std::vector<uint8_t> thirtyTwo = {0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 'h', 'i', 7};
  EXPECT_EQ(ReadString(sixteen), std::tuple("abc", true, true));
  ArchiveReader b(thirtyTwo);
  EXPECT_EQ(b.String(), "hi");
  EXPECT_EQ(b.U8(), 7);
  EXPECT_TRUE(b.ok());

  std::vector<uint8_t> reserved = {0xFF, 0xFE, 0xFF};
  reserved.resize(reserved.size() + 0xFFFE, 'x');
  EXPECT_EQ(ReadString(reserved), std::tuple("", false, true));
}

TEST(Archive, LengthsBeyondTheDataFailWithoutReadingOrAllocatingThem) {
  const std::vector<std::vector<uint8_t>> inputs = {
      {},
      {0x05, 'a', 'b'},
      {0xFF},
      {0xFF, 0x10},
      {0xFF, 0x00, 0x10, 'a'},
      {0xFF, 0xFF, 0xFF, 0x01},
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'},
  };
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.size());
    ArchiveReader reader(input);
    EXPECT_EQ(reader.String(), "");
    EXPECT_FALSE(reader.ok());
    // Failure is sticky: nothing more is read, even what would fit.
    EXPECT_EQ(reader.U8(), 0);
    EXPECT_FALSE(reader.ok());
  }
}

TEST(Archive, NumbersAreLittleEndianAndTruncatedOnesFail) {
  ArchiveWriter writer;
  writer.U8(0xAB);
  writer.U16(0x1234);
  writer.I16(-2);
  writer.U32(0xDEADBEEF);
  writer.I32(-123456789);
  writer.F32(1.5f);
  writer.F64(-0.1);
  const std::vector<uint8_t> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xEF, 0xBE, 0xAD, 0xDE,
                                         0xEB, 0x32, 0xA4, 0xF8, 0x00, 0x00, 0xC0, 0x3F, 0x9A,
                                         0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0xBF};
  EXPECT_EQ(writer.bytes(), expected);

  // Whatever was complete before a cut still reads right; a field cut short reads as 0.
  for (std::size_t keep = 0; keep < expected.size(); ++keep) {
    SCOPED_TRACE(keep);
    std::vector<uint8_t> cut(expected.begin(), expected.begin() + long(keep));
    ArchiveReader reader(cut);
    EXPECT_EQ(reader.U8(), keep >= 1 ? 0xAB : 0);
    EXPECT_EQ(reader.U16(), keep >= 3 ? 0x1234 : 0);
    EXPECT_EQ(reader.I16(), keep >= 5 ? -2 : 0);
    EXPECT_EQ(reader.U32(), keep >= 9 ? 0xDEADBEEFu : 0u);
    EXPECT_EQ(reader.I32(), keep >= 13 ? -123456789 : 0);
    EXPECT_EQ(reader.F32(), keep >= 17 ? 1.5f : 0.0f);
    EXPECT_EQ(reader.F64(), 0.0);
    EXPECT_FALSE(reader.ok());
  }
}

TEST(Archive, SaveAndLoadFailuresKeepTheOldFileAndSaySo) {
  TempDir dir;
  std::string path = dir.File("sheet.dgr");
  WriteBytes(path, {1, 2, 3});
  ArchiveWriter writer;
  writer.String(std::string(100, 'x'));

  EXPECT_EQ(FailedWriteMessages(path, 10, [&] { return SaveArchive(path, writer); }),
            std::pair("Could not write " + path + ": the file or its folder may be read only.",
                      "Could not write " + path +
                          ": the disk may be full. The previous file is unchanged."));
  EXPECT_EQ(LoadArchive(dir.File("none.dgr")).message(),
            "Could not open " + dir.File("none.dgr") + ".");
  EXPECT_EQ(ArchiveEndsEarly(path).message,
            path + " is incomplete or damaged and could not be read.");
}

}  // namespace
}  // namespace quenda
