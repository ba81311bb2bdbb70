// Crash recovery in the background maker: a run killed with a mask it had not saved gives it
// back at the next start (Restore), or forgets it (Discard).

#include <gtest/gtest.h>

#include <QAction>

#include "common/targa.h"
#include "panorama/app/panorama_frame.h"
#include "ui/tests/kill_test.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// The window on the test's folder, its profile and recovery copies there.
struct PanoramaOn : WindowOn<CPanoramaFrame> {
  explicit PanoramaOn(const std::string& folder)
      : WindowOn(folder, "panorama", [](ScriptedPrompt& prompt, Settings& settings) {
          return std::make_unique<CPanoramaFrame>(&prompt, &settings);
        }) {}
};

std::vector<uint8_t> MaskBytes(const CPanoramaDoc& doc) {
  const Raster& mask = doc.mask();
  std::vector<uint8_t> bytes;
  for (int y = 0; y < mask.height(); ++y)
    bytes.insert(bytes.end(), mask.Row(y), mask.Row(y) + mask.width());
  return bytes;
}

// The crashing run: inverts the mask from the menu and waits for the timer to write the copy;
// killed before it saves.
QUENDA_CRASHING_RUN(PanoramaInvertsTheMaskAndIsKilled) {
  PanoramaOn w(folder);
  w.frame->recovery().SetInterval(20);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(folder + "sky.tga")));
  w.frame->Action("actionInvertMask")->trigger();
  ASSERT_TRUE(w.doc().modified());
  ASSERT_TRUE(WaitWithEvents([&] { return w.frame->recovery().written(); }));
  WriteBytes(folder + "expected.mask", MaskBytes(w.doc()));
  SayReadyAndWaitForTheKill(folder);
}

class PanoramaKill : public KillTest {
 protected:
  PanoramaKill() : KillTest(QStringLiteral("sky.tga")) {}
  void SetUp() override {
    Raster image(40, 30, 3, 128);
    ASSERT_TRUE(WriteTarga(sky, image, WriteMessages("not written")).ok());
    saved = ReadBytes(sky);
    ASSERT_NO_FATAL_FAILURE(Crash("PanoramaInvertsTheMaskAndIsKilled"));
    expected = ReadBytes(dir.File("expected.mask"));
    ASSERT_EQ(expected, std::vector<uint8_t>(40 * 30, 0));  // the whole mask inverted
    ASSERT_EQ(ReadBytes(sky), saved) << "the change reached the background's file";
  }
  std::string sky = dir.File("sky.tga");
  std::vector<uint8_t> saved;
  std::vector<uint8_t> expected;
};

TEST_F(PanoramaKill, RestoreGivesTheMaskBackUnderTheBackgroundsNameUntilSaved) {
  PanoramaOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  EXPECT_EQ(MaskBytes(w.doc()), expected);
  EXPECT_EQ(w.doc().path(), sky);
  EXPECT_TRUE(w.doc().modified());
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_TRUE(ListRecoverable(dir.File("recovery"), "panorama").empty());
  EXPECT_TRUE(w.frame->recovery().written());

  w.frame->Action("actionSave")->trigger();
  EXPECT_FALSE(w.frame->recovery().written());
  Result<Raster> reread = ReadTarga(sky, TargaReader::PanoramaBackground);
  ASSERT_TRUE(reread.ok());
  ASSERT_EQ(reread->channels(), 4);
  EXPECT_EQ(reread->At(5, 5)[3], 0);
}

TEST_F(PanoramaKill, DiscardRemovesTheCopyAndOpensNothing) {
  PanoramaOn w(dir.path());
  Answer(&RecoveryDialog::discardButton);
  EXPECT_FALSE(w.frame->OfferRecovery());
  EXPECT_FALSE(w.doc().loaded());
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_EQ(ReadBytes(sky), saved);
}

}  // namespace
}  // namespace quenda
