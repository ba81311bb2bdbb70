#include "analyzer/core/analyzer_recovery.h"

#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"

namespace quenda {

std::optional<RecoverySnapshot> AnalyzerRecoverySnapshot(const CAnalyzerDoc& doc) {
  const SequencePaintState* state = doc.paintSequence();
  if (state == nullptr || !doc.modified()) return std::nullopt;
  ScriptedPrompt quiet;  // the frame in hand's path is known good
  RecoverySnapshot snapshot;
  snapshot.about.documentPath = AbsolutePath(FramePath(state->sequence, state->current, quiet));
  snapshot.about.documentName = FileNameOf(snapshot.about.documentPath);
  // Paint and region data go together, so the paint always fits the regions it was made on.
  snapshot.parts.push_back({kRecoveredPaintPart, EncodePaintFile(doc.image().regionColor)});
  if (doc.image().regions != state->onDisk.regions)
    snapshot.parts.push_back({kRecoveredRegionPart, EncodeRegionFile(doc.image().regions)});
  return snapshot;
}

Status RestoreAnalyzerRecovery(CAnalyzerDoc& doc, const RecoverableCopy& copy) {
  const std::string& path = copy.manifest.documentPath;
  if (!IsSequenceFileName(path)) return Error{"the drawing " + path + " is no sequence frame"};
  const DrawingSequence sequence = OpenSequence(path, TitleOf(path));
  std::optional<int> index;
  ScriptedPrompt quiet;
  for (int i = 0; i < sequence.frameCount && !index; ++i)
    if (AbsolutePath(FramePath(sequence, i, quiet)) == AbsolutePath(path)) index = i;
  if (!index) return Error{"the drawing " + path + " is not on disk"};
  if (Status begun = doc.BeginSequencePaint(sequence); !begun) return Error{""};
  if (Status moved = doc.GoToFrame(*index); !moved) return Error{""};
  Result<RecoveredFrame> kept = ReadRecoveredFrame(copy);
  if (!kept) return kept.status();
  return doc.RestoreFrameChanges(kept->paint, kept->region);
}

}  // namespace quenda
