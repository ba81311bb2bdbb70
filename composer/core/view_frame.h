#pragma once
// The composition view's frame: composited exactly as ComposeFrame does, but kept between
// redraws. When only some clips moved (a drag), just the rectangle they covered before and
// after is drawn again, over a kept picture of the clips behind the back-most one that moved.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "composer/core/compose_frame.h"

namespace quenda {

// Buffer pixels, rows counted from the bottom; empty when width or height is 0.
struct BufferRect {
  int left = 0, bottom = 0, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const BufferRect&) const = default;
};

// Kept layers of clips standing still never take more than this.
inline constexpr std::size_t kViewLayerBytes = std::size_t(384) << 20;

class ViewFrameCache {
 public:
  // The frame for `composition` at `frame`; `options` must not ask for a matte.
  const FrameBuffer& Update(const Composition& composition, int frame,
                            const ComposeOptions& options, const ComposeSink& sink = {});
  // What the last Update changed in the buffer (the whole buffer after a full composite).
  BufferRect changed() const { return changed_; }
  // How many full composites have been made (for tests of the partial path).
  int fullComposites() const { return fullComposites_; }
  const FrameBuffer& buffer() const { return buffer_; }
  void Invalidate();

 private:
  void DropLayer(std::size_t index);
  // What decides how an image clip looks in the frame.
  struct ClipState {
    bool drawn = false;
    std::shared_ptr<const ClipImage> image;
    ClipPlacement placement;
    std::vector<EffectParams> effects;
    bool operator==(const ClipState& o) const;
  };
  struct FrameKey {
    int width = 0, height = 0, frame = 0, quality = 0, clipCount = 0;
    bool antialias = false;
    double timeOffset = 0;
    uint32_t background = 0;
    float pixelAspect = 1;
    bool operator==(const FrameKey&) const = default;
  };

  // False when a clip frame cannot be read: the full composite then reports it.
  bool States(const Composition& composition, int frame, const ComposeOptions& options,
              std::vector<ClipState>& states) const;
  BufferRect Bounds(const ClipState& state, int quality) const;
  void Full(const Composition& composition, int frame, const ComposeOptions& options,
            const ComposeSink& sink);
  void Fill(FrameBuffer& buffer, uint32_t color) const;
  void Draw(const ClipState& state, const DrawSettings& settings, const DrawArea& area,
            FrameBuffer& buffer) const;

  FrameKey key_;
  bool valid_ = false;
  std::vector<ClipState> states_;
  std::vector<bool> images_;  // which indices are image clips
  FrameBuffer buffer_;
  BufferRect changed_;
  int fullComposites_ = 0;
  // The background and the clips behind index belowIndex_, as the states were when made.
  FrameBuffer below_;
  int belowIndex_ = -1;
  // The unblended pixels of clips that stood still while others moved in front of or behind
  // them, so a redraw blends them again without sampling; empty where none is kept.
  std::vector<ClipLayer> layers_;
  std::size_t layerBytes_ = 0;
};

}  // namespace quenda
