#include "dopegrid/core/lipsync_apply.h"

#include <algorithm>
#include <set>

namespace quenda {

Result<int> MouthSequenceOf(const CDopegridDoc& doc, int level) {
  std::set<int> used;
  for (int f = 0; f < doc.sheet().frameCount; ++f)
    if (const SheetCell& cell = doc.sheet().Cell(level, f); cell.used()) used.insert(cell.sequence);
  const std::string name = "level \"" + doc.sheet().LevelName(level) + "\"";
  if (used.empty())
    return Error{name + " holds no drawings: --sequence FIRST.qds names the mouth drawings"};
  if (used.size() > 1) {
    std::string list;
    for (int s : used) list += (list.empty() ? "" : ", ") + doc.sequences()[std::size_t(s)].name;
    return Error{name + " holds drawings of several sequences (" + list +
                 "): --sequence FIRST.qds chooses the mouth drawings"};
  }
  return *used.begin();
}

Result<LipSyncPlacement> ApplyLipSync(CDopegridDoc& doc, const LipSyncData& data,
                                      const MouthMap& map, const LipSyncRequest& request) {
  if (request.sequence < 0 || request.sequence >= doc.sequenceCount() || request.level < 0 ||
      request.level >= doc.sheet().levelCount)
    return Error{"Internal error: no such level or sequence"};
  Result<LipSyncPlacement> placed =
      PlaceLipSync(data, map, doc.sequences()[std::size_t(request.sequence)], request.from,
                   request.until, request.rate);
  if (!placed) return placed;
  const int end = placed->firstFrame + int(placed->drawings.size());
  if (end > doc.sheet().frameCount) {
    if (!request.extend)
      return Error{"the lip-sync data runs to frame " + std::to_string(end) +
                   ", past the sheet's " + std::to_string(doc.sheet().frameCount) + " frames"};
    while (doc.sheet().frameCount < end) {
      const int before = doc.sheet().frameCount;
      doc.AddFrames(std::min(end - before, kMaxFramesPerChange));
      if (doc.sheet().frameCount == before)
        return Error{"the sheet cannot grow to " + std::to_string(end) + " frames"};
    }
  }
  doc.ExposeDrawings(request.level, placed->firstFrame, request.sequence, placed->drawings);
  return placed;
}

}  // namespace quenda
