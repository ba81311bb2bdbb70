#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/color_set.h"
#include "common/scripted_prompt.h"
#include "samples/figure_kinds/figure_drawing.h"
#include "samples/figure_kinds/figure_sketch.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda::samples {
namespace {

constexpr int kInk = 200;  // a pencil line (faint stretches included) is darker than this

uint64_t Fingerprint(const std::vector<uint8_t>& bytes) {
  uint64_t hash = 1469598103934665603ULL;  // FNV-1a
  for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ULL;
  return hash;
}

// The fingerprints of walk drawings as they were before there were other kinds: tests and
// benchmarks elsewhere rely on these very bytes.
TEST(FigureKinds, TheWalkStaysTheDefaultByteForByte) {
  struct Case {
    int width, height, frame, frames;
    uint64_t fingerprint;
  };
  for (const Case& c :
       {Case{320, 240, 0, 6, 0x809764a0fc232bb5ULL}, Case{320, 240, 5, 6, 0x245c971603c87b92ULL},
        Case{1240, 1754, 3, 12, 0x67703f147b4c101eULL},
        Case{61, 47, 2, 12, 0x277245fe488e8972ULL}}) {
    SampleOptions options{.width = c.width, .height = c.height, .seed = 7};
    EXPECT_EQ(options.figure, FigureKind::Walk);
    EXPECT_EQ(Fingerprint(MakeSampleDrawing(options, c.frame, c.frames).picture.bytes()),
              c.fingerprint)
        << c.width << "x" << c.height << " frame " << c.frame;
  }
}

TEST(FigureKinds, NamesReadBackInAnyCaseAndEveryPartHasAColourName) {
  for (FigureKind kind : kFigureKinds) {
    const std::string name(FigureKindName(kind));
    std::string upper = name;
    for (char& c : upper) c = char(c - 'a' + 'A');
    EXPECT_EQ(FigureKindNamed(name), kind);
    EXPECT_EQ(FigureKindNamed(upper), kind);
    for (FigurePart part : FigureKindParts(kind)) {
      EXPECT_NE(part, FigurePart::Paper) << name;
      EXPECT_FALSE(PartColorName(part).empty()) << name;
      EXPECT_LE(PartColorName(part).size(), std::size_t(kColorNameLimit)) << name;
    }
  }
  EXPECT_EQ(FigureKindNamed("dog"), std::nullopt);
  EXPECT_EQ(FigureKindNamed("walks"), std::nullopt);
  EXPECT_EQ(FigureKindNames(), "walk, limbs, head, animal, cross, soft, travel");
  // The walk's colours are the sample colours, in their order.
  const auto walk = FigureKindParts(FigureKind::Walk);
  ASSERT_EQ(walk.size(), std::size(kSampleColors));
  for (std::size_t i = 0; i < walk.size(); ++i) {
    const PartPaint paint = PartPaintColor(walk[i]);
    EXPECT_EQ(std::tuple(PartColorName(walk[i]), paint.red, paint.green, paint.blue),
              std::tuple(kSampleColors[i].name, kSampleColors[i].red, kSampleColors[i].green,
                         kSampleColors[i].blue));
  }
}

// The drawing and its truth, on an A4 sheet small enough to test quickly yet large enough for
// every small part to show.
struct Drawn {
  SampleDrawing drawing;
  std::vector<FigurePart> parts;
  int width, height;
  FigurePart At(int x, int y) const { return parts[std::size_t(y) * width + x]; }
  bool Ink(int x, int y) const { return drawing.scan.picture.At(x, y)[0] < kInk; }
};

Drawn Draw(FigureKind kind, double time) {
  SampleOptions options{.width = 620, .height = 877, .seed = 3, .figure = kind};
  Drawn d{RenderFigureDrawing(options, time), {}, options.width, options.height};
  d.parts = RenderPartMap(d.drawing.parts, d.width, d.height);
  return d;
}

// Times from the start to the end of a run of 12 drawings at three times the natural pace.
constexpr double kTimes[] = {-16.5, -5.5, -1, 0, 0.5, 3.5, 16.5};

// Every area of the truth is closed by pencil: from the sheet's corner, the paper reached
// without crossing ink holds no figure pixel (a few pixels off a line, where the line's edge
// and the outline as drawn may differ by the anti-aliasing). And where the truth changes from
// one part to another, there is a line.
TEST(FigureKinds, EveryTrueAreaIsClosedByTheLinesAndEveryBorderOfPartsIsDrawn) {
  for (FigureKind kind : kFigureKinds)
    for (double time : kTimes) {
      SCOPED_TRACE(std::string(FigureKindName(kind)) + " at " + std::to_string(time));
      const Drawn d = Draw(kind, time);
      auto nearInk = [&](int x, int y, int reach) {
        for (int dy = -reach; dy <= reach; ++dy)
          for (int dx = -reach; dx <= reach; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if (xx >= 0 && yy >= 0 && xx < d.width && yy < d.height && d.Ink(xx, yy)) return true;
          }
        return false;
      };
      std::vector<bool> reached(d.parts.size(), false);
      std::vector<int> queue{0};
      reached[0] = true;
      int leaks = 0, undrawnBorders = 0;
      for (std::size_t q = 0; q < queue.size(); ++q) {
        const int x = queue[q] % d.width, y = queue[q] / d.width;
        if (d.At(x, y) != FigurePart::Paper && !nearInk(x, y, 3)) ++leaks;
        for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
          if (nx < 0 || ny < 0 || nx >= d.width || ny >= d.height) continue;
          const int n = ny * d.width + nx;
          if (reached[std::size_t(n)] || d.Ink(nx, ny)) continue;
          reached[std::size_t(n)] = true;
          queue.push_back(n);
        }
      }
      for (int y = 0; y + 1 < d.height; ++y)
        for (int x = 0; x + 1 < d.width; ++x)
          if ((d.At(x, y) != d.At(x + 1, y) || d.At(x, y) != d.At(x, y + 1)) && !nearInk(x, y, 2))
            ++undrawnBorders;
      EXPECT_EQ(leaks, 0);
      EXPECT_EQ(undrawnBorders, 0);
      // The figure stays on the sheet, clear of its edges.
      int onEdge = 0;
      for (int x = 0; x < d.width; ++x)
        onEdge += (d.At(x, 0) != FigurePart::Paper) + (d.At(x, d.height - 1) != FigurePart::Paper);
      for (int y = 0; y < d.height; ++y)
        onEdge += (d.At(0, y) != FigurePart::Paper) + (d.At(d.width - 1, y) != FigurePart::Paper);
      EXPECT_EQ(onEdge, 0);
    }
}

