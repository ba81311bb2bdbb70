#include "bench/autopaint_ways.h"

#include <utility>

#include "common/color_set.h"
#include "painter/core/small_region_fill.h"

namespace quenda {

std::vector<Step> ChainSteps() {
  std::vector<Step> steps;
  for (int k = 1; k < kDrawings; ++k) steps.push_back({k, k - 1});
  return steps;
}

std::vector<Step> InBetweenSteps() {
  std::vector<Step> steps;
  for (int k = 1; k < kDrawings - 1; ++k) steps.push_back({k, -1});
  return steps;
}

namespace {

Colours Truths(const std::vector<Drawing>& drawings) {
  Colours colors;
  for (const Drawing& d : drawings) colors.emplace_back(d.trueColor.begin(), d.trueColor.end());
  return colors;
}

}  // namespace

Colours Paint(std::vector<Drawing>& drawings, const std::vector<Step>& steps,
              const AutoPaintOptions& mode) {
  Colours colors = Truths(drawings);
  for (const Step& s : steps) colors[std::size_t(s.target)] = drawings[s.target].frame.regionColor;
  for (const Step& s : steps) {
    // The drawings hold these colours only while they are painted, so that one analysis
    // serves every mode.
    const int away = s.source < s.target ? -1 : 1;
    std::vector<int> used = {s.target};
    for (int k = s.source, depth = -1; k >= 0 && k < kDrawings && depth < kChainMemory;
         k += away, ++depth)
      used.push_back(k);
    for (int k : used)
      std::swap(drawings[std::size_t(k)].frame.regionColor, colors[std::size_t(k)]);
    AutoPaintFrom(drawings[s.target].frame, drawings[s.source].frame, mode,
                  [&](int depth) -> const PainterFrame* {
                    return std::size_t(depth) + 2 < used.size()
                               ? &drawings[std::size_t(used[std::size_t(depth) + 2])].frame
                               : nullptr;
                  });
    for (int k : used)
      std::swap(drawings[std::size_t(k)].frame.regionColor, colors[std::size_t(k)]);
  }
  return colors;
}

namespace {

// Runs `paint` on the drawings as on disk: the keys (the first, and the last where `lastIsKey`)
// painted from the truth, the others holding what they held, as they do again afterwards.
template <class PaintChains>
void OnDisk(std::vector<Drawing>& drawings, bool lastIsKey, const PaintChains& paint) {
  const Colours truth = Truths(drawings);
  Colours held;
  for (Drawing& d : drawings) held.push_back(d.frame.regionColor);
  const int last = kDrawings - 1;
  paint([&](int k, int) -> PainterFrame* {
    if (k < 0 || k > last) return nullptr;
    PainterFrame& frame = drawings[std::size_t(k)].frame;
    const bool key = k == 0 || (lastIsKey && k == last);
    frame.regionColor = key ? truth[std::size_t(k)] : held[std::size_t(k)];
    return &frame;
  });
  for (int k = 0; k <= last; ++k) drawings[std::size_t(k)].frame.regionColor = held[std::size_t(k)];
}

}  // namespace

Colours PaintChainFromKey(std::vector<Drawing>& drawings, const AutoPaintOptions& mode) {
  Colours colors = Truths(drawings);
  ChainColours chain;
  bool done = false;
  OnDisk(drawings, false, [&](const ChainFrames& frames) {
    done = PaintChain(frames, 1, kDrawings - 1, mode, chain);
  });
  for (int k = 1; done && k < kDrawings; ++k)
    colors[std::size_t(k)] = std::move(chain.colour[std::size_t(k - 1)]);
  return colors;
}

KeyChains PaintKeyChains(std::vector<Drawing>& drawings, const AutoPaintOptions& mode) {
  KeyChains chains;
  OnDisk(drawings, true, [&](const ChainFrames& frames) {
    if (!PaintBothChains(frames, 1, kDrawings - 2, mode, chains.forward, chains.backward))
      chains = {};
  });
  return chains;
}

Colours CombineKeyChains(std::vector<Drawing>& drawings, const KeyChains& chains,
                         const AutoPaintOptions& mode, int margin) {
  Colours colors = Truths(drawings);
  const Colours painted = CombineChains(chains.forward, chains.backward, margin);
  for (int k = 1; k + 1 < kDrawings && !painted.empty(); ++k) {
    colors[std::size_t(k)] = painted[std::size_t(k - 1)];
    if (mode.paintSpecks)
      SettleSpecks(drawings[std::size_t(k)].frame, colors[std::size_t(k)], mode.speckSize);
  }
  return colors;
}

Outcome Judge(const std::vector<Drawing>& drawings, const std::vector<Step>& steps,
              const Colours& colors) {
  Outcome outcome;
  for (const Step& s : steps) {
    const Score score = Measure(drawings[std::size_t(s.target)], colors[std::size_t(s.target)]);
    outcome.total.Add(score);
    if (outcome.worstDrawing == 0 || score.Share(score.wrong) > outcome.worst)
      outcome.worst = score.Share(score.wrong), outcome.worstDrawing = s.target + 1;
  }
  return outcome;
}

}  // namespace quenda
