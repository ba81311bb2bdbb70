#pragma once
// The key clipboard: what Copy Key took, in the document while the program runs, and as a small
// file (.qkc) that carries it from one `quenda comp` run to the next.
//
// The file is 128 bytes, little-endian:
//   0    4 bytes   "QKEY"
//   4    int       the kind of the clip the keys came from (0..7)
//   8    5 x 24    one slot per track, position X first: present (int 0 or 1), then the key's
//                  frame (int), value (double), ease in and ease out (int 0..10); an absent
//                  slot is all zeros
// At least one key is present; an effect clip's keys are in the first two slots only.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "composer/core/clip_record.h"

namespace quenda {

// What Copy Key took: per track the key at the frame, if there was one, and the source's kind.
struct KeyClipboard {
  std::array<std::optional<Key>, kTrackCount> keys;
  ClipKind kind = ClipKind::Image;
  bool full = false;

  bool operator==(const KeyClipboard&) const = default;
};

inline constexpr std::size_t kKeyClipboardFileSize = 128;

// The bytes of a full clipboard.
std::vector<uint8_t> EncodeKeyClipboard(const KeyClipboard& board);
// The clipboard the bytes hold, full; EncodeKeyClipboard gives the same bytes back. Bytes that
// do not begin with "QKEY" are "<path> is not a key clipboard file."; any other fault (a
// length other than 128, an unknown kind, a presence flag other than 0 or 1, an absent slot
// that is not zeros, a value that is not a finite number, an ease outside 0..10, no key at
// all, an effect's key beyond the first two slots) is the archive's "incomplete or damaged".
Result<KeyClipboard> ParseKeyClipboard(std::span<const uint8_t> bytes, std::string_view path);

// Through the atomic writer: a failure leaves the old file as it was.
Status SaveKeyClipboard(const std::string& path, const KeyClipboard& board);
Result<KeyClipboard> LoadKeyClipboard(const std::string& path);

}  // namespace quenda
