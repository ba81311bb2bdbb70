#pragma once
// The four byte-sized line settings. They drive line generation, are saved by the user in
// `.rls` files, and travel inside every region file that they produced.

#include <cstdint>

namespace quenda {

struct RedlineSettings {
  uint8_t linePickUp = 100;  // darker than this starts as a line pixel
  uint8_t lineGrowth = 150;  // darker than this may extend a stroke end
  uint8_t whiteClamp = 220;  // darker than this is ink; maps to white on screen
  uint8_t blackClamp = 50;   // maps to black on screen

  bool operator==(const RedlineSettings&) const = default;
};

}  // namespace quenda