// Each kind shows all the parts of its colour set at one time or another, and no others; the
// same time gives the same bytes, the next drawing others.
TEST(FigureKinds, EachKindShowsItsNamedPartsAndMovesFromDrawingToDrawing) {
  for (FigureKind kind : kFigureKinds) {
    SCOPED_TRACE(std::string(FigureKindName(kind)));
    std::set<FigurePart> seen;
    for (double time : kTimes) {
      const Drawn d = Draw(kind, time);
      for (FigurePart part : d.parts) seen.insert(part);
    }
    seen.erase(FigurePart::Paper);
    const auto named = FigureKindParts(kind);
    EXPECT_EQ(seen, std::set<FigurePart>(named.begin(), named.end()));

    const Drawn now = Draw(kind, 2), again = Draw(kind, 2), next = Draw(kind, 3);
    EXPECT_EQ(now.drawing.scan.picture, again.drawing.scan.picture);
    std::size_t figure = 0, changed = 0;
    for (std::size_t i = 0; i < now.parts.size(); ++i) {
      figure += now.parts[i] != FigurePart::Paper;
      changed += now.parts[i] != next.parts[i];
    }
    EXPECT_GT(changed, figure / 50);  // it moves
    EXPECT_LT(changed, figure);       // but not out of its own place
  }
}

std::size_t Count(const Drawn& d, FigurePart part) {
  return std::size_t(std::count(d.parts.begin(), d.parts.end(), part));
}

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};
Box FigureBox(const Drawn& d) {
  Box b;
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x)
      if (d.At(x, y) != FigurePart::Paper)
        b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
  return b;
}

