#pragma once
// Reading whole files or their first bytes, for the readers of every format.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quenda {

// Nothing when the file does not open; otherwise up to `maxBytes` bytes from `offset`
// (fewer when the file is shorter).
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t offset = 0,
                                                  std::uint64_t maxBytes = UINT64_MAX);
// Nothing when the file does not open.
std::optional<std::string> ReadFileText(const std::string& path);
bool FileOpensForReading(const std::string& path);
// Size in bytes, or nothing when the file is missing.
std::optional<std::uint64_t> FileSize(const std::string& path);
// True when a directory entry of that name stands there, readable or not (a folder, a broken
// link, a file without permission): callers treat such a name as taken, not as free.
bool EntryExists(const std::string& path);

}  // namespace quenda
