#include "common/case_insensitive_path.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "common/folder_names.h"
#include "common/path.h"

namespace quenda {
namespace {

namespace fs = std::filesystem;

std::atomic<long long> g_listings{0};

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

// The entry of `directory` whose name equals `name` ignoring case; the first in byte order.
std::optional<std::string> FindIgnoringCase(const std::string& directory, const std::string& name) {
  std::string found = NamesInFolder(directory)->FindIgnoringCase(name);
  if (found.empty()) return std::nullopt;
  return found;
}

}  // namespace

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

std::string NormalizeSeparators(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string ResolvePathIgnoringCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  // Split into components, keeping a leading '/' and a trailing one.
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  std::string resolved;
  std::string directory;  // what has been resolved so far, ending in '/' or empty
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string piece = part;
    if (!part.empty() && part != "." && part != ".." && !Exists(directory + part)) {
      auto found = FindIgnoringCase(directory, part);
      if (!found) return path;
      piece = *found;
    }
    resolved = directory + piece;
    if (i + 1 < parts.size()) directory = resolved + "/";
  }
  return resolved;
}

FolderListing::FolderListing(const std::string& directory)
    : directory_(directory),
      resolved_(ResolvePathIgnoringCase(directory)),
      names_(NamesInFolder(resolved_)) {}

std::string FolderListing::Resolve(const std::string& path) const {
  // Only a plain name right inside the folder, spelt with '/' as the resolver splits it.
  const std::string name = FileNameOf(path);
  if (DirectoryOf(path) != directory_ || (!directory_.empty() && directory_.back() != '/') ||
      name.empty() || name == "." || name == "..")
    return ResolvePathIgnoringCase(path);
  if (Exists(path)) return path;
  if (!names_->listed) return path;
  // As ResolvePathIgnoringCase walks it: the folder as found, then the name as spelt if it is
  // there, else its first match in byte order.
  const std::string folder =
      resolved_.empty() || resolved_.back() == '/' ? resolved_ : resolved_ + "/";
  if (names_->names.count(name) != 0) return folder + name;
  const std::string found = names_->FindIgnoringCase(name);
  return found.empty() ? path : folder + found;
}

long long FolderListingCount() {
  return g_listings.load();
}

void CountFolderListing() {
  ++g_listings;
}

}  // namespace quenda
