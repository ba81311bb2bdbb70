#include <gtest/gtest.h>

#include <functional>

#include <tuple>

#include "common/atomic_file.h"
#include "common/scripted_prompt.h"
#include "composer/core/composer_doc.h"
#include "composer/core/composition_file.h"
#include "composer/core/lost_clips.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

const std::string kDamaged = " is incomplete or damaged and could not be read.";

ClipRecord ImageClip(const std::string& directory, const std::string& name, int digits, int first,
                     int last) {
  ClipRecord clip = testing::SequenceClip(directory, name, digits, first, last);
  clip.labelNumber = 1;
  clip.label = ClipLabel(name, 1);
  return clip;
}

// Every field set to something other than its default, so a swapped field shows.
Composition Busy() {
  Composition c;
  c.width = 47;
  c.height = 33;
  c.frames = 123;
  c.frameRate = 24;
  c.pixelAspect = 1.067f;
  c.backgroundColor = 0x00123456;
  c.quality = 2;
  c.antialias = 1;
  c.currentFrame = 17;
  c.timelineZoom = 8;
  c.showLabels = 0;
  c.showSafeFrame = 0;
  c.titleSafe = 0.3f;
  c.actionSafe = 0.05f;
  c.viewZoom = 0.5f;
  c.units = 1;
  c.showRuler = 0;
  c.dpi = 300;
  ClipRecord a = ImageClip("C:\\frames\\", "walk", 4, 3, 11);
  a.movieStart = 5;
  a.beforeStart = EdgeBehaviour::Loop;
  a.afterEnd = EdgeBehaviour::PingPong;
  a.selected = 1;
  a.hidden = 1;
  a.imageWidth = 640;
  a.imageHeight = 480;
  a.parentIndex = 2;
  a.tracks[kPositionX] = KeyTrack({{0, 1.5, 3, 4}, {40, -2.25, 10, 0}});
  a.tracks[kRotation] = KeyTrack({{7, 3.14, 1, 2}});
  c.clips.push_back(a);
  c.clips.push_back(MakeEffectClip(ClipKind::Underwater));
  ClipRecord v = MakeVirtualClip(47, 33);
  v.labelNumber = 3;
  v.label = ClipLabel(v.name, 3);
  c.clips.push_back(v);
  return c;
}

TEST(CompositionFile, NewMovieIsSeventySixBytesOfSettings) {
  std::vector<uint8_t> bytes = EncodeComposition(Composition{});
  ASSERT_EQ(bytes.size(), 76u);
  // clipCount, width, quality, frameRate, timelineZoom, units (inch), dpi.
  EXPECT_EQ(std::tuple(bytes[0], bytes[4] | bytes[5] << 8, bytes[16] | bytes[17] << 8, bytes[24],
                       bytes[40], bytes[64], bytes[72]),
            std::tuple(0, 768, 0, 25, 32, 2, 100));
  Result<Composition> back = ParseComposition(bytes, "new.cmp");
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(*back, Composition{});
}

TEST(CompositionFile, EveryFieldRoundTripsByteForByte) {
  Composition busy = Busy();
  std::vector<uint8_t> bytes = EncodeComposition(busy);
  Result<Composition> back = ParseComposition(bytes, "busy.cmp");
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(*back, busy);
  EXPECT_EQ(EncodeComposition(*back), bytes);
  // The first clip record starts with lastFrame, then the name's length byte and characters.
  EXPECT_EQ(std::tuple(bytes[76], bytes[80], std::string(bytes.begin() + 81, bytes.begin() + 85)),
            std::tuple(11, 4, "walk"));

  TempDir dir;
  ASSERT_TRUE(SaveComposition(dir.File("busy.cmp"), busy).ok());
  EXPECT_EQ(testing::ReadBytes(dir.File("busy.cmp")), bytes);
}

TEST(CompositionFile, LongLabelsUseTheEscapedLength) {
  Composition c;
  ClipRecord clip = MakeEffectClip(ClipKind::Blur);
  clip.label = std::string(300, 'x');
  c.clips.push_back(clip);
  std::vector<uint8_t> bytes = EncodeComposition(c);
  // lastFrame, then the name "--------" (1 + 8 bytes), then the label's length in the long form.
  std::size_t at = 76 + 4 + 9;
  EXPECT_EQ(std::tuple(bytes[at], bytes[at + 1] | bytes[at + 2] << 8), std::tuple(0xFF, 300));
  Result<Composition> back = ParseComposition(bytes, "long.cmp");
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back->clips[0].label, clip.label);
}

