#pragma once
// The painter's document: one drawing sequence, its colour set and the one loaded frame, with
// one method per command. Views listen for hints and never change the data themselves; every
// message and question goes through the Prompt given at construction.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/color_set.h"
#include "common/document.h"
#include "common/file_identity.h"
#include "common/frame_sequence.h"
#include "common/image_rect.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "common/result.h"
#include "painter/core/auto_paint.h"
#include "painter/core/frame_icons.h"
#include "painter/core/painter_frame.h"
#include "painter/core/painting_tools.h"
#include "painter/core/region_pen.h"

namespace quenda {

inline constexpr std::string_view kPainterDocumentTemplate =
    "Quenda Painter\nPainter\nPainter\nQuenda Drawing Sequences (*.pnt)\n.pnt\nPainter."
    "Document\nPainter Document";
inline constexpr std::string_view kOpenSequenceTitle = "Select One Frame from a Sequence";
inline constexpr std::string_view kDrawingFileFilter = "Quenda Drawing Files (*.qds)";
inline constexpr std::string_view kUnprocessedFrames =
    "The sequence contains one or more unprocessed frames.\nPlease process all frames of the "
    "sequence in Analyzer.\nCan not continue with paint!";
inline constexpr std::string_view kNoPaintInfo = "No Paint Info";
inline constexpr std::string_view kAllRegionsPainted = "All regions painted";
inline constexpr std::string_view kNoRegionPainted = "No regions painted";
inline constexpr int kDefaultBrushSize = 4;

// Told once a sequence opens whose folder holds more drawings than the frame list: the lowest
// `capacity` frames are open, the rest left out. "Only the first 3000 frames were opened; 12
// frames were left out."
std::string FramesLeftOutText(int capacity, int leftOut);

// Asked when the frame being left could not be written: its changes are still only in memory.
inline constexpr std::string_view kFrameNotSavedCaption = "Frame Not Saved";
enum FrameNotSavedButton { kRetrySave = 0, kDiscardChanges = 1, kStayOnFrame = 2 };
// "The changes to walk3 could not be saved." with the buttons "Retry", "Discard", "Stay".
ChoiceQuestion FrameNotSavedQuestion(std::string_view frameName);

// Where an opened sequence starts: its first frame, or the drawing whose path opened it.
enum class SequenceStart { FirstFrame, NamedDrawing };

// What changed, for the views.
enum class PainterHint {
  SequenceOpened,  // new sequence or new colour set: rebuild every frame icon
  FrameChanged,    // another frame is loaded
  FrameSaved,      // the current frame's files were written: redraw its icon
  RedrawIcons,     // colours changed: redraw all frame icons
  ColorsChanged,   // the colour list and the picture
  RedrawRect,      // the picture inside `rect`
  RedrawAll,       // the whole picture
  ShowRegion,      // a split shows `region` alone for one redraw
  SelectRegion,    // Next Unpainted chose `region`: bring it into sight and mark it
  StateChanged,    // tool, mode, brush size or current colour
};

struct PainterUpdate {
  PainterHint hint = PainterHint::RedrawAll;
  ImageRect rect;
  int region = 0;
};

using PainterListener = DocumentListener<PainterUpdate>;

// What the last open attempt means for the recent-file list.
enum class RecentFileNote {
  None,  // nothing was picked, or the name is no sequence's: the list stays as it is
  Add,   // the path goes to the top of the list
  Drop,  // the drawing is gone: the path leaves the list
};

// Auto Paint Range dialog values.
// BothKeys paints the frames between the painted frames just outside the range (start - 1 and
// end + 1) from both, a chain from each.
enum class RangeSource { FrameNo, AutoPrevious, AutoNext, BothKeys };
struct AutoPaintRangeFields {
  RangeSource source = RangeSource::AutoPrevious;
  std::string sourceText;
  std::string startText;
  std::string endText;
  AutoPaintMatch match = AutoPaintMatch::Vote;
  bool paintSpecks = false;
  int confidence = kDefaultConfidence;  // by shapes, matches less sure stay unfilled
};

class CPainterDoc : public Document<PainterUpdate> {
 public:
  explicit CPainterDoc(Prompt& prompt);
  ~CPainterDoc();  // tries once more to save the current frame, unless closing was refused
  CPainterDoc(const CPainterDoc&) = delete;
  CPainterDoc& operator=(const CPainterDoc&) = delete;

  using Document::UpdateAllViews;
  void UpdateAllViews(PainterHint hint, ImageRect rect = {}, int region = 0);

