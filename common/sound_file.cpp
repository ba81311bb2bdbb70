#include "common/sound_file.h"

#include <algorithm>
#include <cmath>

namespace quenda {

WaveSound SheetSoundFrom(const PcmSound& sound) {
  WaveSound sheet;
  const uint32_t rate = uint32_t(std::max(sound.sampleRate, 1));
  sheet.format.samplesPerSecond = rate;
  sheet.format.averageBytesPerSecond = rate;
  const std::size_t frames = sound.FrameCount();
  sheet.samples.resize(frames);
  const std::size_t channels = std::size_t(sound.channels);
  for (std::size_t i = 0; i < frames; ++i) {
    double sum = 0;
    for (std::size_t c = 0; c < channels; ++c) sum += sound.samples[i * channels + c];
    const double level = std::round(sum / double(channels) * 128.0) + 128.0;
    sheet.samples[i] = uint8_t(std::clamp(level, 0.0, 255.0));
  }
  sheet.conversion =
      "Converted " +
      std::string(sound.channels == 1   ? "mono "
                  : sound.channels == 2 ? "stereo "
                                        : std::to_string(sound.channels) + "-channel ") +
      std::to_string(rate) + " Hz sound to 8-bit mono.";
  return sheet;
}

Result<WaveSound> ReadSheetSound(const std::string& path, const SoundDecoder* decoder) {
  if (path.ends_with(".wav") || !decoder) {
    Result<WaveSound> wave = ReadWaveFile(path);
    if (wave || !decoder || wave.message() != kWaveUnsupported) return wave;
  }
  Result<PcmSound> decoded = decoder->Decode(path);
  if (!decoded) return Error{decoded.message()};
  if (decoded->FrameCount() == 0) return Error{std::string(kWaveEmpty)};
  return SheetSoundFrom(*decoded);
}

}  // namespace quenda
