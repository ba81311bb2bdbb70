// Clipboard files: a cut or copy read back by another run and laid onto another Picture Holder,
// and damaged files refused with their message.
#include <gtest/gtest.h>

#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/sheet_clipboard.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

class SheetClipboardFile : public SheetDocument {
 protected:
  void SetUp() override {
    AddSequences(doc, dir, {"ann", "bob"}, 3);
    TransferAt(doc, 0, {0, 1}, 0, 0, 2);  // a1 " a2 "
    TransferAt(doc, 1, {2}, 0, 4, 1);     // b3
    doc.SetSelection({0, 1, 0, 5});
    doc.Copy();
  }
  std::string path = dir.File("block.clip");
};

TEST_F(SheetClipboardFile, RoundTripsFindsSequencesByFolderAndNameAndRefusesDamage) {
  ASSERT_TRUE(SaveClipboardFile(path, ClipboardOf(doc)).ok());
  Result<SheetClipboard> read = LoadClipboardFile(path);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read->cells, doc.clipboard());

  // Another sheet holding the two sequences the other way round, and one more before them.
  std::vector<DrawingSequence> other{doc.sequences()[1], doc.sequences()[1], doc.sequences()[0]};
  other[0].name = "cid";
  Result<CSheetGrid> laid = ClipboardCellsFor(*read, other);
  ASSERT_TRUE(laid.ok()) << laid.message();
  // Ann's second picture, and Bob's third.
  EXPECT_EQ(
      std::tuple(laid->Cell(0, 1).sequence, laid->Cell(0, 3).sequence, laid->Cell(0, 3).frame),
      std::tuple(2, 1, 2));

  other.pop_back();
  EXPECT_EQ(ClipboardCellsFor(*read, other).message(),
            "The sequence \"ann\" (" + dir.path() +
                ") of the clipboard is not in this sheet's Picture Holder.");
  other = doc.sequences();
  other[1].frames.resize(2);
  EXPECT_EQ(ClipboardCellsFor(*read, other).message(),
            "The clipboard shows picture 3 of the sequence \"bob\", which has 2 pictures in this "
            "sheet.");

  ArchiveWriter out;
  WriteClipboardFile(out, ClipboardOf(doc));
  const std::vector<uint8_t> good = out.bytes();
  const std::string notClipboard = path + " is not a sheet clipboard file.";
  const std::string damaged = path + " is incomplete or damaged and could not be read.";
  const std::size_t firstCell = good.size() - 5 * kStoredCellBytes;
  auto with = [&](std::size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string message;
  } kCases[] = {
      {"other magic", with(3, '2'), notClipboard},
      {"50 levels", with(4, 50), damaged},
      {"no frames", with(8, 0), damaged},
      {"kind 3", with(firstCell, 3), damaged},
      {"third sequence", with(firstCell + 8, 2), damaged},
      {"negative frame", with(firstCell + 7, 0x80), damaged},
      {"a byte more", longer, damaged},
  };
  for (const auto& c : kCases) {
    WriteBytes(path, c.bytes);
    EXPECT_EQ(LoadClipboardFile(path).message(), c.message) << c.what;
  }
  for (std::size_t size = 0; size < good.size(); ++size) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(size));
    EXPECT_EQ(ParseClipboardFile(cut, path).message(), size < 4 ? notClipboard : damaged) << size;
  }
  EXPECT_EQ(LoadClipboardFile(dir.File("none.clip")).message(),
            "Could not open " + dir.File("none.clip") + ".");
}

}  // namespace
}  // namespace quenda
