#include "composer/core/effect_parameters.h"

#include "composer/core/movie_settings.h"

namespace quenda {

EffectParameter EffectParameterOf(ClipKind kind, int track) {
  const bool a = track == kPositionX;
  // Both sliders start at A's lower bound.
  switch (kind) {
    case ClipKind::Blur:
      return a ? EffectParameter{"BlurX", 0, 15} : EffectParameter{"BlurY", 0, 15};
    case ClipKind::Transparency:
      return a ? EffectParameter{"Transp", 0, 100} : EffectParameter{"", 0, 0};
    case ClipKind::BrightnessContrast:
      return a ? EffectParameter{"Brightness", -127, 127} : EffectParameter{"Contrast", -127, 127};
    case ClipKind::HueSaturation:
      return a ? EffectParameter{"Hue", -127, 127} : EffectParameter{"Saturation", -127, 127};
    case ClipKind::DirectionalBlur:
      return a ? EffectParameter{"Blur", 0, 15} : EffectParameter{"Direction", 0, 360};
    case ClipKind::Underwater:
      return a ? EffectParameter{"Speed", 0, 100} : EffectParameter{"Wave Strength", 0, 50};
    default:
      return {"", 0, 0};
  }
}

Status CheckEffectValue(ClipKind kind, int track, double value) {
  EffectParameter p = EffectParameterOf(kind, track);
  if (value >= p.min && value <= p.max) return {};
  return FieldRangeError(p.label.empty() ? "B" : p.label, p.min, p.max);
}

}  // namespace quenda
