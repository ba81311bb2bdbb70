#include "media/encoded_movie_writer.h"

#include <cstring>

namespace quenda {
namespace {

// As the AVI writer: a gap larger than this would only fill the disk.
constexpr int kMaxFrameGap = 100000;

}  // namespace

bool EncodedMovieWriter::Fail(const Status& status) {
  prompt_.Message(status.message(), MessageIcon::Error);
  encoder_.Discard();
  open_ = started_ = succeeded_ = false;
  return false;
}

bool EncodedMovieWriter::Open(const std::string& path, int quality, int framesPerSecond, int width,
                              int height) {
  Close();
  succeeded_ = false;
  std::optional<MovieCodec> codec = CodecForMovieName(path);
  if (!codec) return Fail(Error{"Could not write the movie " + path + ": not .mp4 or .mov"});
  path_ = path;
  settings_ = MovieEncoderSettings{};
  settings_.codec = *codec;
  settings_.width = width;
  settings_.height = height;
  settings_.rate = FrameRate{framesPerSecond, 1};
  settings_.crf = CrfForQuality(quality);
  sound_ = PcmSound{};
  lastIndex_ = -1;
  last_.clear();
  open_ = true;
  started_ = false;
  return true;
}

bool EncodedMovieWriter::WriteSound(const WaveFormat& format, const uint8_t* samples,
                                    std::size_t byteCount) {
  if (!open_) return false;
  const std::string refusal = "Could not write the movie " + path_ + ": ";
  if (started_ || !sound_.samples.empty())
    return Fail(Error{refusal + "the sound must come before the pictures"});
  const bool bits8 = format.bitsPerSample == 8, bits16 = format.bitsPerSample == 16;
  if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.channels > 2 ||
      !(bits8 || bits16) || format.samplesPerSecond < 1 || (byteCount > 0 && !samples))
    return Fail(Error{refusal + "the sound is not 8- or 16-bit PCM"});
  sound_.sampleRate = int(format.samplesPerSecond);
  sound_.channels = format.channels;
  const std::size_t count = byteCount / (bits8 ? 1 : 2);
  sound_.samples.resize(count - count % std::size_t(format.channels));
  for (std::size_t i = 0; i < sound_.samples.size(); ++i) {
    if (bits8) {
      sound_.samples[i] = (float(samples[i]) - 128.0f) / 128.0f;
    } else {
      int16_t value = 0;
      std::memcpy(&value, samples + 2 * i, 2);
      sound_.samples[i] = float(value) / 32768.0f;
    }
  }
  return true;
}

bool EncodedMovieWriter::Put(const uint8_t* bgrBottomUp) {
  ConstRasterView view{bgrBottomUp, settings_.width, settings_.height, 3,
                       std::ptrdiff_t(settings_.width) * 3};
  if (Status written = encoder_.WriteFrame(view); !written) return Fail(written);
  return true;
}

bool EncodedMovieWriter::WriteFrame(int index, const uint8_t* bgrBottomUp) {
  if (!open_) return false;
  if (!bgrBottomUp || index <= lastIndex_ || index > lastIndex_ + kMaxFrameGap)
    return Fail(Error{"Could not write the movie " + path_ + ": the frames are out of order"});
  if (!started_) {
    settings_.sound = sound_.samples.empty() ? nullptr : &sound_;
    if (Status opened = encoder_.Open(path_, settings_); !opened) return Fail(opened);
    started_ = true;
    sound_.samples = {};  // the encoder holds its own copy now
  }
  for (int skipped = lastIndex_ + 1; skipped < index && !last_.empty(); ++skipped)
    if (!Put(last_.data())) return false;
  if (!Put(bgrBottomUp)) return false;
  last_.assign(bgrBottomUp, bgrBottomUp + std::size_t(settings_.width) * settings_.height * 3);
  lastIndex_ = index;
  return true;
}

void EncodedMovieWriter::Close() {
  if (!open_) return;
  if (!started_) {
    // No picture came, so there is no movie to put in place; the run has said why.
    open_ = false;
    return;
  }
  if (Status finished = encoder_.Finish(); !finished) {
    Fail(finished);
    return;
  }
  open_ = started_ = false;
  succeeded_ = true;
}

void EncodedMovieWriter::Discard() {
  encoder_.Discard();
  open_ = started_ = succeeded_ = false;
}

}  // namespace quenda
