#pragma once
// The modal movie player: plays an AVI movie at its own rate with its sound, steps, loops,
// doubles the picture and warns when the computer cannot keep up.
//   MoviePlayer player(prompt);
//   if (player.Open(path)) player.exec();

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/audio_output.h"
#include "common/prompt.h"
#include "media/playback.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;

namespace quenda {

class MovieReader;
class MovieView;

inline constexpr int kPlayerMinimumWidth = 300;
inline constexpr int kPlayerMinimumHeight = 200;

class MoviePlayer final : public QDialog {
  Q_OBJECT
 public:
  // Without an audio output the system's device is used.
  explicit MoviePlayer(Prompt& prompt, std::unique_ptr<AudioOutput> audio = nullptr,
                       QWidget* parent = nullptr);
  ~MoviePlayer() override;

  // Loads the movie and lays the window out; false (after its message) when it cannot play.
  bool Open(const std::string& path);

  bool playing() const { return playback_ && playback_->playing(); }
  bool hasSound() const { return hasSound_; }
  int currentFrame() const { return playback_ ? playback_->currentFrame() : 0; }
  const MovieView* view() const { return view_; }

 signals:
  // A frame went to the screen (for timing measurements).
  void frameDrawn(int frame);

 public slots:
  void done(int result) override;  // closing stops playback first

 private:
  void BuildControls();
  bool LayOut();  // false when the window does not fit on the screen
  void DrawFrame(int frame);
  void TogglePlay();
  void StartPlayback();
  void StopPlayback();
  void Tick();
  void OnStep(int delta);
  void OnSlider(int position);
  void OnLoop(bool on);
  void OnDouble(bool on);
  void ShowLight(RateLight light);
  double NowMs() const;

  Prompt& prompt_;
  std::unique_ptr<AudioOutput> audio_;
  std::unique_ptr<MovieReader> movie_;
  std::unique_ptr<Playback> playback_;
  std::vector<uint8_t> picture_;
  std::vector<uint8_t> sound_;
  uint32_t soundBytesPerSecond_ = 0;
  int soundBlockAlign_ = 1;
  bool hasSound_ = false;

  QElapsedTimer clock_;
  QTimer ticker_;
  QVBoxLayout* layout_ = nullptr;
  MovieView* view_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* forward_ = nullptr;
  QSlider* slider_ = nullptr;
  QPushButton* loop_ = nullptr;
  QLabel* light_ = nullptr;
  QCheckBox* double_ = nullptr;
  QPixmap rightLight_;
  QPixmap offLight_;
};

}  // namespace quenda
