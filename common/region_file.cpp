#include "common/region_file.h"

#include <algorithm>
#include <cassert>

#include "common/byte_order.h"
#include "common/color_set.h"
#include "common/file_io.h"
#include "common/large_pages.h"

namespace quenda {
namespace {

// Each run covers at most this many pixels, so a file of n stream bytes holds few pixels.
constexpr std::size_t kLongestReadableRun = 255;
constexpr std::size_t kFlagUnit = 2;
constexpr std::size_t kWordUnit = 3;

struct ReaderTexts {
  std::string_view open;
  std::string_view version;
  std::string_view resolution;
  std::string_view truncated;
  bool withPath;
};

const ReaderTexts& TextsFor(RegionReader who) {
  static const ReaderTexts kAnalyzer{"Error opening file for reading",
                                     "Incorrect region file version",
                                     "The regions file resolution does not match",
                                     "Error reading region file: unexpected end of file", false};
  static const ReaderTexts kPainter{
      "Error opening region file :", "Incorrect region file version :",
      "The regions file resolution does not match :",
      "Error reading region file: unexpected end of file :", true};
  static const ReaderTexts kSheet{
      "Error opening file ", "Incorrect region file version :",
      "The regions file resolution does not match :", "Error reading file ", true};
  switch (who) {
    case RegionReader::Analyzer:
      return kAnalyzer;
    case RegionReader::Painter:
      return kPainter;
    case RegionReader::Sheet:
      break;
  }
  return kSheet;
}

Error ReadError(RegionReader who, std::string_view text, std::string_view path) {
  std::string message(text);
  if (TextsFor(who).withPath) message += path;
  return Error{std::move(message)};
}

Error Truncated(RegionReader who, std::string_view path) {
  // The exposure sheet words every short read of its files the same way.
  if (who == RegionReader::Sheet)
    return Error{"Error reading file " + std::string(path) + " : unexpected end of file"};
  return ReadError(who, TextsFor(who).truncated, path);
}

RegionBox ReadBox(const uint8_t* p, int width, int height) {
  RegionBox box;
  box.maxY = GetU16LE(p);
  box.minY = GetU16LE(p + 2);
  box.minX = GetU16LE(p + 4);
  box.maxX = GetU16LE(p + 6);
  if (box.minX > box.maxX || box.maxX >= width || box.minY > box.maxY || box.maxY >= height)
    return EmptyRegionBox(width, height);
  return box;
}

// Walks one stream, filling `count` pixels. `put(index, value, n)` stores n copies.
class StreamReader {
 public:
  StreamReader(std::span<const uint8_t> bytes, std::size_t position)
      : bytes_(bytes), position_(position) {}
  std::size_t position() const { return position_; }

