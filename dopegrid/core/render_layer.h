#pragma once
// A painted drawing as the render lays it: a layer of blue, green, red and alpha at the
// drawing's own resolution, filtered into the 4-channel output picture and laid over what the
// levels behind left there.
//
// BuildLayer and FilterLayer are the two steps as they are described; LayDrawing gives the
// same bytes without the whole layer in memory, making only the layer pixels that samples
// read, and laying the pixels most drawings are made of straight from tables. The tests hold
// the one to the other.

#include <cstdint>
#include <vector>

#include "common/paint_layer.h"
#include "common/raster.h"
#include "dopegrid/core/common_layer_pixels.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/core/sheet_drawing.h"

namespace quenda {

enum class RenderQuality { Best, Fast };  // bilinear, or the nearest layer pixel

Raster BuildLayer(const PaintedDrawing& painted);
// The same into `layer`, whose storage is reused when it has the drawing's size.
void BuildLayerInto(const PaintedDrawing& painted, Raster& layer);
// Lays `layer`, whose corner is `corner`, over `picture` (which must not alias it). Output
// pixels whose sample position lies outside 0 <= u < width - 1, 0 <= v < height - 1 of the
// layer are left alone.
void FilterLayer(const Raster& layer, DrawingCorner corner, const CommonFrame& frame, float scale,
                 RenderQuality quality, Raster& picture);
// BuildLayer then FilterLayer, in one pass.
void LayDrawing(const PaintedDrawing& painted, const CommonFrame& frame, float scale,
                RenderQuality quality, Raster& picture);

// LayDrawing for a picture made in bands of rows: where each output pixel samples the layer is
// worked out once, then any rows are laid, each as LayDrawing lays it. `painted` must outlive
// the object; laying is read-only on it, so several threads may lay rows at once.
// Where one output column (or row) falls in a layer: the integer sample position and the
// fraction towards the next one, or outside (-1).
struct AxisSample {
  int index = -1;
  float fraction = 0;
};

class DrawingLayout {
 public:
  DrawingLayout(const PaintedDrawing& painted, const CommonFrame& frame, float scale,
                RenderQuality quality, int pictureWidth, int pictureHeight);
  // Picture rows [firstRow, endRow) over `band`, whose row 0 is picture row firstRow.
  void LayRows(int firstRow, int endRow, RasterView band) const;

 private:
  void LayFilteredRow(const AxisSample& v, uint8_t* out) const;

  int width_;  // the layer's
  RenderQuality quality_;
  PaintLayerPixels pixels_;
  CommonLayerPixels common_;
  std::vector<AxisSample> columns_, rows_;
  int x0_ = 0, x1_ = 0;       // the output columns the layer reaches
  bool wholeColumns_ = true;  // no reached column has a fraction
  std::vector<long long> columnIndex_;
  long long first_ = 0, step_ = 1;  // columnIndex_ as first_ + step_ * k, when even_
  bool even_ = true;
};

}  // namespace quenda
