#include "atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/folder_names.h"
#include "common/late_close.h"
#include "common/path.h"

namespace quenda {
namespace {

// Frames saved while later ones are made write from several threads at once, so the limit is
// taken from atomically.
std::atomic<long long> g_writeLimit{-1};

// Replaced files from this size on are freed on the closing thread; a smaller one costs less to
// free than to hand over.
constexpr long long kCloseLaterBytes = 1 << 20;

// The bytes of `size` that the testing limit lets through, taken from it.
std::size_t AllowedByLimit(std::size_t size) {
  long long left = g_writeLimit.load(std::memory_order_relaxed);
  for (;;) {
    if (left < 0) return size;
    const long long allowed = std::min((long long)size, left);
    if (g_writeLimit.compare_exchange_weak(left, left - allowed, std::memory_order_relaxed))
      return std::size_t(allowed);
  }
}

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

bool WritableFile(const std::string& path, const struct stat& st) {
  return (st.st_mode & kAnyWrite) != 0 && access(path.c_str(), W_OK) == 0;
}

// mkstemp's names: the prefix and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
         std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Any name that some target's temporary could have: a dot, the target's name, a dot and six
// letters or digits.
bool MayBeTemporary(std::string_view name) {
  return name.size() > 9 && name[0] == '.' && name[name.size() - 7] == '.' &&
         std::all_of(name.end() - 6, name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// A folder is listed once per process, when it is first written to: a render writes hundreds of
// files into one folder, and listing it again for each would cost time growing with the square
// of the frames. The names that may be temporaries are kept and looked at by the writers of
// their targets. (A writer killed while this process runs leaves its temporary to the next.)
struct FolderLeftovers {
  std::mutex lock;
  std::unordered_map<std::string, std::vector<std::string>> byFolder;
};

FolderLeftovers& Leftovers() {
  static FolderLeftovers leftovers;
  return leftovers;
}

// The folder's shared listing (common/folder_names.h): a folder the program has just read, as the
// painter reads a sequence's, is not read again for this.
std::vector<std::string> ListPossibleTemporaries(const std::string& directory) {
  std::vector<std::string> names;
  const std::shared_ptr<const FolderNames> listing = NamesInFolder(directory);
  for (const std::string& name : listing->names)
    if (MayBeTemporary(name)) names.push_back(name);
  return names;
}

// Removes the temporaries of writers of the same target that were killed: nobody holds their
// lock any more. One that a live writer holds stays.
void RemoveAbandonedTemporaries(const std::string& directory, const std::string& prefix) {
  FolderLeftovers& leftovers = Leftovers();
  std::lock_guard guard(leftovers.lock);
  auto [folder, first] = leftovers.byFolder.try_emplace(directory);
  if (first) folder->second = ListPossibleTemporaries(directory);
  std::erase_if(folder->second, [&](const std::string& name) {
    if (!IsTemporaryName(name, prefix)) return false;
    std::string path = JoinPath(directory, name);
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT;
    struct stat st {};
    bool removed = false;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
      removed = unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
  });
}

}  // namespace

bool IsReadOnlyTarget(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !WritableFile(path, st);
}

void SetWriteLimitForTesting(long long bytes) {
  g_writeLimit = bytes;
}

AtomicFile::~AtomicFile() {
  Discard();
}

Status AtomicFile::Open(const std::string& path, WriteMessages messages, Durability durability) {
  Discard();
  messages_ = std::move(messages);
  durability_ = durability;
  failed_ = false;
  written_ = writtenBack_ = 0;
  replacedBytes_ = 0;
  target_ = path;
  struct stat st {};
  mode_t mode = 0666;
  if (stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || !WritableFile(path, st)) return CannotCreate();
    mode = st.st_mode & 07777;
    replacedBytes_ = (long long)st.st_size;
  }
  std::string directory = ParentDirectoryOf(path);
  struct stat dirStat {};
  if (stat(directory.c_str(), &dirStat) != 0 || !S_ISDIR(dirStat.st_mode) ||
      !WritableFile(directory, dirStat))
    return CannotCreate();

  const std::string prefix = "." + FileNameOf(path) + ".";
  RemoveAbandonedTemporaries(directory, prefix);
  std::string pattern = JoinPath(directory, prefix + "XXXXXX");
  for (int attempt = 0; attempt < 3 && fd_ < 0; ++attempt) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return CannotCreate();
    // Another writer's clean-up may have taken the file between its creation and the lock;
    // then it is gone and a new one is made. A file system without locks is written unlocked.
    int locked = flock(fd, LOCK_EX | LOCK_NB);
    struct stat made {};
    if ((locked == 0 || errno != EWOULDBLOCK) && fstat(fd, &made) == 0 && made.st_nlink > 0) {
      fd_ = fd;
      temporary_ = name.data();
    } else {
      ::close(fd);
    }
  }
  if (fd_ < 0) return CannotCreate();
  // A new file gets the usual permissions; a replaced one keeps its own.
  if (st.st_mode == 0) {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd_, mode);
  return Status::Ok();
}

Status AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0 || failed_) return ShortWrite();
  const auto* bytes = static_cast<const uint8_t*>(data);
  const std::size_t allowed = AllowedByLimit(size);
  const bool flushed = durability_ == Durability::Flushed;
  std::size_t done = 0;
  while (done < allowed) {
    // A flushed file is written up to the end of the step it is in, then that step is written
    // back while the next is written. What fails there is told by the flush in Commit.
    std::size_t piece = allowed - done;
    if (flushed)
      piece = std::min(piece, std::size_t(writtenBack_ + (long long)kWritebackStep - written_));
    ssize_t n = ::write(fd_, bytes + done, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += std::size_t(n);
    written_ += n;
    if (flushed && written_ - writtenBack_ >= (long long)kWritebackStep) {
      (void)sync_file_range(fd_, writtenBack_, written_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
      writtenBack_ = written_;
    }
  }
  if (done < size) {
    failed_ = true;
    return ShortWrite();
  }
  return Status::Ok();
}

Status AtomicFile::Commit() {
  if (fd_ < 0 || failed_) {
    Discard();
    return ShortWrite();
  }
  // A large file replaced is held open over the rename and closed on the closing thread, which
  // then frees it (common/late_close.h).
  const int replaced = replacedBytes_ >= kCloseLaterBytes
                           ? ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK)
                           : -1;
  // Renamed while still locked, so no clean-up can take it between the two steps.
  if ((durability_ == Durability::Flushed && fsync(fd_) != 0) ||
      rename(temporary_.c_str(), target_.c_str()) != 0) {
    if (replaced >= 0) ::close(replaced);
    Discard();
    return ShortWrite();
  }
  CloseLater(replaced);
  ::close(fd_);
  fd_ = -1;
  temporary_.clear();
  return Status::Ok();
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

Status WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                           WriteMessages messages, Durability durability) {
  AtomicFile file;
  if (Status opened = file.Open(path, std::move(messages), durability); !opened) return opened;
  if (Status written = file.Write(bytes.data(), bytes.size()); !written) return written;
  return file.Commit();
}

Status WriteFileAtomically(const std::string& path, std::string_view text, WriteMessages messages) {
  return WriteFileAtomically(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      std::move(messages));
}

}  // namespace quenda
