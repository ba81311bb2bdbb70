// Crash recovery in the composer: a run killed with a change it had not saved gives the movie
// back at the next start (Restore), or forgets it (Discard).

#include <gtest/gtest.h>

#include <QAction>

#include "composer/app/composer_frame.h"
#include "composer/tests/composer_test_files.h"
#include "ui/tests/kill_test.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// The composer's window on the test's folder, its profile and recovery copies there.
struct ComposerOn : WindowOn<CComposerFrame> {
  explicit ComposerOn(const std::string& folder)
      : WindowOn(folder, "composer", [](ScriptedPrompt& prompt, Settings& settings) {
          return std::make_unique<CComposerFrame>(&prompt, &settings);
        }) {}
};

// The crashing run: adds a virtual parent, then steps to the next frame, which writes the
// copy; killed before it saves.
QUENDA_CRASHING_RUN(ComposerAddsAClipAndIsKilled) {
  ComposerOn w(folder);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(folder + "movie.cmp")));
  w.frame->Action("actionAddVirtualParent")->trigger();
  ASSERT_TRUE(w.doc().modified());
  ASSERT_FALSE(w.frame->recovery().written()) << "written before the frame changed";
  w.frame->Action("actionNextFrame")->trigger();
  ASSERT_TRUE(WaitWithEvents([&] { return w.frame->recovery().written(); }));
  WriteText(folder + "expected.txt", std::to_string(w.doc().composition().clipCount()));
  SayReadyAndWaitForTheKill(folder);
}

class ComposerKill : public KillTest {
 protected:
  ComposerKill() : KillTest(QStringLiteral("movie.cmp")) {}
  void SetUp() override {
    WriteClipImage(dir.File("sky.tga"), 80, 60, 24, 3);
    ScriptedPrompt quiet;
    CComposerDoc doc(quiet);
    StartNewMovie(doc, 80, 60, 10, 0x00402010);
    ASSERT_TRUE(doc.AddClipFromFile(dir.File("sky.tga")));
    ASSERT_TRUE(doc.Save(movie).ok());
    saved = ReadBytes(movie);
    ASSERT_NO_FATAL_FAILURE(Crash("ComposerAddsAClipAndIsKilled"));
    ASSERT_EQ(ReadText(dir.File("expected.txt")), "2");
    ASSERT_EQ(ReadBytes(movie), saved) << "the change reached the movie's file";
  }
  std::string movie = dir.File("movie.cmp");
  std::vector<uint8_t> saved;
};

TEST_F(ComposerKill, RestoreGivesTheChangedMovieBackUnderItsNameUntilSaved) {
  ComposerOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  EXPECT_EQ(w.doc().composition().clipCount(), 2);
  EXPECT_EQ(w.frame->documentPath(), QString::fromStdString(movie));
  EXPECT_TRUE(w.doc().modified());
  EXPECT_TRUE(w.frame->windowTitle().startsWith(QStringLiteral("movie.cmp*")))
      << w.frame->windowTitle().toStdString();
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_TRUE(ListRecoverable(dir.File("recovery"), "composer").empty());
  EXPECT_TRUE(w.frame->recovery().written());

  w.frame->Action("actionSave")->trigger();
  EXPECT_FALSE(w.frame->recovery().written());
  ScriptedPrompt quiet;
  CComposerDoc reread(quiet);
  ASSERT_TRUE(reread.Open(movie).ok());
  EXPECT_EQ(reread.composition().clipCount(), 2);
}

TEST_F(ComposerKill, DiscardRemovesTheCopyAndKeepsTheSavedMovie) {
  ComposerOn w(dir.path());
  Answer(&RecoveryDialog::discardButton);
  EXPECT_FALSE(w.frame->OfferRecovery());
  EXPECT_TRUE(w.frame->documentPath().isEmpty());
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_EQ(ReadBytes(movie), saved);
}

}  // namespace
}  // namespace quenda
