#include "composer/core/key_clipboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

#include "testing/test_support.h"

namespace quenda {
namespace {

KeyClipboard ImageKeys() {
  KeyClipboard board;
  board.kind = ClipKind::Virtual;
  board.keys[kPositionX] = Key{-3, -1.25e7, 10, 0};
  board.keys[kScaleY] = Key{7, 0.1, 0, 10};
  board.keys[kRotation] = Key{4999, -0.0, 5, 6};
  board.full = true;
  return board;
}

TEST(KeyClipboardFile, RoundTripsThroughTheDisk) {
  testing::TempDir dir;
  const std::string path = dir.File("k.qkc");
  KeyClipboard effect;
  effect.kind = ClipKind::Underwater;
  effect.keys[kPositionY] = Key{2, 50, 1, 2};
  effect.full = true;
  for (const KeyClipboard& board : {ImageKeys(), effect}) {
    ASSERT_TRUE(SaveKeyClipboard(path, board).ok());
    std::vector<uint8_t> bytes = testing::ReadBytes(path);
    ASSERT_EQ(bytes.size(), kKeyClipboardFileSize);
    Result<KeyClipboard> read = LoadKeyClipboard(path);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(*read, board);
    EXPECT_EQ(EncodeKeyClipboard(*read), bytes);
  }
  EXPECT_EQ(LoadKeyClipboard(dir.File("none.qkc")).message(),
            "Could not open " + dir.File("none.qkc") + ".");
}

TEST(KeyClipboardFile, RefusesDamagedFiles) {
  const std::vector<uint8_t> good = EncodeKeyClipboard(ImageKeys());
  auto putI32 = [](std::vector<uint8_t>& b, std::size_t at, int32_t v) {
    std::memcpy(&b[at], &v, 4);
  };
  // Slot t starts at 8 + 24 t: present, frame, value (8 bytes), ease in, ease out.
  // Name, damage, and whether the file is then no key clipboard at all.
  const std::tuple<const char*, std::function<void(std::vector<uint8_t>&)>, bool> kCases[] = {
      {"empty", [](auto& b) { b.clear(); }, true},
      {"other magic", [](auto& b) { b[3] = 'X'; }, true},
      {"cut short", [](auto& b) { b.pop_back(); }, false},
      {"longer", [](auto& b) { b.push_back(0); }, false},
      {"unknown kind", [&](auto& b) { putI32(b, 4, 8); }, false},
      {"presence 2", [&](auto& b) { putI32(b, 8, 2); }, false},
      {"absent slot not zero", [&](auto& b) { putI32(b, 8 + 24 + 4, 1); }, false},
      {"absent slot with -0.0", [](auto& b) { b[8 + 24 + 15] = 0x80; }, false},
      {"ease 11", [&](auto& b) { putI32(b, 8 + 16, 11); }, false},
      {"NaN value",
       [](auto& b) {
         double nan = std::nan("");
         std::memcpy(&b[8 + 8], &nan, 8);
       },
       false},
      {"no key",
       [&](auto& b) {
         for (int t : {0, 3, 4}) std::fill(b.begin() + 8 + 24 * t, b.begin() + 32 + 24 * t, 0);
       },
       false},
      {"effect with a scale key", [&](auto& b) { putI32(b, 4, int(ClipKind::Blur)); }, false},
  };
  for (const auto& [name, damage, notClipboard] : kCases) {
    std::vector<uint8_t> bytes = good;
    damage(bytes);
    Result<KeyClipboard> read = ParseKeyClipboard(bytes, "k.qkc");
    EXPECT_EQ(read.message(), notClipboard
                                  ? "k.qkc is not a key clipboard file."
                                  : "k.qkc is incomplete or damaged and could not be read.")
        << name;
  }
}

}  // namespace
}  // namespace quenda
