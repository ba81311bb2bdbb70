#include "dopegrid/core/sound_track.h"

#include <algorithm>

namespace quenda {

int SamplesPerFrame(const SoundTrack& sound) {
  if (sound.frameRate <= 0) return 0;
  return int(sound.format.samplesPerSecond / uint32_t(sound.frameRate));
}

std::optional<SampleRange> SelectionSampleRange(const SoundTrack& sound, int firstFrame,
                                                int lastFrame) {
  long long perFrame = SamplesPerFrame(sound);
  long long s = std::max(firstFrame - sound.startFrame + 1, 0);
  long long e = lastFrame - sound.startFrame + 1;
  long long total = (long long)sound.samples.size();
  if (e < 0 || e < s) return std::nullopt;
  long long offset = s * perFrame;
  if (offset >= total) return std::nullopt;
  long long length = std::min((e - s + 1) * perFrame, total - offset);
  if (length <= 0) return std::nullopt;
  return SampleRange{std::size_t(offset), std::size_t(length)};
}

std::vector<uint8_t> FlipbookSoundBlock(const SoundTrack& sound, int firstFrame, int lastFrame) {
  long long n = SamplesPerFrame(sound);
  long long g = firstFrame - sound.startFrame + 1;
  long long h = lastFrame - sound.startFrame + 1;
  long long total = (long long)sound.samples.size();
  long long from = std::max(g, 0LL) * n;
  if (h < 0 || h < g || n == 0 || from >= total) return {};
  std::vector<uint8_t> block(std::size_t((h - g + 1) * n), kFlipbookSilence);
  long long count = std::min((h - std::max(g, 0LL) + 1) * n, total - from);
  long long to = std::max(-g, 0LL) * n;
  std::copy_n(sound.samples.begin() + from, count, block.begin() + to);
  return block;
}

std::vector<WavePoint> WaveformPoints(const SoundTrack& sound, int topFrame, int visibleFrames,
                                      int rowHeight) {
  std::vector<WavePoint> points;
  long long perFrame = SamplesPerFrame(sound);
  if (!sound.loaded || perFrame == 0 || rowHeight <= 0 || visibleFrames <= 0) return points;
  long long base = (long long)(topFrame - sound.startFrame + 1) * perFrame;
  long long total = (long long)sound.samples.size();
  for (int y = 0; y < visibleFrames * rowHeight; ++y) {
    long long index = base + y * perFrame / rowHeight;
    if (index < 0) continue;
    if (index >= total) break;
    points.push_back({sound.samples[std::size_t(index)] * kSoundColumnWidth / 256, y});
  }
  return points;
}

bool PlaySound(const SoundTrack& sound, SampleRange range, std::string_view status,
               AudioOutput& output, PlaybackWatch& watch, Prompt& prompt) {
  if (!sound.loaded || range.length == 0 || range.offset + range.length > sound.samples.size())
    return false;
  if (!output.CanPlay(sound.format)) {
    prompt.Message("There are no audio devices to play the sound!", MessageIcon::Error);
    return false;
  }
  if (!output.Open(sound.format)) {
    prompt.Message("Could not open the audio device!", MessageIcon::Error);
    return false;
  }
  std::vector<uint8_t> block(sound.samples.begin() + std::ptrdiff_t(range.offset),
                             sound.samples.begin() + std::ptrdiff_t(range.offset + range.length));
  if (!output.Play(block, 0)) {
    output.Stop();
    prompt.Message("Could not write wave header", MessageIcon::Error);
    return false;
  }
  watch.ShowStatus(status);
  double end = double(range.length) - 2;
  double rate = double(sound.format.samplesPerSecond);
  while (std::optional<double> ms = output.PlayedMs()) {
    if (*ms * rate / 1000.0 >= end) break;
    if (watch.KeyPressed()) {
      watch.ShowStatus("Stopped.");
      break;
    }
  }
  output.Stop();
  watch.ShowStatus("Stopped.");
  return true;
}

}  // namespace quenda
