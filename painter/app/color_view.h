#pragma once
// The colour list beside the picture: entry 0 and the user colours (never the unfilled and
// line entries), the current one drawn out to the left edge. A click chooses the current
// colour; a double click also asks for Edit Color.

#include <QWidget>

#include "painter/core/painter_doc.h"

class QScrollBar;

namespace quenda {

class CColorView final : public QWidget, public PainterListener {
  Q_OBJECT

 public:
  explicit CColorView(CPainterDoc& doc, QWidget* parent = nullptr);
  ~CColorView() override;

  void OnUpdate(const PainterUpdate& update) override;
  QSize sizeHint() const override { return {100, 300}; }
  int firstPosition() const;
  // The entry shown at a point of the list, or -1.
  int EntryAt(const QPoint& point) const;
  // The rectangle of the row that shows list position `position` (empty when not visible).
  QRect RowRect(int position) const;

 signals:
  void EditColorRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int listHeight() const { return height(); }
  int visibleRows() const;
  void UpdateScrollRange();
  void ScrollToCurrent();

  CPainterDoc& doc_;
  QScrollBar* scroll_;
};

}  // namespace quenda
