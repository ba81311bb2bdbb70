#pragma once
// The composer's dialogs. Each gathers values and refuses bad ones with the core's checks and
// messages (shown through the Prompt, the dialog staying open); the document runs the command.

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "common/prompt.h"
#include "composer/core/composition.h"
#include "composer/core/key_edit.h"
#include "composer/core/movie_settings.h"
#include "composer/core/preview.h"
#include "composer/core/render_output.h"
#include "ui/picture_format_choice.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;

namespace quenda {

// A swatch of the background colour and "Set >> ", which opens the colour picker.
class ColorField;

// "Movie Settings" for a new movie: presets, size, pixel aspect, frame rate, background.
class NewMovieDialog final : public QDialog {
  Q_OBJECT
 public:
  NewMovieDialog(Prompt& prompt, QWidget* parent = nullptr);
  NewMovieValues values() const;
  QComboBox* presets() const { return presets_; }
  QComboBox* aspectChoice() const { return aspectChoice_; }
  QComboBox* rateChoice() const { return rateChoice_; }
  QLineEdit* field(const char* name) const;

  void accept() override;

 private:
  void ChoosePreset(int index);
  void SetCustom(bool custom);

  Prompt& prompt_;
  QComboBox* presets_;
  QComboBox* aspectChoice_;
  QComboBox* rateChoice_;
  QLineEdit *frames_, *width_, *height_, *aspect_, *rate_;
  ColorField* color_;
};

// "Movie Settings" of an open movie: length, background, safe frame, units and dpi.
class MovieSettingsDialog final : public QDialog {
  Q_OBJECT
 public:
  MovieSettingsDialog(Prompt& prompt, const OpenMovieValues& values, QWidget* parent = nullptr);
  OpenMovieValues values() const;
  QLineEdit* field(const char* name) const;
  QComboBox* units() const { return units_; }

  void accept() override;

 private:
  Prompt& prompt_;
  QLineEdit *frames_, *actionSafe_, *titleSafe_, *dpi_;
  QComboBox* units_;
  ColorField* color_;
};

// "Which Key?": one of the offered kinds.
class WhichKeyDialog final : public QDialog {
  Q_OBJECT
 public:
  WhichKeyDialog(const std::vector<KeyKind>& kinds, QWidget* parent = nullptr);
  std::optional<KeyKind> chosen() const;
  QListWidget* list() const { return list_; }

 private:
  std::vector<KeyKind> kinds_;
  QListWidget* list_;
};

// The key edit dialogs: "Edit Position Key", "Edit Key" (scale, rotation) and "Effect Edit Key".
// Values are shown in the document's units, rotations as turns and degrees, effect parameters
// on sliders with their labels.
class KeyEditDialog final : public QDialog {
  Q_OBJECT
 public:
  KeyEditDialog(Prompt& prompt, const KeyEditValues& values, ClipKind clipKind, int frames,
                int units, int dpi, QWidget* parent = nullptr);
  KeyEditValues values() const { return values_; }
  QLineEdit* field(const char* name) const;
  QSlider* slider(const char* name) const;
  QLabel* label(const char* name) const;

  void accept() override;

 private:
  QLineEdit* AddValue(const char* name, const QString& label, double value);
  QSlider* AddEase(const char* name, const QString& label, int value);

  Prompt& prompt_;
  KeyEditValues values_;
  ClipKind clipKind_;
  int frames_, units_, dpi_;
  QGridLayout* grid_;
  int row_ = 0;
};

// "Clip Start and End Properties" of a sequence clip.
class StartEndDialog final : public QDialog {
  Q_OBJECT
 public:
  // `pictures` names the file the clip's first frame is read from (a Targa, or the PNG, TIFF,
  // OpenEXR or JPEG found in its place), shown in a label named "pictures".
  StartEndDialog(Prompt& prompt, EdgeBehaviour before, EdgeBehaviour after, int start1Based,
                 int lastStart, const QString& pictures = {}, QWidget* parent = nullptr);
  EdgeBehaviour before() const;
  EdgeBehaviour after() const;
  int start() const;
  QLineEdit* startField() const { return start_; }
  QComboBox* beforeChoice() const { return before_; }
  QComboBox* afterChoice() const { return after_; }

  void accept() override;

 private:
  Prompt& prompt_;
  int lastStart_;
  QComboBox *before_, *after_;
  QLineEdit* start_;
};

// A list to pick one line from: "Select Parent Clip" and "Insert Effect Clip".
class PickListDialog final : public QDialog {
  Q_OBJECT
 public:
  PickListDialog(const QString& title, const QString& current, const QStringList& items,
                 QWidget* parent = nullptr);
  int chosenRow() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

// "Generate Preview".
class PreviewDialog final : public QDialog {
  Q_OBJECT
 public:
  PreviewDialog(const Composition& composition, QWidget* parent = nullptr);
  PreviewSettings settings() const;
  QLineEdit* field(const char* name) const;
  QSlider* quality() const { return quality_; }
  QRadioButton* scaling(int index) const { return scaling_[index]; }

 private:
  void Normalize();

  const Composition& composition_;
  QSlider* quality_;
  QRadioButton* scaling_[3];
  QLineEdit *start_, *end_, *step_;
};

// "Render Output": the job's settings; "Render" runs `render` with them and the dialog stays.
class RenderOutputDialog final : public QDialog {
  Q_OBJECT
 public:
  RenderOutputDialog(Prompt& prompt, const Composition& composition,
                     std::function<void(const RenderOutputSettings&)> render,
                     QWidget* parent = nullptr);
  RenderOutputSettings settings() const;
  QLineEdit* field(const char* name) const;
  QCheckBox* check(const char* name) const;
  QRadioButton* radio(const char* name) const;
  QPushButton* renderButton() const { return render_; }
  PictureFormatChoice* formatChoice() const { return format_; }

 private:
  void Normalize();

  Prompt& prompt_;
  const Composition& composition_;
  std::function<void(const RenderOutputSettings&)> onRender_;
  QLineEdit *start_, *end_, *name_, *startNumber_, *directory_;
  QCheckBox *zeros_, *fields_, *matte_;
  QRadioButton *odd_, *even_, *best_, *fast_;
  PictureFormatChoice* format_;
  QPushButton* render_;
};

}  // namespace quenda
