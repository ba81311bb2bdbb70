#include "autopaint/both_keys.h"

#include <algorithm>

namespace quenda {

std::vector<int32_t> CombineKeys(const KeyChainColours& forward, const KeyChainColours& backward,
                                 int32_t unfilled, int margin, int stepCost) {
  const std::size_t count = std::max(forward.colour.size(), backward.colour.size());
  std::vector<int32_t> colour(count, unfilled);
  // A region left unfilled counts as said with no confidence, and loses for its steps too: where
  // the chains have come equally far, only their confidences count.
  auto of = [&](const KeyChainColours& chain, std::size_t r) {
    const int32_t c = r < chain.colour.size() ? chain.colour[r] : unfilled;
    const int sure = c != unfilled && r < chain.confidence.size() ? chain.confidence[r] : 0;
    return std::pair{c, sure - stepCost * chain.steps};
  };
  for (std::size_t r = 0; r < count; ++r) {
    const auto [f, fSure] = of(forward, r);
    const auto [b, bSure] = of(backward, r);
    if (f == b)
      colour[r] = f;
    else if (fSure >= bSure + margin)
      colour[r] = f;
    else if (bSure >= fSure + margin)
      colour[r] = b;
  }
  return colour;
}

}  // namespace quenda
