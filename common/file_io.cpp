#include "file_io.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "common/large_pages.h"

namespace quenda {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForReading(const std::string& path) {
  struct stat st {};
  // Directories open on Linux; they never hold a picture.
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  return FilePtr(std::fopen(path.c_str(), "rb"));
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t offset,
                                                  std::uint64_t maxBytes) {
  FilePtr file = OpenForReading(path);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes;
  if (offset > 0 && fseeko(file.get(), off_t(offset), SEEK_SET) != 0) return bytes;
  // One allocation sized by the file itself, never by a header's size fields; a file that grows
  // while it is read is then taken in chunks.
  struct stat st {};
  std::uint64_t expected = 0;
  if (fstat(fileno(file.get()), &st) == 0 && std::uint64_t(st.st_size) > offset)
    expected = std::min<std::uint64_t>(std::uint64_t(st.st_size) - offset, maxBytes);
  if (expected > 0) {
    ReserveLarge(bytes, std::size_t(expected));
    bytes.resize(std::size_t(expected));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (bytes.size() < expected) return bytes;
  }
  constexpr std::size_t kChunk = 1 << 20;
  while (bytes.size() < maxBytes) {
    int next = std::fgetc(file.get());
    if (next == EOF) break;
    bytes.push_back(uint8_t(next));
    std::size_t want = std::size_t(std::min<std::uint64_t>(kChunk, maxBytes - bytes.size()));
    std::size_t old = bytes.size();
    bytes.resize(old + want);
    bytes.resize(old + std::fread(bytes.data() + old, 1, want, file.get()));
  }
  return bytes;
}

std::optional<std::string> ReadFileText(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

bool FileOpensForReading(const std::string& path) {
  return OpenForReading(path) != nullptr;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return std::uint64_t(st.st_size);
}

bool EntryExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error)) && !error;
}

}  // namespace quenda
