#include "media/movie_player.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "common/case_insensitive_path.h"
#include "common/path.h"
#include "media/movie_reader.h"
#include "media/movie_view.h"
#include "media/player_messages.h"
#include "media/qt_audio_output.h"

namespace quenda {
namespace {

constexpr int kLightSize = 14;
constexpr int kSoundFollowMs = 5;  // how often the picture looks at the sound's position
constexpr int kIdleTickMs = 100;
constexpr int kButtonWidth = 32;
constexpr int kLoopButtonWidth = 60;
constexpr int kSliderMinimumWidth = 40;

QPixmap Disc(QColor colour) {
  QPixmap pixmap(kLightSize, kLightSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(colour);
  painter.setPen(colour.darker());
  painter.drawEllipse(1, 1, kLightSize - 2, kLightSize - 2);
  return pixmap;
}

// Flipbooks and previews as AVI, and the H.264 and ProRes movies the programs export.
bool HasAviExtension(const std::string& path) {
  const std::string extension = LowerAscii(ExtensionOf(path));
  return extension == ".avi" || extension == ".mp4" || extension == ".mov";
}

QRect ScreenArea(const QWidget& widget) {
  const QScreen* screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

}  // namespace

MoviePlayer::MoviePlayer(Prompt& prompt, std::unique_ptr<AudioOutput> audio, QWidget* parent)
    : QDialog(parent), prompt_(prompt), audio_(std::move(audio)) {
  if (!audio_) audio_ = std::make_unique<QtAudioOutput>();
  setWindowTitle(QString::fromUtf8(kPlayerCaption.data(), qsizetype(kPlayerCaption.size())));
  setModal(true);
  clock_.start();
  ticker_.setSingleShot(true);
  ticker_.setTimerType(Qt::PreciseTimer);
  connect(&ticker_, &QTimer::timeout, this, &MoviePlayer::Tick);
  BuildControls();
}

MoviePlayer::~MoviePlayer() {
  StopPlayback();
}

void MoviePlayer::BuildControls() {
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(6, 6, 6, 6);
  rightLight_ = Disc(Qt::green);
  offLight_ = Disc(Qt::red);
  auto* row = new QHBoxLayout;
  play_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QString(), this);
  play_->setObjectName("play");
  back_ = new QPushButton("<<", this);
  back_->setObjectName("back");
  forward_ = new QPushButton(">>", this);
  forward_->setObjectName("forward");
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("position");
  slider_->setRange(0, 0);
  loop_ = new QPushButton("LOOP", this);
  loop_->setObjectName("loop");
  loop_->setCheckable(true);
  loop_->setIcon(Disc(Qt::darkGray));
  light_ = new QLabel(this);
  light_->setObjectName("rateLight");
  double_ = new QCheckBox("x2", this);
  double_->setObjectName("double");
  // Compact controls, so that the window of a small movie can still double.
  for (QPushButton* button : {play_, back_, forward_}) button->setFixedWidth(kButtonWidth);
  loop_->setFixedWidth(kLoopButtonWidth);
  slider_->setMinimumWidth(kSliderMinimumWidth);
  for (QWidget* w :
       std::initializer_list<QWidget*>{play_, back_, forward_, slider_, loop_, light_, double_})
    row->addWidget(w);
  row->setStretchFactor(slider_, 1);
  layout_->addLayout(row);
  ShowLight(RateLight::Right);

  connect(play_, &QPushButton::clicked, this, &MoviePlayer::TogglePlay);
  connect(back_, &QPushButton::clicked, this, [this] { OnStep(-1); });
  connect(forward_, &QPushButton::clicked, this, [this] { OnStep(+1); });
  connect(slider_, &QSlider::valueChanged, this, &MoviePlayer::OnSlider);
  connect(loop_, &QPushButton::toggled, this, &MoviePlayer::OnLoop);
  connect(double_, &QCheckBox::toggled, this, &MoviePlayer::OnDouble);
}

bool MoviePlayer::Open(const std::string& path) {
  StopPlayback();
  movie_.reset();
  playback_.reset();
  hasSound_ = false;
  sound_.clear();
  if (path.size() < 5) {
    prompt_.Message(kPlayerShortName, MessageIcon::Error);
    return false;
  }
  if (!HasAviExtension(path)) {
    prompt_.Message(kPlayerBadExtension, MessageIcon::Error);
    return false;
  }
  auto opened = MovieReader::Open(path);
  if (!opened) {
    prompt_.Message(opened.message(), MessageIcon::Error);
    return false;
  }
  std::unique_ptr<MovieReader> movie = std::move(*opened);
  if (movie->frameCount() < 1) {
    prompt_.Message(kPlayerEmptyMovie, MessageIcon::Error);
    return false;
  }
  if (Status decoder = movie->OpenDecoder(); !decoder) {
    prompt_.Message(decoder.message(), MessageIcon::Error);
    return false;
  }

  if (movie->hasSound()) {
    const WaveFormat& format = movie->soundFormat();
    if (!audio_->CanPlay(format)) {
      prompt_.Message(kPlayerNoAudioDevice, MessageIcon::Warning);
    } else if (!audio_->Open(format)) {
      prompt_.Message(kPlayerAudioOpenFailed, MessageIcon::Warning);
    } else if (auto sound = movie->ReadSound(); sound && !sound->empty()) {
      sound_ = std::move(*sound);
      soundBytesPerSecond_ = format.samplesPerSecond * std::max<uint16_t>(format.blockAlign, 1);
      soundBlockAlign_ = std::max<uint16_t>(format.blockAlign, 1);
      hasSound_ = true;
    }
  }

  playback_ = std::make_unique<Playback>(movie->frameCount(), movie->framesPerSecond());
  delete view_;
  view_ = new MovieView(movie->width(), movie->height(), this);
  layout_->insertWidget(0, view_, 0, Qt::AlignCenter);
  movie_ = std::move(movie);
  {
    QSignalBlocker blocker(slider_);
    slider_->setRange(0, playback_->frameCount() - 1);
    slider_->setValue(0);
  }
  {
    QSignalBlocker blocker(double_);
    double_->setChecked(false);
  }
  if (!LayOut()) {
    prompt_.Message(kPlayerDoesNotFit, MessageIcon::Error);
    movie_.reset();
    playback_.reset();
    if (hasSound_) audio_->Stop();
    hasSound_ = false;
    return false;
  }
  // Only a movie that fits on the screen gets its picture buffer.
  picture_.assign(std::size_t(movie_->width()) * movie_->height() * 3, 0);
  DrawFrame(0);
  return true;
}

bool MoviePlayer::LayOut() {
  view_->SetZoom(double_->isChecked() ? 2 : 1);
  const QSize size =
      layout_->totalSizeHint().expandedTo(QSize(kPlayerMinimumWidth, kPlayerMinimumHeight));
  setFixedSize(size);
  const QRect screen = ScreenArea(*this);
  if (size.width() > screen.width() || size.height() > screen.height()) return false;
  move(screen.center() - QPoint(size.width() / 2, size.height() / 2));
  return true;
}

void MoviePlayer::DrawFrame(int frame) {
  if (!movie_ || !playback_) {
    prompt_.Message(kPlayerNoStream, MessageIcon::Error);
    return;
  }
  if (frame < 0 || frame >= playback_->frameCount()) {
    prompt_.Message(kPlayerBadFrame, MessageIcon::Error);
    return;
  }
  // A frame that will not decode leaves the last picture up rather than stopping the show.
  if (movie_->ReadFrame(frame, picture_.data())) view_->ShowPicture(picture_.data());
  setWindowTitle(playing() ? QString::asprintf(kPlayerCaptionPlaying, frame + 1,
                                               int(playback_->measuredRate()))
                           : QString::asprintf(kPlayerCaptionStopped, frame + 1));
  {
    QSignalBlocker blocker(slider_);
    slider_->setValue(frame);
  }
  emit frameDrawn(frame);
}

void MoviePlayer::TogglePlay() {
  if (playing())
    StopPlayback();
  else
    StartPlayback();
}

void MoviePlayer::StartPlayback() {
  if (!playback_) return;
  playback_->Start(NowMs(), hasSound_);
  if (!playback_->playing()) return;
  play_->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  ticker_.start(0);
}

void MoviePlayer::StopPlayback() {
  ticker_.stop();
  if (playback_) playback_->Stop();
  if (hasSound_) audio_->Stop();
  if (play_) play_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  if (light_) ShowLight(RateLight::Right);
}

void MoviePlayer::Tick() {
  if (!playing()) return;
  std::optional<double> played = hasSound_ ? audio_->PlayedMs() : std::nullopt;
  PlaybackTurn turn = playback_->Turn(NowMs(), played);
  if (turn.startSoundAtMs && hasSound_) {
    std::size_t byte = std::size_t(*turn.startSoundAtMs * soundBytesPerSecond_ / 1000.0);
    byte -= byte % std::size_t(soundBlockAlign_);
    if (!audio_->Play(sound_, byte)) {
      prompt_.Message(kPlayerSoundWriteFailed, MessageIcon::Error);
      hasSound_ = false;  // the picture plays on in silence
    }
  }
  if (turn.drawFrame) DrawFrame(*turn.drawFrame);
  ShowLight(playback_->light());
  if (turn.slowWarning) prompt_.Message(kPlayerTooSlow, MessageIcon::Warning);
  if (turn.stopped || !playing()) {
    StopPlayback();
    return;
  }
  // Wake for the next frame; while sound plays, also look at its position now and then.
  const double wait = playback_->NextDueMs() - NowMs();
  const int limit = hasSound_ ? kSoundFollowMs : kIdleTickMs;
  ticker_.start(std::clamp(int(wait), 0, limit));
}

void MoviePlayer::OnStep(int delta) {
  if (!playback_) return;
  playback_->SetFrame(playback_->currentFrame() + delta);
  DrawFrame(playback_->currentFrame());
  if (playing()) playback_->Start(NowMs(), hasSound_);  // carry on from here, sound with it
}

void MoviePlayer::OnSlider(int position) {
  if (!playback_) return;
  playback_->SetFrame(position);
  DrawFrame(playback_->currentFrame());
  if (playing()) playback_->Start(NowMs(), hasSound_);
}

void MoviePlayer::OnLoop(bool on) {
  if (playback_) playback_->SetLooping(on);
  loop_->setIcon(Disc(on ? QColor(Qt::green) : QColor(Qt::darkGray)));
}

void MoviePlayer::OnDouble(bool on) {
  if (on) {
    const QRect screen = ScreenArea(*this);
    if (!(2 * width() < screen.width() && 2 * height() < screen.height())) {
      prompt_.Message(kPlayerZoomDoesNotFit, MessageIcon::Warning);
      QSignalBlocker blocker(double_);
      double_->setChecked(false);
    }
  }
  if (!view_) return;
  LayOut();
  if (playback_) DrawFrame(playback_->currentFrame());
}

void MoviePlayer::ShowLight(RateLight light) {
  light_->setPixmap(light == RateLight::Right ? rightLight_ : offLight_);
  light_->setProperty("rateRight", light == RateLight::Right);
}

void MoviePlayer::done(int result) {
  StopPlayback();
  QDialog::done(result);
}

double MoviePlayer::NowMs() const {
  return double(clock_.nsecsElapsed()) / 1e6;
}

}  // namespace quenda
