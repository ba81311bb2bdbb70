#pragma once
// "Format :" and "Depth :" of the render dialogs: Targa as always, or PNG, TIFF (8 or 16 bits)
// or OpenEXR for the studio's other tools. The depth is offered only where it applies.

#include <QWidget>

#include "common/picture_format.h"

class QComboBox;

namespace quenda {

class PictureFormatChoice final : public QWidget {
  Q_OBJECT
 public:
  explicit PictureFormatChoice(QWidget* parent = nullptr);

  PictureFormat format() const;
  int depth() const;  // kFrameDepth8 unless 16 bits is chosen for PNG or TIFF
  // The combo boxes are named "format" and "depth".
  QComboBox* formatBox() const { return format_; }
  QComboBox* depthBox() const { return depth_; }

 private:
  void Update();

  QComboBox* format_;
  QComboBox* depth_;
};

}  // namespace quenda
