#pragma once
// In-betweens painted from both keys: one chain runs forward from the first key, one backward
// from the last, and each region takes the colour both give; where they differ, the colour of
// the chain that is surer by a clear margin, a chain's word counting for less the further it has
// come from its key; else it stays unfilled, for a person to look at.

#include <cstdint>
#include <vector>

namespace quenda {

// How much surer (in confidence, 0 .. 100) one chain must be than the other to win where they
// give a region different colours. Chosen on bench_autopaint --sweep at confidence 50 over
// every figure and pace: a margin of 10 paints more right (95.8 against 94.7 %) but more wrong
// (1.7 against 1.4 %, 11 rows at or under 1 % wrong against 13); 30 and 40 save a tenth of a
// percent of wrong paint for three tenths more unfilled.
inline constexpr int kBothKeysMargin = 20;
// What a chain's confidence counts for less, where the chains differ, for each drawing between
// its key and the one painted: every step may go wrong, while a chain is only as sure as its
// least sure step. Chosen on bench_autopaint over every figure and pace: the in-betweens by
// shapes go from 95.2 / 1.0 / 3.8 % right / wrong / unfilled at 0 to 96.2 / 1.1 / 2.7 at 2 (16
// rows of 28 at or under 1 % wrong at both), 96.8 / 1.2 / 2.1 at 3 (15 rows) and 97.0 / 1.4 / 1.5
// at 5 (12). Two votes are both wholly sure: at 2 their difference decides only where one key
// is ten or more drawings nearer than the other.
inline constexpr int kBothKeysStepCost = 2;

// One chain's colours of a drawing's regions and how sure each is (0 .. 100, 0 for a region it
// left unfilled), and how many steps the chain took from its key to the drawing (1 for the
// drawing beside the key).
struct KeyChainColours {
  const std::vector<int32_t>& colour;
  const std::vector<int>& confidence;
  int steps = 1;
};

// The colour of every region 0 .. size - 1 of the drawing, `unfilled` where the chains differ
// without a clear margin or give none. A region beyond either chain's tables counts as left
// unfilled by that chain.
std::vector<int32_t> CombineKeys(const KeyChainColours& forward, const KeyChainColours& backward,
                                 int32_t unfilled, int margin = kBothKeysMargin,
                                 int stepCost = kBothKeysStepCost);

}  // namespace quenda
