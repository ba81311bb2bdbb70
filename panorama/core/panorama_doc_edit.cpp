// The background document's edits: undo, geometry, whole-mask operations and the tools.

#include <algorithm>
#include <cmath>

#include "panorama/core/panorama_doc.h"

namespace quenda {

void CPanoramaDoc::TakeMaskUndo() {
  maskUndo_ = mask_;
  undoKind_ = PanoramaUndo::Mask;
}

void CPanoramaDoc::MaskEdited(MaskRect rect) {
  SetModified(true);
  UpdateAllViews(PanoramaHint::MaskChanged, rect);
}

template <class Operation>
void CPanoramaDoc::RunMaskOperation(Operation operation, std::string_view start,
                                    std::string_view done) {
  if (!loaded()) return;
  TakeMaskUndo();
  if (!start.empty() && status_) status_(start);
  RowProgress progress(status_, height(), done);
  operation(mask_.view(), progress);
  MaskEdited();
}

bool CPanoramaDoc::ClearMask() {
  if (!loaded() || !prompt_.AskYesNo(kClearMaskQuestion)) return false;
  RunMaskOperation(quenda::ClearMask);
  return true;
}

bool CPanoramaDoc::FillMask() {
  if (!loaded() || !prompt_.AskYesNo(kFillMaskQuestion)) return false;
  RunMaskOperation(quenda::FillMask);
  return true;
}

void CPanoramaDoc::InvertMask() {
  RunMaskOperation(quenda::InvertMask, kInvertingMask, kDoneInvertMask);
}

void CPanoramaDoc::GrowMask() {
  RunMaskOperation(quenda::GrowMask);
}

void CPanoramaDoc::ShrinkMask() {
  RunMaskOperation(quenda::ShrinkMask);
}

void CPanoramaDoc::SmoothMask() {
  RunMaskOperation(quenda::SmoothMask);
}

void CPanoramaDoc::Turned(PanoramaUndo kind, bool resized) {
  undoKind_ = kind;
  polygon_.clear();
  brushDown_ = false;
  SetModified(true);
  UpdateAllViews(resized ? PanoramaHint::NewPicture : PanoramaHint::MaskChanged);
}

void CPanoramaDoc::FlipHorizontal() {
  if (!loaded()) return;
  quenda::FlipHorizontal(image_);
  quenda::FlipHorizontal(mask_);
  Turned(PanoramaUndo::FlipHorizontal, false);
}

void CPanoramaDoc::FlipVertical() {
  if (!loaded()) return;
  quenda::FlipVertical(image_);
  quenda::FlipVertical(mask_);
  Turned(PanoramaUndo::FlipVertical, false);
}

void CPanoramaDoc::RotateClockwise() {
  if (!loaded()) return;
  image_ = quenda::RotateClockwise(image_);
  mask_ = quenda::RotateClockwise(mask_);
  Turned(PanoramaUndo::RotateClockwise, image_.width() != image_.height());
}

void CPanoramaDoc::RotateCounterClockwise() {
  if (!loaded()) return;
  image_ = quenda::RotateCounterClockwise(image_);
  mask_ = quenda::RotateCounterClockwise(mask_);
  Turned(PanoramaUndo::RotateCounterClockwise, image_.width() != image_.height());
}

void CPanoramaDoc::Undo() {
  if (!loaded()) return;
  switch (undoKind_) {
    case PanoramaUndo::None:
      return;
    case PanoramaUndo::Mask:
      mask_ = maskUndo_;
      undoKind_ = PanoramaUndo::None;
      MaskEdited();
      return;
    case PanoramaUndo::RotateClockwise:
      RotateCounterClockwise();
      break;
    case PanoramaUndo::RotateCounterClockwise:
      RotateClockwise();
      break;
    case PanoramaUndo::FlipHorizontal:
      FlipHorizontal();
      break;
    case PanoramaUndo::FlipVertical:
      FlipVertical();
      break;
  }
  undoKind_ = PanoramaUndo::None;
}

void CPanoramaDoc::BrushPress(int x, int y) {
  if (!loaded()) return;
  TakeMaskUndo();
  brushDown_ = true;
  brushPrevious_ = {x, y};
  BrushMove(x, y);
}

void CPanoramaDoc::BrushMove(int x, int y) {
  if (!brushDown_) return;
  const MaskPoint from = brushPrevious_;
  StrokeBrush(mask_.view(), StandardBrushTables()[std::size_t(brushSize_ - 1)], brushSize_, from.x,
              from.y, x, y, mode());
  brushPrevious_ = {x, y};
  MaskEdited(StrokeBounds(from.x, from.y, x, y));
}

namespace {

bool CloseToFirst(const std::vector<MaskPoint>& polygon, int x, int y) {
  if (polygon.size() < 3) return false;
  const double dx = x - polygon.front().x, dy = y - polygon.front().y;
  return std::sqrt(dx * dx + dy * dy) < kPolygonCloseDistance;
}

bool EnteredAfterFirst(const std::vector<MaskPoint>& polygon, MaskPoint point) {
  return polygon.size() > 1 &&
         std::find(polygon.begin() + 1, polygon.end(), point) != polygon.end();
}

}  // namespace

bool CPanoramaDoc::WouldClosePolygon(int x, int y) const {
  return loaded() && mask_.view().Contains(x, y) && !EnteredAfterFirst(polygon_, {x, y}) &&
         CloseToFirst(polygon_, x, y);
}

// A full polygon still closes, so the points entered are never lost; other clicks on it are
// refused until then.
PolygonClick CPanoramaDoc::AddPolygonPoint(int x, int y) {
  const MaskPoint point{x, y};
  if (!loaded() || !mask_.view().Contains(x, y) ||
      (polygon_.size() == 1 && polygon_.front() == point) || EnteredAfterFirst(polygon_, point))
    return PolygonClick::Ignored;
  if (CloseToFirst(polygon_, x, y)) {
    TakeMaskUndo();
    FillPolygon(mask_.view(), polygon_.data(), int(polygon_.size()), mode());
    polygon_.clear();
    MaskEdited();
    UpdateAllViews(PanoramaHint::PolygonChanged);
    return PolygonClick::Closed;
  }
  if (int(polygon_.size()) >= kPolygonCapacity) return PolygonClick::Full;
  polygon_.push_back(point);
  UpdateAllViews(PanoramaHint::PolygonChanged);
  return PolygonClick::Added;
}

std::optional<KeyerSettings> CPanoramaDoc::KeyerClick(int x, int y) const {
  if (!loaded() || !image_.view().Contains(x, y)) return std::nullopt;
  const uint8_t* pixel = image_.At(x, y);
  KeyerSettings settings;
  settings.blue = pixel[0];
  settings.green = pixel[1];
  settings.red = pixel[2];
  settings.tolerance = keyerTolerance_;
  settings.operation = keyerOperation_;
  return settings;
}

void CPanoramaDoc::ApplyKeyer(const KeyerSettings& settings) {
  if (!loaded()) return;
  KeyerSettings kept = settings;
  kept.tolerance = std::clamp(settings.tolerance, 0, 100);
  keyerTolerance_ = kept.tolerance;
  keyerOperation_ = kept.operation;
  TakeMaskUndo();
  const MaskStatus silent;
  RowProgress progress(silent, height());
  quenda::ApplyKeyer(image_, mask_.view(), kept, progress);
  MaskEdited();
}

}  // namespace quenda
