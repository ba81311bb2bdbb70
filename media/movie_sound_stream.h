#pragma once
// The sound stream of an encoded movie: the whole track converted once to the encoder's rate and
// sample form, laid on the movie's time line (silence before it starts, its beginning left out
// when it started earlier), then encoded piece by piece as the pictures it belongs with are
// written. Inside media/ only.

#include <cstdint>
#include <string>
#include <vector>

#include "common/result.h"
#include "media/ffmpeg_support.h"
#include "media/movie_encoder.h"

namespace quenda::media {

// FFmpeg's words for an error code.
std::string LibraryReason(int ffmpegError);

class MovieSoundStream {
 public:
  // Adds the stream to `format`; `startSeconds` is the movie time of the sound's first sample.
  Status Open(AVFormatContext* format, MovieCodec codec, const PcmSound& sound,
              double startSeconds);
  // Encodes the track up to `seconds` of movie time (never past its end); on the last call the
  // encoder is also drained.
  Status WriteUntil(double seconds, bool last);
  int64_t samplesWritten() const { return written_; }

 private:
  Status Send(const AVFrame* frame);

  AVFormatContext* format_ = nullptr;
  AVStream* stream_ = nullptr;
  CodecContextPtr codec_;
  FramePtr frame_;
  PacketPtr packet_;
  std::vector<std::vector<uint8_t>> planes_;  // one per channel when planar, else one
  int bytesPerSample_ = 0;                    // per plane's sample frame
  int64_t length_ = 0;                        // sample frames on the movie's time line
  int64_t written_ = 0;
  int chunk_ = 1024;
};

}  // namespace quenda::media
