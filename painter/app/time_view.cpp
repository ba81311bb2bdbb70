#include "painter/app/time_view.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QThread>
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
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int first) {
    builder_->Prefer(first);
    update();
  });
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (!cache.isEmpty())
    cacheFolder_ = QDir(cache).filePath(QStringLiteral("frame-icons")).toStdString();
  // Icons arrive on a worker thread; they are taken in on this one, where the job's number
  // tells whether they are still wanted.
  builder_ = std::make_unique<IconBuilder>(
      std::max(1, QThread::idealThreadCount()), [this](uint64_t job, int frame, StripIcon made) {
        auto image = std::make_shared<QImage>(ToImage(made.icon));
        const PaintState state = made.state;
        QMetaObject::invokeMethod(
            this, [this, job, frame, image, state] { Deliver(job, frame, *image, state); },
            Qt::QueuedConnection);
      });
  doc_.AddListener(this);
}

CTimeView::~CTimeView() {
  builder_.reset();  // no icon arrives after this
  doc_.RemoveListener(this);
}

bool CTimeView::iconsComplete() const {
  return std::none_of(icons_.begin(), icons_.end(),
                      [](const QImage& icon) { return icon.isNull(); });
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
      UpdateScrollRange();
      RebuildAllIcons(IconWait::Background);
      QWidget::update();
      break;
    case PainterHint::RedrawIcons:
      UpdateScrollRange();
      RebuildAllIcons(IconWait::ShownCells);
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

// The loaded frame's icon shows its files too once it holds paint they do not have: a failed
// save must not look saved.
void CTimeView::RebuildIcon(int frame) {
  if (frame < 0 || frame >= int(icons_.size()) || iconSide_ <= 0) return;
  icons_[std::size_t(frame)] = ToImage(doc_.FrameIcon(frame, iconSide_));
  states_[std::size_t(frame)] = doc_.FramePaintState(frame);
  fresh_[std::size_t(frame)] = 1;
}

void CTimeView::RebuildAllIcons(IconWait wait) {
  icons_.assign(doc_.sequenceOpen() ? std::size_t(doc_.frameCount()) : 0, QImage());
  states_.assign(icons_.size(), PaintState::NoPaintFile);
  fresh_.assign(icons_.size(), 0);
  iconSide_ = StripIconSide(cellSide());
  if (icons_.empty() || iconSide_ <= 0) {
    builder_->Cancel();
    return;
  }
  const IconCache cache(cacheFolder_);
  RebuildIcon(doc_.currentFrame());
  if (wait == IconWait::ShownCells) MakeShownIconsWaiting(cache);
  builder_->Prefer(firstFrame());
  job_ = builder_->Start(IconJob{doc_.sequence(), doc_.colors(), iconSide_, cache});
}

// New colours change every icon: those on show are made while the small window says so, so
// the strip never shows old colours beside new ones; the others fill in afterwards.
void CTimeView::MakeShownIconsWaiting(const IconCache& cache) {
  const int first = firstFrame();
  const int end = std::min(int(icons_.size()), first + visibleCells() + 1);
  if (first >= end) return;
  ProgressWindow window(
      QString::fromUtf8(kUpdatingIconsTitle.data(), qsizetype(kUpdatingIconsTitle.size())), this,
      ProgressWindow::StopButton::Hidden);
  QtPrompt prompt(this);  // the job asks nothing
  std::vector<StripIcon> made(std::size_t(end - first));
  const int side = iconSide_;
  // The document is only read meanwhile: the window blocks the rest of the program.
  window.RunJob(
      [&](Progress& progress, Prompt&) {
        for (int frame = first; frame < end; ++frame) {
          if (fresh_[std::size_t(frame)]) continue;
          made[std::size_t(frame - first)] = cache.Get(doc_.PathsOf(frame), doc_.colors(), side);
          progress.SetPercent((frame - first + 1) * 100 / (end - first));
        }
      },
      prompt);
  for (int frame = first; frame < end; ++frame) {
    if (fresh_[std::size_t(frame)]) continue;
    StripIcon& icon = made[std::size_t(frame - first)];
    icons_[std::size_t(frame)] = ToImage(icon.icon);
    states_[std::size_t(frame)] = icon.state;
    fresh_[std::size_t(frame)] = 1;
  }
}

void CTimeView::Deliver(uint64_t job, int frame, const QImage& icon, PaintState state) {
  if (job != job_ || frame < 0 || frame >= int(icons_.size()) || fresh_[std::size_t(frame)]) return;
  icons_[std::size_t(frame)] = icon;
  states_[std::size_t(frame)] = state;
  const QRect cell = CellRect(frame);
  if (cell.right() >= 0 && cell.left() < width()) update(cell);
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
  // A new size needs new icons, made as on opening.
  if (StripIconSide(cellSide()) != iconSide_ && doc_.sequenceOpen())
    RebuildAllIcons(IconWait::Background);
}

void CTimeView::mouseDoubleClickEvent(QMouseEvent* event) {
  const int frame = FrameAt(event->position().toPoint());
  if (frame >= 0) doc_.SelectFrame(frame);
}

void CTimeView::wheelEvent(QWheelEvent* event) {
  scroll_->setValue(scroll_->value() - event->angleDelta().y() / 120);
}

}  // namespace quenda
