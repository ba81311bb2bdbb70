#include "archive.h"

#include <bit>
#include <cstring>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/file_io.h"

namespace quenda {
namespace {

constexpr uint8_t kLongerLength = 0xFF;
constexpr uint16_t kFirst16BitInvalid = 0xFFFE;
constexpr uint16_t kLength32Follows = 0xFFFF;

}  // namespace

void ArchiveWriter::U16(uint16_t value) {
  AppendU16LE(bytes_, value);
}

void ArchiveWriter::U32(uint32_t value) {
  AppendU32LE(bytes_, value);
}

void ArchiveWriter::F32(float value) {
  U32(std::bit_cast<uint32_t>(value));
}

void ArchiveWriter::F64(double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  U32(uint32_t(bits));
  U32(uint32_t(bits >> 32));
}

void ArchiveWriter::String(std::string_view text) {
  std::size_t length = text.size();
  if (length < kLongerLength) {
    U8(uint8_t(length));
  } else if (length < kFirst16BitInvalid) {
    U8(kLongerLength);
    U16(uint16_t(length));
  } else {
    U8(kLongerLength);
    U16(kLength32Follows);
    U32(uint32_t(length));
  }
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

const uint8_t* ArchiveReader::Take(std::size_t size) {
  if (failed_ || size > bytes_.size() - position_) {
    failed_ = true;
    return nullptr;
  }
  const uint8_t* at = bytes_.data() + position_;
  position_ += size;
  return at;
}

uint8_t ArchiveReader::U8() {
  const uint8_t* p = Take(1);
  return p ? *p : 0;
}

uint16_t ArchiveReader::U16() {
  const uint8_t* p = Take(2);
  return p ? GetU16LE(p) : 0;
}

uint32_t ArchiveReader::U32() {
  const uint8_t* p = Take(4);
  return p ? GetU32LE(p) : 0;
}

float ArchiveReader::F32() {
  return std::bit_cast<float>(U32());
}

double ArchiveReader::F64() {
  const uint8_t* p = Take(8);
  if (!p) return 0.0;
  uint64_t bits = uint64_t(GetU32LE(p)) | (uint64_t(GetU32LE(p + 4)) << 32);
  return std::bit_cast<double>(bits);
}

std::string ArchiveReader::String() {
  std::size_t length = U8();
  if (length == kLongerLength) {
    uint16_t word = U16();
    if (word == kFirst16BitInvalid) failed_ = true;
    length = word == kLength32Follows ? std::size_t(U32()) : word;
  }
  // Checked before anything is allocated: a length field alone never decides memory.
  const uint8_t* p = Take(length);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p), length);
}

Status SaveArchive(const std::string& path, const ArchiveWriter& writer) {
  return WriteFileAtomically(
      path, std::span<const uint8_t>(writer.bytes()),
      {"Could not write " + path + ": the file or its folder may be read only.",
       "Could not write " + path + ": the disk may be full. The previous file is unchanged."});
}

Result<std::vector<uint8_t>> LoadArchive(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return ArchiveCannotOpen(path);
  return std::move(*bytes);
}

Error ArchiveCannotOpen(std::string_view path) {
  return Error{"Could not open " + std::string(path) + "."};
}

Error ArchiveEndsEarly(std::string_view path) {
  return Error{std::string(path) + " is incomplete or damaged and could not be read."};
}

}  // namespace quenda
