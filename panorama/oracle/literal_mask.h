#pragma once
// The mask operations written as plain per-pixel loops, in the order of computation they are
// defined by: what the fast versions in panorama/core are held to. Never linked into a program.

#include "common/raster.h"
#include "panorama/core/mask_ops.h"

namespace quenda::literal {

void GrowMask(RasterView mask);
void ShrinkMask(RasterView mask);
void SmoothMask(RasterView mask);
void InvertMask(RasterView mask);
// A square root and the formula per pixel.
void ApplyKeyer(ConstRasterView image, RasterView mask, const KeyerSettings& settings);

}  // namespace quenda::literal
