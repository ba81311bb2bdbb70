#pragma once
// Helpers for the movie tests: colour pictures that change from frame to frame, picture error,
// written movies, and ffprobe as a reader that owes nothing to ours.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/raster.h"
#include "common/wave_format.h"

namespace quenda::testing {

// width x height x 3 bytes, blue green red, bottom row first; smooth colour with a moving disc.
std::vector<uint8_t> MakeColourPicture(int width, int height, int frame);

// Mean absolute difference per byte.
double MeanAbsoluteError(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// 8-bit mono PCM at the rate given.
WaveFormat Mono8BitFormat(uint32_t samplesPerSecond);
std::vector<uint8_t> MakeSoundBlock(std::size_t bytes);

struct MoviePlan {
  int width = 47;
  int height = 33;
  int framesPerSecond = 25;
  int frames = 3;
  int quality = 10000;
  std::size_t soundBytes = 0;  // no sound when 0
  uint32_t soundRate = 22050;
};
// Writes a movie through AviWriter; fails the test on any message.
void WriteMovie(const std::string& path, const MoviePlan& plan);

// One map of ffprobe's key=value lines per stream, in stream order; empty when ffprobe fails.
std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path);

// Runs a shell command; its standard error goes to the test's log. Answers the exit code.
int RunShell(const std::string& command);
// A command's standard output, whole.
std::vector<uint8_t> ShellOutput(const std::string& command);

// Every picture of a movie as ffmpeg decodes it, top row first, in `pixelFormat` (rgb24, rgba).
std::vector<uint8_t> DecodedPictures(const std::string& path, const std::string& pixelFormat);
// A movie's sound as ffmpeg decodes it: signed 16-bit mono at `rate`.
std::vector<int16_t> DecodedSound(const std::string& path, int rate);

// ffmpeg's own BT.709 limited-range 4:2:0 form of an RGB picture (top row first), padded on the
// right and at the bottom with white to the padded size; `scratch` is a file it may use.
std::vector<uint8_t> ReferenceYuv420(const std::vector<uint8_t>& rgb, int width, int height,
                                     int paddedWidth, int paddedHeight, const std::string& scratch);

// A picture (blue, green, red, alpha, bottom row first) as a viewer shows it: red, green, blue
// and, when `withAlpha`, alpha, top row first; laid over white when `overWhite`.
std::vector<uint8_t> ShownPicture(const Raster& picture, bool overWhite, bool withAlpha);

// The first and the last samples louder than a quarter of full scale; -1 for none.
std::pair<long, long> LoudSpan(const std::vector<int16_t>& samples);

// Peak signal to noise ratio of two equal-sized byte pictures, in dB (999 when equal).
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace quenda::testing
