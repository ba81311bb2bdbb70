#include "common/case_insensitive_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace quenda {
namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

// The entry of `directory` whose name equals `name` ignoring case; the first in byte order.
std::optional<std::string> FindIgnoringCase(const std::string& directory, const std::string& name) {
  const std::string wanted = LowerAscii(name);
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? "." : directory, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> best;
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string candidate = it->path().filename().string();
    if (LowerAscii(candidate) == wanted && (!best || candidate < *best)) best = candidate;
  }
  return best;
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

}  // namespace quenda
