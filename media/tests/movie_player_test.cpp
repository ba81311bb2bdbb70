#include "media/movie_player.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <tuple>

#include "common/scripted_prompt.h"
#include "media/avi_writer.h"
#include "media/movie_encoder.h"
#include "media/movie_view.h"
#include "media/qt_audio_output.h"
#include "media/tests/movie_test_support.h"
#include "testing/fake_audio_output.h"
#include "testing/qt_printers.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Waits use qWaitFor under ASSERT: QtTest's QTRY_ macros only return from the test when they
// time out, which gtest never hears of.
struct Fixture {
  TempDir dir;
  ScriptedPrompt prompt;
  std::unique_ptr<testing::FakeAudioOutput> fake = std::make_unique<testing::FakeAudioOutput>();
  testing::FakeAudioOutput& audio = *fake;  // owned by the player from here on
  std::unique_ptr<MoviePlayer> player = std::make_unique<MoviePlayer>(prompt, std::move(fake));
  std::vector<int> drawn;

  Fixture() {
    audio.endsWithSound = false;  // sound plays on the wall clock for as long as it is let
    QObject::connect(player.get(), &MoviePlayer::frameDrawn, [this](int f) { drawn.push_back(f); });
  }
  std::string Movie(const std::string& name, const MoviePlan& plan) {
    WriteMovie(dir.File(name), plan);
    return dir.File(name);
  }
  template <class T>
  T* Find(const char* name) {
    return player->findChild<T*>(name);
  }
  QString Title() const { return player->windowTitle(); }
};

TEST(MoviePlayer, RefusesToOpenWhatItCannotPlayWithOneMessageEach) {
  Fixture f;
  std::string empty = f.dir.File("empty.avi");
  {
    AviWriter writer(f.prompt);
    ASSERT_TRUE(writer.Open(empty, 10000, 25, 40, 30));
  }
  std::string wide = f.Movie("wide.avi", {.width = 1000, .height = 40, .frames = 1});
  const std::pair<std::string, std::string> cases[] = {
      {".avi", "Invalid avi filename!"},
      {f.dir.File("walk.mkv"), "Invalid avi filename extension!"},
      {f.dir.File("walkavi"), "Invalid avi filename extension!"},
      // The reader's own message, for an extension in capitals.
      {f.dir.File("MISSING.AVI"), "AVIERROR : A disk error occurred while opening the file. "},
      {empty, "Empty Movie File!"},
      {wide,
       "The movie does not fit in the window! \nPlease prepare at a smaller size or "
       "increase your screen resolution."},
  };
  for (const auto& [path, message] : cases) {
    f.prompt.Clear();
    EXPECT_FALSE(f.player->Open(path)) << path;
    EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{message}) << path;
    EXPECT_FALSE(f.player->playing());
  }
}

// The movies the programs export, with their sound as 16-bit PCM.
TEST(MoviePlayer, OpensExportedMp4AndMovMovies) {
  Fixture f;
  for (const char* name : {"export.mp4", "export.mov"}) {
    const std::string path = f.dir.File(name);
    PcmSound tone{48000, 1, std::vector<float>(4800, 0.25f)};
    MovieEncoderSettings settings{*CodecForMovieName(path), 64, 48, {24, 1}};
    settings.sound = &tone;
    MovieEncoder encoder;
    ASSERT_TRUE(encoder.Open(path, settings).ok());
    for (int frame = 0; frame < 4; ++frame)
      ASSERT_TRUE(encoder.WriteFrame(Raster(64, 48, 3, uint8_t(40 * frame))).ok());
    ASSERT_TRUE(encoder.Finish().ok());
    ASSERT_TRUE(f.player->Open(path)) << name;
    EXPECT_TRUE(f.player->hasSound()) << name;
    EXPECT_TRUE(f.prompt.Texts().empty()) << name;
    f.Find<QSlider>("position")->setValue(3);
    EXPECT_EQ(f.drawn.back(), 3) << name;
  }
}

TEST(MoviePlayer, TheButtonsAndTheSliderMoveThePictureAndTheCaption) {
  Fixture f;
  MoviePlan plan;
  ASSERT_TRUE(f.player->Open(f.Movie("walk.avi", plan)));
  EXPECT_EQ(f.Title(), "Quenda Movie Player - FRM : 1");
  auto* back = f.Find<QPushButton>("back");
  auto* forward = f.Find<QPushButton>("forward");
  auto* slider = f.Find<QSlider>("position");
  ASSERT_TRUE(back && forward && slider);
  EXPECT_EQ(std::tuple(back->text(), forward->text(), slider->maximum()),
            std::tuple(QStringLiteral("<<"), QStringLiteral(">>"), 2));
  QTest::mouseClick(forward, Qt::LeftButton);
  QTest::mouseClick(forward, Qt::LeftButton);
  EXPECT_EQ(std::tuple(f.player->currentFrame(), f.Title(), slider->value()),
            std::tuple(2, QStringLiteral("Quenda Movie Player - FRM : 3"), 2));

  // The picture on show is frame 3's: its top-left pixel, top row first on screen.
  const QImage& shown = f.player->view()->picture();
  auto input = testing::MakeColourPicture(plan.width, plan.height, 2);
  const uint8_t* topLeft = &input[std::size_t(plan.height - 1) * plan.width * 3];
  const QColor pixel = shown.pixelColor(0, 0);
  const int bgr[] = {pixel.blue(), pixel.green(), pixel.red()};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(bgr[i], topLeft[i], 12) << i;

  QTest::mouseClick(back, Qt::LeftButton);
  EXPECT_EQ(f.player->currentFrame(), 1);
  slider->setValue(0);
  EXPECT_EQ(std::tuple(f.player->currentFrame(), f.Title(), f.prompt.Texts().size()),
            std::tuple(0, QStringLiteral("Quenda Movie Player - FRM : 1"), 0u));
}

