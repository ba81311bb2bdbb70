// The region file writer compares whole words to find where runs end; it must still write
// exactly the runs of the pixel-by-pixel rule, wherever a change falls within a word.

#include <gtest/gtest.h>

#include <random>

#include "common/byte_order.h"
#include "common/region_file.h"

namespace quenda {
namespace {

// The run rule walked one pixel at a time: a run reaching 255 is written as 254 and that pixel
// starts the next run.
template <class T>
void AppendRunsPixelByPixel(std::vector<uint8_t>& out, const std::vector<T>& values) {
  auto emit = [&out](T value, int count) {
    if (sizeof(T) == 1) {
      out.push_back(uint8_t(value));
    } else {
      AppendU16LE(out, uint16_t(value));
    }
    out.push_back(uint8_t(count));
  };
  if (values.empty()) return;
  T value = values[0];
  int count = 1;
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (values[i] == value && ++count == 255) {
      emit(value, 254);
      count = 1;
    } else if (values[i] != value) {
      emit(value, count);
      value = values[i];
      count = 1;
    }
  }
  emit(value, count);
}

std::vector<uint8_t> StreamsPixelByPixel(const RegionData& data) {
  std::vector<uint8_t> out;
  AppendRunsPixelByPixel(out, data.flags);
  AppendRunsPixelByPixel(out, data.regionMap);
  AppendRunsPixelByPixel(out, data.animColor);
  return out;
}

std::vector<uint8_t> Streams(const RegionData& data) {
  std::vector<uint8_t> bytes = EncodeRegionFile(data);
  std::size_t start = kRegionFileHeaderSize + kRegionBoxRecordSize * (data.regionCount + 1);
  return {bytes.begin() + std::ptrdiff_t(start), bytes.end()};
}

// Runs of random lengths near the word size and near 254, with values that differ from their
// neighbours in one byte only (so a change hides in the high byte of a 16-bit value).
template <class T>
std::vector<T> RunsOfRandomLength(std::size_t n, std::mt19937& random) {
  constexpr int kLengths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 253, 254, 255, 256, 508, 509};
  std::vector<T> values;
  T value = 0;
  while (values.size() < n) {
    std::size_t length = std::size_t(kLengths[random() % std::size(kLengths)]);
    values.insert(values.end(), std::min(length, n - values.size()), value);
    const unsigned shift = sizeof(T) == 2 && random() % 2 ? 8 : 0;
    value = T(value ^ T((1 + random() % 255) << shift));
  }
  return values;
}

TEST(RegionFileRuns, WordWiseRunsEqualThePixelRuleAtEveryAlignment) {
  std::mt19937 random(11);
  for (int width : {1, 3, 7, 8, 9, 47, 254, 255, 301}) {
    for (int height : {1, 2, 33}) {
      for (int trial = 0; trial < 4; ++trial) {
        RegionData data = MakeBlankRegionData(width, height);
        const std::size_t n = data.PixelCount();
        data.flags = RunsOfRandomLength<uint8_t>(n, random);
        data.regionMap = RunsOfRandomLength<uint16_t>(n, random);
        data.animColor = RunsOfRandomLength<uint16_t>(n, random);
        EXPECT_EQ(Streams(data), StreamsPixelByPixel(data)) << width << " x " << height;
      }
    }
  }
}

}  // namespace
}  // namespace quenda
