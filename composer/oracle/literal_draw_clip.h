#pragma once
// The clip drawer written out pixel by pixel as the composer defines it: every buffer pixel
// mapped, sampled and put through each effect in turn, blurs visiting every pixel of their
// window. Slow on purpose; tests and benchmarks hold the fast drawer to it.

#include <vector>

#include "composer/core/draw_clip.h"

namespace quenda::oracle {

void LiteralDrawClip(const ClipImage& image, const ClipPlacement& placement,
                     const std::vector<EffectParams>& effects, const DrawSettings& settings,
                     FrameBuffer& buffer);

// The sample of (sx, sy), channel by channel as written: bilinear or the nearest pixel.
Rgba LiteralSample(const ClipImage& image, double sx, double sy, bool antialias);

// Blur of (tx, ty) over the (2rx+1)(2ry+1) clamped window, visiting each position.
Rgba LiteralBlur(const ClipImage& image, int tx, int ty, int rx, int ry);

}  // namespace quenda::oracle
