#pragma once
// Decoded clip frames kept between movie frames, so that a clip showing the same picture on
// many frames (a single image, a held or looping frame) is read from disk once.
//
// A kept picture is used again only while its file is provably the same, unchanged file: same
// device and inode, size, modification and change times. Timestamps are coarse (a clock tick
// on most file systems, up to two seconds on some), so a file changed within the last moments
// could change again without its times moving; such a file is read but not kept until its
// times are `settle` old. Failures are never kept: a missing or broken frame is looked at
// again every time, as its messages require.

#include <chrono>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "composer/core/clip_image.h"

namespace quenda {

inline constexpr std::size_t kClipImageCacheBytes = std::size_t(256) << 20;
inline constexpr std::chrono::nanoseconds kClipImageSettle = std::chrono::seconds(3);

struct ClipImageRead {
  std::shared_ptr<const ClipImage> image;  // null on failure
  ClipImageFailure failure = ClipImageFailure::None;
  std::string message;
};

class ClipImageCache {
 public:
  explicit ClipImageCache(std::size_t capacityBytes = kClipImageCacheBytes,
                          std::chrono::nanoseconds settle = kClipImageSettle);

  // ReadClipImage through the cache. Safe to call from several threads.
  ClipImageRead Read(const std::string& path);
  void Clear();
  std::size_t BytesHeld() const;
  std::size_t Count() const;

 private:
  struct Identity {
    unsigned long long device = 0, inode = 0, size = 0;
    long long modified = 0, changed = 0;  // nanoseconds since the epoch
    bool operator==(const Identity&) const = default;
  };
  struct Entry {
    std::string path;
    Identity identity;
    std::shared_ptr<const ClipImage> image;
    std::size_t bytes = 0;
  };

  static bool Identify(const std::string& path, Identity& identity);
  void Drop(const std::string& path);  // with the lock held
  void Keep(const std::string& path, const Identity& identity,
            std::shared_ptr<const ClipImage> image);  // with the lock held

  const std::size_t capacity_;
  const std::chrono::nanoseconds settle_;
  mutable std::mutex mutex_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> byPath_;
  std::size_t bytesHeld_ = 0;
};

// The cache the compositing engine reads every clip frame through.
ClipImageCache& TheClipImageCache();

}  // namespace quenda
