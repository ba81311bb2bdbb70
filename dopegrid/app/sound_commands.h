#pragma once
// The Sound menu of the exposure sheet's window: Load Sound, Sound Settings, Show Sound, Play
// All and Play Selection. Playback runs on the window's thread as the document's PlaySound
// drives it; meanwhile input is swallowed and any key press stops the sound.

#include <QDialog>
#include <QObject>
#include <memory>

#include "common/audio_output.h"
#include "dopegrid/core/dopegrid_doc.h"

class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QMenuBar;
class QSpinBox;

namespace quenda {

class SoundCommands final : public QObject, public PlaybackWatch {
  Q_OBJECT

 public:
  // The actions are added to `window`, so that their shortcuts reach it.
  SoundCommands(CDopegridDoc& doc, Prompt& prompt, QMainWindow& window);
  ~SoundCommands() override;

  // Where the sound plays: the system's output device until another is handed in.
  void SetAudioOutput(std::unique_ptr<AudioOutput> output);
  // The Sound menu, for more commands to join it.
  QMenu* AddMenu(QMenuBar& bar);
  void UpdateActions();
  bool playing() const { return playing_; }

  bool KeyPressed() override;
  void ShowStatus(std::string_view text) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* Make(const char* name, const QString& text, void (SoundCommands::*slot)());
  void Settings();
  void PlayAll();
  void PlaySelection();
  void Play(bool all);

  CDopegridDoc& doc_;
  Prompt& prompt_;
  QMainWindow& window_;
  std::unique_ptr<AudioOutput> output_;
  QList<QAction*> actions_;
  bool playing_ = false;
  bool keyPressed_ = false;
};

// "Sound Settings": the display frame rate (1 to 100, or a rate from the list) and the start
// frame; OK keeps the dialog open while the document refuses the start frame.
class SoundSettingsDialog final : public QDialog {
  Q_OBJECT
 public:
  SoundSettingsDialog(CDopegridDoc& doc, QWidget* parent = nullptr);
  QSpinBox* rate() const { return rate_; }
  QComboBox* rates() const { return rates_; }
  QSpinBox* start() const { return start_; }

 private:
  CDopegridDoc& doc_;
  QSpinBox* rate_;
  QComboBox* rates_;
  QSpinBox* start_;
};

}  // namespace quenda
