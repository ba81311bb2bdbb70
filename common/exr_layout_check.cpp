#include "common/exr_layout_check.h"

#include <algorithm>
#include <string_view>

namespace quenda {
namespace {

constexpr uint32_t kExrMagic = 20000630;
constexpr uint32_t kTiledFlag = 0x200;
constexpr uint32_t kLongNamesFlag = 0x400;
constexpr uint32_t kMultipartFlag = 0x1000;
constexpr uint64_t kOffsetBytes = 8;  // one table entry per chunk
// Attribute names and type names are at most 31 bytes, or 255 with long names.
constexpr std::size_t kShortNameMax = 31;
constexpr std::size_t kLongNameMax = 255;
// dataWindow, the largest of the attributes that size the offset table.
constexpr uint32_t kLargestTableAttribute = 16;
// The bytes read at a time while walking the header.
constexpr uint64_t kWindow = 4096;

uint32_t LittleEndian32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Scan lines in one chunk, by compression; 0 for a method the format does not have.
uint64_t LinesPerChunk(uint8_t compression) {
  switch (compression) {
    case 0:  // none
    case 1:  // RLE
    case 2:  // ZIPS
      return 1;
    case 3:  // ZIP
    case 5:  // PXR24
      return 16;
    case 4:  // PIZ
    case 6:  // B44
    case 7:  // B44A
    case 8:  // DWAA
      return 32;
    case 9:  // DWAB
      return 256;
    default:
      return 0;
  }
}

// Reads forward through the file, a window at a time.
class Cursor {
 public:
  Cursor(const ByteReader& read, uint64_t size) : read_(read), size_(size) {}
  uint64_t offset() const { return offset_; }

  std::optional<uint8_t> Byte() {
    if (!Fill(1)) return std::nullopt;
    return window_[offset_++ - windowStart_];
  }
  std::optional<uint32_t> Word() {
    if (!Fill(4)) return std::nullopt;
    const uint32_t value = LittleEndian32(window_.data() + (offset_ - windowStart_));
    offset_ += 4;
    return value;
  }
  // A text ended by a zero byte, of at most `max` bytes before it.
  std::optional<std::string> Text(std::size_t max) {
    std::string text;
    for (;;) {
      std::optional<uint8_t> c = Byte();
      if (!c) return std::nullopt;
      if (*c == 0) return text;
      if (text.size() == max) return std::nullopt;
      text.push_back(char(*c));
    }
  }
  std::optional<std::vector<uint8_t>> Bytes(uint32_t count) {
    if (!Fill(count)) return std::nullopt;
    const uint8_t* from = window_.data() + (offset_ - windowStart_);
    std::vector<uint8_t> bytes(from, from + count);
    offset_ += count;
    return bytes;
  }
  bool Skip(uint64_t count) {
    if (count > size_ - offset_) return false;
    offset_ += count;
    return true;
  }

 private:
  bool Fill(uint64_t count) {
    if (count > size_ - std::min(offset_, size_)) return false;
    if (offset_ >= windowStart_ && offset_ + count <= windowStart_ + window_.size()) return true;
    windowStart_ = offset_;
    window_ = read_(offset_, std::max(count, kWindow));
    return window_.size() >= count;
  }

  const ByteReader& read_;
  uint64_t size_;
  uint64_t offset_ = 0;
  uint64_t windowStart_ = 0;
  std::vector<uint8_t> window_;
};

// What one part's header says about the size of its offset table.
struct PartTable {
  std::optional<uint64_t> chunkCount;  // multi-part files state it
  std::optional<int64_t> width, height;
  std::optional<uint8_t> compression;
  std::optional<uint32_t> tileWidth, tileHeight;
};

std::optional<uint64_t> ChunksOf(const PartTable& part, bool tiled) {
  if (part.chunkCount) return part.chunkCount;
  if (!part.width || !part.height || *part.width < 1 || *part.height < 1) return std::nullopt;
  if (tiled) {
    if (!part.tileWidth || !part.tileHeight || *part.tileWidth == 0 || *part.tileHeight == 0)
      return std::nullopt;
    // The full-size level alone: a lower bound when the file has smaller levels as well.
    const uint64_t across = (uint64_t(*part.width) + *part.tileWidth - 1) / *part.tileWidth;
    const uint64_t down = (uint64_t(*part.height) + *part.tileHeight - 1) / *part.tileHeight;
    return across * down;
  }
  const uint64_t lines = LinesPerChunk(part.compression.value_or(0));
  if (lines == 0) return std::nullopt;  // the library names the method it does not know
  return (uint64_t(*part.height) + lines - 1) / lines;
}

void Note(PartTable& part, std::string_view name, const std::vector<uint8_t>& value) {
  if (name == "dataWindow" && value.size() == 16) {
    const auto at = [&](int i) { return int64_t(int32_t(LittleEndian32(value.data() + 4 * i))); };
    part.width = at(2) - at(0) + 1;
    part.height = at(3) - at(1) + 1;
  } else if (name == "compression" && value.size() == 1) {
    part.compression = value[0];
  } else if (name == "tiles" && value.size() == 9) {
    part.tileWidth = LittleEndian32(value.data());
    part.tileHeight = LittleEndian32(value.data() + 4);
  } else if (name == "chunkCount" && value.size() == 4) {
    const int32_t count = int32_t(LittleEndian32(value.data()));
    if (count >= 0) part.chunkCount = uint64_t(count);
  }
}

bool SizesTheTable(std::string_view name) {
  return name == "dataWindow" || name == "compression" || name == "tiles" || name == "chunkCount";
}

}  // namespace

std::optional<std::string> ExrLayoutProblem(const ByteReader& read, uint64_t fileSize) {
  Cursor at(read, fileSize);
  const std::optional<uint32_t> magic = at.Word();
  const std::optional<uint32_t> version = at.Word();
  if (!magic || *magic != kExrMagic || !version) return "it is not an OpenEXR file";
  const bool multipart = (*version & kMultipartFlag) != 0;
  const bool tiled = (*version & kTiledFlag) != 0;
  const std::size_t nameMax = (*version & kLongNamesFlag) ? kLongNameMax : kShortNameMax;
  const std::string cutShort = "its header is cut short";

  uint64_t chunks = 0;
  for (int parts = 0;; ++parts) {
    PartTable part;
    bool any = false;
    for (;;) {
      const std::optional<std::string> name = at.Text(nameMax);
      if (!name) return cutShort;
      if (name->empty()) break;  // the end of this part's header
      any = true;
      if (!at.Text(nameMax)) return cutShort;  // the attribute's type
      const std::optional<uint32_t> size = at.Word();
      if (!size) return cutShort;
      if (*size > fileSize - at.offset())
        return "its header's attribute \"" + *name + "\" claims " + std::to_string(*size) +
               " bytes, more than the file holds";
      if (SizesTheTable(*name) && *size <= kLargestTableAttribute) {
        const std::optional<std::vector<uint8_t>> value = at.Bytes(*size);
        if (!value) return cutShort;
        Note(part, *name, *value);
      } else if (!at.Skip(*size)) {
        return cutShort;
      }
    }
    if (!any) {
      if (multipart && parts > 0) break;  // an empty header ends the list of parts
      return "its header holds no attributes";
    }
    if (const std::optional<uint64_t> count = ChunksOf(part, tiled)) chunks += *count;
    if (!multipart) break;
  }
  if (chunks > (fileSize - at.offset()) / kOffsetBytes)
    return "the file is too short for the " + std::to_string(chunks) + " chunks its header names";
  return std::nullopt;
}

}  // namespace quenda
