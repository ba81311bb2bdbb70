#include "composer/app/time_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace quenda {

namespace {

constexpr int kRow = kTimelineRowHeight;
constexpr int kLabels = kTimelineLabelWidth;

QColor TrackColour(int track) {
  if (track <= kPositionY) return QColor(220, 40, 40);
  if (track <= kScaleY) return QColor(30, 160, 60);
  return QColor(40, 80, 220);
}

}  // namespace

CTimeView::CTimeView(CComposerDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc) {
  setObjectName(QStringLiteral("timeView"));
  setMinimumHeight(kRow * 5);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
          [this] { viewport()->update(); });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
          [this] { viewport()->update(); });
  doc_.AddListener(this);
  UpdateScrollBars();
}

CTimeView::~CTimeView() {
  doc_.RemoveListener(this);
}

void CTimeView::OnUpdate(const ComposerHint&) {
  UpdateScrollBars();
  viewport()->update();
}

int CTimeView::zoom() const {
  return std::max(doc_.composition().timelineZoom, 1);
}

int CTimeView::firstVisibleFrame() const {
  return horizontalScrollBar()->value();
}

int CTimeView::firstVisibleRow() const {
  return verticalScrollBar()->value();
}

int CTimeView::VisibleFrames() const {
  return std::max(1, (viewport()->width() - kLabels) / zoom());
}

int CTimeView::FrameX(int frame) const {
  return kLabels + (frame - firstVisibleFrame()) * zoom();
}

QRect CTimeView::RowRect(int clip) const {
  return {0, kRow + (clip - firstVisibleRow()) * kRow, viewport()->width(), kRow};
}

int CTimeView::RowAt(int y) const {
  if (y < kRow) return -1;
  return (y - kRow) / kRow + firstVisibleRow();
}

void CTimeView::UpdateScrollBars() {
  const Composition& c = doc_.composition();
  const int frames = doc_.hasMovie() ? c.frames : 0;
  horizontalScrollBar()->setRange(0, std::max(0, frames - VisibleFrames()));
  horizontalScrollBar()->setPageStep(VisibleFrames());
  const int rows = std::max(1, (viewport()->height() - kRow) / kRow);
  verticalScrollBar()->setRange(0, std::max(0, c.clipCount() - rows));
  verticalScrollBar()->setPageStep(rows);
}

void CTimeView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CTimeView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect area = viewport()->rect();
  painter.fillRect(area, QColor(250, 250, 248));
  if (!doc_.hasMovie()) return;
  const Composition& c = doc_.composition();
  const int z = zoom();
  const int first = firstVisibleFrame();
  const int last = std::min(c.frames - 1, first + VisibleFrames());
  painter.setFont(QFont(font().family(), 8));

  // The time axis: a tick per frame, numbered where there is room.
  painter.fillRect(QRect(0, 0, area.width(), kRow), QColor(220, 220, 214));
  int every = 1;
  while (every * z < 36) every *= every == 1 ? 5 : 2;
  painter.setPen(QColor(60, 60, 60));
  for (int f = first; f <= last; ++f) {
    const int x = FrameX(f);
    const bool numbered = (f + 1) % every == 0 || f == 0;
    painter.drawLine(x, numbered ? 8 : 13, x, kRow - 1);
    if (numbered) painter.drawText(x + 2, 11, QString::number(f + 1));
  }

  const int selected = c.SelectedIndex();
  for (int i = firstVisibleRow(); i < c.clipCount(); ++i) {
    const QRect row = RowRect(i);
    if (row.top() > area.bottom()) break;
    const ClipRecord& clip = c.clips[std::size_t(i)];
    if (i == selected) painter.fillRect(row, QColor(205, 225, 250));
    // The frames the clip shows.
    int from = 0, to = c.frames - 1;
    QColor bar = clip.IsEffect()    ? QColor(210, 190, 235)
                 : clip.IsVirtual() ? QColor(250, 215, 160)
                                    : QColor(150, 190, 235);
    if (clip.IsImage() && !clip.singleImage) {
      from = clip.movieStart;
      to = clip.movieStart + clip.lastFrame - clip.firstFrame;
      if (clip.beforeStart != EdgeBehaviour::Stop)
        painter.fillRect(QRect(FrameX(0), row.top() + 5, FrameX(from) - FrameX(0), kRow - 10),
                         QColor(200, 220, 240));
      if (clip.afterEnd != EdgeBehaviour::Stop)
        painter.fillRect(
            QRect(FrameX(to + 1), row.top() + 5, FrameX(c.frames) - FrameX(to + 1), kRow - 10),
            QColor(200, 220, 240));
    }
    painter.fillRect(QRect(FrameX(from), row.top() + 3, FrameX(to + 1) - FrameX(from), kRow - 6),
                     clip.hidden ? QColor(215, 215, 215) : bar);
    // Key marks: position on top, scale in the middle, rotation below.
    for (int t = 0; t < kTrackCount; ++t) {
      const int band = clip.IsEffect() ? 1 : (t <= kPositionY ? 0 : t <= kScaleY ? 1 : 2);
      painter.setPen(Qt::NoPen);
      painter.setBrush(clip.IsEffect() ? QColor(120, 40, 160) : TrackColour(t));
      for (const Key& key : clip.tracks[std::size_t(t)].keys()) {
        if (key.frame < first || key.frame > last) continue;
        const int cx = FrameX(key.frame) + z / 2, cy = row.top() + 4 + band * 4;
        painter.drawPolygon(QPolygon(
            {QPoint(cx, cy - 3), QPoint(cx + 3, cy), QPoint(cx, cy + 3), QPoint(cx - 3, cy)}));
      }
    }
    painter.setBrush(Qt::NoBrush);
    painter.fillRect(QRect(0, row.top(), kLabels, kRow),
                     i == selected ? QColor(180, 205, 240) : QColor(238, 238, 232));
    QFont labelFont = painter.font();
    labelFont.setItalic(clip.IsEffect());
    painter.setFont(labelFont);
    painter.setPen(clip.hidden ? QColor(150, 150, 150) : QColor(20, 20, 20));
    painter.drawText(QRect(4, row.top(), kLabels - 6, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(clip.label));
    labelFont.setItalic(false);
    painter.setFont(labelFont);
    painter.setPen(QColor(225, 225, 220));
    painter.drawLine(0, row.bottom(), area.width(), row.bottom());
  }
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(kLabels - 1, 0, kLabels - 1, area.height());
  // The frame cursor.
  if (c.currentFrame >= first && c.currentFrame <= last) {
    const int x = FrameX(c.currentFrame) + z / 2;
    painter.setPen(QPen(QColor(230, 0, 0), 1));
    painter.drawLine(x, 0, x, area.height());
  }
}

