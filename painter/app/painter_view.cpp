#include "painter/app/painter_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "painter/core/frame_composition.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

ImagePoint ToImagePoint(const QPoint& point) {
  return {point.x(), point.y()};
}

QRect ToQRect(const ImageRect& area) {
  return QRect(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
}

bool IsBrush(PainterTool tool) {
  return tool == PainterTool::Rubber || tool == PainterTool::UnRubber ||
         tool == PainterTool::AnimBrush;
}

bool IsRectangle(PainterTool tool) {
  return tool == PainterTool::AnimBrushRect || tool == PainterTool::RubberRect ||
         tool == PainterTool::UnRubberRect;
}

ToolArt ArtFor(PainterTool tool) {
  switch (tool) {
    case PainterTool::RegionFill:
      return ToolArt::Bucket;
    case PainterTool::AnimFill:
      return ToolArt::LineBucket;
    case PainterTool::RegionPen:
      return ToolArt::Pen;
    case PainterTool::Rubber:
      return ToolArt::Eraser;
    case PainterTool::UnRubber:
      return ToolArt::Unerase;
    case PainterTool::AnimBrush:
      return ToolArt::Brush;
    case PainterTool::AnimBrushRect:
      return ToolArt::BrushRectangle;
    case PainterTool::RubberRect:
      return ToolArt::EraserRectangle;
    case PainterTool::UnRubberRect:
      return ToolArt::UneraseRectangle;
  }
  return ToolArt::Bucket;
}

// Long operations show the wait cursor while they run.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CPainterView::CPainterView(CPainterDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  SetBackground(QColor(128, 128, 128));
  doc_.AddListener(this);
  UpdateToolCursor();
}

CPainterView::~CPainterView() {
  doc_.RemoveListener(this);
}

PenComposition CPainterView::pen() const {
  return doc_.tool() == PainterTool::RegionPen ? PenComposition::On : PenComposition::Off;
}

QSize CPainterView::sourceSize() const {
  if (!doc_.sequenceOpen() || !doc_.frameLoaded()) return {};
  return {doc_.frame().width, doc_.frame().height};
}

void CPainterView::Sample(const SampleGrid& grid, RasterView out) const {
  // A message box shown while a frame loads lets the window repaint: a frame that is not the
  // size drawn shows the background until the view is told of it.
  const PainterFrame& frame = doc_.frame();
  const QSize drawn = pictureSize();
  if (!doc_.frameLoaded() || frame.width != drawn.width() || frame.height != drawn.height()) {
    for (int j = 0; j < grid.rows; ++j) std::fill_n(out.Row(j), std::size_t(grid.columns) * 3, 128);
    return;
  }
  SampleShownFrame(frame, doc_.colors(), doc_.viewMode(), pen(), preview_, grid, out);
}

void CPainterView::OnUpdate(const PainterUpdate& update) {
  switch (update.hint) {
    case PainterHint::RedrawRect:
      ClearHover();
      ComposeArea(update.rect);
      break;
    case PainterHint::ShowRegion:
      if (!doc_.frameLoaded()) break;
      preview_ = SplitPreview(doc_.frame(), update.region);
      RefreshPicture();
      viewport()->repaint();
      break;
    case PainterHint::SelectRegion:
      BringIntoSight(update.region);
      break;
    case PainterHint::StateChanged:
      UpdateToolCursor();
      break;
    case PainterHint::FrameSaved:
    case PainterHint::RedrawIcons:
      break;
    case PainterHint::SequenceOpened:
    case PainterHint::FrameChanged:
    case PainterHint::ColorsChanged:
    case PainterHint::RedrawAll:
      ClearHover();
      ComposeAll();
      break;
  }
}

void CPainterView::ComposeAll() {
  hoverRegion_ = 0;
  preview_ = {};
  if (!doc_.sequenceOpen() || !doc_.frameLoaded()) {
    ClearPicture();
    return;
  }
  if (!drawsFromSource())
    SetPictureSource(this);
  else
    RefreshPicture();
}

void CPainterView::ComposeArea(const ImageRect& area) {
  if (!doc_.frameLoaded() || !drawsFromSource() || pictureSize() != sourceSize())
    return ComposeAll();
  RefreshPicture(ToQRect(ClipRect(area, doc_.frame().width, doc_.frame().height)));
}

void CPainterView::ShowPreview(FramePreview preview) {
  preview_ = std::move(preview);
  if (preview_.shown()) RefreshPicture(ToQRect(preview_.box));
}

void CPainterView::UpdateToolCursor() {
  SetToolCursor(doc_.sequenceOpen() ? ToolCursor(ArtFor(doc_.tool())) : QCursor());
}

