#pragma once
// The ground truth of a sample drawing: which part of the figure every pixel belongs to, as
// the figure's closed shapes are laid down in drawing order (a later shape covers an earlier
// one, as the near arm covers the body). Tests and benchmarks measure auto paint against it.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "common/region_data.h"
#include "samples/pencil_shapes.h"

namespace quenda::samples {

// The walk's parts 1 .. 5 are painted with kSampleColors[part - 1]; the others belong to the
// other figure kinds (samples/figure_kinds), each of which paints only some of them.
enum class FigurePart : uint8_t {
  Paper = 0,
  Skin,
  Shirt,
  Pants,
  Hair,
  Shoes,
  Eye,
  Pupil,
  Brow,
  Mouth,
  Teeth,
  Tongue,
  Nose,
  Fur,
  Spot,
  Stripe,
  Coat,
  Jeans,
  Jelly,
  Belly,
};
inline constexpr int kFigurePartCount = 20;

// One closed shape of the figure, in pixels, as drawn.
struct PartShape {
  FigurePart part = FigurePart::Paper;
  std::vector<Point> outline;
};

// The part of every pixel of a width x height sheet, rows from the bottom; a pixel belongs to
// the last shape whose outline holds its centre.
// Calls `span(y, x0, x1)` for every run of pixels x0..x1 of row y (within width x height) whose
// centres lie inside `outline`, by even-odd crossings of the row through the pixel centres.
void ForEachOutlineSpan(const std::vector<Point>& outline, int width, int height,
                        const std::function<void(int y, int x0, int x1)>& span);

std::vector<FigurePart> RenderPartMap(const std::vector<PartShape>& shapes, int width, int height);

// What each region of an analyzed drawing truly is: the part under most of its pixels off the
// lines (region 0 and unused numbers: the paper), and how many such pixels it has.
struct RegionTruth {
  std::vector<FigurePart> part;
  std::vector<int64_t> area;
};
RegionTruth TrueRegionParts(const std::vector<FigurePart>& partMap, const RegionData& regions);

// The colour name parts are painted with ("SKIN", ...); empty for the paper. Names fit a
// colour set's eight characters.
std::string_view PartColorName(FigurePart part);

// How to paint an analyzed drawing by its parts, as `quenda paint --fill X,Y=COLOR` takes it:
// for every region with pixels off its lines, in region order, the first such pixel (rows from
// the bottom, then from the left) and the colour name of the part under most of them, the
// transparent colour's for the paper.
inline constexpr std::string_view kPaperColorName = "TRANS";
struct PartFill {
  int region = 0;
  int x = 0, y = 0;
  std::string_view colour;
};
std::vector<PartFill> PartFills(const std::vector<FigurePart>& partMap, const RegionData& regions,
                                int width);

}  // namespace quenda::samples
