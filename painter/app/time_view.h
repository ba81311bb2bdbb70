#pragma once
// The frame strip under the picture: one square cell per frame with its painted-state mark,
// its name and its icon; a double click goes to that frame. Icons are made on worker threads
// (from the icon cache in the user's cache folder where they are there) and fill in as they
// come, the cells on show first.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "painter/core/icon_builder.h"
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
  // The icons made so far (for each frame, empty until it comes).
  const std::vector<QImage>& icons() const { return icons_; }
  bool iconsComplete() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // Whether the icons on show are made while the user waits, under the small window.
  enum class IconWait { Background, ShownCells };

  int cellSide() const;
  void RebuildAllIcons(IconWait wait);
  void MakeShownIconsWaiting(const IconCache& cache);
  void RebuildIcon(int frame);
  void Deliver(uint64_t job, int frame, const QImage& icon, PaintState state);
  void UpdateScrollRange();

  CPainterDoc& doc_;
  QScrollBar* scroll_;
  std::vector<QImage> icons_;
  std::vector<PaintState> states_;  // read from the files with the icons
  std::vector<char> fresh_;         // made here since the job began: the job's copy is older
  int iconSide_ = 0;
  std::string cacheFolder_;
  uint64_t job_ = 0;
  std::unique_ptr<IconBuilder> builder_;
};

}  // namespace quenda
