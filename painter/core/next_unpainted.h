#pragma once
// Next Unpainted: finishing a sequence from the keyboard. It goes to the next drawing that
// still holds unfilled regions which are not specks (specks are left to Paint Specks) and
// selects the largest of them, the one to paint first.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/frame_sequence.h"
#include "painter/core/painter_frame.h"

namespace quenda {

inline constexpr std::string_view kNextUnpaintedText = "Next &Unpainted";
inline constexpr std::string_view kNothingUnpaintedText =
    "Every drawing is painted: no unfilled regions are left but specks.";

struct UnpaintedRegion {
  int region = 0;      // 0: none
  int64_t pixels = 0;  // off the lines
  explicit operator bool() const { return region != 0; }
};

// The largest unfilled region of `frame` that Paint Specks would not take as a speck at
// `speckSize`; on equal size the lower region number. Region 0 when there is none.
UnpaintedRegion LargestUnpaintedRegion(const PainterFrame& frame, int speckSize);

// The drawings Next Unpainted looks at, in order: those after `current` to the last, then from
// the first on, round to `current` itself, as a search goes on from the top past the end.
std::vector<int> NextUnpaintedOrder(int current, int frameCount);

// A drawing's regions and paint as the painter would load them (no paint file: unfilled),
// without reading its picture; nothing when they do not read. Its scan stays empty.
std::optional<PainterFrame> ReadFramePaint(const FramePaths& paths, int colorCount);

}  // namespace quenda
