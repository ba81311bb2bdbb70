#pragma once
// The two parameters of each effect as the Effect Edit Key dialog shows them: labels and the
// ranges of its sliders.

#include <string_view>

#include "common/result.h"
#include "composer/core/clip_record.h"

namespace quenda {

struct EffectParameter {
  std::string_view label;  // empty for Transparency's unused second value
  int min;
  int max;
};

// Parameter A (track 0) or B (track 1) of an effect kind; {"", 0, 0} for other kinds.
EffectParameter EffectParameterOf(ClipKind kind, int track);

// "Please enter a value between MIN and MAX for LABEL." when `value` lies outside the slider's
// range (a second value without a label is named "B").
Status CheckEffectValue(ClipKind kind, int track, double value);

}  // namespace quenda
