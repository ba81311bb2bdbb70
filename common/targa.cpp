#include "targa.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/byte_order.h"
#include "common/file_io.h"

namespace quenda {
namespace {

// Header fields, at their offsets.
constexpr std::size_t kIdLength = 0;
constexpr std::size_t kColorMapType = 1;
constexpr std::size_t kImageType = 2;
constexpr std::size_t kWidth = 12;
constexpr std::size_t kHeight = 14;
constexpr std::size_t kDepth = 16;
constexpr std::size_t kDescriptor = 17;

constexpr uint8_t kTrueColorType = 2;
constexpr uint8_t kGreyType = 3;
constexpr uint8_t kColorMapped = 1;
constexpr uint8_t kTopLeftOrigin = 0x20;
constexpr std::size_t kLongestIdField = 255;

// Each reader's wording; "%s" stands for the path.
struct Wording {
  const char* missing;
  const char* notOpening;
  const char* header;
  const char* idShort;
  const char* colorMap;
  const char* imageType;
  const char* depth;
  const char* pixelsShort;
};

const Wording& WordingFor(TargaReader reader) {
  static const Wording kPicking{"%s does not exist",
                                "clip image %s does not exist",
                                "%s is not a valid targa image",
                                "%s is truncated",
                                "Can not read targa with image maps, %s has maps",
                                "%s is of unsupported Targa type",
                                "%s is of unsupported Targa type",
                                "%s is truncated"};
  static const Wording kBackground{kPicking.missing, kPicking.notOpening,    kPicking.header,
                                   kPicking.idShort, kPicking.colorMap,      kPicking.imageType,
                                   kPicking.depth,   "Truncated image file!"};
  static const Wording kClipFrame{
      "Clip member: %s does not exist",     "Internal Error : The clip image %s does not exists",
      "Clip member: %s is not valid",       "Clip member: %s is incomplete",
      "Clip member: %s has maps",           "Clip member: %s is not RGB or RGBA",
      "Clip member: %s is not RGB or RGBA", "Clip member: %s is incomplete"};
  // The import readers have no own text for a file that is missing or will not open: it
  // fails as an unreadable header.
  static const Wording kPainter{
      "Error : %s does not exist!",
      "Error : %s is corrupted!",
      "Error : %s is corrupted!",
      "Error : %s is corrupted!",
      "Error : %s has palettes in it, paletted targa is not supported!",
      "Error : %s is compressed targa, can not read compressed targa, sorry!",
      "Error : %s is not 24 bit !",
      "Error : %s is corrupted!"};
  static const Wording kScanner{
      "Error : %s is corrupted!",
      "Error : %s is corrupted!",
      "Error : %s is corrupted!",
      "Error : %s is corrupted!",
      "Error : %s has palettes in it, paletted targa is not supported!",
      "Error : %s is compressed targa, can not read compressed targa, sorry!",
      "Unsupported Targa Error : %s is not 24 bit or 8 bit or 32 bit!",
      "Error : %s is corrupted!"};
  switch (reader) {
    case TargaReader::ComposerPicking:
      return kPicking;
    case TargaReader::ComposerClipFrame:
      return kClipFrame;
    case TargaReader::PanoramaBackground:
      return kBackground;
    case TargaReader::PainterImport:
      return kPainter;
    case TargaReader::ScannerImport:
      return kScanner;
  }
  return kPicking;
}

Error Fail(const char* wording, std::string_view path, TargaCheck check, TargaCheck* failedAt) {
  if (failedAt) *failedAt = check;
  std::string text(wording);
  auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, path);
  return Error{std::move(text)};
}

bool AcceptsType(TargaReader reader, uint8_t type) {
  return type == kTrueColorType || (reader == TargaReader::ScannerImport && type == kGreyType);
}

bool AcceptsDepth(TargaReader reader, uint8_t type, uint8_t depth) {
  if (reader == TargaReader::ScannerImport)
    return type == kGreyType ? depth == 8 : (depth == 8 || depth == 24 || depth == 32);
  return depth == 24 || depth == 32;
}

// The import readers turn top-first rows and drop alpha; the others take pixels as stored.
bool IsImport(TargaReader reader) {
  return reader == TargaReader::PainterImport || reader == TargaReader::ScannerImport;
}

// Where the pixels start, once checks 3 to 6 have passed.
std::size_t PixelOffset(std::span<const uint8_t> bytes) {
  return kTargaHeaderSize + bytes[kIdLength];
}

std::size_t PixelBytes(std::span<const uint8_t> header) {
  return std::size_t(GetU16LE(&header[kWidth])) * GetU16LE(&header[kHeight]) *
         (header[kDepth] / 8u);
}

// Checks 1 and 2; the import readers' missing files fall through to their header message.
Status CheckFileOpens(const std::string& path, TargaReader reader, TargaCheck* failedAt) {
  const Wording& wording = WordingFor(reader);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (reader == TargaReader::ScannerImport)
      return Fail(wording.header, path, TargaCheck::Header, failedAt);
    return Fail(wording.missing, path, TargaCheck::Exists, failedAt);
  }
  if (!FileOpensForReading(path)) {
    if (IsImport(reader)) return Fail(wording.header, path, TargaCheck::Header, failedAt);
    return Fail(wording.notOpening, path, TargaCheck::Opens, failedAt);
  }
  return Status::Ok();
}

}  // namespace

