#pragma once
// The background maker's dialogs: the colour keyer's settings, opened by a click of the Color
// Keyer tool, and the view settings of both view modes. Each hands back the document's own
// values; the window passes them on.

#include <QColor>
#include <QDialog>
#include <QWidget>

#include "panorama/core/mask_ops.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace quenda {

// A colour shown as a framed patch, with a "Set >>"-style button beside it that opens the
// system colour chooser.
class ColourField final : public QWidget {
  Q_OBJECT

 public:
  ColourField(const QColor& colour, const QString& buttonText, QWidget* parent = nullptr);
  QColor colour() const { return colour_; }
  void SetColour(const QColor& colour);
  QPushButton* button() const { return button_; }

 private:
  QColor colour_;
  QLabel* patch_;
  QPushButton* button_;
};

class ColorKeyerDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit ColorKeyerDialog(const KeyerSettings& start, QWidget* parent = nullptr);
  KeyerSettings settings() const;

  ColourField* keyField() const { return key_; }
  QSlider* toleranceSlider() const { return slider_; }
  QSpinBox* toleranceField() const { return number_; }
  QRadioButton* operationButton(KeyerOperation operation) const {
    return operations_[int(operation)];
  }

 private:
  ColourField* key_;
  QSlider* slider_;
  QSpinBox* number_;
  QRadioButton* operations_[3];
};

class ViewSettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit ViewSettingsDialog(const PanoramaViewSettings& start, QWidget* parent = nullptr);
  PanoramaViewSettings values() const;

  QSpinBox* gridSizeField() const { return gridSize_; }
  ColourField* grid1Field() const { return grid1_; }
  ColourField* grid2Field() const { return grid2_; }
  ColourField* maskField() const { return mask_; }

 private:
  QSpinBox* gridSize_;
  ColourField* grid1_;
  ColourField* grid2_;
  ColourField* mask_;
};

}  // namespace quenda