void CPainterView::ClearHover() {
  brushOutline_ = false;
  if (!lineBox_.IsEmpty()) {
    ImageRect box = lineBox_;
    lineBox_ = {};
    linePreviewColour_ = -1;
    preview_ = {};
    ComposeArea(box);
  }
  if (hoverRegion_ == 0) return;
  hoverRegion_ = 0;
  ImageRect box = hoverBox_;
  hoverBox_ = {};
  preview_ = {};
  if (!box.IsEmpty()) ComposeArea(box);
}

void CPainterView::HoverAt(ImagePoint at, QPoint window) {
  if (!doc_.frameLoaded()) return;
  const PainterFrame& frame = doc_.frame();
  if (IsBrush(doc_.tool())) {
    brushOutline_ = frame.Contains(at.x, at.y);
    outlineAt_ = at;
    currentWindow_ = window;
    viewport()->update();
    return;
  }
  if (doc_.tool() == PainterTool::AnimFill) return PreviewLineFill(at);
  if (doc_.tool() != PainterTool::RegionFill) return;
  int region = frame.Contains(at.x, at.y) ? frame.region.regionMap[frame.Index(at.x, at.y)] : 0;
  if (region == hoverRegion_) return;
  ClearHover();
  if (region == 0) return;
  hoverRegion_ = region;
  FramePreview preview = RegionFillPreview(frame, region, doc_.currentColor());
  hoverBox_ = preview.box;
  ShowPreview(std::move(preview));
}

void CPainterView::PreviewLineFill(ImagePoint at) {
  const PainterFrame& frame = doc_.frame();
  const bool onLine = frame.Contains(at.x, at.y) &&
                      (frame.region.flags[frame.Index(at.x, at.y)] & kFlagAnimatorLine) != 0;
  if (!onLine) return ClearHover();  // removed once when the mouse leaves the lines
  const int colour = frame.region.animColor[frame.Index(at.x, at.y)];
  const bool inPreview =
      at.x >= lineBox_.x0 && at.x < lineBox_.x1 && at.y >= lineBox_.y0 && at.y < lineBox_.y1;
  if (colour == linePreviewColour_ && inPreview) return;
  ClearHover();
  FramePreview preview = LineFillPreview(frame, at, doc_.currentColor());
  lineBox_ = preview.box;
  linePreviewColour_ = colour;
  ShowPreview(std::move(preview));
}

void CPainterView::mousePressEvent(QMouseEvent* event) {
  if (panMode() || !doc_.sequenceOpen()) return PictureView::mousePressEvent(event);
  // A press with the other button already down is ignored.
  if (button_ != Qt::NoButton || (event->buttons() & ~event->button()) != Qt::NoButton) return;
  const ImagePoint at = ToImagePoint(WindowToImage(event->position().toPoint()));
  const PainterTool tool = doc_.tool();
  if (event->button() == Qt::LeftButton) {
    ClearHover();
    button_ = Qt::LeftButton;
    gestureTool_ = tool;
    pressWindow_ = currentWindow_ = event->position().toPoint();
    pressImage_ = lastImage_ = at;
    rubberBand_ = tool == PainterTool::RegionFill || IsRectangle(tool);
    if (tool == PainterTool::RegionPen) doc_.PenPress(at);
    if (IsBrush(tool)) doc_.BrushPress(at);
  } else if (event->button() == Qt::RightButton &&
             (tool == PainterTool::RegionFill || tool == PainterTool::RegionPen)) {
    ClearHover();
    button_ = Qt::RightButton;
    gestureTool_ = tool;
    pressWindow_ = currentWindow_ = event->position().toPoint();
    pressImage_ = lastImage_ = at;
    rubberBand_ = tool == PainterTool::RegionPen;
    if (tool == PainterTool::RegionFill) SetToolCursor(ToolCursor(ToolArt::Picker));
  }
}

void CPainterView::mouseMoveEvent(QMouseEvent* event) {
  if (panMode() || !doc_.sequenceOpen()) return PictureView::mouseMoveEvent(event);
  const QPoint window = event->position().toPoint();
  emit MouseMoved(WindowToImage(window), event->buttons());  // for the status bar's point
  const ImagePoint at = ToImagePoint(WindowToImage(window));
  // A message box opened during the gesture takes the button's release for itself; the first
  // move without the button ends the gesture here, or every later move would go on with it.
  if (button_ != Qt::NoButton && (event->buttons() & button_) == Qt::NoButton) {
    button_ = Qt::NoButton;
    rubberBand_ = false;
    UpdateToolCursor();
    viewport()->update();
  }
  if (button_ == Qt::NoButton) return HoverAt(at, window);
  currentWindow_ = window;
  if (button_ == Qt::LeftButton) {
    if (gestureTool_ == PainterTool::RegionPen) doc_.PenMove(at);
    if (IsBrush(gestureTool_)) {
      doc_.BrushMove(lastImage_, at);
      brushOutline_ = true;
      outlineAt_ = at;
    }
  }
  lastImage_ = at;
  if (rubberBand_ || brushOutline_) viewport()->update();
}

