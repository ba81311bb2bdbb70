#pragma once
// Splitting and joining file paths as plain strings; nothing here looks at the file system
// beyond the current directory, which AbsolutePath reads. Both '/' and '\' are read as separators,
// since stored documents may name directories with
// '\'; a join writes '/'. Parts come back spelt as given, separators included.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenda {

bool IsPathSeparator(char c);

// After the last separator: "a/b.qds" -> "b.qds", "b.qds" -> "b.qds", "a/" -> "".
std::string FileNameOf(std::string_view path);

// Up to and including the last separator, as the suite keeps directories: "a/b.qds" -> "a/",
// "a\b.qds" -> "a\", "b.qds" -> "". DirectoryOf(p) + FileNameOf(p) == p.
std::string DirectoryOf(std::string_view path);

// The directory to hand to the system, which separates with '/' alone: before the last '/', "."
// when there is none and "/" when the only one starts the path. "a/b.qds" -> "a",
// "b.qds" -> ".", "/b.qds" -> "/", "a\b.qds" -> ".".
std::string ParentDirectoryOf(std::string_view path);

// The file name's last '.' and what follows: "a.b/c.QDS" -> ".QDS", "a.b/c" -> "". A name whose
// only '.' is its first character is all extension: ".col" -> ".col".
std::string ExtensionOf(std::string_view path);

// The file name without its extension: "a/walk1.qds" -> "walk1", "a/.col" -> "".
std::string TitleOf(std::string_view path);

// `name` inside `directory`: one '/' between them unless the directory is empty or already ends
// with a separator. JoinPath("a", "b") -> "a/b", JoinPath("a\", "b") -> "a\b".
std::string JoinPath(std::string_view directory, std::string_view name);

// True when `path` starts at the root ('/').
bool IsAbsolutePath(std::string_view path);

// `path` against the current directory, lexically normalised ("." and ".." folded, doubled
// separators joined); symbolic links stay as given. A trailing separator stays, and an empty
// path is the current directory with one: AbsolutePath("") -> "/home/u/".
std::string AbsolutePath(std::string_view path);

// Where a path a document stores may point, in the order to try: an absolute path only itself;
// a relative one first against the folder of the document at `documentPath`, then against the
// current directory, both made absolute.
std::vector<std::string> StoredPathCandidates(std::string_view stored,
                                              std::string_view documentPath);

// The folder a document stores relative (older tools did) where it is found: the first of
// StoredPathCandidates, ending with '/', that `holdsIt` accepts. Nothing for an absolute path,
// which stays as stored, or where no candidate holds it.
std::optional<std::string> FindRelativeFolder(
    std::string_view stored, std::string_view documentPath,
    const std::function<bool(const std::string& folder)>& holdsIt);

}  // namespace quenda
