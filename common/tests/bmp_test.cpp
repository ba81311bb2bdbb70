#include "common/bmp.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "testing/picture_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

TEST(Bmp, EveryDepthBothRowOrdersGiveThePicture) {
  for (int depth : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(std::to_string(depth) + (topDown ? " top-down" : " bottom-up"));
      auto picture = MakeTestPicture(5, 3, depth == 1 ? 2 : 16);
      auto read = ParseBmp(EncodeTestBmp(picture, depth, topDown), "p.bmp");
      ASSERT_TRUE(read.ok()) << read.message();
      ASSERT_EQ(read->width(), 5);
      ASSERT_EQ(read->height(), 3);
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
}

TEST(Bmp, BadAndTruncatedFilesAreRefusedWithTheirMessage) {
  const auto good = EncodeTestBmp(MakeTestPicture(5, 3, 16), 8, false);
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  const struct {
    const char* name;
    Edit edit;
    const char* message;  // after the path
  } kCases[] = {
      {"empty", [](auto& b) { b.clear(); }, " is not a Windows bitmap!"},
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
      {"pixels cut", [](auto& b) { b.resize(b.size() - 9); }, " is truncated!"},
      {"pixels past the end", [](auto& b) { b[12] = 0x10; }, " is truncated!"},
  };
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
