#include "common/region_file_writer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/byte_order.h"
#include "common/region_runs.h"

namespace quenda {
namespace {

// Pixels encoded between two looks at the pieces: at most three bytes each wait to be written.
constexpr std::size_t kSlicePixels = std::size_t(1) << 16;

std::string_view WriteText(RegionWriter who) {
  return who == RegionWriter::Analyzer
             ? std::string_view("Error opening file for writing")
             : std::string_view("Error opening region file for writing: Readonly or no space?");
}

void AppendBox(std::vector<uint8_t>& out, const RegionBox& box) {
  // Each number goes as its low and high byte; an empty box's -1 becomes 0xFFFF.
  AppendU16LE(out, uint16_t(box.maxY));
  AppendU16LE(out, uint16_t(box.minY));
  AppendU16LE(out, uint16_t(box.minX));
  AppendU16LE(out, uint16_t(box.maxX));
}

// Bytes gathered until a piece is full, then handed on; what is left over waits for the next.
class Pieces {
 public:
  Pieces(std::size_t pieceSize, const RegionBytesSink& put)
      : size_(std::max<std::size_t>(pieceSize, 1)), put_(put) {}

  std::vector<uint8_t>& bytes() { return bytes_; }

  // Every whole piece, and with `all` the rest too; false once a piece was refused.
  bool Flush(bool all) {
    std::size_t at = 0;
    while (status_ && (bytes_.size() - at >= size_ || (all && at < bytes_.size()))) {
      const std::size_t n = std::min(size_, bytes_.size() - at);
      status_ = put_(std::span<const uint8_t>(bytes_.data() + at, n));
      at += n;
    }
    bytes_.erase(bytes_.begin(), bytes_.begin() + std::ptrdiff_t(at));
    return status_.ok();
  }
  Status status() const { return status_; }

 private:
  std::size_t size_;
  const RegionBytesSink& put_;
  std::vector<uint8_t> bytes_;
  Status status_ = Status::Ok();
};

template <class T>
bool StreamRuns(Pieces& out, const std::vector<T>& values) {
  const std::size_t n = values.size();
  for (std::size_t start = 0; start < n;) {
    start = AppendRuns(out.bytes(), values.data(), n, start, start + kSlicePixels);
    if (!out.Flush(false)) return false;
  }
  return true;
}

bool StreamOneValueRuns(Pieces& out, uint16_t value, std::size_t n) {
  for (std::size_t start = 0; start < n;) {
    start = AppendOneValueRuns(out.bytes(), value, n, start, start + kSlicePixels);
    if (!out.Flush(false)) return false;
  }
  return true;
}

}  // namespace

Status CheckRegionFileData(const RegionData& data) {
  if (data.RegionTotal() > kMaxRegions) {
    char text[96];
    std::snprintf(text, sizeof text, "Too many regions to save: %d (at most %d)",
                  data.RegionTotal(), kMaxRegions);
    return Error{text};
  }
  if (!data.IsConsistent() || data.width > kMaxRegionPictureSide ||
      data.height > kMaxRegionPictureSide)
    return Error{"Internal Error: region data does not match the picture size"};
  return Status::Ok();
}

Status StreamRegionFile(const RegionData& data, std::size_t pieceSize, const RegionBytesSink& put) {
  Pieces out(pieceSize, put);
  std::vector<uint8_t>& bytes = out.bytes();
  bytes.push_back(kRegionFileVersion);
  AppendU16LE(bytes, uint16_t(data.width));
  AppendU16LE(bytes, uint16_t(data.height));
  bytes.push_back(data.settings.linePickUp);
  bytes.push_back(data.settings.lineGrowth);
  bytes.push_back(data.settings.whiteClamp);
  bytes.push_back(data.settings.blackClamp);
  AppendU16LE(bytes, uint16_t(data.regionCount));
  for (std::size_t r = 1; r < data.regionBounds.size(); ++r) {
    AppendBox(bytes, data.regionBounds[r]);
    if (r % kSlicePixels == 0 && !out.Flush(false)) return out.status();
  }
  const bool oneColour = data.animColor.empty() && data.uniformAnimColor.has_value();
  if (StreamRuns(out, data.flags) && StreamRuns(out, data.regionMap) &&
      (oneColour ? StreamOneValueRuns(out, *data.uniformAnimColor, data.PixelCount())
                 : StreamRuns(out, data.animColor)))
    out.Flush(true);
  return out.status();
}

Status WriteRegionFileInto(AtomicFile& file, const RegionData& data) {
  return StreamRegionFile(data, kRegionFilePiece, [&file](std::span<const uint8_t> piece) {
    return file.Write(piece.data(), piece.size());
  });
}

std::vector<uint8_t> EncodeRegionFile(const RegionData& data) {
  std::vector<uint8_t> whole;
  whole.reserve(kRegionFileHeaderSize + kRegionBoxRecordSize * data.regionBounds.size() +
                data.PixelCount() / 16 + 64);
  (void)StreamRegionFile(data, kRegionFilePiece, [&whole](std::span<const uint8_t> piece) {
    whole.insert(whole.end(), piece.begin(), piece.end());
    return Status::Ok();
  });
  return whole;
}

Result<std::vector<uint8_t>> RegionFileBytes(const RegionData& data) {
  if (Status checked = CheckRegionFileData(data); !checked) return Error{checked.message()};
  return EncodeRegionFile(data);
}

std::string RegionWriteMessage(const std::string& path, RegionWriter who) {
  std::string message(WriteText(who));
  if (who == RegionWriter::Painter) message += path;
  return message;
}

Status WriteRegionFile(const std::string& path, const RegionData& data, RegionWriter who) {
  if (Status checked = CheckRegionFileData(data); !checked) return checked;
  AtomicFile file;
  if (Status opened = file.Open(path, WriteMessages(RegionWriteMessage(path, who))); !opened)
    return opened;
  if (Status written = WriteRegionFileInto(file, data); !written) return written;
  return file.Commit();
}

}  // namespace quenda