TEST(CompositionFile, EveryTruncationIsRefused) {
  std::vector<uint8_t> bytes = EncodeComposition(Busy());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    Result<Composition> cut =
        ParseComposition(std::span<const uint8_t>(bytes.data(), size), "cut.cmp");
    ASSERT_FALSE(cut.ok()) << size;
    EXPECT_EQ(cut.message(), "cut.cmp" + kDamaged);
  }
}

TEST(CompositionFile, ImpossibleCountsAndCodesAreRefused) {
  std::vector<uint8_t> good = EncodeComposition(Busy());
  auto refusedWith = [&](std::size_t offset, uint32_t value) {
    std::vector<uint8_t> bytes = good;
    for (int i = 0; i < 4; ++i) bytes[offset + std::size_t(i)] = uint8_t(value >> (8 * i));
    return !ParseComposition(bytes, "bad.cmp").ok();
  };
  EXPECT_TRUE(refusedWith(0, 250));         // clips beyond the limit
  EXPECT_TRUE(refusedWith(0, 0xFFFFFFFF));  // negative clip count
  // Clip 0: lastFrame 4, name 5, label 1+8, span, movieStart, digitCount, directory 1+10, parent.
  std::size_t firstTrack = 76 + 4 + 5 + 9 + 12 + 11 + 4;
  EXPECT_TRUE(refusedWith(firstTrack, 501));         // more keys than a track holds
  EXPECT_TRUE(refusedWith(firstTrack, 0x7FFFFFFF));  // more keys than the file holds
  // Two keys in position X, one in each of the other four tracks.
  std::size_t tail = firstTrack + (4 + 2 * 20) + 4 * (4 + 20);
  EXPECT_TRUE(refusedWith(tail + 20, 8));  // unknown kind
  EXPECT_TRUE(refusedWith(tail + 28, 4));  // unknown before-start code
  EXPECT_TRUE(refusedWith(tail + 32, 0xFFFFFFFF));
  EXPECT_FALSE(refusedWith(tail + 20, 3));
}

TEST(CompositionFile, LoadFixUpsForSingleImagesAndStrayParents) {
  Composition c = Busy();
  c.clips[0].parentIndex = 7;  // names no clip
  c.clips[2].parentIndex = 2;  // itself
  c.clips[1].firstFrame = 5;   // single image
  c.clips[1].lastFrame = 9;
  Result<Composition> back = ParseComposition(EncodeComposition(c), "x.cmp");
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(std::tuple(back->clips[0].parentIndex, back->clips[2].parentIndex,
                       back->clips[1].firstFrame, back->clips[1].lastFrame),
            std::tuple(-1, -1, 0, 0));
}

class LostClips : public ::testing::Test {
 protected:
  std::string Save(const Composition& c) {
    std::string path = dir.File("movie.cmp");
    EXPECT_TRUE(SaveComposition(path, c).ok());
    return path;
  }
  // One clip whose pictures are nowhere.
  Composition LostRun() {
    Composition c;
    c.clips = {ImageClip(dir.path() + "old/", "run", 3, 1, 4)};
    return c;
  }
  TempDir dir;
  ScriptedPrompt prompt;
};

TEST_F(LostClips, DiscardingTheOnlyClipKeepsTheSettings) {
  Composition c = Busy();
  c.clips = {ImageClip(dir.path() + "gone/", "walk", 3, 1, 4)};
  prompt.QueuePath(std::nullopt);
  prompt.QueueAnswer(true);
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  c.clips.clear();
  EXPECT_EQ(*loaded, c);
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"All frames of clip \"walk\" does not exist",
                                                      "Do you want to discard clip \"walk\" ?"}));
  EXPECT_EQ(prompt.shown()[1].text, "Where is clip \"walk\" ?");
  EXPECT_TRUE(prompt.AllAnswersUsed());
}

