#pragma once
// The frame strip under the picture: one square cell per frame with its painted-state mark,
// its name and its icon; a double click goes to that frame.

#include <QImage>
#include <QWidget>
#include <vector>

#include "painter/core/painter_doc.h"

class QScrollBar;

namespace quenda {

class CTimeView final : public QWidget, public PainterListener {
  Q_OBJECT

 public:
  explicit CTimeView(CPainterDoc& doc, QWidget* parent = nullptr);
  ~CTimeView() override;

  void OnUpdate(const PainterUpdate& update) override;
  QSize sizeHint() const override { return {600, 130}; }

  int firstFrame() const;
  int visibleCells() const;
  int scrollMaximum() const;
  // The frame index of the cell under a point, or -1.
  int FrameAt(const QPoint& point) const;
  QRect CellRect(int frame) const;
  // The icons rebuilt so far (for each frame, empty until built).
  const std::vector<QImage>& icons() const { return icons_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int cellSide() const;
  void RebuildAllIcons();
  void RebuildIcon(int frame);
  void UpdateScrollRange();

  CPainterDoc& doc_;
  QScrollBar* scroll_;
  std::vector<QImage> icons_;
  std::vector<PaintState> states_;  // read from the files with the icons
  int iconSide_ = 0;
  bool rebuilding_ = false;  // the icon window is making them all
};

}  // namespace quenda