void CTimeView::mousePressEvent(QMouseEvent* event) {
  if (!doc_.hasMovie() || event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  const Composition& c = doc_.composition();
  const int frame = TimelineFrameAt(at.x(), firstVisibleFrame(), zoom());
  press_ = Press::None;
  if (at.y() < kRow) {
    if (at.x() >= kLabels && frame >= 0 && frame < c.frames) {
      press_ = Press::Strip;
      doc_.GoToFrame(frame);
    }
    return;
  }
  const int row = RowAt(at.y());
  if (row < 0 || row >= c.clipCount()) return;
  const ClipRecord& clip = c.clips[std::size_t(row)];
  if (row == c.SelectedIndex() && clip.IsImage() && !clip.singleImage && at.x() >= kLabels) {
    press_ = Press::Clip;
    dragClip_ = row;
    grabOffset_ = frame - clip.movieStart;
    moved_ = false;
    doc_.BeginTimeDrag();
    return;
  }
  doc_.Select(row);
}

void CTimeView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  const Composition& c = doc_.composition();
  int frame = TimelineFrameAt(at.x(), firstVisibleFrame(), zoom());
  if (press_ == Press::Strip) {
    const int lastVisible = std::min(c.frames - 1, firstVisibleFrame() + VisibleFrames() - 1);
    frame = std::clamp(frame, firstVisibleFrame(), std::max(firstVisibleFrame(), lastVisible));
    if (frame != c.currentFrame) doc_.GoToFrame(frame);
  } else if (press_ == Press::Clip) {
    const ClipRecord& clip = c.clips[std::size_t(dragClip_)];
    if (auto start = DraggedStart(clip, c.frames, frame, grabOffset_))
      moved_ = doc_.MoveClipInTime(dragClip_, *start) || moved_;
  }
}

void CTimeView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (press_ == Press::Clip && moved_) doc_.EndTimeDrag();
  press_ = Press::None;
}

void CTimeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!doc_.hasMovie() || event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  const int row = RowAt(at.y());
  const Composition& c = doc_.composition();
  const int frame = TimelineFrameAt(at.x(), firstVisibleFrame(), zoom());
  if (row < 0 || row >= c.clipCount() || frame < 0 || frame >= c.frames) return;
  doc_.Select(row);
  doc_.GoToFrame(frame);
  if (c.clips[std::size_t(row)].HasAnyKey(frame)) emit EditKeyRequested();
}

}  // namespace quenda
