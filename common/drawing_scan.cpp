#include "common/drawing_scan.h"

#include <algorithm>
#include <cstddef>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/file_io.h"

namespace quenda {
namespace {

// Header offsets.
constexpr std::size_t kIdLength = 0;
constexpr std::size_t kColorMapType = 1;
constexpr std::size_t kImageType = 2;
constexpr std::size_t kMapFirst = 3;   // dpi
constexpr std::size_t kMapLength = 5;  // peg position
constexpr std::size_t kMapEntrySize = 7;
constexpr std::size_t kXOrigin = 8;
constexpr std::size_t kYOrigin = 10;
constexpr std::size_t kWidth = 12;
constexpr std::size_t kHeight = 14;
constexpr std::size_t kBitsPerPixel = 16;
constexpr std::size_t kDescriptor = 17;
constexpr uint8_t kTopLeftOrigin = 0x20;
constexpr std::size_t kMaxIdLength = 255;
constexpr uint8_t kPaperWhite = 255;

// Each program words the same failures its own way: the analyzer with "!", the scanner and
// the painter with the path appended, the cel viewer in texts of its own.
class Messages {
 public:
  Messages(ScanReader who, const std::string& path) : who_(who), path_(path) {}

  Error CannotOpen() const {
    if (who_ == ScanReader::CelViewer) return {"Error opening file for reading!"};
    return {analyzer() ? "Error opening file " + path_ + "\n" : "Error opening file: " + path_};
  }
  Error EndOfFile() const {
    if (who_ == ScanReader::CelViewer) return {kCelEndOfInput};
    return Worded("Unexpected end of file");
  }
  Error Maps() const { return Viewer(kCelWrongType, "Can not read images with maps"); }
  Error NotScan() const {
    return Viewer(kCelWrongType, "Can only read Quenda Drawing Scan images");
  }
  Error NotEightBit() const { return Viewer(kCelWrongType, "Can only read 8 bit images"); }
  Error BadSize() const {
    return Viewer("Can't Display Zero length image!", "Image size out of range");
  }
  Error NotGreyAtPixels() const { return {"Can only read uncompressed Grayscale targa images!"}; }
  std::string ShortPixels() const {
    if (who_ == ScanReader::CelViewer) return kCelEndOfInput;
    return analyzer() ? "Error reading image " + path_ + " : Unexpected end of file"
                      : "Error reading image: unexpected end of file: " + path_;
  }

 private:
  static constexpr const char* kCelEndOfInput = "Unexpected End of Input file";
  static constexpr const char* kCelWrongType = "Incorrect image type!";

  bool analyzer() const { return who_ == ScanReader::Analyzer; }
  Error Worded(const char* text) const {
    return {analyzer() ? std::string(text) + "!" : std::string(text) + ": " + path_};
  }
  Error Viewer(const char* celText, const char* text) const {
    return who_ == ScanReader::CelViewer ? Error{celText} : Worded(text);
  }

