#include "dopegrid/app/dopegrid_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <algorithm>

#include "dopegrid/app/picture_drag.h"
#include "dopegrid/core/sheet_view_geometry.h"

namespace quenda {
namespace {

const QColor kCurrentCell(128, 255, 128);
const QColor kSelectedCell(192, 192, 255);
const QColor kPlainCell(224, 224, 208);
const QColor kGridLine(128, 128, 128);
const QColor kSoundGround(208, 208, 208);

QFont SheetFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

bool InSelection(const SheetSelection& s, int level, int frame) {
  return level >= s.firstLevel && level <= s.lastLevel && frame >= s.firstFrame &&
         frame <= s.lastFrame;
}

}  // namespace

CDopegridView::CDopegridView(CDopegridDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  horizontalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setPageStep(kLevelsPerPage);
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(kFramesPerPage);
  doc_.AddListener(this);
  UpdateScrollRanges();
}

CDopegridView::~CDopegridView() {
  doc_.RemoveListener(this);
}

void CDopegridView::OnUpdate(const SheetHint& hint) {
  if (!HasHint(hint, SheetHint::Sheet)) return;
  UpdateScrollRanges();
  viewport()->update();
}

int CDopegridView::firstLevel() const {
  return horizontalScrollBar()->value();
}

int CDopegridView::firstFrame() const {
  return verticalScrollBar()->value();
}

int CDopegridView::soundWidth() const {
  return doc_.soundShown() ? kSoundColumnWidth : 0;
}

QRect CDopegridView::CellRect(int level, int frame) const {
  return {kFrameColumnWidth + (level - firstLevel()) * kLevelColumnWidth,
          kHeadingHeight + (frame - firstFrame()) * kFrameRowHeight, kLevelColumnWidth,
          kFrameRowHeight};
}

QRect CDopegridView::LevelHeadingRect(int level) const {
  return {kFrameColumnWidth + (level - firstLevel()) * kLevelColumnWidth, kLevelBandTop,
          kLevelColumnWidth, kHeadingHeight - kLevelBandTop};
}

void CDopegridView::UpdateScrollRanges() {
  const QSize area = viewport()->size();
  const int levelsShown =
      std::max(1, (area.width() - kFrameColumnWidth - soundWidth()) / kLevelColumnWidth);
  const int framesShown = std::max(1, (area.height() - kHeadingHeight) / kFrameRowHeight);
  horizontalScrollBar()->setRange(0, std::max(0, doc_.sheet().levelCount - levelsShown));
  verticalScrollBar()->setRange(0, std::max(0, doc_.sheet().frameCount - framesShown));
}

void CDopegridView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRanges();
}

void CDopegridView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().window());
  PaintCells(painter);
  PaintHeading(painter);
  if (doc_.soundShown()) PaintSound(painter);
}

