#pragma once
// What an MP4 or MOV movie holds as stored, for `quenda info`: the picture stream's codec and
// profile, pixel form, size, rate, frame count and length, and the sound stream's codec, form
// and length. Opening failures carry the player's messages.

#include <optional>
#include <string>

#include "common/result.h"

namespace quenda {

struct SoundStreamFacts {
  std::string codec;  // FFmpeg's name: "aac", "pcm_s24le"
  int channels = 0;
  int samplesPerSecond = 0;
  int bitsPerSample = 0;  // as stored; 0 for compressed sound
  double seconds = 0;
};

struct MovieFacts {
  std::string container;    // "MP4", "MOV"
  std::string codec;        // FFmpeg's name: "h264", "prores"
  std::string profile;      // "High", "4444"; empty when the codec names none
  std::string pixelFormat;  // FFmpeg's name: "yuv420p", "yuva444p10le"
  bool alpha = false;
  int width = 0, height = 0;
  int rateNumerator = 0, rateDenominator = 1;  // frames per second as a fraction
  long long frames = 0;
  double seconds = 0;  // of the picture stream
  std::optional<SoundStreamFacts> sound;
};

// The first picture stream and the first sound stream of the movie at `path`.
Result<MovieFacts> ReadMovieFacts(const std::string& path);

}  // namespace quenda
