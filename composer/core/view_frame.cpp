#include "composer/core/view_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "composer/core/clip_image_cache.h"

namespace quenda {

namespace {

BufferRect Union(const BufferRect& a, const BufferRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  int left = std::min(a.left, b.left), bottom = std::min(a.bottom, b.bottom);
  int right = std::max(a.left + a.width, b.left + b.width);
  int top = std::max(a.bottom + a.height, b.bottom + b.height);
  return {left, bottom, right - left, top - bottom};
}

BufferRect Clamped(const BufferRect& r, int width, int height) {
  int left = std::max(r.left, 0), bottom = std::max(r.bottom, 0);
  int right = std::min(r.left + r.width, width), top = std::min(r.bottom + r.height, height);
  if (right <= left || top <= bottom) return {};
  return {left, bottom, right - left, top - bottom};
}

bool SameEffects(const std::vector<EffectParams>& a, const std::vector<EffectParams>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.kind == y.kind && x.a == y.a && x.b == y.b;
  });
}

// A picture read again while its file is too fresh to be kept is a new object with the same
// pixels; comparing them spares a redraw.
bool SamePicture(const ClipImage* a, const ClipImage* b) {
  if (a == b) return true;
  return a->width() == b->width() && a->height() == b->height() && a->channels() == b->channels() &&
         a->stride() == b->stride() &&
         std::memcmp(a->data(), b->data(), std::size_t(a->stride()) * std::size_t(a->height())) ==
             0;
}

}  // namespace

bool ViewFrameCache::ClipState::operator==(const ClipState& o) const {
  if (drawn != o.drawn) return false;
  if (!drawn) return true;
  const ClipPlacement &p = placement, &q = o.placement;
  return SamePicture(image.get(), o.image.get()) && p.x == q.x && p.y == q.y &&
         p.scaleX == q.scaleX && p.scaleY == q.scaleY && p.rotation == q.rotation &&
         SameEffects(effects, o.effects);
}

void ViewFrameCache::Invalidate() {
  valid_ = false;
  belowIndex_ = -1;
  layers_.clear();
  layerBytes_ = 0;
}

void ViewFrameCache::DropLayer(std::size_t index) {
  if (index >= layers_.size()) return;
  layerBytes_ -= layers_[index].bgra.size();
  layers_[index] = ClipLayer{};
}

bool ViewFrameCache::States(const Composition& composition, int frame,
                            const ComposeOptions& options, std::vector<ClipState>& states) const {
  states.assign(std::size_t(composition.clipCount()), ClipState{});
  const double time = frame + options.timeOffset;
  for (int i = 0; i < composition.clipCount(); ++i) {
    const ClipRecord& clip = composition.clips[std::size_t(i)];
    if (!clip.IsImage() || clip.hidden) continue;
    std::optional<int> imageFrame = ImageFrameAt(clip, frame);
    if (!imageFrame) continue;
    ClipImageRead read = TheClipImageCache().Read(ClipFramePath(clip, *imageFrame));
    if (!read.image) return false;
    ClipState& state = states[std::size_t(i)];
    state.drawn = true;
    state.image = std::move(read.image);
    state.placement = PlacementAt(composition, i, time);
    state.effects = EffectsFor(composition, i, time);
  }
  return true;
}

BufferRect ViewFrameCache::Bounds(const ClipState& state, int quality) const {
  if (!state.drawn) return {};
  const BufferRect whole{0, 0, buffer_.width, buffer_.height};
  const ClipPlacement& p = state.placement;
  const double iw = state.image->width(), ih = state.image->height();
  const double halfW = state.image->width() >> 1, halfH = state.image->height() >> 1;
  const double c = std::cos(p.rotation), s = std::sin(p.rotation);
  const double step = double(1 << quality);
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  // The drawn pixels map back into the image rectangle; its corners map forward to a box
  // that holds them all.
  for (double sx : {0.0, iw - 1}) {
    for (double sy : {0.0, ih - 1}) {
      const double u = (sx - halfW) * p.scaleX, v = (sy - halfH) * p.scaleY;
      const double dx = p.rotation != 0 ? c * u + s * v : u;
      const double dy = p.rotation != 0 ? -s * u + c * v : v;
      const double col = (dx + p.x) / step, row = (dy + p.y) / step;
      minX = std::min(minX, col), maxX = std::max(maxX, col);
      minY = std::min(minY, row), maxY = std::max(maxY, row);
    }
  }
  if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) ||
      !std::isfinite(maxY) || p.scaleX == 0 || p.scaleY == 0)
    return whole;
  const double limit = 1e6;
  if (std::fabs(minX) > limit || std::fabs(maxX) > limit || std::fabs(minY) > limit ||
      std::fabs(maxY) > limit)
    return whole;
  int left = int(std::floor(minX)) - 2, right = int(std::ceil(maxX)) + 2;
  int bottom = int(std::floor(minY)) - 2, top = int(std::ceil(maxY)) + 2;
  return Clamped({left, bottom, right - left + 1, top - bottom + 1}, buffer_.width, buffer_.height);
}

