#pragma once
// Lip-sync data laid on a level of the document: the level's mouth sequence, the sheet made
// long enough when asked, and the cells replaced where the data runs, after an undo copy.

#include <optional>

#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/lipsync_data.h"

namespace quenda {

// The one sequence of the level's drawings; the reason when it holds none or several.
Result<int> MouthSequenceOf(const CDopegridDoc& doc, int level);

struct LipSyncRequest {
  int level = 0;
  int from = 0;              // sheet frame, from 0
  std::optional<int> until;  // sheet frame, from 0
  double rate = kDefaultLipSyncRate;
  int sequence = 0;     // index in the Picture Holder
  bool extend = false;  // lengthen the sheet when the data runs past its end
};

// Refused, with nothing changed: what PlaceLipSync refuses, and data past the sheet's end
// ("past the sheet's" frames) unless `extend`.
Result<LipSyncPlacement> ApplyLipSync(CDopegridDoc& doc, const LipSyncData& data,
                                      const MouthMap& map, const LipSyncRequest& request);

}  // namespace quenda
