#pragma once
// The Render Output and Generate Flipbook dialogs. They collect the job's settings and show the
// core's checks; the button that starts the job hands the settings to the window, and the
// dialog stays open for another run until "Close" or "Done".

#include <QColor>
#include <QDialog>
#include <functional>

#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/flipbook.h"
#include "dopegrid/core/render.h"
#include "ui/picture_format_choice.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QSpinBox;

namespace quenda {

// The frame range and levels both dialogs share: start and end counted from 1, clamped when a
// field is left, and a level list that chooses them all when left with none chosen.
class JobRangeFields final : public QObject {
  Q_OBJECT
 public:
  JobRangeFields(const CDopegridDoc& doc, int frameLimit, QWidget* parent);
  QSpinBox* start() const { return start_; }
  QSpinBox* end() const { return end_; }
  QListWidget* levels() const { return levels_; }
  QWidget* selectAll() const { return selectAll_; }
  int firstFrame() const;  // from 0
  int lastFrame() const;
  std::vector<int> chosenLevels() const;  // ascending, never empty for a sheet with levels

 private:
  int frameLimit_;
  int levelCount_;
  QSpinBox* start_;
  QSpinBox* end_;
  QListWidget* levels_;
  QWidget* selectAll_;
};

class RenderDialog final : public QDialog {
  Q_OBJECT
 public:
  using Run = std::function<void(const RenderSettings&)>;
  RenderDialog(const CDopegridDoc& doc, Prompt& prompt, Run run, QWidget* parent = nullptr);

  RenderSettings settings() const;
  QLineEdit* nameField() const { return name_; }
  QLineEdit* directoryField() const { return directory_; }
  JobRangeFields& range() const { return *range_; }
  // A button, radio button or check box by its text.
  QAbstractButton* button(const QString& text) const;
  PictureFormatChoice* formatChoice() const { return format_; }

 private:
  void ChooseDirectory();
  void Render();

  Prompt& prompt_;
  Run run_;
  QLineEdit* name_;
  QLineEdit* directory_;
  JobRangeFields* range_;
  QGroupBox* sizes_;
  QGroupBox* qualities_;
  PictureFormatChoice* format_;
};

class FlipbookDialog final : public QDialog {
  Q_OBJECT
 public:
  using Run = std::function<void(const FlipbookSettings&)>;
  FlipbookDialog(const CDopegridDoc& doc, Run run, QWidget* parent = nullptr);

  FlipbookSettings settings() const;
  JobRangeFields& range() const { return *range_; }
  QAbstractButton* button(const QString& text) const;
  QSlider* quality() const { return quality_; }
  QSlider* size() const { return size_; }
  QSpinBox* rate() const { return rate_; }
  QComboBox* rateChoice() const { return rateChoice_; }

 private:
  void SetBackground(const QColor& color);

  Run run_;
  QGroupBox* type_;
  JobRangeFields* range_;
  QSlider* quality_;
  QSlider* size_;
  QSpinBox* rate_;
  QComboBox* rateChoice_;
  QLabel* swatch_;
  QColor background_{Qt::white};
};

}  // namespace quenda
