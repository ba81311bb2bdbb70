// Sheet files: byte layout, round trips, damaged files and the rules for missing drawings.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/byte_order.h"
#include "common/scripted_prompt.h"
#include "dopegrid/core/sheet_file.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr std::size_t kCountsBytes = 12;

using SheetFile = SheetDocument;

TEST(SheetGrid, LimitsOfLevelsAndFrames) {
  ScriptedPrompt prompt;
  CSheetGrid grid = MakeNewSheet();
  for (int i = 1; i < kMaxLevels; ++i) ASSERT_TRUE(grid.AddLevel("x"));
  EXPECT_FALSE(grid.AddLevel("fiftieth"));
  EXPECT_EQ(grid.levelCount, 49);
  // Each refusal leaves the count, so only the end counts are checked.
  EXPECT_FALSE(grid.AddFrames(1900, prompt));  // 100 + 1900 would reach 2000
  EXPECT_TRUE(grid.AddFrames(1899, prompt));
  EXPECT_FALSE(grid.DeleteFrames(1998, prompt));  // would leave one frame
  EXPECT_TRUE(grid.DeleteFrames(1997, prompt));
  EXPECT_EQ(grid.frameCount, 2);
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Sorry, there is a maximum of 2000 frames",
                                      "There are not that many frames to delete."}));
  ASSERT_TRUE(grid.AddFrames(1, prompt));
  grid.Cell(0, 2) = {CellKind::Key, 0, 3};  // frames deleted and added again come back empty
  ASSERT_TRUE(grid.DeleteFrames(1, prompt));
  ASSERT_TRUE(grid.AddFrames(1, prompt));
  EXPECT_FALSE(grid.Cell(0, 2).used());
}

TEST_F(SheetFile, NewSheetHasTheDocumentedLayoutAndLargerCountsAreRefused) {
  ArchiveWriter out;
  CSheetGrid grid = MakeNewSheet();
  grid.Cell(0, 2) = {CellKind::Hold, 5, 7};
  WriteSheetFile(out, grid, {});
  const std::vector<uint8_t>& b = out.bytes();
  ASSERT_EQ(b.size(), kCountsBytes + 100 * kStoredCellBytes + 1 + 7);
  EXPECT_EQ(std::tuple(GetU32LE(&b[0]), GetU32LE(&b[4]), GetU32LE(&b[8])),
            std::tuple(0u, 100u, 1u));
  // Kind, then frame before sequence; a new cell holds -1.
  const uint8_t* cell = &b[kCountsBytes + 2 * kStoredCellBytes];
  EXPECT_EQ(std::tuple(GetU32LE(cell), GetU32LE(cell + 4), GetU32LE(cell + 8),
                       GetU32LE(&b[kCountsBytes]), GetU32LE(&b[kCountsBytes + 4])),
            std::tuple(2u, 7u, 5u, 0u, 0xFFFFFFFFu));
  EXPECT_EQ(std::tuple(b[kCountsBytes + 100 * kStoredCellBytes], std::string(b.end() - 7, b.end())),
            std::tuple(7, "default"));

  // Counts beyond the capacities are refused.
  auto withCount = [&](std::size_t offset, uint32_t value) {
    std::vector<uint8_t> bytes = b;
    SetU32LE(&bytes[offset], value);
    return ParseSheetFile(bytes, "x.dgr").ok();
  };
  EXPECT_TRUE(withCount(4, 100));
  EXPECT_FALSE(withCount(0, 100));         // sequences
  EXPECT_FALSE(withCount(4, 2000));        // frames
  EXPECT_FALSE(withCount(8, 50));          // levels
  EXPECT_FALSE(withCount(8, 0));           // a sheet without levels
  EXPECT_FALSE(withCount(4, 0xFFFFFFFF));  // no huge allocation on the header's word
}