void CDopegridView::PaintHeading(QPainter& painter) {
  const CSheetGrid& sheet = doc_.sheet();
  const int right = viewport()->width() - soundWidth();
  painter.fillRect(QRect(0, 0, right, kHeadingHeight), kPlainCell);
  painter.setPen(kGridLine);
  painter.setFont(SheetFont(14, true));
  painter.setPen(Qt::black);
  painter.drawText(QRect(kFrameColumnWidth, 0, right - kFrameColumnWidth, kLevelBandTop),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("  LEVELS"));
  painter.setFont(SheetFont(12));
  for (int l = firstLevel(); l < sheet.levelCount; ++l) {
    const QRect band = LevelHeadingRect(l);
    if (band.left() >= right) break;
    painter.setPen(kGridLine);
    painter.drawRect(band.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(band, Qt::AlignCenter, QString::fromStdString(sheet.LevelName(l)));
  }
  painter.setPen(kGridLine);
  painter.drawLine(0, kHeadingHeight - 1, right, kHeadingHeight - 1);
}

void CDopegridView::PaintCells(QPainter& painter) {
  const CSheetGrid& sheet = doc_.sheet();
  const SheetSelection& selection = doc_.selection();
  const int right = viewport()->width() - soundWidth();
  const int bottom = viewport()->height();
  painter.setClipRect(QRect(0, kHeadingHeight, right, bottom - kHeadingHeight));
  painter.setFont(SheetFont(12));
  for (int f = firstFrame(); f < sheet.frameCount; ++f) {
    const QRect number(0, CellRect(0, f).top(), kFrameColumnWidth, kFrameRowHeight);
    if (number.top() >= bottom) break;
    painter.fillRect(number, kPlainCell);
    painter.setPen(kGridLine);
    painter.drawRect(number.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(number, Qt::AlignCenter, QString::number(f + 1));
    for (int l = firstLevel(); l < sheet.levelCount; ++l) {
      const QRect cell = CellRect(l, f);
      if (cell.left() >= right) break;
      QColor ground = kPlainCell;
      if (l == doc_.currentLevel() && f == doc_.currentFrame())
        ground = kCurrentCell;
      else if (InSelection(selection, l, f))
        ground = kSelectedCell;
      painter.fillRect(cell, ground);
      painter.setPen(kGridLine);
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      const std::string label = doc_.CellLabel(sheet.Cell(l, f));
      if (!label.empty()) {
        painter.setPen(Qt::black);
        painter.drawText(cell, Qt::AlignCenter, QString::fromStdString(label));
      }
    }
  }
  painter.setClipping(false);
}

void CDopegridView::PaintSound(QPainter& painter) {
  const int left = viewport()->width() - kSoundColumnWidth;
  const int height = viewport()->height();
  painter.fillRect(QRect(left, 0, kSoundColumnWidth, height), kSoundGround);
  painter.setPen(kGridLine);
  painter.drawLine(left, 0, left, height);
  painter.setPen(Qt::black);
  painter.setFont(SheetFont(14, true));
  painter.drawText(QRect(left, 0, kSoundColumnWidth, kHeadingHeight), Qt::AlignCenter,
                   QStringLiteral("Sound"));
  const SheetSelection& s = doc_.selection();
  const int top = std::max(CellRect(0, s.firstFrame).top(), kHeadingHeight);
  const int bottom = CellRect(0, s.lastFrame).bottom();
  if (bottom > top)
    painter.fillRect(QRect(left + 1, top, kSoundColumnWidth - 1, bottom - top + 1),
                     QColor(240, 240, 240));
  if (!doc_.sound().loaded) return;
  const int rows = (height - kHeadingHeight) / kFrameRowHeight + 1;
  const std::vector<WavePoint> points =
      WaveformPoints(doc_.sound(), firstFrame(), rows, kFrameRowHeight);
  QPolygon line;
  for (const WavePoint& p : points) line << QPoint(left + p.x, kHeadingHeight + p.y);
  painter.setPen(QColor(0, 0, 128));
  painter.setClipRect(QRect(left, kHeadingHeight, kSoundColumnWidth, height - kHeadingHeight));
  painter.drawPolyline(line);
  painter.setClipping(false);
}

void CDopegridView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  if (at.x() >= viewport()->width() - soundWidth()) return;
  auto hit = HitTest(doc_.sheet(), at.x(), at.y(), firstLevel(), firstFrame());
  if (!hit) return;
  if (event->modifiers() & Qt::ShiftModifier) {
    ShiftClickSheet(doc_, *hit);
    return;
  }
  ClickSheet(doc_, *hit, firstFrame());
  dragging_ = true;
  dragFromHeading_ = hit->inHeading;
}

void CDopegridView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  ScrollTowards(at);
  // Below the heading band even when the pointer is above it, so the drag keeps a frame.
  auto hit =
      HitTest(doc_.sheet(), at.x(), std::max(at.y(), kHeadingHeight), firstLevel(), firstFrame());
  if (hit) DragSheet(doc_, *hit, dragFromHeading_);
}

void CDopegridView::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
}