Status CheckTargaBytes(std::span<const uint8_t> bytes, std::string_view path, TargaReader reader,
                       TargaCheck* failedAt) {
  const Wording& wording = WordingFor(reader);
  if (failedAt) *failedAt = TargaCheck::None;
  if (bytes.size() < kTargaHeaderSize)
    return Fail(wording.header, path, TargaCheck::Header, failedAt);
  if (bytes.size() < PixelOffset(bytes))
    return Fail(wording.idShort, path, TargaCheck::IdField, failedAt);
  if (bytes[kColorMapType] == kColorMapped)
    return Fail(wording.colorMap, path, TargaCheck::ColorMap, failedAt);
  uint8_t type = bytes[kImageType];
  if (!AcceptsType(reader, type))
    return Fail(wording.imageType, path, TargaCheck::ImageType, failedAt);
  if (!AcceptsDepth(reader, type, bytes[kDepth]))
    return Fail(wording.depth, path, TargaCheck::Depth, failedAt);
  // A picture of no pixels is of no use to any caller, and some would divide by its size.
  if (GetU16LE(&bytes[kWidth]) == 0 || GetU16LE(&bytes[kHeight]) == 0)
    return Fail(wording.header, path, TargaCheck::Header, failedAt);
  return Status::Ok();
}

