#pragma once
// "Quenda Paint Tools" (modeless), beside the picture while paint mode is on: the view modes,
// the tools with the rectangle toggles beside ANIMPEN, RUBBER and UNRUB, the brush size, AUTO
// PAINT, and the colour set as a palette of swatches with the current colour outlined.

#include <QDialog>
#include <array>
#include <vector>

#include "analyzer/core/analyzer_doc.h"

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace quenda {

class PaintToolsWindow final : public QDialog, public AnalyzerListener {
  Q_OBJECT

 public:
  explicit PaintToolsWindow(CAnalyzerDoc& doc, QWidget* parent = nullptr);
  ~PaintToolsWindow() override;

  // A view, tool or AUTO PAINT button by its caption; a rectangle toggle is "RECT " and the
  // caption of the tool beside it.
  QAbstractButton* button(const QString& caption) const;
  QToolButton* brushButton(int size) const;
  QToolButton* swatch(int color) const;
  QScrollArea* palette() const { return palette_; }

  void OnUpdate(const AnalyzerUpdate& update) override;

 private:
  void ShowState();
  void ShowPalette();

  CAnalyzerDoc& doc_;
  QButtonGroup* views_ = nullptr;
  QButtonGroup* tools_ = nullptr;
  QButtonGroup* brushes_ = nullptr;
  QScrollArea* palette_ = nullptr;
  QGridLayout* swatchGrid_ = nullptr;
  std::vector<QToolButton*> swatches_;
};

}  // namespace quenda
