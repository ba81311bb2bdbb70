#pragma once
// The suite's movie quality, 0 (worst) to 10000 (best), on the picture encoder's quantiser:
// 31 (coarsest) down to 1 (finest), never increasing as the quality rises.

namespace quenda {

inline constexpr int kMovieQualityBest = 10000;
inline constexpr int kQuantiserFinest = 1;
inline constexpr int kQuantiserCoarsest = 31;

// Qualities outside 0..10000 count as the nearest end.
constexpr int QuantiserForQuality(int quality) {
  if (quality < 0) quality = 0;
  if (quality > kMovieQualityBest) quality = kMovieQualityBest;
  const int span = kQuantiserCoarsest - kQuantiserFinest;
  return kQuantiserCoarsest - (quality * span + kMovieQualityBest / 2) / kMovieQualityBest;
}

}  // namespace quenda
