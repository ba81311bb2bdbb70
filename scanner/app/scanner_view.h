#pragma once
// The scanner's picture view: the loaded frame or the last preview on grey, and over a preview
// the scan area, whose corners, edges or whole rectangle a left drag moves.

#include <QPoint>

#include "scanner/core/scanner_doc.h"
#include "ui/picture_view.h"

namespace quenda::scanner {

class CScannerView final : public PictureView, public DocumentListener<ScannerUpdate> {
  Q_OBJECT

 public:
  explicit CScannerView(CScannerDoc& doc, QWidget* parent = nullptr);
  ~CScannerView() override;

  void OnUpdate(const ScannerUpdate& update) override;
  // The window rectangle the scan area is drawn in (empty without a preview).
  QRect SelectionInWindow() const;

 protected:
  void PaintOverlay(QPainter& painter) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowPicture();

  CScannerDoc& doc_;
  bool dragging_ = false;
  Handle handle_ = Handle::Whole;
  QPoint reference_;  // the last accepted point, in window pixels
};

}  // namespace quenda::scanner
