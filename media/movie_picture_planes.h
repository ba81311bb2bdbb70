#pragma once
// The suite's pictures (blue, green, red and perhaps straight alpha, bottom row first) turned
// into the planes the movie encoders take, in one pass without an intermediate picture: BT.709,
// limited range, full-range RGB in. H.264's 4:2:0 colour is the mean of each two-by-two block,
// laid over the background where the picture is transparent and padded with it on the right
// and at the bottom; ProRes 4444 keeps every pixel's colour and its alpha, on 10 bits. Inside
// media/ only.

#include <cstdint>

#include "common/raster.h"

namespace quenda::media {

struct Background {
  int red = 255, green = 255, blue = 255;
};

// Planes as FFmpeg lays them out: start of the top row and bytes from one row to the next.
struct Planes {
  uint8_t* data[4] = {};
  int stride[4] = {};
};

// 8-bit Y, Cb, Cr: Y of paddedWidth x paddedHeight, the colour planes of half of each. The
// padded sides are even, the picture's or one more.
void PictureToYuv420(ConstRasterView picture, int paddedWidth, int paddedHeight,
                     Background background, const Planes& out);

// 10-bit Y, Cb, Cr and alpha of the picture's own size, little-endian; a picture without alpha
// is opaque.
void PictureToYuva444p10(ConstRasterView picture, const Planes& out);

}  // namespace quenda::media
