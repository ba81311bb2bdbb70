#pragma once
// The document archive of the exposure sheet and the composer: fields written one after the
// other, little-endian, with no padding, header or version. Strings are 8-bit characters after
// a length in one of three forms:
//   length < 255              one byte
//   255 <= length < 0xFFFE    the byte 0xFF, then the length as 16 bits
//   longer                    the byte 0xFF, the 16 bits 0xFFFF, then the length as 32 bits
// The reader accepts every form for every length (a short string in a long form included), but
// not the 16-bit value 0xFFFE, which is none of them.
//
// Reading never goes past the end: a read that does not fit fails, answers zero or an empty
// string, and leaves the reader failed, so every later read fails too. A document loader reads
// its fields and checks ok() before trusting what it read; counts that decide a loop should be
// checked against remaining() first.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace quenda {

class ArchiveWriter {
 public:
  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint16_t value);
  void I16(int16_t value) { U16(uint16_t(value)); }
  void U32(uint32_t value);
  void I32(int32_t value) { U32(uint32_t(value)); }
  void F32(float value);
  void F64(double value);
  void String(std::string_view text);

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class ArchiveReader {
 public:
  explicit ArchiveReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint8_t U8();
  uint16_t U16();
  int16_t I16() { return int16_t(U16()); }
  uint32_t U32();
  int32_t I32() { return int32_t(U32()); }
  float F32();
  double F64();
  std::string String();

  bool ok() const { return !failed_; }
  std::size_t position() const { return position_; }
  std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
  bool AtEnd() const { return remaining() == 0; }

 private:
  // The next `size` bytes, or null (and failed) when they are not all there.
  const uint8_t* Take(std::size_t size);

  std::span<const uint8_t> bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

// Replaces the file at `path` with the writer's bytes; a failure leaves the old file as it was.
Status SaveArchive(const std::string& path, const ArchiveWriter& writer);
// The whole file, or the open message.
Result<std::vector<uint8_t>> LoadArchive(const std::string& path);

// The texts of the archive's failures, for the document loaders to return.
Error ArchiveCannotOpen(std::string_view path);
Error ArchiveEndsEarly(std::string_view path);

}  // namespace quenda
