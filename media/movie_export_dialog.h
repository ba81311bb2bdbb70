#pragma once
// The Export Movie dialog of the exposure sheet and the composer: the movie file and its codec
// (H.264 MP4 or ProRes 4444 MOV), the H.264 quality and preset, the frame rate (whole or 24000/1001
// and 30000/1001), the background transparency is laid over, and the sound with the frame it starts
// at. The programs add their own rows (frames, kind of picture) through form(). Export checks
// the fields and says what is wrong through the prompt; the dialog then stays open.

#include <QColor>
#include <QDialog>

#include "common/prompt.h"
#include "media/movie_export.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quenda {

// Where the programs keep the H.264 preset last chosen, in their profiles.
inline constexpr char kMovieProfileSection[] = "Movie";
inline constexpr char kMovieProfilePreset[] = "preset";

struct MovieExportDefaults {
  std::string path;
  FrameRate rate;
  std::string preset{kDefaultMoviePreset};  // the encoder's default when not one of its presets
  std::string soundPath;                    // offered, not chosen, when empty
  int lastFrame = 1;                        // bounds the sound's start
};

class MovieExportDialog final : public QDialog {
  Q_OBJECT
 public:
  MovieExportDialog(const MovieExportDefaults& defaults, Prompt& prompt, QWidget* parent = nullptr);

  // The settings of the fields; meaningful once the dialog was accepted.
  MovieExportSettings settings() const;
  QFormLayout* form() const { return form_; }
  // Puts "From frame:" and "To frame:" at the top of the form, each 1 .. `frames`, the whole
  // run chosen; the chosen run then reads in order, whichever way round the fields stand.
  void AddFrameRange(int frames);
  int firstChosenFrame() const;
  int lastChosenFrame() const;

  QLineEdit* fileField() const { return file_; }
  QComboBox* codecField() const { return codec_; }
  QSpinBox* qualityField() const { return crf_; }
  QComboBox* presetField() const { return preset_; }
  QComboBox* rateField() const { return rate_; }
  QPushButton* backgroundButton() const { return background_; }
  QCheckBox* soundBox() const { return withSound_; }
  QLineEdit* soundField() const { return sound_; }
  QSpinBox* soundStartField() const { return soundStart_; }
  QPushButton* exportButton() const { return export_; }
  void SetBackground(const QColor& colour);

 private:
  void CodecChanged();
  void TryAccept();

  Prompt& prompt_;
  QFormLayout* form_;
  QLineEdit* file_;
  QComboBox* codec_;
  QSpinBox* crf_;
  QComboBox* preset_;
  QComboBox* rate_;
  QPushButton* background_;
  QColor colour_{Qt::white};
  QCheckBox* withSound_;
  QLineEdit* sound_;
  QSpinBox* soundStart_;
  QPushButton* export_;
  QSpinBox* from_ = nullptr;
  QSpinBox* to_ = nullptr;
};

}  // namespace quenda
