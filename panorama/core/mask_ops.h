#pragma once
// The background's mask tools on plain pictures: a mask is a 1-channel Raster (0 transparent,
// 255 opaque), the image a 3-channel one (blue, green, red), both with the same size and rows
// in file order. No Qt, no document: the document (panorama_doc.h) takes the undo copies.
//
// Every whole-mask operation runs in time linear in the pixels, works in place and gives the
// bytes of the plain per-pixel loops kept in panorama/oracle, which the tests compare it with.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/raster.h"

namespace quenda {

// Status bar texts of a long mask operation, in the order it reports them.
using MaskStatus = std::function<void(std::string_view)>;

// "Percent Complete %d %%" after each twentieth of the rows (5, 10, ... 100; a picture of
// fewer than 20 rows reports only the steps it reaches), then `done` ("Done." unless given).
class RowProgress {
 public:
  RowProgress(const MaskStatus& status, int rows, std::string_view done = "Done.");
  // Call after each row, with the number of rows finished so far.
  void RowsDone(int rows) {
    if (rows >= nextRow_) Report(rows);
  }
  void Finish();

 private:
  void Report(int rows);

  const MaskStatus& status_;
  int rows_;
  int step_ = 0;  // twentieths reported
  int nextRow_ = 0;
  std::string done_;
};
std::string PercentCompleteText(int percent);

// Whole-mask operations (the mask only).
void ClearMask(RasterView mask, RowProgress& progress);
void FillMask(RasterView mask, RowProgress& progress);
void InvertMask(RasterView mask, RowProgress& progress);
// Each byte becomes the largest (Grow) or smallest (Shrink) of its 3 x 3 neighbourhood in the
// mask as it was; neighbours outside the picture do not count.
void GrowMask(RasterView mask, RowProgress& progress);
void ShrinkMask(RasterView mask, RowProgress& progress);
// 1 2 1 / 2 4 2 / 1 2 1 over 16, in place, rows from 0 up and pixels from the left, so the
// row below and the left neighbour are already smoothed; border pixels stay.
void SmoothMask(RasterView mask, RowProgress& progress);

// The colour keyer.
enum class KeyerOperation { Add = 0, Subtract = 1, Replace = 2 };
inline constexpr std::array<std::string_view, 3> kKeyerOperationLabels = {"Add", "Subract",
                                                                          "Replace"};
struct KeyerSettings {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  int tolerance = 40;  // percent, 0..100
  KeyerOperation operation = KeyerOperation::Add;
};
// The key value of a colour at squared distance `distanceSquared` (0 .. 3 x 255^2) from the
// key: 255 (T - d) / T truncated, 0 where d >= T. Tolerance 0 keys no pixel (0 everywhere), so
// Replace then clears the mask and Add and Subtract leave it.
int KeyValue(int tolerance, int distanceSquared);
void ApplyKeyer(ConstRasterView image, RasterView mask, const KeyerSettings& settings,
                RowProgress& progress);

// The soft brush.
inline constexpr int kBrushSizes = 6;
inline constexpr int kBrushTableSide = 25;
inline constexpr int kBrushCentre = 12;
using BrushTable = std::array<uint8_t, kBrushTableSide * kBrushTableSide>;  // [j * 25 + i]
using BrushTables = std::array<BrushTable, kBrushSizes>;
// Cones of radius 2s pixels for the sizes s = 1 .. 6 (index s - 1).
const BrushTables& StandardBrushTables();

enum class MaskMode { Erase, Reveal };
// One coverage value applied to one mask byte.
inline uint8_t BlendMask(uint8_t m, int coverage, MaskMode mode) {
  return mode == MaskMode::Erase ? uint8_t(m * (255 - coverage) / 255)
                                 : uint8_t(m + (255 - m) * coverage / 255);
}
void StampBrush(RasterView mask, const BrushTable& table, int x, int y, MaskMode mode);
// Stamps from (x0, y0) towards (x1, y1), the end excluded, every ((2 size + 1) / 4) + 1 pixels
// along the longer axis; equal points stamp once at the start.
void StrokeBrush(RasterView mask, const BrushTable& table, int brushSize, int x0, int y0, int x1,
                 int y1, MaskMode mode);
// Pixels a stroke may change, for redrawing: the two points grown by the table's half side.
struct MaskRect {
  int left = 0, bottom = 0, right = -1, top = -1;  // inclusive; empty when right < left
};
MaskRect StrokeBounds(int x0, int y0, int x1, int y1);

// Polygon fill: see mask_polygon.cpp.
struct MaskPoint {
  int x = 0;
  int y = 0;
  bool operator==(const MaskPoint&) const = default;
};
void FillPolygon(RasterView mask, const MaskPoint* points, int count, MaskMode mode);

// Geometry of the image and mask together (any channel count).
void FlipHorizontal(Raster& picture);
void FlipVertical(Raster& picture);
// (x, y) moves to (y, width - 1 - x) of a picture height wide and width high.
Raster RotateClockwise(const Raster& picture);
// (x, y) moves to (height - 1 - y, x).
Raster RotateCounterClockwise(const Raster& picture);

// Display.
enum class PanoramaViewMode { WithMask = 0, SeeThrough = 1 };
struct RgbColor {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const RgbColor&) const = default;
};
struct PanoramaViewSettings {
  int gridSize = 20;
  RgbColor grid1{128, 128, 128};
  RgbColor grid2{255, 255, 255};
  RgbColor mask{255, 0, 0};
  bool operator==(const PanoramaViewSettings&) const = default;
};
// The 24-bit view picture in the image's byte and row order, rows padded to 4 bytes. With Mask
// tints opaque areas half with the mask colour; See Through lays the image over a checkerboard
// of gridSize cells (a size below 1 counts as 1) as opaque as the mask.
Raster ComposeView(ConstRasterView image, ConstRasterView mask, PanoramaViewMode mode,
                   const PanoramaViewSettings& settings);

}  // namespace quenda