void CDopegridView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  auto hit = HitTest(doc_.sheet(), at.x(), at.y(), firstLevel(), firstFrame());
  if (!hit || hit->inHeading) return;
  ClickSheet(doc_, *hit, firstFrame());
  if (doc_.sheet().Cell(hit->level, hit->frame).used()) emit CelSourceRequested();
}

void CDopegridView::ScrollTowards(const QPoint& point) {
  const QRect area = viewport()->rect();
  if (point.y() >= area.height())
    verticalScrollBar()->setValue(firstFrame() + 1);
  else if (point.y() < kHeadingHeight)
    verticalScrollBar()->setValue(firstFrame() - 1);
  if (point.x() >= area.width() - soundWidth())
    horizontalScrollBar()->setValue(firstLevel() + 1);
  else if (point.x() < kFrameColumnWidth)
    horizontalScrollBar()->setValue(firstLevel() - 1);
}

void CDopegridView::ScrollToCurrent() {
  const int framesShown = std::max(1, (viewport()->height() - kHeadingHeight) / kFrameRowHeight);
  const int levelsShown =
      std::max(1, (viewport()->width() - kFrameColumnWidth - soundWidth()) / kLevelColumnWidth);
  const int f = doc_.currentFrame(), l = doc_.currentLevel();
  if (f < firstFrame()) verticalScrollBar()->setValue(f);
  if (f >= firstFrame() + framesShown) verticalScrollBar()->setValue(f - framesShown + 1);
  if (l < firstLevel()) horizontalScrollBar()->setValue(l);
  if (l >= firstLevel() + levelsShown) horizontalScrollBar()->setValue(l - levelsShown + 1);
}

void CDopegridView::keyPressEvent(QKeyEvent* event) {
  int dl = 0, df = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      dl = -1;
      break;
    case Qt::Key_Right:
      dl = 1;
      break;
    case Qt::Key_Up:
      df = -1;
      break;
    case Qt::Key_Down:
      df = 1;
      break;
    case Qt::Key_PageUp:
      df = -kFramesPerPage;
      break;
    case Qt::Key_PageDown:
      df = kFramesPerPage;
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  // The arrows move the current cell; with Shift they grow the selection from it instead.
  const SheetSelection& s = doc_.selection();
  if (event->modifiers() & Qt::ShiftModifier) {
    const int level = s.firstLevel == doc_.currentLevel() ? s.lastLevel : s.firstLevel;
    const int frame = s.firstFrame == doc_.currentFrame() ? s.lastFrame : s.firstFrame;
    DragSheet(doc_, {level + dl, frame + df, false}, false);
  } else {
    SheetHit hit{doc_.currentLevel() + dl, doc_.currentFrame() + df, false};
    hit.level = std::clamp(hit.level, 0, doc_.sheet().levelCount - 1);
    hit.frame = std::clamp(hit.frame, 0, doc_.sheet().frameCount - 1);
    ClickSheet(doc_, hit, firstFrame());
  }
  ScrollToCurrent();
}

void CDopegridView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(QString::fromLatin1(kPicturesMimeType)))
    event->acceptProposedAction();
}

void CDopegridView::dragMoveEvent(QDragMoveEvent* event) {
  const QPoint at = event->position().toPoint();
  if (HitTest(doc_.sheet(), at.x(), std::max(at.y(), kHeadingHeight), 0, 0))
    event->acceptProposedAction();
}

void CDopegridView::dropEvent(QDropEvent* event) {
  std::optional<PictureDrag> drag = DecodePictureDrag(*event->mimeData());
  if (!drag) return;
  const QPoint at = event->position().toPoint();
  auto hit =
      HitTest(doc_.sheet(), at.x(), std::max(at.y(), kHeadingHeight), firstLevel(), firstFrame());
  if (!hit) return;
  event->acceptProposedAction();
  hit->inHeading = false;
  ClickSheet(doc_, *hit, firstFrame());
  if (drag->sequence != doc_.selectedSequence()) doc_.SelectSequence(drag->sequence);
  doc_.SetSelectedPictures(drag->pictures);
  doc_.Transfer(dropSpacing_);
}

}  // namespace quenda
