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

#include "common/raster.h"
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

}  // namespace quenda
