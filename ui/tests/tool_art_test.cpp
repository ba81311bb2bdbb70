#include "ui/tool_art.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

namespace quenda {
namespace {

// Every picture, from the first to the last of the list.
std::vector<ToolArt> AllArt() {
  std::vector<ToolArt> all;
  for (int i = int(ToolArt::Bucket); i <= int(ToolArt::Colours); ++i) all.push_back(ToolArt(i));
  return all;
}

bool OpaqueNear(const QImage& image, QPoint spot, int reach) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      QPoint at = spot + QPoint(dx, dy);
      if (image.rect().contains(at) && qAlpha(image.pixel(at)) > 128) return true;
    }
  }
  return false;
}

TEST(ToolArt, EveryCursorPointsWithAVisiblePartOfTheTool) {
  for (ToolArt art : AllArt()) {
    QCursor cursor = ToolCursor(art);
    QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32)) << int(art);
    QPoint spot = cursor.hotSpot();
    EXPECT_EQ(spot, ToolHotSpot(art));
    EXPECT_TRUE(image.rect().contains(spot)) << int(art);
    // The click lands where the tool's tip is drawn, not on empty ground beside it.
    EXPECT_TRUE(OpaqueNear(image, spot, 2)) << "art " << int(art);
  }
}

TEST(ToolArt, PicturesAreDrawnAndTellTheToolsApart) {
  std::vector<QImage> seen;
  for (ToolArt art : AllArt()) {
    QImage image = ToolPixmap(art, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 128;
    }
    // Visible, but not a filled square either.
    EXPECT_GT(opaque, 24 * 24 / 10) << int(art);
    EXPECT_LT(opaque, 24 * 24 * 9 / 10) << int(art);
    for (const QImage& other : seen) EXPECT_NE(image, other) << int(art);
    seen.push_back(image);
    EXPECT_FALSE(ToolIcon(art).isNull());
  }
}

}  // namespace
}  // namespace quenda
