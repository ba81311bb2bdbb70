#include "common/path.h"

#include <filesystem>

#include "common/case_insensitive_path.h"

namespace quenda {
namespace {

// Where the file name starts: just after the last separator, 0 when there is none.
std::size_t NameStart(std::string_view path) {
  std::size_t start = path.size();
  while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
  return start;
}

}  // namespace

bool IsPathSeparator(char c) {
  return c == '/' || c == '\\';
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string DirectoryOf(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ParentDirectoryOf(std::string_view path) {
  // Only '/' here: on this system a '\' is part of a file's name, and a writer that took it for
  // a separator would look for a directory that is not there.
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string ExtensionOf(std::string_view path) {
  const std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string TitleOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  return name.substr(0, name.size() - ExtensionOf(name).size());
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += '/';
  joined += name;
  return joined;
}

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string AbsolutePath(std::string_view path) {
  namespace fs = std::filesystem;
  std::error_code ignored;  // without a current directory the path stays relative
  fs::path whole = IsAbsolutePath(path) ? fs::path(path) : fs::current_path(ignored) / path;
  return whole.lexically_normal().string();
}

std::vector<std::string> StoredPathCandidates(std::string_view stored,
                                              std::string_view documentPath) {
  if (IsAbsolutePath(stored)) return {std::string(stored)};
  return {AbsolutePath(JoinPath(DirectoryOf(documentPath), stored)), AbsolutePath(stored)};
}

std::optional<std::string> FindRelativeFolder(
    std::string_view stored, std::string_view documentPath,
    const std::function<bool(const std::string& folder)>& holdsIt) {
  std::string normal = NormalizeSeparators(std::string(stored));
  if (IsAbsolutePath(normal)) return std::nullopt;
  for (std::string candidate : StoredPathCandidates(normal, documentPath)) {
    if (!candidate.empty() && candidate.back() != '/') candidate += '/';
    if (holdsIt(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace quenda
