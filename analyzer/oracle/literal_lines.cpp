#include "analyzer/oracle/literal_lines.h"

#include "analyzer/core/neighbourhood.h"
#include "common/contrast_stretch.h"

namespace quenda {
namespace {

class LiteralLines {
 public:
  LiteralLines(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0, int y1)
      : image_(image),
        s_(settings),
        w_(image.width()),
        h_(image.height()),
        x0_(x0),
        x1_(x1),
        y0_(y0),
        y1_(y1) {}

  uint8_t& F(int x, int y) { return image_.regions.flags[std::size_t(y) * w_ + x]; }
  uint8_t G(int x, int y) const { return image_.grey[std::size_t(y) * w_ + x]; }

  void PickUp() {
    for (int y = y0_; y < y1_; ++y)
      for (int x = x0_; x < x1_; ++x) F(x, y) = G(x, y) < s_.linePickUp ? 1 : 0;
  }

  void ClearMarks() {
    for (int y = y0_; y < y1_; ++y)
      for (int x = x0_; x < x1_; ++x) F(x, y) &= uint8_t(~2);
  }

  uint8_t Code(int x, int y, bool unmarkedOnly) {
    static constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    static constexpr int kDy[8] = {1, 1, 1, 0, 0, -1, -1, -1};
    int code = 0;
    for (int b = 0; b < 8; ++b) {
      uint8_t f = F(x + kDx[b], y + kDy[b]);
      bool set = unmarkedOnly ? (f & 1) && !(f & 2) : (f & 1);
      if (set) code |= 1 << b;
    }
    return uint8_t(code);
  }

  void Thin() {
    bool marked;
    do {
      ClearMarks();
      marked = false;
      for (int x = x0_ + 1; x <= x1_ - 2; ++x)
        for (int y = y0_ + 1; y <= y1_ - 2; ++y) {
          if (!(F(x, y) & 1)) continue;
          if (kDeletable[Code(x, y, false)] && kDeletable[Code(x, y, true)]) {
            F(x, y) |= 2;
            marked = true;
          }
        }
      for (int x = x0_; x <= x1_ - 2; ++x)
        for (int y = y0_; y <= y1_ - 2; ++y)
          if (F(x, y) & 2) F(x, y) &= uint8_t(~1);
    } while (marked);
  }

  void Grow(int cx, int cy, int gx, int gy) {
    int wx0, wx1, wy0, wy1;
    if (gx == 0) {
      wx0 = cx - 1, wx1 = cx + 1, wy0 = wy1 = cy + gy;
    } else if (gy == 0) {
      wx0 = wx1 = cx + gx, wy0 = cy - 1, wy1 = cy + 1;
    } else {
      wx0 = gx > 0 ? cx : cx - 1, wx1 = wx0 + 1;
      wy0 = gy > 0 ? cy : cy - 1, wy1 = wy0 + 1;
    }
    for (int x = wx0; x <= wx1; ++x)
      for (int y = wy0; y <= wy1; ++y) {
        if (G(x, y) < s_.lineGrowth && (F(x, y) & 3) == 0) {
          F(x, y) |= 2;
          if (x > 0 && x < w_ - 1 && y > 0 && y < h_ - 1) Grow(x, y, gx, gy);
        }
      }
  }

  void GrowStrokeEnds() {
    ClearMarks();
    for (int x = x0_ + 1; x <= x1_ - 2; ++x)
      for (int y = y0_ + 1; y <= y1_ - 2; ++y) {
        if (!(F(x, y) & 1)) continue;
        int count = 0, ndx = 0, ndy = 0;
        for (int dx = -1; dx <= 1; ++dx)
          for (int dy = -1; dy <= 1; ++dy)
            if (F(x + dx, y + dy) & 1) {
              ++count;
              if (dx != 0 || dy != 0) ndx = dx, ndy = dy;
            }
        if (count == 2) Grow(x, y, -ndx, -ndy);
      }
    for (int x = x0_ + 1; x <= x1_ - 2; ++x)
      for (int y = y0_ + 1; y <= y1_ - 2; ++y)
        if (F(x, y) & 2) F(x, y) |= 1;
  }

  void InkAndDisplay(Bgr lineColour) {
    for (int y = y0_; y < y1_; ++y)
      for (int x = x0_; x < x1_; ++x) {
        if (G(x, y) < s_.whiteClamp)
          F(x, y) |= 4;
        else
          F(x, y) &= uint8_t(~4);
        uint8_t* d = image_.display.At(x, y);
        d[0] = d[1] = d[2] = StretchGrey(G(x, y), s_.whiteClamp, s_.blackClamp);
      }
    for (int y = y0_; y < y1_; ++y)
      for (int x = x0_; x < x1_; ++x)
        if (F(x, y) & 1) {
          uint8_t* d = image_.display.At(x, y);
          d[0] = lineColour.blue, d[1] = lineColour.green, d[2] = lineColour.red;
        }
  }

 private:
  WorkingImage& image_;
  RedlineSettings s_;
  int w_, h_, x0_, x1_, y0_, y1_;
};

}  // namespace

void GenerateLinesLiteral(WorkingImage& image, const RedlineSettings& settings, int x0, int x1,
                          int y0, int y1, Progress& progress, Bgr lineColour) {
  LiteralLines lines(image, settings, x0, x1, y0, y1);
  ReportStage(progress, "Preparing...", 1);
  lines.PickUp();
  ReportStage(progress, "Pass 1...", 10);
  lines.Thin();
  ReportStage(progress, "Pass 2...", 50);
  lines.GrowStrokeEnds();
  ReportStage(progress, "Pass 3...", 70);
  lines.Thin();
  ReportStage(progress, "Pass 4...", 90);
  lines.InkAndDisplay(lineColour);
  ReportStage(progress, "Done", 100);
}

}  // namespace quenda
