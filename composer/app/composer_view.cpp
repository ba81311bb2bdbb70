#include "composer/app/composer_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstring>

#include "common/zoom_level.h"
#include "composer/core/clip_transform.h"

namespace quenda {

namespace {

// The picture views count zoom levels one above the composer's (their 1 is 1:1).
int PictureLevel(float viewZoom) {
  return LevelOfZoom(viewZoom) + 1;
}

}  // namespace

CComposerView::CComposerView(CComposerDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  setObjectName(QStringLiteral("composerView"));
  SetZoomLimits({1601, 6});
  doc_.AddListener(this);
  Refresh();
}

CComposerView::~CComposerView() {
  doc_.RemoveListener(this);
}

void CComposerView::OnUpdate(const ComposerHint&) {
  Refresh();
}

void CComposerView::Refresh() {
  if (!doc_.hasMovie()) {
    shown_ = Raster();
    cache_.Invalidate();
    ClearPicture();
    return;
  }
  const Composition& c = doc_.composition();
  if (zoomLevel() != PictureLevel(c.viewZoom)) SetZoomLevel(PictureLevel(c.viewZoom));
  ComposeOptions options{c.quality, c.antialias != 0, false, 0};
  ComposeSink sink;
  sink.status = [this](const std::string& text) {
    emit StatusMessage(QString::fromStdString(text));
  };
  const FrameBuffer& buffer = cache_.Update(c, c.currentFrame, options, sink);
  const int q = c.quality;
  const bool resized = shown_.width() != c.width || shown_.height() != c.height;
  if (resized) shown_ = Raster(c.width, c.height, 3);
  BufferRect changed = cache_.changed();
  if (resized) changed = {0, 0, buffer.width, buffer.height};
  // The changed buffer pixels as movie pixels: each stands for 2^q by 2^q of them.
  const int x0 = std::min(changed.left << q, c.width);
  const int x1 = std::min((changed.left + changed.width) << q, c.width);
  const int y0 = std::min(changed.bottom << q, c.height);
  const int y1 = std::min((changed.bottom + changed.height) << q, c.height);
  for (int y = y0; y < y1; ++y) {
    const uint8_t* from = buffer.bgr.data() + std::size_t(y >> q) * std::size_t(buffer.width) * 3;
    uint8_t* to = shown_.Row(y);
    if (q == 0) {
      std::memcpy(to + std::size_t(x0) * 3, from + std::size_t(x0) * 3, std::size_t(x1 - x0) * 3);
      continue;
    }
    for (int x = x0; x < x1; ++x)
      std::memcpy(to + std::size_t(x) * 3, from + std::size_t(x >> q) * 3, 3);
  }
  if (resized || !hasPicture())
    SetPicture(shown_);
  else if (x1 > x0 && y1 > y0)
    UpdatePicture(shown_, QRect(x0, y0, x1 - x0, y1 - y0));
  // The overlays follow the clips wherever they went.
  viewport()->update();
}

QPointF CComposerView::MovieToWindow(double x, double y) const {
  const QPoint origin = centringOffset() - scrollPosition();
  const double f = ZoomLevelFactor(zoomLevel());
  return {origin.x() + x * f, origin.y() + (doc_.composition().height - y) * f};
}

void CComposerView::PaintOverlay(QPainter& painter) {
  if (!doc_.hasMovie()) return;
  const Composition& c = doc_.composition();
  const int frame = c.currentFrame;
  painter.setRenderHint(QPainter::Antialiasing, false);
  const int selected = c.SelectedIndex();

  // Where a clip's picture lies: its corners carried forward by the placement.
  auto outline = [&](int index) {
    const ClipRecord& clip = c.clips[std::size_t(index)];
    ClipPlacement p = PlacementAt(c, index, frame);
    const double cs = std::cos(p.rotation), sn = std::sin(p.rotation);
    const double halfW = clip.imageWidth >> 1, halfH = clip.imageHeight >> 1;
    QPolygonF polygon;
    for (auto [sx, sy] : {std::pair{0.0, 0.0},
                          {double(clip.imageWidth), 0.0},
                          {double(clip.imageWidth), double(clip.imageHeight)},
                          {0.0, double(clip.imageHeight)}}) {
      const double u = (sx - halfW) * p.scaleX, v = (sy - halfH) * p.scaleY;
      polygon << MovieToWindow(cs * u + sn * v + p.x, -sn * u + cs * v + p.y);
    }
    return polygon;
  };

  if (c.showLabels) {
    painter.setFont(QFont(font().family(), 8));
    std::vector<QRectF> labels;
    for (int i = 0; i < c.clipCount(); ++i) {
      const ClipRecord& clip = c.clips[std::size_t(i)];
      if (!clip.IsImage() && !clip.IsVirtual()) continue;
      ClipPlacement p = PlacementAt(c, i, frame);
      const QPointF at = MovieToWindow(p.x, p.y);
      if (clip.IsVirtual()) {
        painter.setPen(QColor(255, 160, 0));
        painter.drawLine(at + QPointF(-6, 0), at + QPointF(6, 0));
        painter.drawLine(at + QPointF(0, -6), at + QPointF(0, 6));
      }
      const QString text = QString::fromStdString(clip.label);
      QRectF box = QRectF(at, QSizeF(painter.fontMetrics().horizontalAdvance(text) + 6, 14))
                       .translated(4, 4);
      // Clips at one place keep their labels apart, one under the other.
      for (bool moved = true; moved;) {
        moved = false;
        for (const QRectF& taken : labels)
          if (taken.intersects(box)) box.moveTop(taken.bottom() + 1), moved = true;
      }
      labels.push_back(box);
      painter.fillRect(box, QColor(0, 0, 0, 140));
      painter.setPen(clip.hidden ? QColor(160, 160, 160) : QColor(255, 255, 255));
      painter.drawText(box, Qt::AlignCenter, text);
    }
  }
  if (c.showSafeFrame) {
    const QPointF topLeft = MovieToWindow(0, c.height), bottomRight = MovieToWindow(c.width, 0);
    const int w = int(bottomRight.x() - topLeft.x()), h = int(bottomRight.y() - topLeft.y());
    for (auto [margin, colour] :
         {std::pair{c.actionSafe, QColor(0, 200, 255)}, {c.titleSafe, QColor(255, 220, 0)}}) {
      ViewRect r = SafeRect(w, h, margin);
      painter.setPen(QPen(colour, 1, Qt::DashLine));
      painter.drawRect(QRectF(topLeft.x() + r.x, topLeft.y() + r.y, r.width - 1, r.height - 1));
    }
  }
  if (selected >= 0) {
    const ClipRecord& clip = c.clips[std::size_t(selected)];
    if (clip.IsImage() || clip.IsVirtual()) {
      if (doc_.showMotionPath()) {
        QPolygonF path;
        painter.setPen(QColor(255, 80, 200));
        painter.setBrush(QColor(255, 80, 200));
        for (int f = 0; f < c.frames; ++f) {
          ClipPlacement p = PlacementAt(c, selected, f);
          const QPointF at = MovieToWindow(p.x, p.y);
          path << at;
          if (clip.HasAnyKey(f)) painter.drawRect(QRectF(at - QPointF(2, 2), QSizeF(5, 5)));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(path);
      }
      painter.setPen(QPen(QColor(255, 40, 40), 1));
      painter.drawPolygon(outline(selected));
    }
  }
  if (c.showRuler) PaintRuler(painter);
}

void CComposerView::PaintRuler(QPainter& painter) {
  const Composition& c = doc_.composition();
  constexpr int kBand = 20, kTick = 10;
  const QRect area = viewport()->rect();
  painter.setFont(QFont(font().family(), 7));
  painter.fillRect(QRect(0, 0, area.width(), kBand), QColor(236, 236, 228));
  painter.fillRect(QRect(0, 0, kBand, area.height()), QColor(236, 236, 228));
  painter.setPen(QColor(40, 40, 40));
  const double step = RulerStep(c.units, c.viewZoom);
  const double perUnit = PixelsPerRulerUnit(c.units, c.dpi);
  const double f = ZoomLevelFactor(zoomLevel());
  if (step * perUnit * f < 2) return;
  // Ticks at every multiple of the step that lies in the window, along both edges.
  const QPointF zero = MovieToWindow(0, 0);
  const double spacing = step * perUnit * f;
  const long long firstX = (long long)std::floor((kBand - zero.x()) / spacing);
  for (long long k = firstX; zero.x() + k * spacing < area.width(); ++k) {
    const int x = int(std::lround(zero.x() + k * spacing));
    if (x < kBand) continue;
    painter.drawLine(x, kBand - kTick, x, kBand - 1);
    painter.drawText(x + 2, kBand - kTick, QString::number((long long)std::trunc(k * step)));
  }
  const long long firstY = (long long)std::floor((zero.y() - area.height()) / spacing);
  for (long long k = firstY; zero.y() - k * spacing >= kBand; ++k) {
    const int y = int(std::lround(zero.y() - k * spacing));
    if (y >= area.height()) continue;
    painter.drawLine(kBand - kTick, y, kBand - 1, y);
    painter.drawText(1, y - 2, QString::number((long long)std::trunc(k * step)));
  }
}

std::vector<DragKey> CComposerView::KeysAt(const QPoint& window) const {
  const QPoint travel = window - pressedAt_;
  return DragKeys(InteractionMode(doc_.mode()), *drag_, travel.x(), travel.y(),
                  doc_.composition().viewZoom);
}

void CComposerView::mousePressEvent(QMouseEvent* event) {
  if (panMode() || !doc_.hasMovie() || event->button() != Qt::LeftButton) {
    PictureView::mousePressEvent(event);
    return;
  }
  pressedAt_ = event->position().toPoint();
  if (InteractionMode(doc_.mode()) == InteractionMode::Select) {
    selecting_ = true;
    return;
  }
  drag_ = doc_.BeginDrag();
  moved_ = false;
}

void CComposerView::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ && (event->buttons() & Qt::LeftButton)) {
    moved_ = true;
    if (!doc_.DragTo(KeysAt(event->position().toPoint()))) drag_.reset();
    return;
  }
  PictureView::mouseMoveEvent(event);
}

void CComposerView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && drag_) {
    std::vector<DragKey> keys = KeysAt(event->position().toPoint());
    drag_.reset();
    // A click without a move sets nothing.
    if (moved_) doc_.EndDrag(keys);
    return;
  }
  if (event->button() == Qt::LeftButton && selecting_) {
    selecting_ = false;
    const QPoint at = WindowToImage(event->position().toPoint());
    const Composition& c = doc_.composition();
    doc_.Select(ClipAtPoint(c, c.currentFrame, at.x(), at.y()));
    return;
  }
  PictureView::mouseReleaseEvent(event);
}

}  // namespace quenda
