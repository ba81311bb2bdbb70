// The frame strip's icons: they come in after the sequence is open, from the icon cache when a
// frame's files are unchanged, and again from the files once a paint file or the colour set
// changed.
#include <gtest/gtest.h>

#include <QDirIterator>

#include <filesystem>

#include "common/paint_file.h"
#include "common/region_file.h"
#include "painter/app/tests/painter_window_fixture.h"

namespace quenda {
namespace {

using testing::PainterWindow;

// Every icon of the strip, as the frame's files (or the loaded frame) compose it now.
void ExpectIconsAsTheFilesShow(PainterWindow& w) {
  CTimeView& strip = *w.frame->timeView();
  QTRY_VERIFY(strip.iconsComplete());
  for (int frame = 0; frame < w.doc().frameCount(); ++frame) {
    const QImage& shown = strip.icons()[std::size_t(frame)];
    const Raster expected = w.doc().FrameIcon(frame, shown.width());
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const uint8_t* p = expected.At(x, shown.height() - 1 - y);
        ASSERT_EQ(shown.pixel(x, y), qRgb(p[2], p[1], p[0])) << frame << " at " << x << "," << y;
      }
  }
}

int CacheEntries(const PainterWindow& w) {
  int entries = 0;
  QDirIterator it(QString::fromStdString(w.dir.path() + "cache"), {"*.icon"}, QDir::Files,
                  QDirIterator::Subdirectories);
  for (; it.hasNext(); it.next()) ++entries;
  return entries;
}

TEST(FrameStrip, IconsFillInAndTheCacheFollowsPaintAndColourChanges) {
  PainterWindow w;
  ExpectIconsAsTheFilesShow(w);
  EXPECT_EQ(CacheEntries(w), 3);
  const QImage unpainted = w.frame->timeView()->icons()[1];

  // Another program paints frame 2 in colour 3: opening again shows it, not the cached icon.
  const FramePaths second = w.doc().PathsOf(1);
  auto map = ReadRegionMap(second.region, testing::kWidth, testing::kHeight, RegionReader::Painter);
  ASSERT_TRUE(map.ok());
  std::vector<int32_t> paint(std::size_t(map->regionCount) + 2, 3);
  ASSERT_TRUE(WritePaintFile(second.paint, paint).ok());
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.first)));
  ExpectIconsAsTheFilesShow(w);
  const QImage painted = w.frame->timeView()->icons()[1];
  EXPECT_NE(painted, unpainted);

  // A new colour 3, applied on leaving the frame, reaches frame 2's icon too.
  w.doc().SetCurrentColor(3);
  w.doc().EditColor("RED", 255, 0, 0);
  ASSERT_TRUE(w.doc().NextFrame());
  ExpectIconsAsTheFilesShow(w);
  EXPECT_NE(w.frame->timeView()->icons()[1], painted);
  EXPECT_EQ(CacheEntries(w), 3);
}

// Paint that could not be written: the strip shows the frame's files, leaving asks, Stay keeps
// the window open with the paint, and once the folder can be written closing writes it.
TEST(FrameStrip, PaintThatFailedToSaveLooksUnsavedAndClosingTheWindowAsks) {
  PainterWindow w;
  ExpectIconsAsTheFilesShow(w);
  const QImage unpainted = w.frame->timeView()->icons()[0];
  w.doc().AddColor("RED", 255, 0, 0);
  w.FillAll();
  ASSERT_TRUE(w.doc().frameModified());
  namespace fs = std::filesystem;
  const fs::perms writable = fs::perms::owner_write | fs::perms::group_write;
  fs::permissions(w.dir.path(), writable | fs::perms::others_write, fs::perm_options::remove);
  w.prompt.Clear();
  w.prompt.QueueChoice(kStayOnFrame);
  w.Key(Qt::Key_Right);
  EXPECT_EQ(w.doc().currentFrame(), 0);
  EXPECT_EQ(w.frame->timeView()->icons()[0], unpainted);
  w.prompt.QueueChoice(kStayOnFrame);
  w.frame->close();
  EXPECT_TRUE(w.frame->isVisible());
  EXPECT_TRUE(w.doc().frameModified());
  EXPECT_EQ(w.prompt.Texts().back(),
            "Frame Not Saved\nThe changes to walk1 could not be saved.\n[Retry] [Discard] [Stay]");
  fs::permissions(w.dir.path(), fs::perms::owner_write, fs::perm_options::add);
  w.frame->close();
  EXPECT_FALSE(w.frame->isVisible());
  EXPECT_TRUE(fs::exists(w.dir.File("walk1.pnt")));
  EXPECT_TRUE(w.prompt.AllAnswersUsed());
}

}  // namespace
}  // namespace quenda
