#pragma once
// Every file the suite writes goes through AtomicFile: the bytes go to a temporary file beside
// the target, which replaces the target only once complete and flushed. A full disk, a
// read-only file or directory, or a crash leaves the previous file exactly as it was.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenda {

enum class WriteFailure {
  None,
  CannotCreate,  // the target is read-only, or no file can be made beside it
  ShortWrite,    // fewer bytes reached the disk than asked, or the replace failed
};

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();  // discards what was not committed

  // A target or directory without any write permission bit counts as read-only even for root,
  // as the read-only attribute does on the files' home platform.
  WriteFailure Open(const std::string& path);
  WriteFailure Write(const void* data, std::size_t size);
  // Flushes, keeps the old file's permissions, and renames over the target.
  WriteFailure Commit();
  void Discard();

 private:
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool failed_ = false;
};

WriteFailure WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
WriteFailure WriteFileAtomically(const std::string& path, std::string_view text);

// Tests make the disk "full" after this many bytes of all following writes; -1 restores.
void SetWriteLimitForTesting(long long bytes);

}  // namespace quenda
