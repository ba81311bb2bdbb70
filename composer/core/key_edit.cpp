#include "composer/core/key_edit.h"

#include <cmath>

#include "composer/core/effect_parameters.h"
#include "composer/core/movie_settings.h"

namespace quenda {

std::vector<int> TracksOfKind(KeyKind kind) {
  switch (kind) {
    case KeyKind::Position:
      return {kPositionX, kPositionY};
    case KeyKind::Scale:
      return {kScaleX, kScaleY};
    case KeyKind::Rotation:
      return {kRotation};
    case KeyKind::Effect:
      return {kPositionX, kPositionY};
  }
  return {};
}

const char* KeyKindName(KeyKind kind) {
  switch (kind) {
    case KeyKind::Position:
      return "Position";
    case KeyKind::Scale:
      return "Scale";
    case KeyKind::Rotation:
      return "Rotation";
    case KeyKind::Effect:
      return "Effect";
  }
  return "";
}

Status CheckKeyTime(int time1Based, int frames) {
  if (time1Based < 1 || time1Based > frames)
    return Error{"Please enter a key time between 1 and " + std::to_string(frames)};
  return {};
}

Status CheckKeyEditValues(const KeyEditValues& values, ClipKind clipKind, int frames) {
  if (Status time = CheckKeyTime(values.frame + 1, frames); !time) return time;
  if (values.kind != KeyKind::Effect) return {};
  if (Status a = CheckEffectValue(clipKind, kPositionX, values.a); !a) return a;
  return CheckEffectValue(clipKind, kPositionY, values.b);
}

Status CheckClipStart(int start1Based, int lastStart) {
  if (start1Based < 1 || start1Based > lastStart)
    return Error{"The start frm must be between 1 and " + std::to_string(lastStart)};
  return {};
}

Result<double> PixelsToUnits(double pixels, int units, int dpi) {
  if (units != 1 && units != 2) return pixels;
  if (Status checked = CheckDpi(dpi); !checked) return Error{checked.message()};
  if (units == 1) return pixels * 2.54 / dpi;
  return pixels / dpi;
}

Result<double> UnitsToPixels(double value, int units, int dpi) {
  if (units != 1 && units != 2) return value;
  if (Status checked = CheckDpi(dpi); !checked) return Error{checked.message()};
  if (units == 1) return value * dpi * 0.39370078740157477;
  return value * dpi;
}

std::string PositionLabel(char axis, int units) {
  std::string base = std::string("Pos") + axis;
  if (units == 1) return base + "  (cm)";
  if (units == 2) return base + " (inch)";
  return base + " (pixel)";
}

TurnsAndDegrees RadiansToTurns(double radians) {
  double degrees = radians * 0.3183098861837697 * 180;
  double turns = std::floor(std::fabs(std::trunc(degrees)) * (1.0 / 360));
  if (degrees <= 0) turns = -turns;
  return {turns, degrees - 360 * turns};
}

double TurnsToRadians(double turns, double degrees) {
  return (turns * 360 + degrees) * (1.0 / 180) * 3.14159265359;
}

std::string KeyExistsInChangedFrameMessage(KeyKind kind) {
  switch (kind) {
    case KeyKind::Position:
      return "A position key exists in the changed frame, delete that key first";
    case KeyKind::Scale:
      return "A scale key exists in the changed frame, delete that key first";
    case KeyKind::Rotation:
      return "A rotation key exists in the changed frame, delete that key first";
    case KeyKind::Effect:
      return "An effect key exists in the changed frame, delete that key first";
  }
  return {};
}

}  // namespace quenda
