#pragma once
// File names are matched without regard to case, as on the platform where the suite's
// documents were made: a rebuilt path that does not exist as spelt resolves to the existing
// file whose name differs from it only in case.

#include <string>

namespace quenda {

// `path` itself when it exists as spelt; otherwise the path whose components (directories and
// file name) each match an existing entry ignoring ASCII case, walking from the first missing
// component. When several entries differ only in case, the first in byte order wins so the
// answer never changes between calls. When nothing matches, `path` unchanged.
std::string ResolvePathIgnoringCase(const std::string& path);

// Stored documents may name directories with '\'; this turns every '\' into '/'.
std::string NormalizeSeparators(std::string path);

// ASCII lower case, leaving other bytes alone.
std::string LowerAscii(std::string text);

}  // namespace quenda
