#pragma once
// Movies for editing and review: H.264 in MP4 (yuv420p, BT.709, limited range, sound as AAC)
// and ProRes 4444 in MOV (yuva444p10le with the picture's straight alpha, sound as 24-bit PCM).
// Pictures arrive one at a time as the suite holds them (blue, green, red and perhaps alpha,
// bottom row first); the movie grows in the atomic writer's temporary file beside the target
// and takes its place only in Finish, so a run that fails or is dropped leaves the last good
// movie. Finish after fewer pictures than planned (a user's stop) still makes a whole, playable
// movie of the pictures written, with the sound cut at their end.
//
// WriteFrame converts the picture and hands it to the encoder's own thread (a queue of a few
// pictures), so the caller makes the next picture while this one is encoded; a failure there is
// told by a later WriteFrame or by Finish, which waits for every picture handed in.
//
// H.264 needs even sides: an odd width or height is padded on the right or at the bottom by one
// pixel of the background, and paddedWidth()/paddedHeight() say so. Transparent pixels are laid
// over the background for H.264; ProRes keeps them as they are, with the alpha.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/pcm_sound.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda {

enum class MovieCodec { H264, ProRes4444 };

struct FrameRate {
  int numerator = 25;
  int denominator = 1;
  double PerSecond() const { return double(numerator) / double(denominator); }
  bool operator==(const FrameRate&) const = default;
};
inline constexpr int kMaxMovieFrameRate = 1000;

// "25", "24000/1001" or "30000/1001": whole frames per second from 1 to 1000, or a fraction
// whose value lies there.
std::optional<FrameRate> ParseFrameRate(std::string_view text);
// "25" or "24000/1001", as ParseFrameRate reads it.
std::string FrameRateText(FrameRate rate);

inline constexpr int kDefaultMovieCrf = 18;
inline constexpr int kMaxMovieCrf = 51;
inline constexpr std::string_view kDefaultMoviePreset = "veryfast";
// The H.264 encoder's presets, fastest first: slower ones make smaller files of the same look.
std::span<const std::string_view> MovieEncoderPresets();
bool IsMoviePreset(std::string_view preset);

struct MovieEncoderSettings {
  MovieCodec codec = MovieCodec::H264;
  int width = 0;  // of the pictures handed in
  int height = 0;
  FrameRate rate;
  int crf = kDefaultMovieCrf;  // H.264 only: 0 (lossless) .. 51 (worst)
  std::string preset{kDefaultMoviePreset};
  uint8_t backgroundRed = 255, backgroundGreen = 255, backgroundBlue = 255;
  const PcmSound* sound = nullptr;  // read during Open only
  // The movie picture (from 0) under the sound's first sample; below 0 the sound's beginning
  // is left out.
  long long soundStartFrame = 0;
  // The codec's own threads; 0 takes InnerThreads(), the share of the cores each frame made at
  // once gets, so frames composed beside the encoder do not oversubscribe the machine.
  int threads = 0;
};

// The container a file name asks for: ".mp4" H.264, ".mov" ProRes 4444, in any case.
std::optional<MovieCodec> CodecForMovieName(std::string_view path);
std::string_view CodecName(MovieCodec codec);  // "h264", "prores4444"

class MovieEncoder {
 public:
  MovieEncoder();
  ~MovieEncoder();  // drops an unfinished movie
  MovieEncoder(const MovieEncoder&) = delete;
  MovieEncoder& operator=(const MovieEncoder&) = delete;

  Status Open(const std::string& path, const MovieEncoderSettings& settings);
  // A picture of the opened size with 3 (BGR) or 4 (BGRA, straight alpha) channels.
  Status WriteFrame(ConstRasterView picture);
  // Writes what the encoders still hold and puts the movie in place.
  Status Finish();
  // Drops the movie being written; the file at the path stays as it was.
  void Discard();

  int framesWritten() const;
  double seconds() const;  // of the pictures written
  int paddedWidth() const;
  int paddedHeight() const;
  bool hasSound() const;
  int codecThreads() const;  // as the codec was opened with; 0 before Open

 private:
  struct State;
  Status Fail(std::string reason);
  std::unique_ptr<State> state_;
};

}  // namespace quenda
