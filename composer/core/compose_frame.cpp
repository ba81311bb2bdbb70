#include "composer/core/compose_frame.h"

#include <algorithm>

#include "composer/core/clip_image_cache.h"
#include "composer/core/clip_transform.h"

namespace quenda {

BufferSize BufferSizeAt(int width, int height, int quality) {
  return {((width >> quality) & ~3) + 4, height >> quality};
}

std::vector<EffectParams> EffectsFor(const Composition& composition, int index, double time) {
  std::vector<EffectParams> effects;
  for (int i = index - 1; i >= 0 && composition.clips[std::size_t(i)].IsEffect(); --i) {
    WorldTransform world = WorldTransformAt(composition, i, time);
    effects.push_back(LimitEffectParams(composition.clips[std::size_t(i)].kind, world.x, world.y));
  }
  std::stable_partition(effects.begin(), effects.end(),
                        [](const EffectParams& e) { return IsBlurKind(e.kind); });
  return effects;
}

ClipPlacement PlacementAt(const Composition& composition, int index, double time) {
  WorldTransform world = WorldTransformAt(composition, index, time);
  ClipPlacement placement{world.x, world.y, world.scaleX, world.scaleY, world.rotation};
  double aspect = composition.pixelAspect;
  if (aspect < 1.0) {
    placement.y /= aspect;
    placement.scaleY /= aspect;
  } else {
    placement.x /= aspect;
    placement.scaleX /= aspect;
  }
  return placement;
}

FrameBuffer ComposeFrame(const Composition& composition, int frame, const ComposeOptions& options,
                         const ComposeSink& sink) {
  return ComposeFrameWith(composition, frame, options, sink, &DrawClip);
}

FrameBuffer ComposeFrameWith(const Composition& composition, int frame,
                             const ComposeOptions& options, const ComposeSink& sink,
                             DrawClipFunction draw) {
  BufferSize size = BufferSizeAt(composition.width, composition.height, options.quality);
  FrameBuffer buffer;
  buffer.width = size.width;
  buffer.height = std::max(size.height, 0);
  std::size_t pixels = std::size_t(buffer.width) * std::size_t(buffer.height);
  // The background: one row laid down pixel by pixel, then copied, each byte written once.
  uint32_t color = composition.backgroundColor;
  std::vector<uint8_t> row(std::size_t(buffer.width) * 3);
  for (std::size_t i = 0; i < row.size(); i += 3) {
    row[i] = uint8_t(color >> 16);
    row[i + 1] = uint8_t(color >> 8);
    row[i + 2] = uint8_t(color);
  }
  buffer.bgr.reserve(pixels * 3);
  for (int y = 0; y < buffer.height; ++y)
    buffer.bgr.insert(buffer.bgr.end(), row.begin(), row.end());
  if (options.keepMatte) buffer.matte.assign(pixels, 0);

  DrawSettings settings{frame, options.quality, options.antialias};
  for (int i = composition.clipCount() - 1; i >= 0; --i) {
    const ClipRecord& clip = composition.clips[std::size_t(i)];
    if (!clip.IsImage() || clip.hidden) continue;
    std::optional<int> imageFrame = ImageFrameAt(clip, frame);
    if (!imageFrame) continue;
    ClipImageRead read = TheClipImageCache().Read(ClipFramePath(clip, *imageFrame));
    if (read.failure == ClipImageFailure::Missing) {
      if (sink.status) sink.status(read.message);
      continue;
    }
    if (read.failure != ClipImageFailure::None) {
      if (sink.prompt) sink.prompt->Message(read.message, MessageIcon::Error);
      continue;
    }
    double time = frame + options.timeOffset;
    draw(*read.image, PlacementAt(composition, i, time), EffectsFor(composition, i, time), settings,
         buffer);
  }
  return buffer;
}

}  // namespace quenda