  // Sequence and navigation.
  bool OpenSequence();  // asks for a drawing
  // Also the recent-file list's path; the command line starts on the drawing it names.
  bool OpenSequenceFile(const std::string& path, SequenceStart start = SequenceStart::FirstFrame);
  bool NextFrame();
  bool PreviousFrame();
  bool FirstFrame();
  bool LastFrame();
  bool SelectFrame(int index);  // a double click in the frame strip
  // Next Unpainted: shows the next drawing after the current one (going on from the first past
  // the last, the current one looked at last) whose unfilled regions are not all specks, and
  // selects its largest such region. Says kNothingUnpaintedText and stays where there is none;
  // false then, or when the current frame could not be left.
  bool NextUnpainted();
  // The region Next Unpainted selected in the current frame, 0 for none; showing another frame
  // drops it.
  int selectedRegion() const { return selectedRegion_; }
  bool CanGoForward() const;
  bool CanGoBack() const;
  bool CanUndo() const { return CanEdit() && frame_.undoAvailable(); }
  // Changes to the current frame that are written when it is left.
  bool frameModified() const { return CanEdit() && (frame_.paintChanged || frame_.regionChanged); }
  std::string CurrentDrawingPath() const { return PathsOf(currentFrame_).scan; }
  bool Undo();
  // False when a file of the frame could not be written; its changes stay marked.
  bool SaveCurrentFrame();
  // Saves the current frame before it is left. When that fails, asks to retry, to discard the
  // changes, or to stay; false for staying, which is also the answer of a prompt with no one
  // to ask, so nothing is dropped unasked.
  bool LeaveCurrentFrame();
  void GoToFrame(int index, PainterHint hint = PainterHint::FrameChanged);
  // Leaves the current frame; false when the user stays (the program then stays open).
  bool Close();
  // The status pane's text; nothing while no sequence is open.
  std::optional<std::string> PaintedStateText() const;
  // The same text for any frame, from its files (the loaded frame from memory).
  std::string FramePaintedStateText(int index) const;
  PaintState FramePaintState(int index) const;
  // The frame strip's icon of any frame, from its files (grey where they do not load): the
  // loaded frame's comes from memory only while it holds nothing unsaved.
  Raster FrameIcon(int index, int side) const;

  // Tools, modes and brushes.
  void SetTool(PainterTool tool);
  bool SetViewMode(ViewMode mode);  // false where the current tool does not allow the mode
  bool IsViewModeEnabled(ViewMode mode) const;
  void SetBrushSize(int size);
  void SetCurrentColor(int index);

  // Painting (image pixels; the screen points only tell a click from a drag).
  void RegionFillRelease(ImagePoint pressScreen, ImagePoint releaseScreen, ImagePoint pressImage,
                         ImagePoint releaseImage);
  void PickColor(ImagePoint at);
  void AnimFill(ImagePoint at);
  void BrushPress(ImagePoint at);
  // The stroke is over: its undo keeps only the pixels it changed.
  void BrushRelease();
  // The line brush with the transparent colour paints nothing and says why once per stroke.
  void BrushMove(ImagePoint from, ImagePoint to);
  void RectangleRelease(ImagePoint press, ImagePoint release);
  void PenPress(ImagePoint at);
  void PenMove(ImagePoint to);
  SplitResult PenRelease(ImagePoint at);
  GapResult GapCloseRelease(ImagePoint press, ImagePoint release);

  // Auto paint, with the match and speck option of autoPaintOptions().
  bool AutoPaint(int sourceIndex);
  bool AutoPaintPrevious();
  bool AutoPaintAnyFrame(std::string_view frameText);
  // The frame Auto Paint Any Frame's text names, or nothing after its refusal was shown
  // ("Invalid Frame Number", "You can not auto paint with current frame").
  std::optional<int> AutoPaintSource(std::string_view frameText);
  // The dialog's own checks: the message to show, or Ok when OK may close it.
  static Status CheckRangeFields(const AutoPaintRangeFields& fields);
  // Progress hears of each frame once its paint file is written; the last one painted stays
  // the current frame, written when it is left. By shapes from a neighbour, and from both keys,
  // the chain runs in memory first (painter/core/key_chain.h): a Stop or a frame that does not
  // load there changes nothing.
  bool AutoPaintRange(const AutoPaintRangeFields& fields, Progress& progress);
  const AutoPaintOptions& autoPaintOptions() const { return autoPaintOptions_; }
  void SetAutoPaintMatch(AutoPaintMatch match);
  void SetPaintSpecksAfterAutoPaint(bool paint);
  // Regions with fewer pixels off their lines than this are specks (at least 1).
  void SetSpeckSize(int size);
  int speckSize() const { return autoPaintOptions_.speckSize; }
  // By shapes, regions matched less surely than this (0 .. 100) stay unfilled.
  void SetAutoPaintConfidence(int confidence);

  // Paint Specks: every unfilled speck takes the colour of the painted region it borders most.
  // Returns how many were painted; one undo takes them all back.
  int PaintSpecks();
  // The second status pane: how many of the unpainted regions are specks, "12 of them
  // specks"; empty while every region is painted or the frame has no paint file, nothing while
  // no sequence is open.
  std::optional<std::string> SpeckStateText() const;

  // Colour set editing; every change is saved at once.
  void AddColor(std::string_view name, int red, int green, int blue);
  void EditColor(std::string_view name, int red, int green, int blue);
  void EditLineAndUnfilledColors(const ColorEntry& line, const ColorEntry& unfilled);
  bool LoadReferencePicture();
  bool ImportColors();
  bool MergeColors();