void ViewFrameCache::Fill(FrameBuffer& buffer, uint32_t color) const {
  buffer.width = buffer_.width;
  buffer.height = buffer_.height;
  buffer.matte.clear();
  buffer.bgr.resize(std::size_t(buffer.width) * std::size_t(buffer.height) * 3);
  for (std::size_t i = 0; i < buffer.bgr.size(); i += 3) {
    buffer.bgr[i] = uint8_t(color >> 16);
    buffer.bgr[i + 1] = uint8_t(color >> 8);
    buffer.bgr[i + 2] = uint8_t(color);
  }
}

void ViewFrameCache::Draw(const ClipState& state, const DrawSettings& settings,
                          const DrawArea& area, FrameBuffer& buffer) const {
  if (state.drawn) DrawClipIn(*state.image, state.placement, state.effects, settings, area, buffer);
}

void ViewFrameCache::Full(const Composition& composition, int frame, const ComposeOptions& options,
                          const ComposeSink& sink) {
  buffer_ = ComposeFrame(composition, frame, options, sink);
  changed_ = {0, 0, buffer_.width, buffer_.height};
  belowIndex_ = -1;
  layers_.clear();
  layerBytes_ = 0;
  ++fullComposites_;
}

const FrameBuffer& ViewFrameCache::Update(const Composition& composition, int frame,
                                          const ComposeOptions& options, const ComposeSink& sink) {
  BufferSize size = BufferSizeAt(composition.width, composition.height, options.quality);
  FrameKey key{size.width,
               size.height,
               frame,
               options.quality,
               composition.clipCount(),
               options.antialias,
               options.timeOffset,
               composition.backgroundColor,
               composition.pixelAspect};
  std::vector<ClipState> states;
  const bool readable = States(composition, frame, options, states);
  std::vector<bool> images(std::size_t(composition.clipCount()));
  for (int i = 0; i < composition.clipCount(); ++i)
    images[std::size_t(i)] = composition.clips[std::size_t(i)].IsImage();
  if (!valid_ || !(key == key_) || !readable || options.keepMatte || images != images_) {
    Full(composition, frame, options, sink);
    key_ = key;
    images_ = std::move(images);
    states_ = std::move(states);
    valid_ = readable && !options.keepMatte;
    return buffer_;
  }

  BufferRect dirty;
  int back = -1;
  for (int i = 0; i < composition.clipCount(); ++i) {
    const ClipState &now = states[std::size_t(i)], &was = states_[std::size_t(i)];
    if (now == was) continue;
    dirty = Union(dirty, Union(Bounds(was, options.quality), Bounds(now, options.quality)));
    back = i;
    DropLayer(std::size_t(i));
  }
  changed_ = dirty;
  if (back < 0 || dirty.empty()) {
    states_ = std::move(states);
    return buffer_;
  }

  DrawSettings settings{frame, options.quality, options.antialias};
  if (belowIndex_ != back) {
    Fill(below_, composition.backgroundColor);
    for (int i = composition.clipCount() - 1; i > back; --i)
      Draw(states[std::size_t(i)], settings, DrawArea{}, below_);
    belowIndex_ = back;
  }
  const std::size_t rowBytes = std::size_t(buffer_.width) * 3;
  for (int row = dirty.bottom; row < dirty.bottom + dirty.height; ++row) {
    const std::size_t at = std::size_t(row) * rowBytes + std::size_t(dirty.left) * 3;
    std::memcpy(buffer_.bgr.data() + at, below_.bgr.data() + at, std::size_t(dirty.width) * 3);
  }
  const DrawArea area{dirty.left, dirty.bottom, dirty.left + dirty.width - 1,
                      dirty.bottom + dirty.height - 1};
  layers_.resize(states.size());
  for (int i = back; i >= 0; --i) {
    const ClipState& state = states[std::size_t(i)];
    if (!state.drawn) continue;
    ClipLayer& layer = layers_[std::size_t(i)];
    const bool moved = !(state == states_[std::size_t(i)]);
    const std::size_t bytes = std::size_t(buffer_.width) * std::size_t(buffer_.height) * 4;
    if (layer.bgra.empty() && !moved && layerBytes_ + bytes <= kViewLayerBytes) {
      layer.width = buffer_.width;
      layer.height = buffer_.height;
      DrawClipLayer(*state.image, state.placement, state.effects, settings, layer);
      layerBytes_ += layer.bgra.size();
    }
    if (!layer.bgra.empty())
      BlendLayer(layer, area, buffer_);
    else
      Draw(state, settings, area, buffer_);
  }
  states_ = std::move(states);
  return buffer_;
}

}  // namespace quenda
