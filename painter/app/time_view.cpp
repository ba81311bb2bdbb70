#include "painter/app/time_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "painter/core/painter_texts.h"
#include "painter/core/view_geometry.h"
#include "ui/progress_window.h"
#include "ui/qt_prompt.h"

namespace quenda {
namespace {

const QColor kStripGreyColour(128, 128, 128);

QImage ToImage(const Raster& icon) {
  QImage image(icon.width(), icon.height(), QImage::Format_BGR888);
  for (int y = 0; y < icon.height(); ++y) {
    std::copy_n(icon.Row(y), std::size_t(icon.width()) * 3, image.scanLine(icon.height() - 1 - y));
  }
  return image;
}

// The three painted-state marks: an empty box, a green tick, an orange dot.
void DrawMark(QPainter& painter, const QRect& box, PaintState state) {
  painter.setPen(QColor(32, 32, 32));
  painter.setBrush(QColor(240, 240, 240));
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  painter.setRenderHint(QPainter::Antialiasing);
  switch (state) {
    case PaintState::NoPaintFile:
      break;
    case PaintState::AllPainted:
      painter.setPen(QPen(QColor(20, 150, 40), 2));
      painter.drawPolyline(QPolygon{{box.left() + 3, box.top() + 7},
                                    {box.left() + 6, box.top() + 11},
                                    {box.left() + 12, box.top() + 3}});
      break;
    case PaintState::SomeUnpainted:
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(230, 120, 20));
      painter.drawEllipse(box.adjusted(3, 3, -4, -4));
      break;
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace

CTimeView::CTimeView(CPainterDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc), scroll_(new QScrollBar(Qt::Horizontal, this)) {
  setMinimumHeight(60);
  scroll_->setSingleStep(1);
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });
  doc_.AddListener(this);
}

CTimeView::~CTimeView() {
  doc_.RemoveListener(this);
}

int CTimeView::cellSide() const {
  return std::max(1, height() - scroll_->height());
}

int CTimeView::visibleCells() const {
  return VisibleStripCells(width(), cellSide());
}

int CTimeView::firstFrame() const {
  return scroll_->value();
}

int CTimeView::scrollMaximum() const {
  return scroll_->maximum();
}

void CTimeView::UpdateScrollRange() {
  const int frames = doc_.sequenceOpen() ? doc_.frameCount() : 0;
  scroll_->setRange(0, StripScrollMaximum(frames, visibleCells()));
  scroll_->setPageStep(std::max(1, visibleCells()));
}

QRect CTimeView::CellRect(int frame) const {
  const int side = cellSide();
  return QRect((frame - firstFrame()) * side, 0, side, side);
}

int CTimeView::FrameAt(const QPoint& point) const {
  if (!doc_.sequenceOpen() || point.y() < 0 || point.y() >= cellSide() || point.x() < 0) {
    return -1;
  }
  const int frame = firstFrame() + point.x() / cellSide();
  return frame < doc_.frameCount() ? frame : -1;
}

void CTimeView::OnUpdate(const PainterUpdate& update) {
  switch (update.hint) {
    case PainterHint::SequenceOpened:
    case PainterHint::RedrawIcons:
      UpdateScrollRange();
      RebuildAllIcons();
      QWidget::update();
      break;
    case PainterHint::FrameSaved:
      RebuildIcon(doc_.currentFrame());
      QWidget::update();
      break;
    case PainterHint::FrameChanged:
      // The current frame is the one in the picture: bring it into the strip.
      if (doc_.currentFrame() < firstFrame() ||
          doc_.currentFrame() >= firstFrame() + visibleCells()) {
        scroll_->setValue(doc_.currentFrame());
      }
      QWidget::update();
      break;
    default:
      break;
  }
}

void CTimeView::RebuildIcon(int frame) {
  if (frame < 0 || frame >= int(icons_.size()) || iconSide_ <= 0) return;
  icons_[std::size_t(frame)] = ToImage(doc_.FrameIcon(frame, iconSide_));
  states_[std::size_t(frame)] = doc_.FramePaintState(frame);
}

void CTimeView::RebuildAllIcons() {
  icons_.assign(doc_.sequenceOpen() ? std::size_t(doc_.frameCount()) : 0, QImage());
  states_.assign(icons_.size(), PaintState::NoPaintFile);
  iconSide_ = StripIconSide(cellSide());
  if (icons_.empty() || iconSide_ <= 0) return;
  // Reading every frame's files takes a while on long sequences: the small window shows how
  // far it got. The document is only read meanwhile.
  ProgressWindow window(
      QString::fromUtf8(kUpdatingIconsTitle.data(), qsizetype(kUpdatingIconsTitle.size())), this,
      ProgressWindow::StopButton::Hidden);
  QtPrompt prompt(this);  // the job asks nothing
  const int side = iconSide_;
  const int count = int(icons_.size());
  // The worker fills its own vectors: the strip may repaint (from this thread) meanwhile.
  std::vector<Raster> built(icons_.size());
  std::vector<PaintState> states(icons_.size(), PaintState::NoPaintFile);
  rebuilding_ = true;
  window.RunJob(
      [&](Progress& progress, Prompt&) {
        for (int frame = 0; frame < count; ++frame) {
          built[std::size_t(frame)] = doc_.FrameIcon(frame, side);
          states[std::size_t(frame)] = doc_.FramePaintState(frame);
          progress.SetPercent((frame + 1) * 100 / count);
        }
      },
      prompt);
  for (std::size_t i = 0; i < built.size(); ++i) icons_[i] = ToImage(built[i]);
  states_ = std::move(states);
  rebuilding_ = false;
}

void CTimeView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kStripGreyColour);
  if (!doc_.sequenceOpen()) return;
  const int side = cellSide();
  for (int frame = firstFrame(); frame < doc_.frameCount(); ++frame) {
    const QRect cell = CellRect(frame);
    if (cell.left() >= width()) break;
    painter.setPen(frame == doc_.currentFrame() ? QColor(255, 230, 60) : QColor(96, 96, 96));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    if (!rebuilding_ && frame < int(icons_.size()) && icons_[std::size_t(frame)].isNull()) {
      RebuildIcon(frame);
    }
    // The loaded frame's state changes as it is painted; the others only when saved.
    const PaintState state = frame == doc_.currentFrame() || frame >= int(states_.size())
                                 ? doc_.FramePaintState(frame)
                                 : states_[std::size_t(frame)];
    DrawMark(painter, QRect(cell.left() + 1, cell.top() + 1, 15, 15), state);
    painter.setPen(Qt::white);
    const std::string label =
        doc_.name() + FormatFrameTag(doc_.sequence().frames[std::size_t(frame)]);
    painter.drawText(QRect(cell.left() + 19, cell.top(), side - 20, 17),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(label));
    if (frame < int(icons_.size()) && !icons_[std::size_t(frame)].isNull()) {
      const QImage& icon = icons_[std::size_t(frame)];
      painter.drawImage(QPoint(cell.left() + (side - icon.width()) / 2, cell.top() + 18), icon);
    }
  }
}

void CTimeView::resizeEvent(QResizeEvent*) {
  const int bar = scroll_->sizeHint().height();
  scroll_->setGeometry(0, height() - bar, width(), bar);
  UpdateScrollRange();
  // A new size needs new icons: they are made again as the cells are drawn.
  const int side = StripIconSide(cellSide());
  if (side != iconSide_) {
    iconSide_ = side;
    std::fill(icons_.begin(), icons_.end(), QImage());
  }
}

void CTimeView::mouseDoubleClickEvent(QMouseEvent* event) {
  const int frame = FrameAt(event->position().toPoint());
  if (frame >= 0) doc_.SelectFrame(frame);
}

void CTimeView::wheelEvent(QWheelEvent* event) {
  scroll_->setValue(scroll_->value() - event->angleDelta().y() / 120);
}

}  // namespace quenda
