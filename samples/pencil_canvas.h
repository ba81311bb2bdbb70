#pragma once
// A sheet of drawing paper and a pencil: strokes are laid down as anti-aliased ink coverage,
// and the paper's grain and the graphite are only combined when the picture is taken, so that
// a later stroke never lightens an earlier one and gaps can be cut cleanly.
//
// Coordinates are pixels with (0, 0) the centre of the bottom-left pixel and y upwards, as the
// drawing scan stores its rows.

#include <cstdint>
#include <span>
#include <vector>

namespace quenda::samples {

struct StrokePoint {
  double x = 0;
  double y = 0;
  double pressure = 1;  // 0..1: light pressure draws thinner and paler
  double width = 1;     // 0..1: a narrowing beyond pressure's, as a stroke's end tapers out
};

struct PencilStyle {
  double radius = 1;    // half the line width at full pressure, in pixels
  double darkness = 1;  // 0..1 of the graphite's full darkness at full pressure
};

// A small, fast and fully deterministic random source (the standard distributions are not the
// same on every library, and samples must be).
class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in [0, 1).
  double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Between(double low, double high) { return low + (high - low) * Unit(); }

 private:
  uint64_t state_;
};

// A hash of a pixel position, uniform in [0, 1): the paper's tooth.
double PixelNoise(int x, int y, uint32_t seed);

// Ink of a stretch where the hand eased off: it composes to grey 101..149 on any paper and
// tooth, lighter than the default line pick-up (100) yet darker than line growth (150), so the
// analyzer bridges it from the stroke ends instead of taking it as line.
inline constexpr uint8_t kFaintInk = 167;

// How the paper's tooth breaks up the graphite. Evenly: every stroke is grained alike, as the
// plain samples have always been. At pale ink: as on a scan of real pencil, graphite pressed
// firmly fills the tooth, so a line's core is dark and whole and the grain shows where the
// graphite is thin, at its edges and in its tapering ends.
enum class ToothGrain { Even, AtPaleInk };

class PencilCanvas {
 public:
  PencilCanvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }

  // A polyline through the points; width and darkness follow each point's pressure.
  // For a closed shape pass the first point again at the end.
  void DrawStroke(std::span<const StrokePoint> points, const PencilStyle& style);
  // Removes every bit of graphite in the inclusive box (a gap cut into the lines).
  void EraseBox(int x0, int y0, int x1, int y1) { FadeBox(x0, y0, x1, y1, 0); }
  // Lightens the graphite in the inclusive box to at most `maxInk`; lighter edges stay as
  // they are, so the line keeps its anti-aliased sides.
  void FadeBox(int x0, int y0, int x1, int y1, uint8_t maxInk);
  // Ink coverage 0..255 at a pixel, for checks.
  uint8_t InkAt(int x, int y) const { return ink_[std::size_t(y) * width_ + x]; }

  // The grey picture, bottom row first: paper of 235..250 with blotches and grain, darkened by
  // the graphite where the paper's tooth takes it.
  std::vector<uint8_t> Compose(uint32_t paperSeed, ToothGrain grain = ToothGrain::Even) const;

 private:
  void DrawSegment(const StrokePoint& a, const StrokePoint& b, const PencilStyle& style);

  int width_;
  int height_;
  std::vector<uint8_t> ink_;
};

}  // namespace quenda::samples
