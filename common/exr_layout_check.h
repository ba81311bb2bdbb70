#pragma once
// A look at an OpenEXR file's header before the library reads it. The library takes an
// attribute's stated size on its word and reserves that much before finding the file ends —
// 200 bytes claiming a 1 GB attribute keep it busy for seconds — and a file shorter than the
// offset table its header implies is damaged whatever follows. Both are refused here from the
// bytes alone, in time proportional to the header.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quenda {

// Up to `count` bytes of the file from `offset` (fewer at its end).
using ByteReader = std::function<std::vector<uint8_t>(uint64_t offset, uint64_t count)>;

// Why a file of `fileSize` bytes read through `read` cannot be a whole OpenEXR file, as a
// reason for a message; nothing when its header and offset tables fit the file. Only the
// layout is checked: attribute values other than the few that size the tables are not read.
std::optional<std::string> ExrLayoutProblem(const ByteReader& read, uint64_t fileSize);

}  // namespace quenda
