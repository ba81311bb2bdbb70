#pragma once
// The two Movie Settings dialogs as plain values and checks: the new-movie presets, and the
// settings of an open movie with their refusals.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "composer/core/composition.h"

namespace quenda {

enum class AspectChoice { Square, D1Ntsc, D1Pal, Custom };

struct MoviePreset {
  std::string_view name;
  int width;
  int height;
  float pixelAspect;
  AspectChoice aspectShown;
  int frameRate;
};

// In the order of the Presets list; "Custom" (which changes nothing) is not among them.
inline constexpr std::array<MoviePreset, 7> kMoviePresets = {{
    {"NTSC", 648, 486, 1.0f, AspectChoice::Square, 30},
    {"PAL", 768, 576, 1.0f, AspectChoice::Square, 25},
    {"D1 NTSC", 720, 486, 0.9f, AspectChoice::D1Ntsc, 30},
    {"D1 PAL", 720, 576, 1.067f, AspectChoice::D1Pal, 25},
    {"HDTV 1", 1280, 720, 1.0f, AspectChoice::Square, 30},
    {"HDTV 2", 1920, 1080, 1.0f, AspectChoice::Square, 30},
    {"Motion Picture", 2048, 1536, 2.0f, AspectChoice::Custom, 24},
}};
inline constexpr std::string_view kDefaultPreset = "PAL";

// The preset of that name; nothing for "Custom" or an unknown name.
std::optional<MoviePreset> FindMoviePreset(std::string_view name);
// The aspect the aspect combo sets (1.0, 0.9, 1.067); nothing for Custom.
std::optional<float> AspectForChoice(AspectChoice choice);

// What the new-movie dialog hands over on OK.
struct NewMovieValues {
  int frames = 25;
  int width = 768;
  int height = 576;
  float pixelAspect = 1.0f;
  int frameRate = 25;
  uint32_t backgroundColor = 0;
};

// The dialog's field ranges: the first field out of range, as "Please enter ..." text.
Status CheckNewMovieValues(const NewMovieValues& values);
// A new movie: the values given and every other saved field at its new-movie value, no clips.
Composition NewMovie(const NewMovieValues& values);

// What the Settings dialog of an open movie hands over on OK (safe margins in percent).
struct OpenMovieValues {
  int frames = 25;
  uint32_t backgroundColor = 0;
  double actionSafePercent = 10.0;
  double titleSafePercent = 20.0;
  int units = 2;
  int dpi = 100;
};

inline constexpr const char* kSafeFrameMessage =
    "The safe title percentage must be greater than safe action percentage.";
inline constexpr const char* kKeysInClippedFramesMessage =
    "There are keys in the cliped frames, first remove them to shorten the movie.";

inline constexpr double kMinSafePercent = 1.0;
inline constexpr double kMaxSafePercent = 50.0;
inline constexpr int kMinDpi = 10;
inline constexpr int kMaxDpi = 1200;

// "Please enter a value between LO and HI for FIELD.", the refusal of a field out of range.
Error FieldRangeError(std::string_view field, double lo, double hi);

// The values the dialog opens with for `composition`.
OpenMovieValues CurrentMovieValues(const Composition& composition);
// The dpi field's range, which the unit conversions of the key dialogs rely on.
Status CheckDpi(int dpi);
// The checks that keep the dialog open: every field in its range, then action safe below
// title safe.
Status CheckOpenMovieValues(const OpenMovieValues& values);
Status CheckSafeFrame(const OpenMovieValues& values);
// The highest frame below the frame count holding a key of any track of any clip; -1 if none.
int LastKeyedFrame(const Composition& composition);
// Applies the values, or refuses values out of range or a frame count that would cut off keyed
// frames.
Status ApplyMovieSettings(Composition& composition, const OpenMovieValues& values);
// "Expand the movie" for a clip that needs `framesNeeded` frames: the frame count it sets, which
// never passes kMaxMovieFrames, and a warning of how much of the clip stays beyond the end.
int ExpandedFrameCount(int framesNeeded);
Status CheckExpandedFrames(int framesNeeded);

}  // namespace quenda
