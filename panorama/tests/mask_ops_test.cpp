#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "panorama/core/mask_ops.h"
#include "panorama/oracle/literal_mask.h"
#include "panorama/tests/panorama_fixtures.h"

namespace quenda {
namespace {

using namespace testing;

// Widths and heights.
const std::pair<int, int> kSizes[] = {{1, 1}, {1, 9}, {9, 1},   {2, 2},
                                      {3, 3}, {2, 7}, {47, 33}, {64, 5}};
const MaskPattern kPatterns[] = {MaskPattern::Random, MaskPattern::Border, MaskPattern::Blobs,
                                 MaskPattern::Single, MaskPattern::Empty,  MaskPattern::Opaque};

TEST(MaskOperations, MatchTheirLiteralFormsOverRepeatedSteps) {
  // Name, fast and literal form.
  const std::tuple<const char*, void (*)(RasterView, RowProgress&), void (*)(RasterView)> cases[] =
      {{"grow", GrowMask, literal::GrowMask},
       {"shrink", ShrinkMask, literal::ShrinkMask},
       {"smooth", SmoothMask, literal::SmoothMask},
       {"invert", InvertMask, literal::InvertMask}};
  const MaskStatus silent;
  for (const auto& [name, fastForm, literalForm] : cases)
    for (auto [width, height] : kSizes)
      for (MaskPattern pattern : kPatterns) {
        Raster fast = MakeMask(width, height, pattern);
        Raster slow = fast;
        for (int step = 0; step < 3; ++step) {
          RowProgress progress(silent, height);
          fastForm(fast.view(), progress);
          literalForm(slow.view());
          ASSERT_EQ(fast, slow) << name << " " << width << "x" << height << " pattern "
                                << int(pattern) << " step " << step;
        }
      }
}

TEST(MaskOperations, ReportEveryTwentiethOfTheRowsThenDone) {
  auto texts = [](int rows) {
    std::vector<std::string> shown;
    const MaskStatus status = [&](std::string_view text) { shown.emplace_back(text); };
    Raster mask = MakeMask(3, rows, MaskPattern::Random);
    RowProgress progress(status, rows);
    SmoothMask(mask.view(), progress);
    return shown;
  };
  EXPECT_EQ(texts(4),
            (std::vector<std::string>{"Percent Complete 25 %", "Percent Complete 50 %",
                                      "Percent Complete 75 %", "Percent Complete 100 %", "Done."}));
}

TEST(ColorKeyer, EveryOperationMatchesTheFormulaPerPixel) {
  const MaskStatus silent;
  const Raster image = MakeImage(61, 23);
  for (KeyerOperation operation :
       {KeyerOperation::Add, KeyerOperation::Subtract, KeyerOperation::Replace})
    for (int tolerance : {0, 1, 13, 40, 100}) {
      KeyerSettings settings{200, 40, 90, tolerance, operation};
      Raster fast = MakeMask(61, 23, MaskPattern::Random);
      Raster slow = fast;
      RowProgress progress(silent, 23);
      ApplyKeyer(image, fast.view(), settings, progress);
      literal::ApplyKeyer(image, slow.view(), settings);
      ASSERT_EQ(fast, slow) << int(operation) << " tolerance " << tolerance;
    }
}

TEST(ColorKeyer, ZeroToleranceKeysNoPixel) {
  const MaskStatus silent;
  const Raster image(4, 3, 3, 0);  // every pixel is the key colour itself
  const Raster start = MakeMask(4, 3, MaskPattern::Random);
  for (KeyerOperation operation : {KeyerOperation::Add, KeyerOperation::Replace}) {
    Raster mask = start;
    RowProgress progress(silent, 3);
    ApplyKeyer(image, mask.view(), {0, 0, 0, 0, operation}, progress);
    EXPECT_EQ(mask, operation == KeyerOperation::Add ? start : MakeMask(4, 3, MaskPattern::Empty));
  }
}

TEST(Geometry, TurnsAndFlipsMoveEveryPixelWhereItBelongs) {
  // 3 x 2, values 1..6 row by row: rows {1 2 3} (y 0) and {4 5 6} (y 1).
  const Raster start(3, 2, 1, std::vector<uint8_t>{1, 2, 3, 4, 5, 6});
  Raster flippedH = start, flippedV = start;
  FlipHorizontal(flippedH);
  FlipVertical(flippedV);
  EXPECT_EQ(RotateClockwise(start), Raster(2, 3, 1, {3, 6, 2, 5, 1, 4}));
  EXPECT_EQ(RotateCounterClockwise(start), Raster(2, 3, 1, {4, 1, 5, 2, 6, 3}));
  EXPECT_EQ(flippedH, Raster(3, 2, 1, {3, 2, 1, 6, 5, 4}));
  EXPECT_EQ(flippedV, Raster(3, 2, 1, {4, 5, 6, 1, 2, 3}));
  const Raster image = MakeImage(47, 33);
  EXPECT_EQ(RotateCounterClockwise(RotateClockwise(image)), image);
}

TEST(ViewPicture, ShowsTheImageTheGridOrTheTint) {
  const Raster image = MakeImage(45, 41);
  const PanoramaViewSettings settings;
  // Opaque everywhere: See Through is the image itself.
  const Raster opaque = ComposeView(image, MakeMask(45, 41, MaskPattern::Opaque),
                                    PanoramaViewMode::SeeThrough, settings);
  EXPECT_EQ(opaque.stride() % 4, 0);
  for (int y = 0; y < 41; ++y)
    ASSERT_TRUE(std::equal(image.Row(y), image.Row(y) + 45 * 3, opaque.Row(y))) << y;
  // Transparent: 20-pixel cells of grey 128 and white.
  const Raster clear = ComposeView(image, MakeMask(45, 41, MaskPattern::Empty),
                                   PanoramaViewMode::SeeThrough, settings);
  const std::tuple<int, int, int> cells[] = {{0, 0, 128},  {19, 19, 128}, {20, 0, 255},
                                             {0, 20, 255}, {20, 20, 128}, {40, 40, 128},
                                             {44, 21, 255}};
  for (auto [x, y, grey] : cells) EXPECT_EQ(clear.At(x, y)[1], grey) << x << "," << y;
  // With Mask: an opaque black pixel is 127/255 tinted red, a transparent one stays black.
  const Raster black(2, 1, 3, 0);
  const Raster tinted = ComposeView(black, Raster(2, 1, 1, std::vector<uint8_t>{255, 0}),
                                    PanoramaViewMode::WithMask, settings);
  EXPECT_EQ(std::vector<uint8_t>(tinted.Row(0), tinted.Row(0) + 6),
            (std::vector<uint8_t>{0, 0, 127, 0, 0, 0}));
}

// The pixels a mask has that are not 0, as (x, y) pairs in row order.
std::vector<std::pair<int, int>> Touched(const Raster& mask) {
  std::vector<std::pair<int, int>> touched;
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      if (*mask.At(x, y) != 0) touched.emplace_back(x, y);
  return touched;
}

TEST(Brush, SizesReachTwiceTheirNumberSoftly) {
  for (int size : {1, 6}) {
    Raster mask = MakeMask(41, 41, MaskPattern::Opaque);
    StampBrush(mask.view(), StandardBrushTables()[size - 1], 20, 20, MaskMode::Erase);
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x) {
        const double d = std::hypot(x - 20, y - 20);
        ASSERT_EQ(*mask.At(x, y) != 255, d < 2 * size) << size << ": " << x << "," << y;
      }
    EXPECT_EQ(*mask.At(20, 20), 0);
  }
  // Size 1, one pixel off the centre: 255 (2 - 1) / 2 = 127 covered.
  Raster mask = MakeMask(5, 5, MaskPattern::Empty);
  StampBrush(mask.view(), StandardBrushTables()[0], 2, 2, MaskMode::Reveal);
  EXPECT_EQ(*mask.At(3, 2), 127);
}

TEST(Brush, StrokesStampAlongTheLongerAxisInSteps) {
  BrushTable dot{};  // one fully covering pixel: every stamp shows as one opaque pixel
  dot[kBrushCentre * kBrushTableSide + kBrushCentre] = 255;
  // Size, start, end, and the stamps.
  using Case = std::tuple<int, int, int, int, int, std::vector<std::pair<int, int>>>;
  // Step 4 with the end excluded; a click stamps once; downwards, x truncated towards the start.
  const std::vector<std::pair<int, int>> down = {{4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5},
                                                 {5, 6}, {5, 7}, {5, 8}, {5, 9}, {5, 10}};
  const Case cases[] = {{6, 0, 0, 10, 3, {{0, 0}, {4, 1}, {8, 2}}},
                        {3, 4, 4, 4, 4, {{4, 4}}},
                        {1, 5, 10, 3, 0, down}};
  for (const auto& [size, x0, y0, x1, y1, stamps] : cases) {
    Raster mask = MakeMask(12, 12, MaskPattern::Empty);
    StrokeBrush(mask.view(), dot, size, x0, y0, x1, y1, MaskMode::Reveal);
    EXPECT_EQ(Touched(mask), stamps) << x0 << "," << y0 << " to " << x1 << "," << y1;
  }
}

TEST(Polygon, FillsItsAreaAndBlendsSpanEnds) {
  Raster box = MakeMask(9, 8, MaskPattern::Empty);
  const MaskPoint rectangle[] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
  FillPolygon(box.view(), rectangle, 4, MaskMode::Reveal);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 9; ++x)
      ASSERT_EQ(*box.At(x, y), (x >= 2 && x <= 5 && y >= 2 && y <= 4) ? 255 : 0) << x << "," << y;

  // Row 1 of this triangle ends at x = 2.5: pixel 2 is half covered.
  Raster triangle = MakeMask(6, 3, MaskPattern::Opaque);
  const MaskPoint corners[] = {{0, 0}, {5, 0}, {0, 2}};
  FillPolygon(triangle.view(), corners, 3, MaskMode::Erase);
  EXPECT_EQ(triangle.bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 255,        //
                                                    0, 0, 128, 255, 255, 255,  //
                                                    255, 255, 255, 255, 255, 255}));
}

}  // namespace
}  // namespace quenda
