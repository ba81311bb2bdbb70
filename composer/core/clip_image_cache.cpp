#include "composer/core/clip_image_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace quenda {

namespace {

long long Nanoseconds(const timespec& t) {
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long NowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

}  // namespace

ClipImageCache::ClipImageCache(std::size_t capacityBytes, std::chrono::nanoseconds settle)
    : capacity_(capacityBytes), settle_(settle) {}

bool ClipImageCache::Identify(const std::string& path, Identity& identity) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  identity.device = static_cast<unsigned long long>(st.st_dev);
  identity.inode = static_cast<unsigned long long>(st.st_ino);
  identity.size = static_cast<unsigned long long>(st.st_size);
  identity.modified = Nanoseconds(st.st_mtim);
  identity.changed = Nanoseconds(st.st_ctim);
  return true;
}

ClipImageRead ClipImageCache::Read(const std::string& path) {
  Identity before;
  const bool identified = Identify(path, before);
  if (identified) {
    std::lock_guard lock(mutex_);
    auto found = byPath_.find(path);
    if (found != byPath_.end()) {
      if (found->second->identity == before) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return {found->second->image, ClipImageFailure::None, {}};
      }
      Drop(path);
    }
  }
  // Read outside the lock: other threads keep using what is held meanwhile.
  ClipImageFailure failure = ClipImageFailure::None;
  Result<ClipImage> read = ReadClipImage(path, &failure);
  if (!read) {
    std::lock_guard lock(mutex_);
    Drop(path);
    return {nullptr, failure, read.message()};
  }
  auto image = std::make_shared<const ClipImage>(std::move(*read));
  Identity after;
  const long long newest = std::max(before.modified, before.changed);
  if (identified && Identify(path, after) && after == before &&
      NowNanoseconds() - newest >= settle_.count()) {
    std::lock_guard lock(mutex_);
    Keep(path, before, image);
  }
  return {image, ClipImageFailure::None, {}};
}

void ClipImageCache::Drop(const std::string& path) {
  auto found = byPath_.find(path);
  if (found == byPath_.end()) return;
  bytesHeld_ -= found->second->bytes;
  entries_.erase(found->second);
  byPath_.erase(found);
}

void ClipImageCache::Keep(const std::string& path, const Identity& identity,
                          std::shared_ptr<const ClipImage> image) {
  Drop(path);
  const std::size_t bytes = image->bytes().size() + sizeof(ClipImage) + path.size();
  if (bytes > capacity_) return;
  while (bytesHeld_ + bytes > capacity_ && !entries_.empty()) {
    const std::string oldest = entries_.back().path;
    Drop(oldest);
  }
  entries_.push_front({path, identity, std::move(image), bytes});
  byPath_[path] = entries_.begin();
  bytesHeld_ += bytes;
}

void ClipImageCache::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
  byPath_.clear();
  bytesHeld_ = 0;
}

std::size_t ClipImageCache::BytesHeld() const {
  std::lock_guard lock(mutex_);
  return bytesHeld_;
}

std::size_t ClipImageCache::Count() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

ClipImageCache& TheClipImageCache() {
  static ClipImageCache cache;
  return cache;
}

}  // namespace quenda
