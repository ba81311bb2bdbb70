// A Targa saved row by row as its picture is made holds WriteTarga's bytes however the rows
// are handed over, and every way it can fail - a full disk half way, rows that do not fit,
// too few rows, a file dropped before its commit, a read-only target - leaves the old file as
// it was and no temporary, with the failure worded as the caller worded it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/targa.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

const WriteMessages kTexts("cannot create", "short write");

// An odd size, so a row length or stride mix-up shows.
Raster OddPicture(int channels) {
  Raster picture(47, 33, channels);
  for (std::size_t i = 0; i < picture.bytes().size(); ++i)
    picture.bytes()[i] = uint8_t(i * 7 + i / 97);
  return picture;
}

// Rows [first, first + count) of `picture`, as a view of its own or of a padded copy.
ConstRasterView Rows(const Raster& picture, int first, int count) {
  ConstRasterView rows = picture.view();
  rows.pixels = picture.Row(first);
  rows.height = count;
  return rows;
}

// The picture's rows handed over in pieces of the given heights, cycling, then committed.
Status WriteInPieces(const std::string& path, const Raster& picture,
                     const std::vector<int>& heights) {
  TargaRowWriter file;
  if (Status opened =
          file.Open(path, picture.width(), picture.height(), picture.channels(), kTexts);
      !opened)
    return opened;
  for (int y = 0, k = 0; y < picture.height(); ++k) {
    const int count = std::min(heights[std::size_t(k) % heights.size()], picture.height() - y);
    if (Status written = file.WriteRows(Rows(picture, y, count)); !written) return written;
    y += count;
  }
  return file.Commit();
}

TEST(TargaRows, EveryWayOfHandingTheRowsOverGivesWriteTargasBytes) {
  struct Case {
    const char* name;
    std::vector<int> heights;
    bool padded;  // rows further apart than their length
  };
  const Case cases[] = {{"all at once", {33}, false},
                        {"one at a time", {1}, false},
                        {"uneven pieces", {3, 1, 5, 0, 8}, false},
                        {"padded rows", {4, 7}, true}};
  TempDir dir;
  for (int channels : {3, 4})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(channels) + " channels");
      Raster picture = OddPicture(channels);
      ASSERT_TRUE(WriteTarga(dir.File("whole.tga"), picture, kTexts).ok());
      if (c.padded) {
        Raster padded(picture.width(), picture.height(), channels,
                      std::ptrdiff_t(picture.width()) * channels + 5, 0xEE);
        for (int y = 0; y < picture.height(); ++y)
          std::copy_n(picture.Row(y), picture.width() * channels, padded.Row(y));
        picture = std::move(padded);
      }
      ASSERT_TRUE(WriteInPieces(dir.File("rows.tga"), picture, c.heights).ok());
      EXPECT_TRUE(ReadBytes(dir.File("rows.tga")) == ReadBytes(dir.File("whole.tga")));
    }
  EXPECT_EQ(ListDirectory(dir.path()), (std::vector<std::string>{"rows.tga", "whole.tga"}));
}

TEST(TargaRows, EveryFailureLeavesTheOldFileAndNoTemporary) {
  const Raster picture = OddPicture(4);
  const std::size_t rowBytes = std::size_t(picture.width()) * 4;
  struct Case {
    const char* name;
    std::function<Status(TargaRowWriter&)> write;  // after a good Open
    const char* outcome;
  };
  const Case cases[] = {
      {"the disk fills in the fifth row",
       [&](TargaRowWriter& file) {
         WriteLimit full(static_cast<long long>(kTargaHeaderSize + 4 * rowBytes + 9));
         if (Status written = file.WriteRows(Rows(picture, 0, 3)); !written) return written;
         return file.WriteRows(Rows(picture, 3, 30));
       },
       "short write"},
      {"rows of another width",
       [&](TargaRowWriter& file) {
         ConstRasterView narrow = Rows(picture, 0, 2);
         narrow.width -= 1;
         return file.WriteRows(narrow);
       },
       "short write"},
      {"more rows than the picture has",
       [&](TargaRowWriter& file) {
         if (Status written = file.WriteRows(Rows(picture, 0, 30)); !written) return written;
         return file.WriteRows(Rows(picture, 0, 4));
       },
       "short write"},
      {"a row short at the commit",
       [&](TargaRowWriter& file) {
         if (Status written = file.WriteRows(Rows(picture, 0, 32)); !written) return written;
         return file.Commit();
       },
       "short write"},
      {"dropped before the commit",
       [&](TargaRowWriter& file) { return file.WriteRows(Rows(picture, 0, 33)); }, "ok"}};
  TempDir dir;
  const std::string path = dir.File("frame.tga");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(path, {1, 2, 3});
    {
      TargaRowWriter file;
      ASSERT_TRUE(file.Open(path, picture.width(), picture.height(), 4, kTexts).ok());
      const Status status = c.write(file);
      EXPECT_EQ(status.ok() ? "ok" : status.message(), c.outcome);
      if (!status.ok()) {
        EXPECT_EQ(status.kind(), ErrorKind::ShortWrite);
        EXPECT_FALSE(file.Commit().ok());  // once failed, it stays failed
      }
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"frame.tga"});
  }
  // A read-only target is refused on Open, with the caller's text for it.
  MakeReadOnly(path);
  TargaRowWriter file;
  const Status refused = file.Open(path, picture.width(), picture.height(), 4, kTexts);
  EXPECT_EQ(refused.message(), "cannot create");
  EXPECT_EQ(refused.kind(), ErrorKind::CannotCreate);
  for (int side : {0, kTargaMaxSide + 1})
    EXPECT_EQ(file.Open(dir.File("odd.tga"), side, 3, 4, kTexts).message(), "cannot create");
  EXPECT_EQ(file.Open(dir.File("odd.tga"), 3, 3, 2, kTexts).message(), "cannot create");
  MakeWritable(path);
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"frame.tga"});
}

}  // namespace
}  // namespace quenda
