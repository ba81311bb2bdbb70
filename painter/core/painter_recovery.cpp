#include "painter/core/painter_recovery.h"

#include "common/paint_file.h"
#include "common/path.h"
#include "common/recovered_paint.h"
#include "common/region_file.h"

namespace quenda {

std::optional<RecoverySnapshot> PainterRecoverySnapshot(const CPainterDoc& doc) {
  if (!doc.frameModified()) return std::nullopt;
  const PainterFrame& frame = doc.frame();
  RecoverySnapshot snapshot;
  snapshot.about.documentPath = AbsolutePath(doc.CurrentDrawingPath());
  snapshot.about.documentName = FileNameOf(snapshot.about.documentPath);
  // Paint and region data go together, so the paint always fits the regions it was made on.
  snapshot.parts.push_back({kRecoveredPaintPart, EncodePaintFile(frame.regionColor)});
  if (frame.regionChanged)
    snapshot.parts.push_back({kRecoveredRegionPart, EncodeRegionFile(frame.region)});
  return snapshot;
}

Status CPainterDoc::RestoreFrameChanges(std::span<const uint8_t> paint,
                                        std::span<const uint8_t> region) {
  if (!CanEdit()) return Error{"the drawing did not open"};
  Result<RecoveredPaint> kept =
      DecodeRecoveredPaint(paint, region, frame_.width, frame_.height, RegionReader::Painter,
                           frame_.regionCount(), colors_.count);
  if (!kept) return kept.status();
  if (!kept->fits)
    return Error{"the kept paint does not fit the regions of " + CurrentDrawingPath() +
                 " as they are now"};
  // Undo copies describe the frame as it was loaded; taking the changes back is no command.
  frame_.undo.Drop();
  frame_.regionColor = std::move(kept->regionColor);
  frame_.paintChanged = true;
  if (kept->regions) {
    frame_.region = std::move(*kept->regions);
    frame_.regionChanged = true;
  }
  iconsStale_ = true;
  UpdateAllViews(PainterHint::RedrawAll);
  return Status::Ok();
}

Status RestorePainterRecovery(CPainterDoc& doc, const RecoverableCopy& copy) {
  if (AbsolutePath(doc.CurrentDrawingPath()) != AbsolutePath(copy.manifest.documentPath))
    return Error{"the drawing " + copy.manifest.documentPath + " did not open"};
  Result<RecoveredFrame> kept = ReadRecoveredFrame(copy);
  if (!kept) return kept.status();
  return doc.RestoreFrameChanges(kept->paint, kept->region);
}

}  // namespace quenda
