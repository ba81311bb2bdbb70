#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "common/path.h"

namespace quenda {
namespace {

long long g_writeLimit = -1;

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

bool WritableFile(const std::string& path, const struct stat& st) {
  return (st.st_mode & kAnyWrite) != 0 && access(path.c_str(), W_OK) == 0;
}

}  // namespace

void SetWriteLimitForTesting(long long bytes) {
  g_writeLimit = bytes;
}

AtomicFile::~AtomicFile() {
  Discard();
}

Status AtomicFile::Open(const std::string& path, WriteMessages messages) {
  Discard();
  messages_ = std::move(messages);
  failed_ = false;
  target_ = path;
  struct stat st {};
  mode_t mode = 0666;
  if (stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || !WritableFile(path, st)) return CannotCreate();
    mode = st.st_mode & 07777;
  }
  std::string directory = ParentDirectoryOf(path);
  struct stat dirStat {};
  if (stat(directory.c_str(), &dirStat) != 0 || !S_ISDIR(dirStat.st_mode) ||
      !WritableFile(directory, dirStat))
    return CannotCreate();

  std::string pattern = JoinPath(directory, "." + FileNameOf(path) + ".XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0) return CannotCreate();
  temporary_ = name.data();
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
  std::size_t allowed = size;
  if (g_writeLimit >= 0) {
    allowed = std::min<std::size_t>(size, std::size_t(g_writeLimit));
    g_writeLimit -= (long long)allowed;
  }
  std::size_t done = 0;
  while (done < allowed) {
    ssize_t n = ::write(fd_, bytes + done, allowed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += std::size_t(n);
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
  bool ok = fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  if (!ok || rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return ShortWrite();
  }
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
                           WriteMessages messages) {
  AtomicFile file;
  if (Status opened = file.Open(path, std::move(messages)); !opened) return opened;
  if (Status written = file.Write(bytes.data(), bytes.size()); !written) return written;
  return file.Commit();
}

Status WriteFileAtomically(const std::string& path, std::string_view text, WriteMessages messages) {
  return WriteFileAtomically(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      std::move(messages));
}

}  // namespace quenda
