#include "painter/core/frame_icons.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"
#include "painter/core/frame_composition.h"

namespace quenda {
namespace {

// Entry layout: magic, key length (32 bits), key text, side (32 bits), state (8 bits), then
// side * side * 3 icon bytes, rows bottom first.
constexpr std::string_view kMagic = "QICON01\n";

uint64_t Fnv1a(std::string_view text, uint64_t hash = 1469598103934665603ull) {
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// A file as the key knows it: its path, size and modification time, or that it is missing.
std::string FileStamp(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return path + "\tmissing\n";
  return path + "\t" + std::to_string(st.st_size) + "\t" + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec) + "\n";
}

std::string EntryKey(const FramePaths& paths, const ColorSet& colors, int side) {
  std::string key = "side " + std::to_string(side) + "\n" + FileStamp(paths.scan) +
                    FileStamp(paths.region) + FileStamp(paths.paint) + FileStamp(colors.path);
  // The colours in memory too: a colour set that could not be saved still shows its colours.
  std::string rgb;
  for (int i = 0; i < colors.count; ++i) {
    const ColorEntry& e = colors.entries[std::size_t(i)];
    rgb += {char(e.red), char(e.green), char(e.blue)};
  }
  return key + "colours " + std::to_string(colors.count) + " " + std::to_string(Fnv1a(rgb)) + "\n";
}

std::optional<StripIcon> DecodeEntry(const std::vector<uint8_t>& bytes, const std::string& key,
                                     int side) {
  const std::size_t pixels = std::size_t(side) * std::size_t(side) * 3;
  const std::size_t expected = kMagic.size() + 4 + key.size() + 4 + 1 + pixels;
  if (bytes.size() != expected || std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0)
    return std::nullopt;
  std::size_t at = kMagic.size();
  if (GetU32LE(bytes.data() + at) != key.size()) return std::nullopt;
  at += 4;
  if (std::memcmp(bytes.data() + at, key.data(), key.size()) != 0) return std::nullopt;
  at += key.size();
  if (GetU32LE(bytes.data() + at) != uint32_t(side)) return std::nullopt;
  at += 4;
  const uint8_t state = bytes[at++];
  if (state > uint8_t(PaintState::SomeUnpainted)) return std::nullopt;
  return StripIcon{
      Raster(side, side, 3, std::vector<uint8_t>(bytes.begin() + std::ptrdiff_t(at), bytes.end())),
      PaintState(state)};
}

std::vector<uint8_t> EncodeEntry(const StripIcon& icon, const std::string& key, int side) {
  std::vector<uint8_t> out(kMagic.begin(), kMagic.end());
  AppendU32LE(out, uint32_t(key.size()));
  out.insert(out.end(), key.begin(), key.end());
  AppendU32LE(out, uint32_t(side));
  out.push_back(uint8_t(icon.state));
  for (int y = 0; y < side; ++y)
    out.insert(out.end(), icon.icon.Row(y), icon.icon.Row(y) + std::ptrdiff_t(side) * 3);
  return out;
}

}  // namespace

StripIcon ReadFrameIcon(const FramePaths& paths, const ColorSet& colors, int side) {
  const bool hasPaintFile = !paths.paint.empty() && FileOpensForReading(paths.paint);
  StripIcon result{Raster(), hasPaintFile ? PaintState::SomeUnpainted : PaintState::NoPaintFile};
  // Only the pixels the icon shows are taken from the region file.
  RegionSamples samples;
  std::vector<int32_t> paint;
  if (auto header = ReadDrawingScanHeader(paths.scan, ScanReader::Painter)) {
    const std::vector<std::size_t> points = IconSamplePoints(header->width, header->height, side);
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(paths.region);
    Result<RegionSamples> read =
        bytes ? DecodeRegionSamples(*bytes, header->width, header->height, points,
                                    RegionReader::Painter, paths.region)
              : Result<RegionSamples>(Error{std::string()});
    if (read) {
      samples = std::move(read.value());
      auto painted =
          hasPaintFile
              ? std::optional(ReadPaintFile(paths.paint, samples.regionCount, colors.count))
              : std::nullopt;
      if (painted && *painted) {
        paint = std::move((*painted)->regionColor);
        bool anyUnfilled = false;
        for (std::size_t r = kBackgroundRegion; r < paint.size(); ++r)
          anyUnfilled = anyUnfilled || paint[r] == kUnfilledColor;
        result.state = anyUnfilled ? PaintState::SomeUnpainted : PaintState::AllPainted;
      } else {
        paint = DefaultPaint(samples.regionCount);
      }
    }
  }
  result.icon = ComposeFrameIcon(samples, paint, colors, side);
  return result;
}

IconCache::IconCache(std::string folder) : folder_(std::move(folder)) {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::create_directories(folder_, ignored);
}

std::string IconCache::EntryPath(const std::string& scanPath, int side) const {
  if (folder_.empty()) return {};
  char name[40];
  std::snprintf(name, sizeof name, "%016llx-%d.icon",
                static_cast<unsigned long long>(Fnv1a(AbsolutePath(scanPath))), side);
  return JoinPath(folder_, name);
}

StripIcon IconCache::Get(const FramePaths& paths, const ColorSet& colors, int side) const {
  if (folder_.empty() || side <= 0) return ReadFrameIcon(paths, colors, side);
  // Stamped before the files are read: a file changed meanwhile gives the entry an old stamp,
  // so the next look rebuilds it rather than trusting it.
  const std::string key = EntryKey(paths, colors, side);
  const std::string entry = EntryPath(paths.scan, side);
  if (auto bytes = ReadFileBytes(entry)) {
    if (auto cached = DecodeEntry(*bytes, key, side)) return std::move(*cached);
  }
  StripIcon built = ReadFrameIcon(paths, colors, side);
  // A cache that cannot be written only costs the next open some time.
  // Not flushed: an entry a crash cuts short fails its check and is made again.
  (void)WriteFileAtomically(entry, std::span<const uint8_t>(EncodeEntry(built, key, side)),
                            WriteMessages(std::string()), Durability::Disposable);
  return built;
}

}  // namespace quenda