TEST_F(SheetFile, SavedDocumentReloadsAndSavesByteForByte) {
  AddSequences(doc, dir, {"Ann", "Bob"}, 4);
  TransferAt(doc, 1, {0, 2, 3}, 0, 3, 2);
  doc.AddLevel("front");
  TransferAt(doc, 0, {1}, 0, 0, 3);
  doc.SetCurrentCell(0, 1);
  doc.SetSelection({0, 1, 0, 1});
  doc.Cut();  // an emptied cell keeps its sequence and frame in the file
  ASSERT_TRUE(doc.OnSaveDocument(dir.File("a.dgr")));
  EXPECT_FALSE(doc.modified());

  CDopegridDoc again(prompt);
  ASSERT_TRUE(again.OnOpenDocument(dir.File("a.dgr")));
  EXPECT_FALSE(again.modified());
  EXPECT_EQ(LevelText(again, 0, 0, 4), "A2 . A2 .");
  EXPECT_EQ(LevelText(again, 1, 2, 7), ". B1 \" B3 \" B4 \"");
  EXPECT_EQ(again.sheet().LevelName(0), "front");
  ASSERT_TRUE(again.OnSaveDocument(dir.File("b.dgr")));
  EXPECT_EQ(ReadBytes(dir.File("a.dgr")), ReadBytes(dir.File("b.dgr")));
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(SheetFile, EveryTruncationFailsAndKeepsTheOpenDocument) {
  AddSequences(doc, dir, {"Ann"}, 2);
  ASSERT_TRUE(doc.OnSaveDocument(dir.File("a.dgr")));
  std::vector<uint8_t> whole = ReadBytes(dir.File("a.dgr"));
  CDopegridDoc other(prompt);
  other.AddLevel("mine");
  // Every cut within the counts, the names and the sequences; the cells in between by stride.
  std::size_t cellsEnd = kCountsBytes + 100 * kStoredCellBytes;
  for (std::size_t size = 0; size < whole.size();
       size += (size > 16 && size + 13 < cellsEnd) ? 13 : 1) {
    WriteBytes(dir.File("cut.dgr"), {whole.begin(), whole.begin() + std::ptrdiff_t(size)});
    prompt.Clear();
    ASSERT_FALSE(other.OnOpenDocument(dir.File("cut.dgr"))) << size;
    ASSERT_EQ(prompt.Texts(), std::vector<std::string>{dir.File("cut.dgr") +
                                                       " is incomplete or damaged and could not "
                                                       "be read."});
  }
  EXPECT_EQ(other.sheet().LevelName(0), "mine");
}

TEST_F(SheetFile, CellsNamingNoStoredSequenceAreEmptied) {
  AddSequences(doc, dir, {"Ann"}, 2);
  TransferAt(doc, 0, {0, 1}, 0, 0, 1);
  ASSERT_TRUE(doc.OnSaveDocument(dir.File("a.dgr")));
  std::vector<uint8_t> bytes = ReadBytes(dir.File("a.dgr"));
  SetU32LE(&bytes[kCountsBytes + 8], 5);                      // frame 0: sequence 5
  SetU32LE(&bytes[kCountsBytes + kStoredCellBytes + 4], -1);  // frame 1: frame index -1
  WriteBytes(dir.File("b.dgr"), bytes);
  ASSERT_TRUE(doc.OnOpenDocument(dir.File("b.dgr")));
  EXPECT_EQ(LevelText(doc, 0, 0, 2), ". .");
  EXPECT_TRUE(doc.modified());
}

class MissingSequences : public SheetDocument {
 protected:
  // Three sequences A, B, C of four drawings on levels 0..2, each transferred on ones.
  void SetUp() override {
    CDopegridDoc made(prompt);
    AddSequences(made, dir, {"Ann", "Bob", "Cat"}, 4);
    made.AddLevel("two");
    made.AddLevel("three");
    for (int s = 0; s < 3; ++s) TransferAt(made, s, {0, 1, 2, 3}, s, 0, 1);
    ASSERT_TRUE(made.OnSaveDocument(dir.File("s.dgr")));
    prompt.Clear();
  }
  // Opens the sheet once drawings from..to of `name` are gone, the questions answered as queued.
  void OpenWithout(const std::string& name, int from, int to) {
    for (int i = from; i <= to; ++i)
      std::filesystem::remove(dir.File(name + std::to_string(i) + ".qds"));
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("s.dgr")));
  }
};

TEST_F(MissingSequences, ForgettingTheMiddleOneRenumbersTheThird) {
  prompt.QueueChoice(1);  // Forget it
  OpenWithout("Bob", 1, 4);
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"All frames of the sequence \"Bob\" have either been moved "
                                      "to some place else or have been deleted",
                                      "Missing Sequence!\nWhat happened to the sequence : \nBob\n"
                                      "[Let's go find it] [Forget it]"}));
  ASSERT_EQ(doc.sequenceCount(), 2);
  EXPECT_EQ(std::tuple(doc.sequences()[1].name, LevelText(doc, 1, 0, 5), LevelText(doc, 2, 0, 5),
                       doc.sheet().Cell(2, 0).sequence, doc.modified()),
            std::tuple("Cat", ". . . . .", "C1 C2 C3 C4 .", 1, true));
}

TEST_F(MissingSequences, CancellingTheSearchAlsoForgets) {
  prompt.QueueChoice(0);  // Let's go find it
  prompt.QueuePath(std::nullopt);
  OpenWithout("Ann", 1, 4);
  EXPECT_EQ(
      std::tuple(doc.sequenceCount(), LevelText(doc, 1, 0, 2), doc.sheet().Cell(1, 0).sequence),
      std::tuple(2, "B1 B2", 0));
}

TEST_F(MissingSequences, ClosingTheQuestionKeepsTheSequenceAsStored) {
  prompt.QueueChoice(std::nullopt);
  OpenWithout("Bob", 1, 4);
  EXPECT_EQ(std::tuple(doc.sequenceCount(), LevelText(doc, 1, 0, 2), doc.modified()),
            std::tuple(3, "B1 B2", false));
}

TEST_F(MissingSequences, RelocatingToFewerDrawingsEmptiesTheCellsBeyond) {
  std::filesystem::create_directory(dir.File("moved"));
  std::string picked = WriteTinySequence(dir.File("moved/"), "Cat", 2);
  prompt.QueueChoice(0);  // Let's go find it
  prompt.QueuePath(picked);
  OpenWithout("Cat", 1, 4);
  EXPECT_EQ(std::tuple(prompt.Texts().back(), prompt.shown()[2].text, doc.sequences()[2].directory,
                       LevelText(doc, 2, 0, 4), doc.modified()),
            std::tuple("Some images of the sequence could not be found",
                       "Select A Sequence for :: Cat", dir.File("moved/"), "C1 C2 . .", true));
}

TEST_F(MissingSequences, SomeMissingDrawingsAreCountedAndKept) {
  OpenWithout("Ann", 2, 3);
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"2 frames of the sequence \"Ann\" could not be found."});
  EXPECT_EQ(LevelText(doc, 0, 0, 4), "A1 A2 A3 A4");
  EXPECT_FALSE(doc.modified());
}

}  // namespace
}  // namespace quenda
