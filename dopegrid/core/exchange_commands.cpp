// The document commands of imports and lip-sync: a whole sheet from another program's file,
// and mouth drawings laid on one level.

#include "common/path.h"
#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

void CDopegridDoc::ReplaceContents(CSheetGrid sheet, std::vector<DrawingSequence> sequences) {
  sheet_ = std::move(sheet);
  sequences_ = std::move(sequences);
  ResetCursor();
  Changed(SheetHint::All);
}

void CDopegridDoc::ExposeDrawings(int level, int firstFrame, int sequence,
                                  std::span<const int> drawings) {
  if (level < 0 || level >= sheet_.levelCount || sequence < 0 || sequence >= sequenceCount())
    return;
  TakeUndoCopy();
  for (std::size_t i = 0; i < drawings.size(); ++i) {
    const int f = firstFrame + int(i);
    if (f < 0 || f >= sheet_.frameCount) continue;
    sheet_.Cell(level, f) = {CellKind::Key, sequence, drawings[i]};
  }
  sheet_.NormaliseHolds();
  Changed(SheetHint::Sheet);
}

std::optional<int> CDopegridDoc::SequenceOfDrawing(const std::string& drawing) {
  const std::string path = AbsolutePath(drawing);
  if (!IsSequenceFileName(path)) return std::nullopt;
  DrawingSequence wanted = OpenSequence(path, TitleOf(path));
  for (int s = 0; s < sequenceCount(); ++s)
    if (sequences_[std::size_t(s)].directory == wanted.directory &&
        LowerAscii(sequences_[std::size_t(s)].name) == LowerAscii(wanted.name))
      return s;
  if (wanted.frameCount == 0 || !CanAddSequence()) return std::nullopt;
  sequences_.push_back(std::move(wanted));
  Changed(SheetHint::Sequences);
  return sequenceCount() - 1;
}

}  // namespace quenda
