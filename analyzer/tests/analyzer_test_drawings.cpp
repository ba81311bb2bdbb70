#include "analyzer/tests/analyzer_test_drawings.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace quenda::testing {
namespace {

class Sketch {
 public:
  Sketch(int width, int height, uint32_t seed)
      : w_(width), h_(height), grey_(std::size_t(width) * height), random_(seed) {
    for (uint8_t& g : grey_) g = uint8_t(Between(228, 255));
  }

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  void Darken(int x, int y, int value) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    uint8_t& g = grey_[std::size_t(y) * w_ + x];
    g = uint8_t(std::min<int>(g, value));
  }

  void Lighten(int x, int y, int value) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    grey_[std::size_t(y) * w_ + x] = uint8_t(value);
  }

  void Disc(double cx, double cy, double r, int value) {
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
      for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Darken(x, y, value);
  }

  // A line from a to b, `r` pixels thick, its darkness drifting along the way.
  void Stroke(double ax, double ay, double bx, double by, double r, int dark) {
    int steps = int(std::hypot(bx - ax, by - ay) * 2) + 1;
    for (int s = 0; s <= steps; ++s) {
      double t = double(s) / steps;
      int value = std::clamp(dark + int(40 * std::sin(t * 6.0)), 0, 200);
      Disc(ax + (bx - ax) * t, ay + (by - ay) * t, r, value);
    }
  }

  double X() { return Between(-2, w_ + 1); }
  double Y() { return Between(-2, h_ + 1); }

  void Strokes(int count) {
    for (int k = 0; k < count; ++k)
      Stroke(X(), Y(), X(), Y(), Between(0, 3) * 0.7, Between(10, 140));
  }

  void Blobs(int count) {
    for (int k = 0; k < count; ++k) Disc(X(), Y(), Between(1, 6), Between(0, 120));
  }

  void Noise(int percent) {
    for (uint8_t& g : grey_)
      if (Between(0, 99) < percent) g = uint8_t(Between(0, 255));
  }

  // Box outlines with a few light or missing stretches cut into them.
  void GappedOutlines(int count) {
    for (int k = 0; k < count; ++k) {
      int x0 = int(X()), y0 = int(Y());
      int x1 = x0 + Between(3, std::max(4, w_ / 2)), y1 = y0 + Between(3, std::max(4, h_ / 2));
      int dark = Between(20, 90);
      for (int x = x0; x <= x1; ++x) Darken(x, y0, dark), Darken(x, y1, dark);
      for (int y = y0; y <= y1; ++y) Darken(x0, y, dark), Darken(x1, y, dark);
      for (int g = Between(0, 3); g > 0; --g) {
        int gx = Between(x0, x1), length = Between(1, 3), value = Between(95, 250);
        for (int d = 0; d < length; ++d) Lighten(gx + d, Between(0, 1) ? y0 : y1, value);
      }
    }
  }

  std::vector<uint8_t> Take() { return std::move(grey_); }

 private:
  int w_;
  int h_;
  std::vector<uint8_t> grey_;
  std::mt19937 random_;
};

}  // namespace

std::string KindName(DrawingKind kind) {
  static const char* const kNames[] = {"strokes", "blobs", "noise", "gapped outlines", "mixed"};
  return kNames[int(kind)];
}

std::vector<uint8_t> RandomDrawing(int width, int height, DrawingKind kind, uint32_t seed) {
  Sketch sketch(width, height, seed);
  int area = std::max(1, width * height);
  int many = std::max(1, area / 300);
  if (kind == DrawingKind::Strokes) sketch.Strokes(many);
  if (kind == DrawingKind::Blobs) sketch.Blobs(many);
  if (kind == DrawingKind::Noise) sketch.Noise(35);
  if (kind == DrawingKind::GappedOutlines) sketch.GappedOutlines(std::max(1, many / 2));
  if (kind == DrawingKind::Mixed) {
    sketch.GappedOutlines(std::max(1, many / 3));
    sketch.Strokes(std::max(1, many / 2));
    sketch.Blobs(std::max(1, many / 4));
    sketch.Noise(3);
  }
  return sketch.Take();
}

std::vector<uint8_t> RandomLineMap(int width, int height, int percent, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> flags(std::size_t(width) * height);
  for (uint8_t& f : flags) f = std::uniform_int_distribution<int>(0, 99)(random) < percent;
  return flags;
}

bool InsidePaper(const WorkingImage& image, int x, int y) {
  const int region = image.regions.regionMap[std::size_t(y) * image.width() + x];
  for (int j = y - 2; j <= y + 2; ++j)
    for (int i = x - 2; i <= x + 2; ++i) {
      const std::size_t n = std::size_t(j) * image.width() + i;
      if (image.regions.regionMap[n] != region || image.grey[n] != 255 || image.regions.flags[n])
        return false;
    }
  return true;
}

Raster ShownPicture(const CAnalyzerDoc& doc) {
  if (!doc.showsPicture()) return {};
  const WorkingImage& image = doc.image();
  Raster shown(image.width(), image.height(), 3);
  doc.ComposeShown(EveryPixel(WholeImage(image.width(), image.height())), shown.view());
  return shown;
}

}  // namespace quenda::testing