Result<Raster> ParseTarga(std::span<const uint8_t> bytes, std::string_view path, TargaReader reader,
                          TargaCheck* failedAt) {
  Status header = CheckTargaBytes(bytes, path, reader, failedAt);
  if (!header) return Error{header.message()};
  std::size_t offset = PixelOffset(bytes);
  std::size_t stored = PixelBytes(bytes);
  if (bytes.size() - offset < stored)
    return Fail(WordingFor(reader).pixelsShort, path, TargaCheck::Pixels, failedAt);

  const int width = GetU16LE(&bytes[kWidth]);
  const int height = GetU16LE(&bytes[kHeight]);
  const int storedSize = bytes[kDepth] / 8;
  const int channels = (IsImport(reader) && storedSize == 4) ? 3 : storedSize;
  const bool turn = (bytes[kDescriptor] & kTopLeftOrigin) != 0;

  Raster image(width, height, channels);
  const std::size_t storedRow = std::size_t(width) * std::size_t(storedSize);
  const uint8_t* source = bytes.data() + offset;
  for (int row = 0; row < height; ++row) {
    const uint8_t* in = source + std::size_t(row) * storedRow;
    uint8_t* out = image.Row(turn ? height - 1 - row : row);
    if (channels == storedSize) {
      std::memcpy(out, in, storedRow);
      continue;
    }
    for (std::size_t x = 0; x < std::size_t(width); ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
  }
  return image;
}

Status CheckTarga(const std::string& path, TargaReader reader, TargaCheck* failedAt) {
  if (failedAt) *failedAt = TargaCheck::None;
  Status opens = CheckFileOpens(path, reader, failedAt);
  if (!opens) return opens;
  auto bytes = ReadFileBytes(path, 0, kTargaHeaderSize + kLongestIdField);
  if (!bytes) return CheckTargaBytes({}, path, reader, failedAt);
  return CheckTargaBytes(*bytes, path, reader, failedAt);
}

Result<Raster> ReadTarga(const std::string& path, TargaReader reader, TargaCheck* failedAt) {
  Status header = CheckTarga(path, reader, failedAt);
  if (!header) return Error{header.message()};
  auto start = ReadFileBytes(path, 0, kTargaHeaderSize);
  if (!start || start->size() < kTargaHeaderSize)  // the file changed under us
    return ParseTarga(start ? std::span<const uint8_t>(*start) : std::span<const uint8_t>(), path,
                      reader, failedAt);
  // Only as many bytes as the picture needs: trailing data is never read.
  std::size_t needed = PixelOffset(*start) + PixelBytes(*start);
  auto whole = ReadFileBytes(path, 0, needed);
  if (!whole) whole.emplace();
  return ParseTarga(*whole, path, reader, failedAt);
}

std::vector<uint8_t> EncodeTarga(int width, int height, int channels, const uint8_t* pixels) {
  std::size_t pixelBytes = pixels ? std::size_t(width) * std::size_t(height) * channels : 0;
  std::vector<uint8_t> out(kTargaHeaderSize + pixelBytes, 0);
  out[kImageType] = kTrueColorType;
  SetU16LE(&out[kWidth], uint16_t(width));
  SetU16LE(&out[kHeight], uint16_t(height));
  out[kDepth] = uint8_t(8 * channels);
  if (pixels) std::copy(pixels, pixels + pixelBytes, out.begin() + kTargaHeaderSize);
  return out;
}

Status WriteTarga(const std::string& path, ConstRasterView picture, WriteMessages messages) {
  TargaRowWriter file;
  if (Status opened =
          file.Open(path, picture.width, picture.height, picture.channels, std::move(messages));
      !opened)
    return opened;
  if (Status written = file.WriteRows(picture); !written) return written;
  return file.Commit();
}

Status TargaRowWriter::Open(const std::string& path, int width, int height, int channels,
                            WriteMessages messages) {
  file_.Discard();
  width_ = width, height_ = height, channels_ = channels, rowsWritten_ = 0;
  shortWrite_ = messages.shortWrite;
  if (width < 1 || height < 1 || width > kTargaMaxSide || height > kTargaMaxSide ||
      (channels != 3 && channels != 4))
    return Error{std::move(messages.cannotCreate), ErrorKind::CannotCreate};
  const std::vector<uint8_t> header = EncodeTarga(width, height, channels, nullptr);
  if (Status opened = file_.Open(path, std::move(messages)); !opened) return opened;
  return file_.Write(header.data(), header.size());
}

Status TargaRowWriter::WriteRows(ConstRasterView rows) {
  if (rows.width != width_ || rows.channels != channels_ || rows.height < 0 ||
      rows.height > height_ - rowsWritten_)
    return Refuse();
  const std::size_t rowBytes = std::size_t(width_) * std::size_t(channels_);
  if (rows.stride == std::ptrdiff_t(rowBytes)) {
    if (Status written = file_.Write(rows.pixels, rowBytes * std::size_t(rows.height)); !written)
      return written;
  } else {
    for (int y = 0; y < rows.height; ++y)
      if (Status written = file_.Write(rows.Row(y), rowBytes); !written) return written;
  }
  rowsWritten_ += rows.height;
  return Status::Ok();
}

Status TargaRowWriter::Commit() {
  if (rowsWritten_ != height_) return Refuse();
  return file_.Commit();
}

Status TargaRowWriter::Refuse() {
  file_.Discard();
  return Error{shortWrite_, ErrorKind::ShortWrite};
}

Status WriteTarga32(const std::string& path, int width, int height, const uint8_t* bgraBottomUp,
                    WriteMessages messages) {
  return WriteTarga(path,
                    ConstRasterView{bgraBottomUp, width, height, 4, std::ptrdiff_t(width) * 4},
                    std::move(messages));
}

}  // namespace quenda