// The motions each kind is there for.
TEST(FigureKinds, EachKindMovesAsItsNameSays) {
  // Crossing: the far walker's coat goes behind the near walker and comes out again.
  const std::size_t coatApart = Count(Draw(FigureKind::Cross, -12), FigurePart::Coat);
  EXPECT_LT(Count(Draw(FigureKind::Cross, 0), FigurePart::Coat), coatApart * 6 / 10);
  EXPECT_GT(Count(Draw(FigureKind::Cross, 12), FigurePart::Coat), coatApart * 8 / 10);

  // The jelly stretches by 30 % and squashes as much, keeping its area.
  const Drawn tall = Draw(FigureKind::Soft, 3), flat = Draw(FigureKind::Soft, -3);
  const Box t = FigureBox(tall), f = FigureBox(flat);
  EXPECT_NEAR(double(t.y1 - t.y0) / double(f.y1 - f.y0), 1.3 / 0.7, 0.12);
  EXPECT_NEAR(double(Count(tall, FigurePart::Jelly) + Count(tall, FigurePart::Belly)) /
                  double(Count(flat, FigurePart::Jelly) + Count(flat, FigurePart::Belly)),
              1.0, 0.1);

  // The traveller crosses more than its width (its body and arms) in a run at the natural
  // pace, and comes nearer.
  const Drawn start = Draw(FigureKind::Travel, -5.5);
  const Box first = FigureBox(start), last = FigureBox(Draw(FigureKind::Travel, 5.5));
  Box body;
  for (int y = 0; y < start.height; ++y)
    for (int x = 0; x < start.width; ++x)
      if (start.At(x, y) == FigurePart::Shirt)
        body.x0 = std::min(body.x0, x), body.x1 = std::max(body.x1, x);
  EXPECT_GT((last.x0 + last.x1) / 2 - (first.x0 + first.x1) / 2, body.x1 - body.x0);
  EXPECT_NEAR(double(last.y1 - last.y0) / double(first.y1 - first.y0), 1.15 / 0.85, 0.1);

  // The dog's teeth and tongue show only while its jaw stands open; its spots are alike.
  const std::size_t shut = Count(Draw(FigureKind::Animal, -2.9), FigurePart::Teeth);
  const std::size_t open = Count(Draw(FigureKind::Animal, 2.9), FigurePart::Teeth);
  EXPECT_EQ(shut, 0u);
  EXPECT_GT(open, 0u);
}

// A shape in front hides the lines behind it, and the truth follows the drawing order.
TEST(FigureSketch, LaterShapesHideTheLinesBehindThemAndTakeTheirPixels) {
  PencilCanvas canvas(120, 80);
  FigureSketch sketch(5, 1);  // a unit of one pixel: next to no wobble
  sketch.Shape(FigurePart::Shirt, RoundedBoxOutline({40, 40}, 30, 38, 0, {40, 40}), {1.5, 1.0});
  sketch.Shape(FigurePart::Skin, EllipseOutline({75, 40}, 20, 15, 0), {1.5, 1.0});
  const std::vector<PartShape> truth = sketch.Draw(canvas);
  ASSERT_EQ(truth.size(), 2u);
  const std::vector<FigurePart> map = RenderPartMap(truth, 120, 80);
  auto at = [&](int x, int y) { return map[std::size_t(y) * 120 + x]; };
  EXPECT_EQ(std::tuple(at(40, 40), at(75, 40), at(62, 40), at(110, 40)),
            std::tuple(FigurePart::Shirt, FigurePart::Skin, FigurePart::Skin, FigurePart::Paper));
  // The box's right side near x = 70 runs inside the ellipse: hidden there, drawn beyond it,
  // and up to the ellipse's outline, which is whole.
  EXPECT_EQ(std::tuple(canvas.InkAt(70, 40), canvas.InkAt(70, 45)), std::tuple(0, 0));
  EXPECT_GT(std::max({canvas.InkAt(68, 62), canvas.InkAt(69, 62), canvas.InkAt(70, 62)}), 200);
  EXPECT_GT(std::max({canvas.InkAt(68, 55), canvas.InkAt(69, 55), canvas.InkAt(70, 55)}), 200);
  EXPECT_GT(canvas.InkAt(55, 40), 200);
}

TEST(FigureKinds, ASequenceOfAKindIsWrittenWithItsColours) {
  testing::TempDir dir;
  ScriptedPrompt prompt;
  SampleOptions options{.width = 80, .height = 110, .figure = FigureKind::Head};
  ASSERT_TRUE(WriteSampleSequence(dir.path(), "face", 3, options, prompt));
  ColorSet colors;
  ASSERT_TRUE(LoadColorSet(colors, dir.File("face.col"), prompt));
  const auto parts = FigureKindParts(FigureKind::Head);
  ASSERT_EQ(colors.count, kFirstUserColor + int(parts.size()));
  for (std::size_t i = 0; i < parts.size(); ++i)
    EXPECT_EQ(colors.entries[kFirstUserColor + i].name, PartColorName(parts[i]));
  // The sequence's frames are the kind's drawings, its middle at time 0.
  auto scan = ReadDrawingScan(dir.File("face2.qds"), ScanReader::Scanner);
  ASSERT_TRUE(scan) << scan.message();
  EXPECT_EQ(scan->scan.picture, RenderFigureDrawing(options, 0).scan.picture);
}

}  // namespace
}  // namespace quenda::samples
