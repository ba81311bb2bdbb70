#pragma once
// The painter's dialogs: the frame to auto paint from, the auto paint range, the colour
// information of one entry (with the reference picture to pick from) and the region line and
// unfilled colours. Each collects values; the document runs the command.

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <functional>
#include <optional>
#include <string>

#include "common/color_set.h"
#include "painter/core/painter_doc.h"

class QCheckBox;
class QSpinBox;

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace quenda {

// "AutoPaint Frame No?": the text of the frame to paint from; nothing on CANCEL. OK closes the
// dialog only when `acceptable` takes the text; a refused text (which `acceptable` has said why)
// leaves it open for another.
std::optional<std::string> AskAutoPaintFrame(QWidget* parent,
                                             std::function<bool(std::string_view)> acceptable);

class AutoPaintRangeDialog final : public QDialog {
  Q_OBJECT

 public:
  // The match and speck boxes and the confidence start as `options` say.
  AutoPaintRangeDialog(Prompt& prompt, const AutoPaintOptions& options = {},
                       QWidget* parent = nullptr);
  AutoPaintRangeFields fields() const;

  QRadioButton* frameNoButton() const { return frameNo_; }
  QRadioButton* autoPreviousButton() const { return previous_; }
  QRadioButton* autoNextButton() const { return next_; }
  QRadioButton* bothKeysButton() const { return bothKeys_; }
  QLineEdit* sourceField() const { return source_; }
  QLineEdit* startField() const { return start_; }
  QLineEdit* endField() const { return end_; }
  QCheckBox* byShapesBox() const { return byShapes_; }
  QCheckBox* specksBox() const { return specks_; }
  QSpinBox* confidenceField() const { return confidence_; }

 public slots:
  // Stays open after a message when a field is missing.
  void accept() override;

 private:
  Prompt& prompt_;
  QRadioButton* frameNo_;
  QRadioButton* previous_;
  QRadioButton* next_;
  QRadioButton* bothKeys_;
  QLineEdit* source_;
  QLineEdit* start_;
  QLineEdit* end_;
  QCheckBox* byShapes_;
  QCheckBox* specks_;
  QSpinBox* confidence_;
};

// A colour swatch that shows one colour with a sunken edge.
class ColourSwatch final : public QWidget {
  Q_OBJECT

 public:
  explicit ColourSwatch(QWidget* parent = nullptr);
  QColor colour() const { return colour_; }
  void SetColour(const QColor& colour);
  QSize sizeHint() const override { return {60, 24}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

// The reference picture inside the colour dialog: dragged with the hand, clicked with the
// picker to take a colour.
class ReferenceFrame final : public QWidget {
  Q_OBJECT

 public:
  enum class Tool { Hand, Picker };
  ReferenceFrame(const Raster* picture, QWidget* parent = nullptr);
  void SetTool(Tool tool);
  QPoint offset() const { return offset_; }
  QSize sizeHint() const override { return {260, 200}; }

 signals:
  void Picked(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRect inner() const { return rect().adjusted(4, 4, -4, -4); }
  QImage image_;
  Tool tool_ = Tool::Picker;
  QPoint offset_;
  QPoint last_;
  bool pressed_ = false;
};

class ColorInformationDialog final : public QDialog {
  Q_OBJECT

 public:
  // `fixedName`: the name cannot be changed (the transparent entry).
  ColorInformationDialog(const CPainterDoc& doc, const QString& name, const QColor& colour,
                         bool fixedName, QWidget* parent = nullptr);
  QString name() const;
  QColor colour() const;
  QLineEdit* nameField() const { return name_; }
  ColourSwatch* swatch() const { return swatch_; }
  QToolButton* handButton() const { return hand_; }
  QToolButton* pickerButton() const { return picker_; }
  ReferenceFrame* reference() const { return reference_; }

 private:
  QLineEdit* name_;
  ColourSwatch* swatch_;
  QToolButton* hand_;
  QToolButton* picker_;
  ReferenceFrame* reference_ = nullptr;
};

class LineAndUnfilledDialog final : public QDialog {
  Q_OBJECT

 public:
  LineAndUnfilledDialog(const ColorSet& colors, QWidget* parent = nullptr);
  ColorEntry line() const;
  ColorEntry unfilled() const;
  ColourSwatch* lineSwatch() const { return line_; }
  ColourSwatch* unfilledSwatch() const { return unfilled_; }

 private:
  ColorEntry lineEntry_;
  ColorEntry unfilledEntry_;
  ColourSwatch* line_;
  ColourSwatch* unfilled_;
};

}  // namespace quenda
