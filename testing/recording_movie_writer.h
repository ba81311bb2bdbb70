#pragma once
// A movie writer that keeps every call in memory, and can be told to refuse the file or a frame.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/movie_writer.h"

namespace quenda::testing {

class RecordingMovieWriter final : public MovieWriter {
 public:
  bool Open(const std::string& p, int q, int r, int w, int h) override {
    path = p, quality = q, rate = r, width = w, height = h;
    return opens;
  }
  bool WriteSound(const WaveFormat&, const uint8_t* samples, std::size_t count) override {
    sound.assign(samples, samples + count);
    return true;
  }
  bool WriteFrame(int index, const uint8_t* bgr) override {
    if (int(frames.size()) == failFrameAt) return false;
    indices.push_back(index);
    frames.emplace_back(bgr, bgr + std::size_t(width) * std::size_t(height) * 3);
    return true;
  }
  void Close() override { ++closes; }
  void Discard() override { ++discards; }

  bool opens = true;
  int failFrameAt = -1;  // the number of frames written before WriteFrame fails
  std::string path;
  int quality = 0, rate = 0, width = 0, height = 0, closes = 0, discards = 0;
  std::vector<uint8_t> sound;
  std::vector<int> indices;
  std::vector<std::vector<uint8_t>> frames;
};

}  // namespace quenda::testing