  ScanReader who_;
  const std::string& path_;
};

// Only the analyzer and the scanner look at the ID field.
bool ReadsIdField(ScanReader who) {
  return who == ScanReader::Analyzer || who == ScanReader::Scanner;
}

// The cel viewer shows any picture the 16-bit header can describe; the others stop at
// kMaxDrawingScanSide.
bool SizeAccepted(ScanReader who, int width, int height) {
  if (width < 1 || height < 1) return false;
  return who == ScanReader::CelViewer ||
         (width <= kMaxDrawingScanSide && height <= kMaxDrawingScanSide);
}

std::size_t PixelCount(int width, int height) {
  return std::size_t(width) * std::size_t(height);
}

bool Fits16(int value) {
  return value >= 0 && value <= 0xFFFF;
}

}  // namespace

Result<DrawingScanHeader> ParseDrawingScanHeader(std::span<const uint8_t> bytes, ScanReader who,
                                                 const std::string& path) {
  Messages say(who, path);
  if (bytes.size() < std::size_t(kDrawingScanHeaderSize)) return say.EndOfFile();
  DrawingScanHeader header;
  // Only the analyzer and the scanner look at the ID length; the others read pixels from 18.
  if (ReadsIdField(who) && bytes[kIdLength] != 0) {
    std::size_t idLength = bytes[kIdLength];
    if (bytes.size() < kDrawingScanHeaderSize + idLength) return say.EndOfFile();
    const auto* id = reinterpret_cast<const char*>(bytes.data() + kDrawingScanHeaderSize);
    header.idText.assign(id, idLength);
    if (who == ScanReader::Analyzer) header.pixelOffset += int(idLength);
  }
  // The cel viewer wants no colour map at all; the others only refuse a mapped file.
  if (who == ScanReader::CelViewer ? bytes[kColorMapType] != 0 : bytes[kColorMapType] == 1)
    return say.Maps();
  if (bytes[kImageType] != kDrawingScanImageType) return say.NotScan();
  if (bytes[kBitsPerPixel] != 8) return say.NotEightBit();

  header.dpi = GetU16LE(&bytes[kMapFirst]);
  header.pegPosition = GetU16LE(&bytes[kMapLength]);
  header.xPosition = GetU16LE(&bytes[kXOrigin]);
  header.yPosition = GetU16LE(&bytes[kYOrigin]);
  header.width = GetU16LE(&bytes[kWidth]);
  header.height = GetU16LE(&bytes[kHeight]);
  // An empty or oversized picture would reach every caller's buffers; refuse it here.
  if (!SizeAccepted(who, header.width, header.height)) return say.BadSize();
  return header;
}

Result<DrawingScanHeader> ReadDrawingScanHeader(const std::string& path, ScanReader who) {
  auto bytes = ReadFileBytes(path, 0, kDrawingScanHeaderSize + kMaxIdLength);
  if (!bytes) return Messages(who, path).CannotOpen();
  return ParseDrawingScanHeader(*bytes, who, path);
}

Result<DrawingScanPixels> ParseDrawingScanPixels(std::span<const uint8_t> bytes,
                                                 const DrawingScanHeader& header, ScanReader who,
                                                 const std::string& path) {
  Messages say(who, path);
  if (!SizeAccepted(who, header.width, header.height) ||
      header.pixelOffset < kDrawingScanHeaderSize)
    return say.BadSize();
  // The analyzer reads the header once more before the pixels and checks the type again.
  if (who == ScanReader::Analyzer && bytes.size() >= std::size_t(kDrawingScanHeaderSize) &&
      bytes[kImageType] != kDrawingScanImageType)
    return say.NotGreyAtPixels();

  std::size_t count = PixelCount(header.width, header.height);
  std::size_t offset = std::size_t(header.pixelOffset);
  std::size_t available = bytes.size() > offset ? bytes.size() - offset : 0;
  std::size_t got = std::min(count, available);
  DrawingScanPixels result;
  if (got < count) {
    if (who != ScanReader::Analyzer) return Error{say.ShortPixels()};
    // The analyzer goes on with what it read; the rest is blank paper. The allocation is
    // bounded by the size check above, never by the header alone.
    result.warning = say.ShortPixels();
  }
  result.picture = Raster(header.width, header.height, 1, kPaperWhite);
  if (got > 0) std::copy_n(bytes.begin() + std::ptrdiff_t(offset), got, result.picture.data());
  // Other tools write grey Targa files top row first and say so in the descriptor; the suite
  // keeps the bottom row first. Rows missing from a short file are then the bottom ones.
  if (bytes.size() > kDescriptor && (bytes[kDescriptor] & kTopLeftOrigin) != 0) {
    Raster& p = result.picture;
    for (int top = p.height() - 1, bottom = 0; bottom < top; --top, ++bottom)
      std::swap_ranges(p.Row(bottom), p.Row(bottom) + p.width(), p.Row(top));
  }
  return result;
}

Result<DrawingScanPixels> ReadDrawingScanPixels(const std::string& path,
                                                const DrawingScanHeader& header, ScanReader who) {
  std::uint64_t wanted = 0;
  if (header.width > 0 && header.height > 0 && header.pixelOffset >= 0)
    wanted = std::uint64_t(header.pixelOffset) + PixelCount(header.width, header.height);
  auto bytes = ReadFileBytes(path, 0, wanted);
  if (!bytes) return Messages(who, path).CannotOpen();
  return ParseDrawingScanPixels(*bytes, header, who, path);
}

namespace {

LoadedDrawingScan Combine(DrawingScanHeader&& header, DrawingScanPixels&& pixels) {
  LoadedDrawingScan loaded;
  loaded.scan.dpi = header.dpi;
  loaded.scan.pegPosition = header.pegPosition;
  loaded.scan.xPosition = header.xPosition;
  loaded.scan.yPosition = header.yPosition;
  loaded.scan.picture = std::move(pixels.picture);
  loaded.idText = std::move(header.idText);
  loaded.warning = std::move(pixels.warning);
  return loaded;
}

}  // namespace

Result<LoadedDrawingScan> ParseDrawingScan(std::span<const uint8_t> bytes, ScanReader who,
                                           const std::string& path) {
  auto header = ParseDrawingScanHeader(bytes, who, path);
  if (!header) return Error{header.message()};
  auto pixels = ParseDrawingScanPixels(bytes, *header, who, path);
  if (!pixels) return Error{pixels.message()};
  return Combine(std::move(*header), std::move(*pixels));
}

Result<LoadedDrawingScan> ReadDrawingScan(const std::string& path, ScanReader who) {
  auto header = ReadDrawingScanHeader(path, who);
  if (!header) return Error{header.message()};
  auto pixels = ReadDrawingScanPixels(path, *header, who);
  if (!pixels) return Error{pixels.message()};
  return Combine(std::move(*header), std::move(*pixels));
}

Status CheckDrawingScanForWriting(const DrawingScan& scan) {
  const Raster& picture = scan.picture;
  const int width = picture.width(), height = picture.height();
  if (width < 1 || height < 1 || width > kMaxDrawingScanSide || height > kMaxDrawingScanSide)
    return Error{"Drawing scan size " + std::to_string(width) + "x" + std::to_string(height) +
                 " is out of range"};
  // A grey picture packed row after row is what the file holds after its header.
  if (picture.channels() != 1 || picture.bytes().size() != PixelCount(width, height))
    return Error{"Drawing scan holds " + std::to_string(picture.bytes().size()) +
                 " pixels instead of " + std::to_string(PixelCount(width, height))};
  if (!Fits16(scan.dpi) || !Fits16(scan.pegPosition) || !Fits16(scan.xPosition) ||
      !Fits16(scan.yPosition))
    return Error{"Drawing scan header values do not fit the file"};
  return Status::Ok();
}

std::vector<uint8_t> EncodeDrawingScan(const DrawingScan& scan) {
  const std::vector<uint8_t>& pixels = scan.picture.bytes();
  std::vector<uint8_t> bytes(kDrawingScanHeaderSize + pixels.size(), 0);
  bytes[kIdLength] = 0;
  bytes[kColorMapType] = 0;
  bytes[kImageType] = kDrawingScanImageType;
  SetU16LE(&bytes[kMapFirst], uint16_t(scan.dpi));
  SetU16LE(&bytes[kMapLength], uint16_t(scan.pegPosition));
  bytes[kMapEntrySize] = 0;
  SetU16LE(&bytes[kXOrigin], uint16_t(scan.xPosition));
  SetU16LE(&bytes[kYOrigin], uint16_t(scan.yPosition));
  SetU16LE(&bytes[kWidth], uint16_t(scan.picture.width()));
  SetU16LE(&bytes[kHeight], uint16_t(scan.picture.height()));
  bytes[kBitsPerPixel] = 8;
  bytes[kDescriptor] = 0;
  std::copy(pixels.begin(), pixels.end(), bytes.begin() + kDrawingScanHeaderSize);
  return bytes;
}

Status WriteDrawingScan(const std::string& path, const DrawingScan& scan, ScanWriter who) {
  if (Status check = CheckDrawingScanForWriting(scan); !check) return check;
  std::vector<uint8_t> bytes = EncodeDrawingScan(scan);
  if (who == ScanWriter::Analyzer)
    return WriteFileAtomically(path, bytes,
                               {"Error writing scan file", "Error writing scan image " + path +
                                                               " : Disk full or write protected"});
  return WriteFileAtomically(
      path, bytes,
      {"Error writing scanned file " + path + " : Disk Full or Write Protected?",
       "Error writing scanned image " + path + " : Disk full or write protected"});
}

}  // namespace quenda