TEST(MoviePlayer, PlayingShowsTheMeasuredRateInTheCaption) {
  Fixture f;
  ASSERT_TRUE(f.player->Open(f.Movie("five.avi", {.frames = 5})));
  f.Find<QPushButton>("loop")->click();
  f.Find<QPushButton>("play")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.drawn.size() > 8; }, 2000));
  static const QRegularExpression kPlaying("^Quenda Movie Player - FRM : [1-5]  FPS : \\d+$");
  EXPECT_TRUE(kPlaying.match(f.Title()).hasMatch()) << f.Title().toStdString();
  f.Find<QPushButton>("play")->click();
  f.Find<QPushButton>("forward")->click();
  static const QRegularExpression kStopped("^Quenda Movie Player - FRM : [1-5]$");
  EXPECT_TRUE(kStopped.match(f.Title()).hasMatch()) << f.Title().toStdString();
}

TEST(MoviePlayer, WithoutSoundOrAnAudioDeviceThePicturePlaysInSilence) {
  Fixture f;
  f.audio.canPlay = false;
  // A movie without sound does not even ask for a device.
  ASSERT_TRUE(f.player->Open(f.Movie("silent.avi", {.frames = 4})));
  EXPECT_TRUE(f.prompt.Texts().empty());
  const std::string voice = f.Movie("voice.avi", {.frames = 4, .soundBytes = 4000});
  ASSERT_TRUE(f.player->Open(voice));
  EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"There are no audio devices to play the "
                                                       "sound in the flipbook!"});
  EXPECT_FALSE(f.player->hasSound());
  f.drawn.clear();
  f.Find<QPushButton>("play")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.player->playing(); }, 2000));
  EXPECT_EQ(f.drawn, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(f.audio.starts.empty());

  f.prompt.Clear();
  f.audio.canPlay = true;
  f.audio.opens = false;
  ASSERT_TRUE(f.player->Open(voice));
  EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Could not open the audio device!"});
  EXPECT_FALSE(f.player->hasSound());
}

TEST(MoviePlayer, TheSystemOutputOnThisMachineEitherPlaysOrSaysThereIsNoDevice) {
  TempDir dir;
  WriteMovie(dir.File("voice.avi"), {.frames = 3, .soundBytes = 3000});
  ScriptedPrompt prompt;
  MoviePlayer player(prompt, std::make_unique<QtAudioOutput>());
  ASSERT_TRUE(player.Open(dir.File("voice.avi")));
  const bool device = QtAudioOutput().CanPlay(testing::Mono8BitFormat(22050));
  EXPECT_EQ(std::tuple(player.hasSound(), prompt.Texts().size()),
            std::tuple(device, device ? 0u : 1u));
  player.findChild<QPushButton*>("play")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !player.playing(); }, 2000));
  EXPECT_EQ(player.currentFrame(), 0);
}

TEST(MoviePlayer, SoundStartsWhereThePictureIsAndStopsWithIt) {
  Fixture f;
  // 3 frames at 22050 Hz.
  ASSERT_TRUE(f.player->Open(f.Movie("voice.avi", {.frames = 3, .soundBytes = 2646})));
  ASSERT_TRUE(f.player->hasSound());
  f.Find<QPushButton>("loop")->click();
  f.Find<QSlider>("position")->setValue(2);
  f.Find<QPushButton>("play")->click();
  // At frame 3's place, then at the start of the next loop.
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.audio.starts.size() >= 2; }, 2000));
  EXPECT_EQ(std::tuple(f.audio.starts[0], f.audio.starts[1]), std::tuple(2u * 882u, 0u));
  f.player->reject();  // closing stops playback first
  EXPECT_EQ(std::tuple(f.player->playing(), f.audio.active, f.prompt.Texts().size()),
            std::tuple(false, false, 0u));
}

TEST(MoviePlayer, SoundThatCannotStartIsReportedAndThePictureGoesOn) {
  Fixture f;
  f.audio.plays = false;
  ASSERT_TRUE(f.player->Open(f.Movie("mute.avi", {.frames = 3, .soundBytes = 2646})));
  f.Find<QPushButton>("play")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.player->playing(); }, 2000));
  EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Could not write wave header"});
  EXPECT_EQ(f.drawn, (std::vector<int>{0, 0, 1, 2}));
}

TEST(MoviePlayer, DoubleSizeOnlyWhenTwiceTheWindowFitsTheScreen) {
  Fixture f;
  ASSERT_TRUE(f.player->Open(f.Movie("small.avi", {})));
  EXPECT_GE(f.player->width(), kPlayerMinimumWidth);
  EXPECT_GE(f.player->height(), kPlayerMinimumHeight);
  auto* zoom = f.Find<QCheckBox>("double");
  std::vector<QSize> sizes{f.player->view()->size()};
  zoom->click();
  EXPECT_TRUE(zoom->isChecked());
  sizes.push_back(f.player->view()->size());
  zoom->click();
  sizes.push_back(f.player->view()->size());
  EXPECT_EQ(sizes, (std::vector<QSize>{{49, 35}, {98, 70}, {49, 35}}));
  EXPECT_TRUE(f.prompt.Texts().empty());

  // On the 800 x 600 offscreen screen.
  ASSERT_TRUE(f.player->Open(f.Movie("large.avi", {.width = 400, .height = 300, .frames = 1})));
  zoom->click();
  EXPECT_FALSE(zoom->isChecked());
  EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Zoomed window does not fit to screen!"});
  EXPECT_EQ(f.player->view()->size(), QSize(402, 302));
}

}  // namespace
}  // namespace quenda
