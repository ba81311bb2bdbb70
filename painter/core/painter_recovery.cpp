#include "painter/core/painter_recovery.h"

#include "common/paint_file.h"
#include "common/path.h"
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
  std::optional<RegionData> regions;
  if (!region.empty()) {
    Result<RegionData> decoded =
        DecodeRegionFile(region, frame_.width, frame_.height, RegionReader::Painter);
    if (!decoded) return decoded.status();
    regions = std::move(*decoded);
  }
  const int regionCount = regions ? regions->regionCount : frame_.regionCount();
  PaintFile decoded = DecodePaintFile(paint, regionCount, colors_.count);
  // A paint of another region count (the drawing was analyzed again since) would colour
  // other regions.
  if (EncodePaintFile(decoded.regionColor) != std::vector<uint8_t>(paint.begin(), paint.end()))
    return Error{"the kept paint does not fit the regions of " + CurrentDrawingPath() +
                 " as they are now"};
  // Undo copies describe the frame as it was loaded; taking the changes back is no command.
  frame_.undo.Drop();
  frame_.regionColor = std::move(decoded.regionColor);
  frame_.paintChanged = true;
  if (regions) {
    frame_.region = std::move(*regions);
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
