#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "common/last_preview.h"
#include "common/path.h"
#include "common/raster.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

std::vector<uint8_t> Counting(std::size_t n) {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 7);
  return bytes;
}

// Buffers past a few megabytes are advised for large pages before they are filled; what they
// hold must not depend on it. The file is larger than one read chunk, so the sized read and the
// tail are both exercised.
TEST(ReadFileBytes, ReadsTheAskedWindowOfTheFileAndNoMoreIntoLargeBuffers) {
  testing::TempDir dir;
  const std::string path = dir.File("large.bin");
  const std::vector<uint8_t> all = Counting((9 << 20) + 4097);
  testing::WriteBytes(path, all);
  EXPECT_EQ(ReadFileBytes(path), all);
  EXPECT_EQ(ReadFileBytes(path, 18, 1000),
            std::vector<uint8_t>(all.begin() + 18, all.begin() + 1018));
  EXPECT_EQ(ReadFileBytes(path, 4095, (5 << 20) + 3),
            std::vector<uint8_t>(all.begin() + 4095, all.begin() + 4095 + (5 << 20) + 3));
  EXPECT_EQ(ReadFileBytes(path, all.size() - 5, 100),
            std::vector<uint8_t>(all.end() - 5, all.end()));
  EXPECT_EQ(ReadFileBytes(path, all.size() + 10, 100), std::vector<uint8_t>());

  struct Case {
    int width, height, channels;
    std::ptrdiff_t stride;
  };
  for (Case c : {Case{2480, 3508, 1, 2480}, Case{1001, 1703, 3, 3008}}) {
    Raster raster(c.width, c.height, c.channels, c.stride, 77);
    ASSERT_EQ(raster.bytes().size(), std::size_t(c.stride) * std::size_t(c.height));
    EXPECT_EQ(std::count(raster.bytes().begin(), raster.bytes().end(), 77),
              std::ptrdiff_t(raster.bytes().size()));
  }
}

TEST(LastPreview, ShowAndSaveNeverOverwrite) {
  testing::TempDir dir;
  std::string preview = dir.File("preview.avi");
  const std::string failed =
      "Could not save preview, disk full or a file already exists with the same name!";
  EXPECT_EQ(CheckLastPreview(preview).message(),
            "There is no last preview!\n(" + preview + " does not exist)");
  EXPECT_EQ(SaveLastPreview(preview, dir.File("copy.avi")).message(), failed);
  std::vector<uint8_t> movie(3 << 20);
  for (std::size_t i = 0; i < movie.size(); ++i) movie[i] = uint8_t(i * 7 + i / 4096);
  testing::WriteBytes(preview, movie);
  EXPECT_TRUE(CheckLastPreview(preview).ok());
  ASSERT_TRUE(SaveLastPreview(preview, dir.File("copy.avi")).ok());
  EXPECT_EQ(testing::ReadBytes(dir.File("copy.avi")), movie);
  testing::WriteText(dir.File("taken.avi"), "mine");
  EXPECT_EQ(SaveLastPreview(preview, dir.File("taken.avi")).message(), failed);
  EXPECT_EQ(testing::ReadText(dir.File("taken.avi")), "mine");
  EXPECT_EQ(testing::ReadBytes(preview), movie);
  {
    testing::WriteLimit full(1000);
    EXPECT_EQ(SaveLastPreview(preview, dir.File("full.avi")).message(), failed);
  }
  EXPECT_EQ(testing::ListDirectory(dir.path()),
            (std::vector<std::string>{"copy.avi", "preview.avi", "taken.avi"}));
}

// Paths: split on either separator, joined with '/', made absolute against the working folder.
struct SplitCase {
  const char* path;
  const char* directory;  // DirectoryOf
  const char* parent;     // ParentDirectoryOf
  const char* name;       // FileNameOf
  const char* title;      // TitleOf
  const char* extension;  // ExtensionOf
};

TEST(Path, SplitsOnEitherSeparatorAndTheLastDotOfTheName) {
  const SplitCase kCases[] = {
      {"walk/walk1.qds", "walk/", "walk", "walk1.qds", "walk1", ".qds"},
      {"C:\\anim\\walk1.QDS", "C:\\anim\\", ".", "walk1.QDS", "walk1", ".QDS"},
      {"a\\b/c.tga", "a\\b/", "a\\b", "c.tga", "c", ".tga"},
      {"walk1.qds", "", ".", "walk1.qds", "walk1", ".qds"},
      {"/tmp/x/", "/tmp/x/", "/tmp/x", "", "", ""},
      {"shots.v2/walk1", "shots.v2/", "shots.v2", "walk1", "walk1", ""},
      {"shots.v2\\walk1", "shots.v2\\", ".", "walk1", "walk1", ""},
      {"a/walk.tar.avi", "a/", "a", "walk.tar.avi", "walk.tar", ".avi"},
      {"a/.col", "a/", "a", ".col", "", ".col"},
      {"a/.hidden.qds", "a/", "a", ".hidden.qds", ".hidden", ".qds"},
      {"a/walk.", "a/", "a", "walk.", "walk", "."},
      {"", "", ".", "", "", ""},
      {"/", "/", "/", "", "", ""},
      {"/walk1.qds", "/", "/", "walk1.qds", "walk1", ".qds"},
      {"\\walk1.qds", "\\", ".", "walk1.qds", "walk1", ".qds"},
      {"a//b", "a//", "a/", "b", "b", ""},
  };
  for (const SplitCase& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(std::tuple(DirectoryOf(c.path), ParentDirectoryOf(c.path), FileNameOf(c.path),
                         TitleOf(c.path), ExtensionOf(c.path)),
              std::tuple(c.directory, c.parent, c.name, c.title, c.extension));
    EXPECT_EQ(DirectoryOf(c.path) + FileNameOf(c.path), c.path);
  }
}

TEST(Path, JoinAddsOneForwardSlashOnlyWhereNoneIs) {
  const struct {
    const char* directory;
    const char* name;
    const char* joined;
  } kCases[] = {
      {"a", "b.qds", "a/b.qds"}, {"a/", "b.qds", "a/b.qds"}, {"a\\", "b.qds", "a\\b.qds"},
      {"", "b.qds", "b.qds"},    {"/", "b.qds", "/b.qds"},   {".", ".b.XXXXXX", "./.b.XXXXXX"},
      {"a", "", "a/"},
  };
  for (const auto& c : kCases) EXPECT_EQ(JoinPath(c.directory, c.name), c.joined) << c.directory;
}

TEST(Path, AbsolutePathsAreLexicallyNormalAgainstTheWorkingDirectory) {
  testing::TempDir dir;
  testing::WorkingDirectory in(dir.path());
  const std::string here = dir.path();  // ends with '/'
  const struct {
    const char* path;
    std::string absolute;
  } kCases[] = {{"", here},
                {"walk/", here + "walk/"},
                {"./walk/../bg.tga", here + "bg.tga"},
                {"a//b/./c.tga", here + "a/b/c.tga"},
                {"/x/../y/z.tga", "/y/z.tga"}};
  for (const auto& c : kCases) EXPECT_EQ(AbsolutePath(c.path), c.absolute) << c.path;
  EXPECT_EQ(StoredPathCandidates("walk/", "/p/m.cmp"),
            (std::vector<std::string>{"/p/walk/", here + "walk/"}));
  EXPECT_EQ(StoredPathCandidates("/q/walk/", "/p/m.cmp"), std::vector<std::string>{"/q/walk/"});
}

}  // namespace
}  // namespace quenda
