#include "composer/core/key_clipboard.h"

#include <cmath>

#include "common/archive.h"

namespace quenda {

namespace {

constexpr std::string_view kMagic = "QKEY";

bool EaseOk(int ease) {
  return ease >= 0 && ease <= kMaxEase;
}

ArchiveWriter WriteBoard(const KeyClipboard& board) {
  ArchiveWriter out;
  for (char c : kMagic) out.U8(uint8_t(c));
  out.I32(int(board.kind));
  for (const std::optional<Key>& key : board.keys) {
    Key k = key.value_or(Key{});
    out.I32(key ? 1 : 0);
    out.I32(k.frame);
    out.F64(k.value);
    out.I32(k.easeIn);
    out.I32(k.easeOut);
  }
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeKeyClipboard(const KeyClipboard& board) {
  return WriteBoard(board).bytes();
}

Result<KeyClipboard> ParseKeyClipboard(std::span<const uint8_t> bytes, std::string_view path) {
  if (bytes.size() < kMagic.size() ||
      std::string_view(reinterpret_cast<const char*>(bytes.data()), kMagic.size()) != kMagic)
    return Error{std::string(path) + " is not a key clipboard file."};
  if (bytes.size() != kKeyClipboardFileSize) return ArchiveEndsEarly(path);
  ArchiveReader in(bytes.subspan(kMagic.size()));
  KeyClipboard board;
  int kind = in.I32();
  if (!IsKnownKind(kind)) return ArchiveEndsEarly(path);
  board.kind = ClipKind(kind);
  const int slots = IsEffectKind(board.kind) ? 2 : kTrackCount;
  bool any = false;
  for (int t = 0; t < kTrackCount; ++t) {
    int present = in.I32();
    Key key{in.I32(), in.F64(), in.I32(), in.I32()};
    if (present == 0) {
      // Only zeros, so that the bytes read are the bytes written back.
      if (!(key == Key{}) || std::signbit(key.value)) return ArchiveEndsEarly(path);
      continue;
    }
    if (present != 1 || t >= slots || !std::isfinite(key.value) || !EaseOk(key.easeIn) ||
        !EaseOk(key.easeOut))
      return ArchiveEndsEarly(path);
    board.keys[std::size_t(t)] = key;
    any = true;
  }
  if (!in.ok() || !any) return ArchiveEndsEarly(path);
  board.full = true;
  return board;
}

Status SaveKeyClipboard(const std::string& path, const KeyClipboard& board) {
  return SaveArchive(path, WriteBoard(board));
}

Result<KeyClipboard> LoadKeyClipboard(const std::string& path) {
  Result<std::vector<uint8_t>> bytes = LoadArchive(path);
  if (!bytes) return Error{bytes.message()};
  return ParseKeyClipboard(*bytes, path);
}

}  // namespace quenda
