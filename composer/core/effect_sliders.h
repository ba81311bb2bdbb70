#pragma once
// The two parameters of each effect as the Effect Edit Key dialog shows them: their labels and
// the ranges of their sliders.

#include <string_view>

#include "composer/core/clip_record.h"

namespace quenda {

struct EffectSliders {
  std::string_view labelA;
  std::string_view labelB;  // empty when the effect has no second parameter
  int minimum = 0;          // both sliders start at A's lower bound
  int maximumA = 0;
  int maximumB = 0;
};

// The sliders of an effect kind; all zero for image and virtual clips.
EffectSliders EffectSlidersOf(ClipKind kind);

}  // namespace quenda
