#pragma once
// Every file the suite writes goes through AtomicFile: the bytes go to a temporary file beside
// the target, which replaces the target only once complete and flushed. A full disk, a
// read-only file or directory, or a crash leaves the previous file exactly as it was.
//
// The writer holds an advisory lock (flock) on its temporary file until the file has taken the
// target's place or been dropped. A writer that was killed leaves its temporary behind
// unlocked; the next writer of the same target removes such leftovers when it opens, and
// leaves alone those another writer still holds. A folder is listed for leftovers once per
// process, when the process first writes into it.
//
// A failure is a Status carrying the caller's own text: callers word "cannot create" and
// "short write" differently (or alike), so they hand both texts in, and the writer answers with
// the one that applies. Its kind() (ErrorKind::CannotCreate or ShortWrite) is there for the
// caller that must also act differently on the two causes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "common/result.h"

namespace quenda {

struct WriteMessages {
  explicit WriteMessages(std::string both) : cannotCreate(both), shortWrite(std::move(both)) {}
  WriteMessages(std::string cannotCreateText, std::string shortWriteText)
      : cannotCreate(std::move(cannotCreateText)), shortWrite(std::move(shortWriteText)) {}

  std::string cannotCreate;  // the target is read-only, or no file can be made beside it
  std::string shortWrite;    // fewer bytes reached the disk than asked, or the replace failed
};

// Whether Commit flushes the bytes to the disk before the rename. A file that a crash may cut
// short (a cache entry its reader checks and makes again) need not wait for the disk; any
// other file must.
enum class Durability { Flushed, Disposable };

// A flushed file's bytes are handed to the kernel for writing back in steps of this size as
// they are written, so the disk works while the writer goes on and Commit's flush waits only
// for the last step, not for a whole rendered frame at once.
inline constexpr std::size_t kWritebackStep = std::size_t(4) << 20;

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();  // discards what was not committed

  // A target or directory without any write permission bit counts as read-only even for root,
  // as the read-only attribute does on the files' home platform.
  // `messages` word every failure of this file, here and in Write and Commit.
  Status Open(const std::string& path, WriteMessages messages,
              Durability durability = Durability::Flushed);
  Status Write(const void* data, std::size_t size);
  // Flushes, keeps the old file's permissions, and renames over the target. A large old file
  // is freed afterwards on another thread (common/late_close.h).
  Status Commit();
  void Discard();

  // The open temporary file, for a library that writes a file by name (the movie muxer); the
  // lock stays with this object.
  const std::string& temporaryPath() const { return temporary_; }

 private:
  Error CannotCreate() const { return {messages_.cannotCreate, ErrorKind::CannotCreate}; }
  Error ShortWrite() const { return {messages_.shortWrite, ErrorKind::ShortWrite}; }

  WriteMessages messages_{std::string()};
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool failed_ = false;
  long long written_ = 0;        // bytes in the temporary file
  long long writtenBack_ = 0;    // of them, those already handed to the kernel to write back
  long long replacedBytes_ = 0;  // the size of the target when opened, 0 for none
  Durability durability_ = Durability::Flushed;
};

Status WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                           WriteMessages messages, Durability durability = Durability::Flushed);
Status WriteFileAtomically(const std::string& path, std::string_view text, WriteMessages messages);

// An existing target that Open refuses as read-only (see Open), for callers whose message for
// a read-only file differs from the one for a directory they cannot write.
bool IsReadOnlyTarget(const std::string& path);

// Tests make the disk "full" after this many bytes of all following writes; -1 restores.
void SetWriteLimitForTesting(long long bytes);

}  // namespace quenda