void CPainterView::mouseReleaseEvent(QMouseEvent* event) {
  if (panMode() || !doc_.sequenceOpen()) return PictureView::mouseReleaseEvent(event);
  if (event->button() != button_) return;
  const QPoint window = event->position().toPoint();
  const ImagePoint at = ToImagePoint(WindowToImage(window));
  const Qt::MouseButton button = button_;
  button_ = Qt::NoButton;
  rubberBand_ = false;
  viewport()->update();
  if (button == Qt::LeftButton) {
    switch (gestureTool_) {
      case PainterTool::RegionFill:
        doc_.RegionFillRelease(ToImagePoint(pressWindow_), ToImagePoint(window), pressImage_, at);
        break;
      case PainterTool::AnimFill:
        doc_.AnimFill(at);
        break;
      case PainterTool::RegionPen: {
        WaitCursor wait;
        doc_.PenRelease(at);
        break;
      }
      case PainterTool::AnimBrushRect:
      case PainterTool::RubberRect:
      case PainterTool::UnRubberRect: {
        WaitCursor wait;
        doc_.RectangleRelease(pressImage_, at);
        break;
      }
      default:
        if (IsBrush(gestureTool_)) doc_.BrushRelease();
        break;
    }
    return;
  }
  if (gestureTool_ == PainterTool::RegionFill) {
    doc_.PickColor(at);
    UpdateToolCursor();
  } else if (gestureTool_ == PainterTool::RegionPen) {
    WaitCursor wait;
    doc_.GapCloseRelease(pressImage_, at);
  }
}

void CPainterView::EndGesture() {
  if (button_ == Qt::NoButton) return;
  const Qt::MouseButton button = button_;
  button_ = Qt::NoButton;
  rubberBand_ = false;
  brushOutline_ = false;
  // Brush segments are in the frame already; the pen's lines still have to split regions.
  if (button == Qt::LeftButton && gestureTool_ == PainterTool::RegionPen) {
    WaitCursor wait;
    doc_.PenRelease(lastImage_);
  }
  UpdateToolCursor();
  viewport()->update();
}

void CPainterView::leaveEvent(QEvent* event) {
  if (button_ == Qt::NoButton) ClearHover();
  viewport()->update();
  PictureView::leaveEvent(event);
}

QRect CPainterView::RegionBoxInWindow(int region) const {
  const auto& bounds = doc_.frame().region.regionBounds;
  if (region <= 0 || std::size_t(region) >= bounds.size()) return {};
  const RegionBox& box = bounds[std::size_t(region)];
  if (box.maxX < box.minX || box.maxY < box.minY) return {};
  return ImageToWindow(QRect(box.minX, box.minY, box.maxX - box.minX + 1, box.maxY - box.minY + 1));
}

void CPainterView::BringIntoSight(int region) {
  const QRect shown = RegionBoxInWindow(region);
  if (shown.isEmpty()) return;
  SetScrollPosition(scrollPosition() + shown.center() - viewport()->rect().center());
  viewport()->update();
}

void CPainterView::PaintOverlay(QPainter& painter) {
  // The region Next Unpainted selected, framed while it is still unfilled.
  const int selected = doc_.selectedRegion();
  const auto& colours = doc_.frame().regionColor;
  if (selected > 0 && std::size_t(selected) < colours.size() &&
      colours[std::size_t(selected)] == kUnfilledColor) {
    const QRect around = RegionBoxInWindow(selected).adjusted(-3, -3, 3, 3);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255), 3));
    painter.drawRect(around);
    painter.setPen(QPen(QColor(230, 0, 120), 1, Qt::DashLine));
    painter.drawRect(around);
  }
  if (rubberBand_) {
    // The dragged rectangle with a raised-and-sunken edge.
    QRect band = QRect(pressWindow_, currentWindow_).normalized();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawRect(band);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.drawRect(band.adjusted(1, 1, -1, -1));
  }
  if (brushOutline_ && IsBrush(doc_.tool())) {
    const int radius = 2 * doc_.brushSize();
    QRect around = ImageToWindow(
        QRect(outlineAt_.x - radius, outlineAt_.y - radius + 1, 2 * radius, 2 * radius));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255), 1, Qt::DotLine));
    painter.drawEllipse(around);
  }
}

}  // namespace quenda
