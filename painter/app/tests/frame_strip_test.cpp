// The frame strip's icons: they come in after the sequence is open, from the icon cache when a
// frame's files are unchanged, and again from the files once a paint file or the colour set
// changed.
#include <gtest/gtest.h>

#include <QDirIterator>

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

}  // namespace
}  // namespace quenda
