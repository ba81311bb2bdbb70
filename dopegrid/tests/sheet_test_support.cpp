#include "dopegrid/tests/sheet_test_support.h"

#include <gtest/gtest.h>

#include "common/drawing_scan.h"
#include "samples/sample_drawing.h"

namespace quenda::testing {

std::string WriteTinySequence(const std::string& directory, const std::string& name, int count,
                              int width, int height) {
  for (int i = 1; i <= count; ++i) {
    DrawingScan scan = samples::MakeDrawing(width, height, uint32_t(i));
    Status written =
        WriteDrawingScan(directory + name + std::to_string(i) + ".qds", scan, ScanWriter::Scanner);
    EXPECT_TRUE(written.ok()) << written.message();
  }
  return directory + name + "1.qds";
}

std::string LevelText(const CDopegridDoc& doc, int level, int first, int count) {
  std::string text;
  for (int f = first; f < first + count; ++f) {
    std::string label = doc.CellLabel(doc.sheet().Cell(level, f));
    if (!text.empty()) text += ' ';
    text += label.empty() ? "." : label;
  }
  return text;
}

void AddSequences(CDopegridDoc& doc, const TempDir& dir, const std::vector<std::string>& names,
                  int count) {
  for (const std::string& name : names)
    ASSERT_TRUE(doc.AddSequenceFile(WriteTinySequence(dir.path(), name, count)));
}

void TransferAt(CDopegridDoc& doc, int sequence, std::vector<int> pictures, int level, int frame,
                int spacing) {
  doc.SelectSequence(sequence);
  doc.SetSelectedPictures(std::move(pictures));
  doc.SetCurrentCell(level, frame);
  doc.Transfer(spacing);
}

}  // namespace quenda::testing
