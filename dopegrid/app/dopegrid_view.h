#pragma once
// The sheet view: the frame numbers, the level headings, one cell per level and frame, and the
// sound column at the right. Clicks, drags and keys set the current cell and the selection
// through the core's geometry; pictures dropped from the Picture Holder are transferred onto
// the cell under the pointer.

#include <QAbstractScrollArea>

#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

// What the Picture Holder's frame list hands to a drag: the sequence and the chosen pictures.
inline constexpr const char* kPicturesMimeType = "application/x-quenda-pictures";

class CDopegridView final : public QAbstractScrollArea, public SheetListener {
  Q_OBJECT

 public:
  explicit CDopegridView(CDopegridDoc& doc, QWidget* parent = nullptr);
  ~CDopegridView() override;

  void OnUpdate(const SheetHint& hint) override;

  int firstLevel() const;
  int firstFrame() const;
  // The viewport rectangle of a cell (whether or not it is scrolled into view).
  QRect CellRect(int level, int frame) const;
  QRect LevelHeadingRect(int level) const;
  // Drops transfer on this many frames per picture (1 .. 5, as the Transfer commands).
  void SetDropSpacing(int spacing) { dropSpacing_ = spacing; }
  int dropSpacing() const { return dropSpacing_; }

 signals:
  // A double click on a key or hold cell, after it became the current cell.
  void CelSourceRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void UpdateScrollRanges();
  int soundWidth() const;
  void PaintHeading(QPainter& painter);
  void PaintCells(QPainter& painter);
  void PaintSound(QPainter& painter);
  // Scrolls so that the pointer's row and level come into view while dragging.
  void ScrollTowards(const QPoint& point);
  void ScrollToCurrent();

  CDopegridDoc& doc_;
  bool dragging_ = false;
  bool dragFromHeading_ = false;
  int dropSpacing_ = 1;
};

}  // namespace quenda
