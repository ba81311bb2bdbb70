#include "composer/core/movie_settings.h"

#include <algorithm>

namespace quenda {

namespace {

bool InRange(int v, int lo, int hi) {
  return v >= lo && v <= hi;
}

}  // namespace

Error FieldRangeError(std::string_view field, double lo, double hi) {
  auto text = [](double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
  };
  return Error{"Please enter a value between " + text(lo) + " and " + text(hi) + " for " +
               std::string(field) + "."};
}

std::optional<MoviePreset> FindMoviePreset(std::string_view name) {
  for (const MoviePreset& preset : kMoviePresets)
    if (preset.name == name) return preset;
  return std::nullopt;
}

std::optional<float> AspectForChoice(AspectChoice choice) {
  switch (choice) {
    case AspectChoice::Square:
      return 1.0f;
    case AspectChoice::D1Ntsc:
      return 0.9f;
    case AspectChoice::D1Pal:
      return 1.067f;
    case AspectChoice::Custom:
      return std::nullopt;
  }
  return std::nullopt;
}

Status CheckNewMovieValues(const NewMovieValues& v) {
  if (!InRange(v.frames, 1, kMaxMovieFrames)) return FieldRangeError("Frames", 1, kMaxMovieFrames);
  if (!InRange(v.width, kMinMovieSide, kMaxMovieSide))
    return FieldRangeError("Width", kMinMovieSide, kMaxMovieSide);
  if (!InRange(v.height, kMinMovieSide, kMaxMovieSide))
    return FieldRangeError("Height", kMinMovieSide, kMaxMovieSide);
  if (!(v.pixelAspect >= 0.1f && v.pixelAspect <= 3.0f))
    return FieldRangeError("Pixel Aspect", 0.1, 3.0);
  if (!InRange(v.frameRate, 1, kMaxFrameRate))
    return FieldRangeError("Frame Rate", 1, kMaxFrameRate);
  return {};
}

Composition NewMovie(const NewMovieValues& values) {
  Composition c;
  c.width = values.width;
  c.height = values.height;
  c.frames = values.frames;
  c.backgroundColor = values.backgroundColor;
  c.frameRate = values.frameRate;
  c.pixelAspect = values.pixelAspect;
  return c;
}

OpenMovieValues CurrentMovieValues(const Composition& c) {
  OpenMovieValues v;
  v.frames = c.frames;
  v.backgroundColor = c.backgroundColor;
  v.actionSafePercent = double(c.actionSafe) * 100.0;
  v.titleSafePercent = double(c.titleSafe) * 100.0;
  v.units = c.units;
  v.dpi = c.dpi;
  return v;
}

Status CheckDpi(int dpi) {
  if (!InRange(dpi, kMinDpi, kMaxDpi)) return FieldRangeError("Dot Per Inch", kMinDpi, kMaxDpi);
  return {};
}

Status CheckOpenMovieValues(const OpenMovieValues& v) {
  if (!InRange(v.frames, 1, kMaxMovieFrames)) return FieldRangeError("Frames", 1, kMaxMovieFrames);
  auto safeOk = [](double p) { return p >= kMinSafePercent && p <= kMaxSafePercent; };
  if (!safeOk(v.actionSafePercent))
    return FieldRangeError("Action Safe", kMinSafePercent, kMaxSafePercent);
  if (!safeOk(v.titleSafePercent))
    return FieldRangeError("Title Safe", kMinSafePercent, kMaxSafePercent);
  if (!InRange(v.units, 0, 2)) return FieldRangeError("Units", 0, 2);
  if (Status dpi = CheckDpi(v.dpi); !dpi) return dpi;
  return CheckSafeFrame(v);
}

Status CheckSafeFrame(const OpenMovieValues& values) {
  if (!(values.actionSafePercent < values.titleSafePercent)) return Error{kSafeFrameMessage};
  return {};
}

int LastKeyedFrame(const Composition& c) {
  int last = -1;
  for (const ClipRecord& clip : c.clips)
    for (const KeyTrack& track : clip.tracks)
      for (const Key& key : track.keys())
        if (key.frame < c.frames && key.frame > last) last = key.frame;
  return last;
}

Status ApplyMovieSettings(Composition& c, const OpenMovieValues& values) {
  if (Status checked = CheckOpenMovieValues(values); !checked) return checked;
  if (values.frames <= LastKeyedFrame(c)) return Error{kKeysInClippedFramesMessage};
  c.actionSafe = float(values.actionSafePercent * 0.01);
  c.titleSafe = float(values.titleSafePercent * 0.01);
  c.frames = values.frames;
  c.backgroundColor = values.backgroundColor;
  c.units = values.units;
  c.dpi = values.dpi;
  return {};
}

int ExpandedFrameCount(int framesNeeded) {
  return std::clamp(framesNeeded, 1, kMaxMovieFrames);
}

Status CheckExpandedFrames(int framesNeeded) {
  if (framesNeeded <= kMaxMovieFrames) return {};
  return Error{"A movie holds at most " + std::to_string(kMaxMovieFrames) + " frames: the last " +
               std::to_string(framesNeeded - kMaxMovieFrames) +
               " frames of the clip lie beyond its end."};
}

}  // namespace quenda