// A clip found elsewhere or discarded while opening changed the document: it opens modified,
// so closing asks to save rather than losing the change; a file opened as stored does not.
TEST_F(LostClips, ADocumentWhoseClipsWereFoundOrDiscardedOpensModified) {
  testing::WriteClipSequence(dir.path(), "walk", 2, 10, 14);
  struct Case {
    const char* name;
    std::function<void()> answers;
    bool modified;
    int clips;
  };
  const Case cases[] = {
      {"found elsewhere", [&] { prompt.QueuePath(dir.File("walk12.tga")); }, true, 1},
      {"discarded",
       [&] {
         prompt.QueuePath(std::nullopt);
         prompt.QueueAnswer(true);
       },
       true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.answers();
    CComposerDoc doc(prompt);
    ASSERT_TRUE(doc.Open(Save(LostRun())).ok());
    EXPECT_EQ(std::tuple(doc.modified(), doc.composition().clipCount()),
              std::tuple(c.modified, c.clips));
    EXPECT_TRUE(prompt.AllAnswersUsed());
  }
  Composition found = LostRun();
  found.clips[0] = ImageClip(dir.path(), "walk", 2, 10, 14);
  CComposerDoc doc(prompt);
  ASSERT_TRUE(doc.Open(Save(found)).ok());
  EXPECT_FALSE(doc.modified());
}

TEST_F(LostClips, RepointingFindsTheSequenceAroundThePick) {
  testing::WriteClipSequence(dir.path(), "walk", 2, 10, 14);
  Composition c = LostRun();
  c.clips[0].tracks[kScaleX] = KeyTrack({{3, 2.5, 1, 1}});
  prompt.QueuePath(dir.File("walk12.tga"));
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok());
  ASSERT_EQ(loaded->clipCount(), 1);
  const ClipRecord& clip = loaded->clips[0];
  EXPECT_EQ(std::tie(clip.directory, clip.name, clip.digitCount, clip.firstFrame, clip.lastFrame,
                     clip.singleImage, clip.tracks[kScaleX]),
            std::tuple(dir.path(), "walk", 2, 10, 14, 0, c.clips[0].tracks[kScaleX]));
  EXPECT_EQ(prompt.unexpected(), 0);
}

TEST_F(LostClips, AnUnreadablePickIsReportedThenTheQuestionAsked) {
  testing::WriteText(dir.File("notes.tga"), "hello");
  Composition c = LostRun();
  prompt.QueuePath(dir.File("notes.tga"));
  prompt.QueueAnswer(false);  // keep looking
  prompt.QueuePath(std::nullopt);
  prompt.QueueAnswer(true);
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded->clipCount(), 0);
  std::vector<std::string> texts = prompt.Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[1], dir.File("notes.tga") + " is not a valid targa image");
  EXPECT_EQ(texts[2], "Do you want to discard clip \"run\" ?");
  EXPECT_EQ(texts[3], "All frames of clip \"run\" does not exist");
}

TEST_F(LostClips, PartlyMissingClipsStayAndDiscardsRenumberParents) {
  testing::WriteClipSequence(dir.path(), "walk", 3, 1, 3);
  Composition c;
  c.clips.push_back(ImageClip(dir.path(), "walk", 3, 1, 5));  // 4 and 5 missing
  c.clips.push_back(ImageClip(dir.path(), "gone", 3, 1, 5));  // all missing
  c.clips.push_back(MakeVirtualClip(100, 100));
  c.clips.push_back(ImageClip(dir.path(), "walk", 3, 1, 3));
  c.clips[0].parentIndex = 2;
  c.clips[3].parentIndex = 1;
  prompt.QueuePath(std::nullopt);
  prompt.QueueAnswer(true);
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok());
  ASSERT_EQ(loaded->clipCount(), 3);
  // The virtual clip moved from 2 to 1; the last clip's parent was discarded.
  EXPECT_EQ(
      std::tuple(loaded->clips[0].parentIndex, loaded->clips[1].kind, loaded->clips[2].parentIndex),
      std::tuple(1, ClipKind::Virtual, -1));
  EXPECT_EQ(prompt.Texts()[0], "Warning: Some frames of clip \"walk\" does not exist");
}

TEST_F(LostClips, AUserWhoNeitherFindsNorDiscardsIsAskedAgain) {
  Composition c = LostRun();
  for (int round = 0; round < 150; ++round) {
    prompt.QueuePath(std::nullopt);
    prompt.QueueAnswer(false);
  }
  prompt.QueuePath(std::nullopt);
  prompt.QueueAnswer(true);
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(std::tuple(loaded->clipCount(), prompt.AllAnswersUsed(), prompt.lostParts().size()),
            std::tuple(0, true, 1u));
}

TEST_F(LostClips, AnUnattendedPromptKeepsTheClipAndMissingFilesAndAFullDiskAreReported) {
  Composition c = LostRun();
  Result<Composition> loaded = LoadComposition(Save(c), prompt);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(*loaded, c);
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"All frames of clip \"run\" does not exist"});
  EXPECT_EQ(prompt.lostParts(), std::vector<std::string>{"clip \"run\" (" + dir.path() + "old/)"});
  // A missing file, and a save that meets a full disk.
  EXPECT_EQ(LoadComposition(dir.File("none.cmp"), prompt).message(),
            "Could not open " + dir.File("none.cmp") + ".");
  std::string path = Save(Busy());
  std::vector<uint8_t> before = testing::ReadBytes(path);
  SetWriteLimitForTesting(10);
  Status saved = SaveComposition(path, Composition{});
  SetWriteLimitForTesting(-1);
  EXPECT_FALSE(saved.ok());
  EXPECT_EQ(testing::ReadBytes(path), before);
}

}  // namespace
}  // namespace quenda
