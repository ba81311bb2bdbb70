#include "composer/core/effect_sliders.h"

namespace quenda {

EffectSliders EffectSlidersOf(ClipKind kind) {
  switch (kind) {
    case ClipKind::Blur:
      return {"BlurX", "BlurY", 0, 15, 15};
    case ClipKind::Transparency:
      return {"Transp", "", 0, 100, 0};
    case ClipKind::BrightnessContrast:
      return {"Brightness", "Contrast", -127, 127, 127};
    case ClipKind::HueSaturation:
      return {"Hue", "Saturation", -127, 127, 127};
    case ClipKind::DirectionalBlur:
      return {"Blur", "Direction", 0, 15, 360};
    case ClipKind::Underwater:
      return {"Speed", "Wave Strength", 0, 100, 50};
    case ClipKind::Image:
    case ClipKind::Virtual:
      break;
  }
  return {};
}

}  // namespace quenda
