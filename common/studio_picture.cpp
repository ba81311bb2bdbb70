#include "common/studio_picture.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/case_insensitive_path.h"
#include "common/exr_layout_check.h"
#include "common/file_io.h"
#include "common/studio_picture_codec.h"

namespace quenda {
namespace {

// The formats read here, by extension, and the library's reader for each.
struct ReadFormat {
  std::string_view extension;
  std::string_view library;
};
constexpr std::array<ReadFormat, 7> kReadFormats = {{{".png", "png"},
                                                     {".tif", "tiff"},
                                                     {".tiff", "tiff"},
                                                     {".jpg", "jpeg"},
                                                     {".jpeg", "jpeg"},
                                                     {".exr", "openexr"},
                                                     {".dpx", "dpx"}}};
constexpr std::string_view kReadFormatsText = "PNG, TIFF, JPEG, OpenEXR and DPX";

// The library's reader for the path's extension, in any case; empty for every other file.
std::string_view LibraryReaderFor(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  const std::string extension = LowerAscii(std::string(path.substr(dot)));
  for (const ReadFormat& format : kReadFormats)
    if (format.extension == extension) return format.library;
  return {};
}

Error Refused(const std::string& path, const std::string& reason) {
  return Error{"Cannot read picture " + path + ": " + reason};
}

// The codec and the library's reader for a file about to be read, once its extension names a
// reader and, for OpenEXR, its layout is checked before that reader sees it
// (exr_layout_check.h).
struct Reading {
  const StudioPictureCodec* codec;
  std::string_view reader;
};
Result<Reading> StartReading(const std::string& path, const ByteReader& read, uint64_t fileSize) {
  const std::string_view reader = LibraryReaderFor(path);
  if (reader.empty())
    return Refused(path, "only " + std::string(kReadFormatsText) + " pictures are read");
  if (reader == "openexr")
    if (std::optional<std::string> problem = ExrLayoutProblem(read, fileSize))
      return Refused(path, *problem);
  Result<const StudioPictureCodec*> codec = StudioPictureCodecInUse();
  if (!codec) return Refused(path, codec.message());
  return Reading{*codec, reader};
}

}  // namespace

bool IsStudioPictureExtension(std::string_view extension) {
  const std::string lowered = LowerAscii(std::string(extension));
  for (const ReadFormat& format : kReadFormats)
    if (lowered == format.extension) return true;
  return false;
}

Result<StudioPicture> ParseStudioPicture(std::span<const uint8_t> bytes, const std::string& path) {
  if (bytes.empty()) return Refused(path, "the file is empty");
  const ByteReader fromMemory = [bytes](uint64_t offset, uint64_t count) {
    const std::span<const uint8_t> rest = bytes.subspan(std::min<uint64_t>(offset, bytes.size()));
    const std::span<const uint8_t> part = rest.first(std::min<uint64_t>(count, rest.size()));
    return std::vector<uint8_t>(part.begin(), part.end());
  };
  Result<Reading> reading = StartReading(path, fromMemory, bytes.size());
  if (!reading) return Error{reading.message()};
  Result<StudioPicture> picture = reading->codec->decode(bytes, path, reading->reader);
  if (!picture) return Refused(path, picture.message());
  return picture;
}

Result<StudioPictureHeader> ReadStudioPictureHeader(const std::string& path) {
  if (!FileOpensForReading(path))
    return Refused(path, "the file does not exist or cannot be opened");
  const ByteReader fromFile = [&path](uint64_t offset, uint64_t count) {
    return ReadFileBytes(path, offset, count).value_or(std::vector<uint8_t>{});
  };
  Result<Reading> reading = StartReading(path, fromFile, FileSize(path).value_or(0));
  if (!reading) return Error{reading.message()};
  Result<StudioPictureHeader> header = reading->codec->readHeader(path, reading->reader);
  if (!header) return Refused(path, header.message());
  return header;
}

Result<StudioPicture> ReadStudioPicture(const std::string& path) {
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Refused(path, "the file does not exist or cannot be opened");
  return ParseStudioPicture(*bytes, path);
}

Result<std::vector<uint8_t>> EncodeStudioPicture(ConstRasterView picture,
                                                 const StudioWriteOptions& options) {
  Result<const StudioPictureCodec*> codec = StudioPictureCodecInUse();
  if (!codec) return Error{codec.message()};
  return (*codec)->encode(picture, options);
}

Status WriteStudioPicture(const std::string& path, ConstRasterView picture,
                          const StudioWriteOptions& options, WriteMessages messages) {
  // A missing codec is no fault of the disk: the caller's "cannot create" text would send the
  // user looking at the folder.
  if (Result<const StudioPictureCodec*> codec = StudioPictureCodecInUse(); !codec)
    return Error{"Could not write " + path + ": " + codec.message(), ErrorKind::CannotCreate};
  Result<std::vector<uint8_t>> bytes = EncodeStudioPicture(picture, options);
  if (!bytes) return Error{messages.cannotCreate, ErrorKind::CannotCreate};
  return WriteFileAtomically(path, *bytes, std::move(messages));
}

}  // namespace quenda
