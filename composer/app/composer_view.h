#pragma once
// The composition view: the current frame composited by the engine that renders the movie,
// with labels, safe frame, ruler, the selected clip's outline and motion path drawn over it.
// A drag moves, scales or turns the selected clip by the document's mode; in Select mode a
// click picks the clip under the pointer. Only what a drag changes is composited again.

#include <optional>

#include "composer/core/composer_doc.h"
#include "composer/core/view_frame.h"
#include "ui/picture_view.h"

namespace quenda {

class CComposerView final : public PictureView, public ComposerListener {
  Q_OBJECT

 public:
  explicit CComposerView(CComposerDoc& doc, QWidget* parent = nullptr);
  ~CComposerView() override;

  void OnUpdate(const ComposerHint& hint) override;
  // The composited frame as shown: movie size, rows bottom first.
  const Raster& shown() const { return shown_; }
  const ViewFrameCache& frameCache() const { return cache_; }
  // The window point over movie point (x, y) (y upwards).
  QPointF MovieToWindow(double x, double y) const;

 signals:
  // A clip frame is missing: for the status bar.
  void StatusMessage(const QString& text);

 protected:
  void PaintOverlay(QPainter& painter) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Refresh();
  std::vector<DragKey> KeysAt(const QPoint& window) const;
  void PaintRuler(QPainter& painter);

  CComposerDoc& doc_;
  ViewFrameCache cache_;
  Raster shown_;
  std::optional<DragStart> drag_;
  QPoint pressedAt_;
  bool moved_ = false;
  bool selecting_ = false;
};

}  // namespace quenda
