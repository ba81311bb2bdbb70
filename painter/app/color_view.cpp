#include "painter/app/color_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "painter/core/view_geometry.h"

namespace quenda {
namespace {

constexpr int kListRight = 80;

}  // namespace

CColorView::CColorView(CPainterDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc), scroll_(new QScrollBar(Qt::Vertical, this)) {
  setMinimumWidth(80 + scroll_->sizeHint().width());
  scroll_->setSingleStep(1);
  scroll_->setPageStep(10);
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });
  doc_.AddListener(this);
  UpdateScrollRange();
}

CColorView::~CColorView() {
  doc_.RemoveListener(this);
}

void CColorView::OnUpdate(const PainterUpdate& update) {
  switch (update.hint) {
    case PainterHint::SequenceOpened:
    case PainterHint::ColorsChanged:
    case PainterHint::StateChanged:
      UpdateScrollRange();
      ScrollToCurrent();
      QWidget::update();
      break;
    default:
      break;
  }
}

int CColorView::visibleRows() const {
  return std::max(1, VisibleColorRows(listHeight()));
}

int CColorView::firstPosition() const {
  return scroll_->value();
}

void CColorView::UpdateScrollRange() {
  const int count = doc_.sequenceOpen() ? doc_.colors().count : 0;
  scroll_->setRange(0, ColorListScrollMaximum(count, visibleRows()));
}

void CColorView::ScrollToCurrent() {
  if (!doc_.sequenceOpen()) return;
  const int position = EntryToListPosition(doc_.currentColor());
  if (position < 0) return;
  if (position < firstPosition()) {
    scroll_->setValue(position);
  } else if (position >= firstPosition() + visibleRows()) {
    scroll_->setValue(position - visibleRows() + 1);
  }
}

QRect CColorView::RowRect(int position) const {
  const int rows = visibleRows();
  const int row = position - firstPosition();
  if (row < 0 || row >= rows) return {};
  const int rowHeight = listHeight() / rows;
  return QRect(0, row * rowHeight, kListRight, rowHeight);
}

int CColorView::EntryAt(const QPoint& point) const {
  if (!doc_.sequenceOpen() || point.x() < 0 || point.x() >= kListRight) return -1;
  const int rows = visibleRows();
  const int rowHeight = std::max(1, listHeight() / rows);
  const int row = point.y() / rowHeight;
  if (point.y() < 0 || row >= rows) return -1;
  const int entry = ListPositionToEntry(firstPosition() + row);
  return entry < doc_.colors().count ? entry : -1;
}

void CColorView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(128, 128, 128));
  if (!doc_.sequenceOpen()) return;
  const ColorSet& colors = doc_.colors();
  for (int row = 0; row < visibleRows(); ++row) {
    const int position = firstPosition() + row;
    const int entry = ListPositionToEntry(position);
    if (entry >= colors.count) break;
    const ColorEntry& colour = colors.entries[std::size_t(entry)];
    const bool selected = entry == doc_.currentColor();
    QRect box = RowRect(position);
    box.setLeft(selected ? 0 : 15);
    painter.fillRect(box, QColor(colour.red, colour.green, colour.blue));
    // A raised edge.
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
    const int grey = (colour.red + colour.green + colour.blue) / 3;
    painter.setPen(grey > 128 ? Qt::black : Qt::white);
    painter.drawText(box.adjusted(selected ? 5 : 5, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(colour.name));
  }
}

void CColorView::resizeEvent(QResizeEvent*) {
  const int bar = scroll_->sizeHint().width();
  scroll_->setGeometry(width() - bar, 0, bar, height());
  UpdateScrollRange();
}

void CColorView::mousePressEvent(QMouseEvent* event) {
  const int entry = EntryAt(event->position().toPoint());
  if (entry >= 0) doc_.SetCurrentColor(entry);
}

void CColorView::mouseDoubleClickEvent(QMouseEvent* event) {
  const int entry = EntryAt(event->position().toPoint());
  if (entry < 0) return;
  doc_.SetCurrentColor(entry);
  emit EditColorRequested();
}

void CColorView::wheelEvent(QWheelEvent* event) {
  scroll_->setValue(scroll_->value() - event->angleDelta().y() / 120);
}

}  // namespace quenda