  template <class Put>
  bool Read(std::size_t unit, std::size_t pixels, Put put) {
    std::size_t filled = 0;
    while (filled < pixels) {
      if (bytes_.size() - position_ < unit) return false;
      const uint8_t* p = bytes_.data() + position_;
      unsigned value = unit == kFlagUnit ? p[0] : GetU16LE(p);
      std::size_t run = std::min<std::size_t>(p[unit - 1], pixels - filled);
      put(filled, value, run);
      filled += run;
      position_ += unit;
    }
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t position_;
};

struct Header {
  int width = 0;
  int height = 0;
  int regionCount = 0;
};

// Version, then size, then whether the file can hold what its header promises.
Result<Header> CheckHeader(std::span<const uint8_t> bytes, int expectedWidth, int expectedHeight,
                           RegionReader who, std::string_view path) {
  // An empty file has no version byte at all, which is not 104 either.
  if (bytes.empty() || bytes[0] != kRegionFileVersion)
    return ReadError(who, TextsFor(who).version, path);
  if (bytes.size() < kRegionFileHeaderSize) return Truncated(who, path);
  Header header{GetU16LE(&bytes[1]), GetU16LE(&bytes[3]), GetU16LE(&bytes[9])};
  if (header.width != expectedWidth || header.height != expectedHeight)
    return ReadError(who, TextsFor(who).resolution, path);
  std::size_t pixels = std::size_t(header.width) * std::size_t(header.height);
  std::size_t unitsPerStream = (pixels + kLongestReadableRun - 1) / kLongestReadableRun;
  std::size_t needed = kRegionFileHeaderSize +
                       kRegionBoxRecordSize * (std::size_t(header.regionCount) + 1) +
                       unitsPerStream * (kFlagUnit + 2 * kWordUnit);
  if (bytes.size() < needed) return Truncated(who, path);
  return header;
}

std::size_t BoxesEnd(const Header& header) {
  return kRegionFileHeaderSize + kRegionBoxRecordSize * (std::size_t(header.regionCount) + 1);
}

// Runs arrive in pixel order, so each is appended: the maps are never zero-filled first.
template <class T>
auto Filler(std::vector<T>& target, unsigned limit, unsigned replacement) {
  return [&target, limit, replacement](std::size_t at, unsigned value, std::size_t n) {
    assert(at == target.size());
    (void)at;
    target.insert(target.end(), n, T(value > limit ? replacement : value));
  };
}

}  // namespace

Result<RegionData> DecodeRegionFile(std::span<const uint8_t> bytes, int expectedWidth,
                                    int expectedHeight, RegionReader who, std::string_view path) {
  Result<Header> header = CheckHeader(bytes, expectedWidth, expectedHeight, who, path);
  if (!header) return Error{header.message()};

  RegionData data;
  data.width = header->width;
  data.height = header->height;
  data.settings = {bytes[5], bytes[6], bytes[7], bytes[8]};
  data.regionCount = header->regionCount;
  data.regionBounds.assign(std::size_t(data.regionCount) + 2,
                           EmptyRegionBox(data.width, data.height));
  for (int r = 1; r <= data.regionCount + 1; ++r) {
    const uint8_t* record = &bytes[kRegionFileHeaderSize + kRegionBoxRecordSize * (r - 1)];
    data.regionBounds[r] = ReadBox(record, data.width, data.height);
  }

  const std::size_t pixels = data.PixelCount();
  ReserveLarge(data.flags, pixels);
  ReserveLarge(data.regionMap, pixels);
  ReserveLarge(data.animColor, pixels);
  StreamReader stream(bytes, BoxesEnd(*header));
  const unsigned highestRegion = unsigned(data.regionCount) + 1;
  if (!stream.Read(kFlagUnit, pixels, Filler(data.flags, 0xFF, 0)) ||
      !stream.Read(kWordUnit, pixels, Filler(data.regionMap, highestRegion, highestRegion)) ||
      !stream.Read(kWordUnit, pixels, Filler(data.animColor, kColorSlots - 1, kAnimLineColor)))
    return Truncated(who, path);
  return data;
}

Result<RegionData> ReadRegionFile(const std::string& path, int expectedWidth, int expectedHeight,
                                  RegionReader who) {
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return ReadError(who, TextsFor(who).open, path);
  return DecodeRegionFile(*bytes, expectedWidth, expectedHeight, who, path);
}

Result<RegionMapFile> DecodeRegionMap(std::span<const uint8_t> bytes, int expectedWidth,
                                      int expectedHeight, RegionReader who, std::string_view path) {
  Result<Header> header = CheckHeader(bytes, expectedWidth, expectedHeight, who, path);
  if (!header) return Error{header.message()};
  RegionMapFile map{header->width, header->height, header->regionCount, {}};
  const std::size_t pixels = std::size_t(map.width) * std::size_t(map.height);
  ReserveLarge(map.regionMap, pixels);
  StreamReader stream(bytes, BoxesEnd(*header));
  const unsigned highestRegion = unsigned(map.regionCount) + 1;
  if (!stream.Read(kFlagUnit, pixels, [](std::size_t, unsigned, std::size_t) {}) ||
      !stream.Read(kWordUnit, pixels, Filler(map.regionMap, highestRegion, highestRegion)))
    return Truncated(who, path);
  return map;
}

Result<RegionMapFile> ReadRegionMap(const std::string& path, int expectedWidth, int expectedHeight,
                                    RegionReader who) {
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return ReadError(who, TextsFor(who).open, path);
  return DecodeRegionMap(*bytes, expectedWidth, expectedHeight, who, path);
}

Result<RegionFileStretches> RegionFileStretches::Decode(std::vector<uint8_t> bytes,
                                                        int expectedWidth, int expectedHeight,
                                                        RegionReader who, std::string_view path) {
  Result<Header> header = CheckHeader(bytes, expectedWidth, expectedHeight, who, path);
  if (!header) return Error{header.message()};
  RegionFileStretches file;
  file.pixels_ = std::size_t(header->width) * std::size_t(header->height);
  file.regionCount_ = header->regionCount;
  file.flagsAt_ = BoxesEnd(*header);
  // Every stream is walked once here, so that a short file fails now and Walk never runs out.
  const auto skip = [](std::size_t, unsigned, std::size_t) {};
  StreamReader stream(bytes, file.flagsAt_);
  if (!stream.Read(kFlagUnit, file.pixels_, skip)) return Truncated(who, path);
  file.mapAt_ = stream.position();
  if (!stream.Read(kWordUnit, file.pixels_, skip) || !stream.Read(kWordUnit, file.pixels_, skip))
    return Truncated(who, path);
  file.bytes_ = std::move(bytes);
  return file;
}

Result<RegionFileStretches> RegionFileStretches::Read(const std::string& path, int expectedWidth,
                                                      int expectedHeight, RegionReader who) {
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return ReadError(who, TextsFor(who).open, path);
  return Decode(std::move(*bytes), expectedWidth, expectedHeight, who, path);
}

void RegionFileStretches::Walk(const RegionStretchSink& put) const {
  // One run of each stream at a time; runs of 0 pixels are passed over.
  struct Runs {
    const uint8_t* next;
    std::size_t unit;
    std::size_t left = 0;
    unsigned value = 0;
    void Refill() {
      while (left == 0) {
        value = unit == kFlagUnit ? next[0] : GetU16LE(next);
        left = next[unit - 1];
        next += unit;
      }
    }
  };
  Runs flags{bytes_.data() + flagsAt_, kFlagUnit};
  Runs numbers{bytes_.data() + mapAt_, kWordUnit};
  const unsigned highestRegion = unsigned(regionCount_) + 1;
  for (std::size_t at = 0; at < pixels_;) {
    flags.Refill();
    numbers.Refill();
    const std::size_t n = std::min({flags.left, numbers.left, pixels_ - at});
    put(at, n, uint8_t(flags.value), uint16_t(std::min(numbers.value, highestRegion)));
    flags.left -= n;
    numbers.left -= n;
    at += n;
  }
}

Result<RegionSamples> DecodeRegionSamples(std::span<const uint8_t> bytes, int expectedWidth,
                                          int expectedHeight, std::span<const std::size_t> points,
                                          RegionReader who, std::string_view path) {
  Result<Header> header = CheckHeader(bytes, expectedWidth, expectedHeight, who, path);
  if (!header) return Error{header.message()};
  RegionSamples samples{header->width, header->height, header->regionCount, {}, {}};
  samples.flags.resize(points.size());
  samples.regionMap.resize(points.size());
  // Each run gives its value to the points inside it; the points ascend, as the runs do.
  const auto sampler = [&points](auto& target, unsigned limit, unsigned replacement) {
    return [&points, &target, limit, replacement, next = std::size_t(0)](
               std::size_t at, unsigned value, std::size_t n) mutable {
      for (; next < points.size() && points[next] < at + n; ++next)
        target[next] = typename std::decay_t<decltype(target)>::value_type(
            value > limit ? replacement : value);
    };
  };
  const std::size_t pixels = std::size_t(header->width) * std::size_t(header->height);
  StreamReader stream(bytes, BoxesEnd(*header));
  const unsigned highestRegion = unsigned(header->regionCount) + 1;
  if (!stream.Read(kFlagUnit, pixels, sampler(samples.flags, 0xFF, 0)) ||
      !stream.Read(kWordUnit, pixels, sampler(samples.regionMap, highestRegion, highestRegion)) ||
      !stream.Read(kWordUnit, pixels, [](std::size_t, unsigned, std::size_t) {}))
    return Truncated(who, path);
  return samples;
}

}  // namespace quenda
