#pragma once
// Whether a document's file is still the one a program loaded: its size and modification time,
// and for a small file a hash of its bytes, which also tells a change that kept the size within
// one tick of a coarse clock (NFS) and a rewrite that changed nothing.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quenda {

// Files up to this size are hashed.
inline constexpr std::uint64_t kHashedFileLimit = 4 * 1024 * 1024;

struct FileIdentity {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;        // nanoseconds since 1970
  std::optional<std::uint64_t> hash;  // of the bytes, for files up to kHashedFileLimit

  // Another file than `other`: one exists and the other not, or the sizes differ, or the
  // hashes (when both files were hashed) or else the modification times do.
  bool DiffersFrom(const FileIdentity& other) const;
};

FileIdentity IdentifyFile(const std::string& path);

// The files of one open document, each as it was when last read or written by the program.
class DocumentFiles {
 public:
  // `path` as it is now on disk; again after each save.
  void Remember(const std::string& path);
  void Forget(const std::string& path);
  void Clear() { known_.clear(); }

  // The remembered files that differ from what they were, in path order.
  std::vector<std::string> ChangedOnDisk() const;
  bool ChangedOnDisk(const std::string& path) const;
  std::vector<std::string> paths() const;

 private:
  std::map<std::string, FileIdentity> known_;
};

}  // namespace quenda
