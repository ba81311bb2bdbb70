#include "common/file_identity.h"

#include <sys/stat.h>

#include <fstream>

namespace quenda {
namespace {

// FNV-1a, 64 bits: quick, and only ever compared with itself.
std::optional<std::uint64_t> HashOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::uint64_t hash = 1469598103934665603ull;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash ^= static_cast<unsigned char>(buffer[i]);
      hash *= 1099511628211ull;
    }
  }
  if (in.bad()) return std::nullopt;
  return hash;
}

}  // namespace

bool FileIdentity::DiffersFrom(const FileIdentity& other) const {
  if (exists != other.exists) return true;
  if (!exists) return false;
  if (size != other.size) return true;
  if (hash && other.hash) return *hash != *other.hash;
  return modifiedNs != other.modifiedNs;
}

FileIdentity IdentifyFile(const std::string& path) {
  FileIdentity identity;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return identity;
  identity.exists = true;
  identity.size = std::uint64_t(st.st_size);
  identity.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  if (identity.size <= kHashedFileLimit) identity.hash = HashOf(path);
  return identity;
}

void DocumentFiles::Remember(const std::string& path) {
  known_[path] = IdentifyFile(path);
}

void DocumentFiles::Forget(const std::string& path) {
  known_.erase(path);
}

bool DocumentFiles::ChangedOnDisk(const std::string& path) const {
  auto found = known_.find(path);
  return found != known_.end() && IdentifyFile(path).DiffersFrom(found->second);
}

std::vector<std::string> DocumentFiles::ChangedOnDisk() const {
  std::vector<std::string> changed;
  for (const auto& [path, identity] : known_)
    if (IdentifyFile(path).DiffersFrom(identity)) changed.push_back(path);
  return changed;
}

std::vector<std::string> DocumentFiles::paths() const {
  std::vector<std::string> all;
  for (const auto& entry : known_) all.push_back(entry.first);
  return all;
}

}  // namespace quenda
