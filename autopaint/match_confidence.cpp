#include "autopaint/match_confidence.h"

#include <algorithm>

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

}  // namespace quenda
