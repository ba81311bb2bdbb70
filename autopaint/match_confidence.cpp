#include "autopaint/match_confidence.h"

#include <algorithm>
#include <cmath>

namespace quenda {

double ConfidenceOfCost(double cost) {
  return std::clamp(kMaxConfidence * (1 - cost / kNoConfidenceCost), 0.0, double(kMaxConfidence));
}

double LeaveCostAt(int confidence) {
  return kNoConfidenceCost *
         (1 - double(std::clamp(confidence, 0, kMaxConfidence)) / double(kMaxConfidence));
}

double ConfidenceOfShare(double share) {
  return std::clamp(kMaxConfidence * share, 0.0, double(kMaxConfidence));
}

double ConfidenceOfLanding(double share, double landed) {
  return ConfidenceOfShare(share * (0.5 + 0.5 * std::clamp(landed, 0.0, 1.0)));
}

int ChainedConfidence(int match, int held) {
  return std::clamp(std::min(match, held), 0, kMaxConfidence);
}

}  // namespace quenda
