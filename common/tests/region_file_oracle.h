#pragma once
// Region files written the plain way, one pixel at a time, for the writers' tests to compare
// their bytes with, and maps of awkward runs to write.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include "common/byte_order.h"
#include "common/region_data.h"
#include "common/region_file.h"

namespace quenda::testing {

// The run rule walked one pixel at a time: a run reaching 255 is written as 254 and that pixel
// starts the next run.
template <class T>
void AppendRunsPixelByPixel(std::vector<uint8_t>& out, const std::vector<T>& values) {
  auto emit = [&out](T value, int count) {
    if constexpr (sizeof(T) == 1)
      out.push_back(uint8_t(value));
    else
      AppendU16LE(out, uint16_t(value));
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

// The three streams; data with one line colour for every pixel gets it spelt out pixel by pixel.
inline std::vector<uint8_t> StreamsPixelByPixel(const RegionData& data) {
  std::vector<uint8_t> out;
  AppendRunsPixelByPixel(out, data.flags);
  AppendRunsPixelByPixel(out, data.regionMap);
  if (data.uniformAnimColor && data.animColor.empty())
    AppendRunsPixelByPixel(out, std::vector<uint16_t>(data.PixelCount(), *data.uniformAnimColor));
  else
    AppendRunsPixelByPixel(out, data.animColor);
  return out;
}

// The whole file: header, box records, streams, field by field.
inline std::vector<uint8_t> RegionFilePixelByPixel(const RegionData& data) {
  std::vector<uint8_t> out{kRegionFileVersion};
  AppendU16LE(out, uint16_t(data.width));
  AppendU16LE(out, uint16_t(data.height));
  for (uint8_t setting : {data.settings.linePickUp, data.settings.lineGrowth,
                          data.settings.whiteClamp, data.settings.blackClamp})
    out.push_back(setting);
  AppendU16LE(out, uint16_t(data.regionCount));
  for (std::size_t r = 1; r < data.regionBounds.size(); ++r)
    for (int field : {data.regionBounds[r].maxY, data.regionBounds[r].minY,
                      data.regionBounds[r].minX, data.regionBounds[r].maxX})
      AppendU16LE(out, uint16_t(field));
  const std::vector<uint8_t> streams = StreamsPixelByPixel(data);
  out.insert(out.end(), streams.begin(), streams.end());
  return out;
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

// Every pixel a run of its own in the flag and region planes: the largest file a picture of
// that size can make, written in several pieces.
inline RegionData SpeckledRegions(int width, int height, const RedlineSettings& settings = {}) {
  RegionData data = MakeBlankRegionData(width, height, settings);
  data.regionCount = 1;
  for (std::size_t i = 0; i < data.PixelCount(); ++i) {
    data.flags[i] = uint8_t(i % 2);
    data.regionMap[i] = uint16_t(1 + i % 2);
  }
  data.regionBounds.resize(3);
  ComputeRegionBounds(data);
  return data;
}

}  // namespace quenda::testing