  bool sequenceOpen() const { return sequenceOpen_; }
  const DrawingSequence& sequence() const { return sequence_; }
  const std::string& directory() const { return sequence_.directory; }
  const std::string& name() const { return sequence_.name; }
  int frameCount() const { return sequence_.frameCount; }
  int currentFrame() const { return currentFrame_; }
  // False after a frame failed to load: edits are refused and leaving writes nothing.
  bool frameLoaded() const { return frameLoaded_; }
  // Frame saves whose paint or region file could not be written, since construction; the
  // message has been shown. The command-line tool fails on any.
  int failedFrameSaves() const { return failedFrameSaves_; }
  const PainterFrame& frame() const { return frame_; }
  const ColorSet& colors() const { return colors_; }
  int currentColor() const { return currentColor_; }
  PainterTool tool() const { return tool_; }
  ViewMode viewMode() const { return viewMode_; }
  int brushSize() const { return brushSize_; }
  bool iconsStale() const { return iconsStale_; }
  bool referenceLoaded() const { return referenceLoaded_; }
  const Raster& referencePicture() const { return referencePicture_; }
  const std::string& recentFilePath() const { return recentFilePath_; }
  RecentFileNote recentFileNote() const { return recentFileNote_; }
  FramePaths PathsOf(int index) const;
  // A crashed run's changes to the current frame, taken back as unsaved changes: its paint, and
  // its region data when that run had changed them (empty otherwise). Refused, leaving the
  // frame as it is, when they do not fit the frame's drawing.
  Status RestoreFrameChanges(std::span<const uint8_t> paint, std::span<const uint8_t> region);

  // The files the painter holds open: the current frame's region and paint files and the
  // sequence's colour set. Before it writes one that another program changed since it was
  // read here, it asks "Overwrite", "Save As…" or "Cancel".
  std::vector<std::string> heldFiles() const;
  bool ChangedOnDisk(const std::string& path) const { return onDisk_.ChangedOnDisk(path); }
  // Reads the colour set and the current frame again from their files, after another program
  // changed them; the frame's unsaved changes are dropped.
  void ReloadFromDisk();
  // Asks for the file "Save As…" writes (title, filter "Description (*.ext)", the held file's
  // path); nothing when the user cancels. Without one, "Save As…" cancels.
  using SavePathPicker = std::function<std::optional<std::string>(
      std::string_view title, std::string_view filter, const std::string& startPath)>;
  void SetSavePathPicker(SavePathPicker picker) { pickSavePath_ = std::move(picker); }

 private:
  bool CanEdit() const { return sequenceOpen_ && frameLoaded_; }
  enum class FrameWrite { Written, Failed, Kept };
  // Writes the current frame's changes; Kept when the user cancelled before saving over
  // another program's files, the changes still only in memory.
  FrameWrite WriteCurrentFrame();
  // The files of the frame, asking first when they changed on disk.
  FrameWrite WriteFrameFiles();
  // Save As… of a frame: its regions and paint as STEM.rgn and STEM.pnt, then the frame read
  // again from its own files, which another program wrote.
  FrameWrite WriteFrameElsewhere(const std::string& stem);
  // Writes the colour set, asking first when its file changed on disk.
  void WriteColors();
  void HoldFrameFiles();
  std::optional<std::string> PickSavePath(std::string_view title, std::string_view filter,
                                          const std::string& startPath);
  bool LoadFrameInto(PainterFrame& target, int index);
  bool AutoPaintWith(int sourceIndex, const AutoPaintOptions& options);
  // The current frame's region colours from a chain run in memory (within one undo), then its
  // specks.
  void TakeColoursFromKeys(const std::vector<int32_t>& colours, bool paintSpecks);
  int RangeIndex(std::string_view text) const;
  // Unfilled regions and region total of a frame: from memory for the loaded frame, else from
  // its files; nothing when it has no paint file or its files do not read. `unsaved` false
  // takes the files even for the loaded frame when it holds changes not yet written.
  std::optional<std::pair<int, int>> UnfilledOf(int index, bool unsaved = true) const;

  Prompt& prompt_;
  DocumentFiles onDisk_;  // heldFiles() as read or last written here
  FramePaths heldFrame_;
  SavePathPicker pickSavePath_;
  bool sequenceOpen_ = false;
  DrawingSequence sequence_;
  int currentFrame_ = 0;
  bool frameLoaded_ = false;
  int failedFrameSaves_ = 0;
  bool closeRefused_ = false;  // the last Close stayed on a frame that could not be saved
  PainterFrame frame_;
  ColorSet colors_;
  int currentColor_ = 0;
  PainterTool tool_ = PainterTool::RegionFill;
  ViewMode viewMode_ = ViewMode::RegionsPainted;
  int brushSize_ = kDefaultBrushSize;
  AutoPaintOptions autoPaintOptions_;
  bool iconsStale_ = false;
  bool referenceLoaded_ = false;
  Raster referencePicture_;
  std::string recentFilePath_;
  RecentFileNote recentFileNote_ = RecentFileNote::None;
  ImagePoint penPrevious_;
  StrokeBox strokeBox_;
  bool penActive_ = false;
  int selectedRegion_ = 0;
  bool strokeRefused_ = false;  // the transparent-brush message was shown for this stroke
};

}  // namespace quenda
