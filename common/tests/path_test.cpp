#include "common/path.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/test_support.h"

namespace quenda {
namespace {

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
    EXPECT_EQ(DirectoryOf(c.path), c.directory);
    EXPECT_EQ(ParentDirectoryOf(c.path), c.parent);
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(TitleOf(c.path), c.title);
    EXPECT_EQ(ExtensionOf(c.path), c.extension);
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
  } kCases[] = {
      {"", here},
      {"walk/", here + "walk/"},
      {"./walk/../bg.tga", here + "bg.tga"},
      {"a//b/./c.tga", here + "a/b/c.tga"},
      {"/x/../y/z.tga", "/y/z.tga"},
  };
  for (const auto& c : kCases) EXPECT_EQ(AbsolutePath(c.path), c.absolute) << c.path;
  EXPECT_EQ(StoredPathCandidates("walk/", "/p/m.cmp"),
            (std::vector<std::string>{"/p/walk/", here + "walk/"}));
  EXPECT_EQ(StoredPathCandidates("/q/walk/", "/p/m.cmp"), std::vector<std::string>{"/q/walk/"});
}

}  // namespace
}  // namespace quenda
