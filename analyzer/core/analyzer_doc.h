#pragma once
// The analyzer's document: one drawing at a time, its line settings, the test rectangle of the
// settings dialog, the regions marked or loaded, and the batch run over a sequence. Every
// command of the window is a method here; messages go through the Prompt and failures come
// back as the Status whose text was shown.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analyzer/core/batch_process.h"
#include "analyzer/core/line_settings_file.h"
#include "analyzer/core/line_settings_session.h"
#include "analyzer/core/sequence_paint.h"
#include "analyzer/core/trial_tiles.h"
#include "analyzer/core/working_image.h"
#include "common/changed_file_questions.h"
#include "common/color_set.h"
#include "common/document.h"
#include "common/file_identity.h"
#include "common/frame_sequence.h"
#include "common/image_rect.h"
#include "common/paint_tools.h"
#include "common/paint_undo_journal.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/redline_settings.h"
#include "common/region_pen.h"
#include "common/result.h"
#include "common/sample_grid.h"

namespace quenda {

inline constexpr std::string_view kAnalyzerStartTitle =
    "Compatible Scanner Module :: Quenda Animation Paint System";
inline constexpr std::string_view kRegionSettingsTitle =
    "Quenda Animation Paint System: Region Settings";
inline constexpr std::string_view kOpenPictureTitle = "Open a Picture file";
inline constexpr std::string_view kDrawingScanFilter = "Quenda Drawing Scan Files (*.qds)";
inline constexpr std::string_view kSaveRegionsTitle = "Save Regions";
inline constexpr std::string_view kLoadRegionsTitle = "Load Regions";
inline constexpr std::string_view kRegionFilter = "Quenda Region files (*.rgn)";
inline constexpr std::string_view kLoadRedlineTitle = "Load Redline Settings";
inline constexpr std::string_view kSaveRedlineTitle = "Save Redline Settings";
inline constexpr std::string_view kRedlineFilter = "Quenda Redline Settings (*.rls)";
inline constexpr std::string_view kOpenBaseImageTitle = "Open the base Image";
inline constexpr std::string_view kColorSetDialogTitle = "Quenda: Color Set";
inline constexpr std::string_view kLoadColorSetTitle = "Load Color Set";
inline constexpr std::string_view kSaveColorSetTitle = "Save Color Set";
inline constexpr std::string_view kColorModelFilter = "Color Model (*.col)";
inline constexpr std::string_view kSaveColorModelTitle = "Save Color Model";
inline constexpr std::string_view kCompositeFilter = "Targa Files (*.tga)";

// What changed, for the views.
enum class AnalyzerHint {
  PictureChanged,   // another drawing, or none: the whole picture and the zoom
  RedrawRect,       // the display inside `rect`
  TitleChanged,     // the window title
  StateChanged,     // drawing or regions flags, the settings session opened or closed
  SettingsChanged,  // the line settings' values
  RectangleMoved,   // the test rectangle
  ColorsChanged,    // the colour set or the current colour
};

struct AnalyzerUpdate {
  AnalyzerHint hint = AnalyzerHint::PictureChanged;
  PixelRect rect;  // for RedrawRect, rows from the bottom
};

using AnalyzerListener = DocumentListener<AnalyzerUpdate>;

inline constexpr int kDefaultAnalyzerBrushSize = 3;

// The mouse button of a paint gesture.
enum class PaintButton { None, Left, Right };

// The batch dialog's choices: the sequence picked and whether a settings file was loaded in it.
struct BatchChoice {
  std::optional<DrawingSequence> sequence;
  bool settingsFileLoaded = false;
};

// The sequence paint dialog's choices: the sequence picked and whether a colour set was loaded
// in it.
struct SequencePaintChoice {
  std::optional<DrawingSequence> sequence;
  bool colorSetLoaded = false;
};

// The sequence being painted and the frame in hand.
struct SequencePaintState {
  DrawingSequence sequence;
  int current = 0;
  FramePlacement placement;   // of the frame in hand
  SequenceFrameFiles onDisk;  // what the frame in hand's files hold
};

class CAnalyzerDoc final : public Document<AnalyzerUpdate> {
 public:
  explicit CAnalyzerDoc(Prompt& prompt);

  bool drawingLoaded() const { return drawingLoaded_; }
  bool regionsMarked() const { return regionsMarked_; }
  const WorkingImage& image() const { return image_; }
  const RedlineSettings& settings() const { return settings_; }
  const std::string& title() const { return title_; }
  const std::string& drawingPath() const { return drawingPath_; }
  // What the window shows, composed from the drawing's own data for the samples of `grid` only
  // (3 channels into `out`): the document keeps no display picture of the drawing's size. Only
  // the areas Test Settings ran on are kept, while the settings are open (shownBytes()).
  bool showsPicture() const { return !image_.empty(); }
  void ComposeShown(const SampleGrid& grid, RasterView out) const;
  std::size_t shownBytes() const { return trial_.bytes(); }

  // File menu. LoadImage asks for the drawing; the grey drawing is then shown and any regions
  // of the previous one are gone. A failed load keeps the previous drawing.
  Status LoadImage(std::string_view startDirectory = {});
  Status LoadImageFile(const std::string& path);
  std::string ImageInfoText() const;
  void ShowImageInfo();
  bool ConfirmExit();

  // The line settings dialog. Opening is refused without a drawing and once regions are
  // marked; while open, the settings change live and Cancel puts back those of the opening.
  Status OpenLineSettings();
  bool lineSettingsOpen() const { return sessionCopy_.has_value(); }
  const TestRectangle& testRectangle() const { return testRectangle_; }
  void PressTestRectangle(ScreenPoint at);
  void DragTestRectangle(ScreenPoint at);
  void ReleaseTestRectangle() { drag_.Release(); }
  void SetLineSetting(LineSetting which, int value);
  // Lines (or only the clamped picture) inside the test rectangle with the current settings.
  void TestSettings(bool showLines, Progress& progress);
  // The dialog's edit boxes: the first failed check is shown and the dialog stays open. The
  // gap entry (when given) is checked after the four settings.
  Status AcceptLineSettings(const LineSettingsEntries& entries,
                            std::optional<int> closeGapsEntry = std::nullopt);
  // The widest gap in the lines that marking, Test Settings and batch runs close (0: none). A
  // program setting, not one of the four a settings or region file stores; the dialog changes
  // it live and Cancel puts back the value of the opening. Kept within 0..kMaxCloseGaps.
  int closeGaps() const { return closeGaps_; }
  void SetCloseGaps(int value);
  void CancelLineSettings();
  // A settings file in the dialog (or the batch dialog): its values become the current ones.
  Status LoadLineSettingsFile(const std::string& path);
  Status SaveLineSettingsFile(const std::string& path);

  // The Regions menu.
  Status MarkRegions(Progress& progress);
  Status SaveRegions(const std::string& path);
  // The region file of the loaded drawing: its settings become the current ones and the grey
  // drawing is stretched with its clamps.
  Status LoadRegions(std::string_view startDirectory = {});
  Status LoadRegionsFile(const std::string& path);

  // Asks before a drawing or regions are thrown away (batch processing, scanning); DropDrawing
  // throws them away and clears the window.
  bool ConfirmLoseDrawing();
  void DropDrawing();

  // Batch processing. The dialog's buttons: SelectBatchSequence and LoadBatchSettings fill
  // `choice`, and BatchProcessChecks says whether PROCESS may start the run.
  Status SelectBatchSequence(const std::string& scanPath, BatchChoice& choice);
  Status LoadBatchSettings(const std::string& path, BatchChoice& choice);
  bool BatchProcessChecks(const BatchChoice& choice);
  // Drops the drawing before the run. RunBatch reads only the sequence and a copy of the
  // settings, so it may run on a worker thread while nothing else calls the document; it keeps
  // every core busy (frames analyzed ahead, written in order);
  // EndBatch then drops the drawing the run showed last.
  void BeginBatch();
  // Before the run: whether the paint of frames with no old region file to check it against
  // is kept, asked once when there are any (AskAboutUncheckedPaint).
  UncheckedPaint AskAboutUncheckedPaint(const DrawingSequence& sequence);
  BatchResult RunBatch(const DrawingSequence& sequence, Prompt& prompt, Progress& progress,
                       const BatchObserver& observer = {},
                       UncheckedPaint unchecked = UncheckedPaint::SetAside) const;
  void EndBatch();

  // The analyzer's own colour set: the defaults until a file is loaded, at most
  // kAnalyzerColorLimit entries, names of at most kColorNameLimit characters. A refused
  // command shows why and changes nothing.
  const ColorSet& colors() const { return colors_; }
  int currentColor() const { return currentColor_; }
  void SetCurrentColor(int index);
  Status AddColor(std::string_view name, int red, int green, int blue);
  // Entry 0, the transparent colour, keeps its name; its colour may change.
  Status EditColor(int index, std::string_view name, int red, int green, int blue);
  // LoadColorSet asks for the file. A file that holds more colours than the analyzer takes is
  // refused whole rather than cut short, so saving it again cannot drop any of them.
  Status LoadColorSet(std::string_view startDirectory = {});
  Status LoadColorSetFile(const std::string& path);
  Status SaveColorSetFile(const std::string& path);

  // Single-frame paint, once the drawing has regions: the regions show in their colours and a
  // click fills the region under it with the current colour. The title counts what is left.
  Status EnterPaint();
  void ExitPaint();
  bool painting() const { return painting_; }
  int unfilledCount() const;
  // The REGIONS tool at drawing pixel (x, y), y upwards; outside the picture nothing happens.
  void FillRegionAt(int x, int y);
  // Saving the composite: CheckComposite says why it cannot be saved yet; SaveComposite writes
  // the filtered composite as a 32-bit Targa file.
  Status CheckComposite();
  Status SaveComposite(const std::string& path, Progress& progress);

  // The paint tools window. Choosing REGIONS shows the regions, PEN the region lines and the
  // tools of the drawn line the result; the view buttons then change the view freely.
  PaintTool tool() const { return tool_; }
  ViewMode viewMode() const { return viewMode_; }
  int brushSize() const { return brushSize_; }
  void SetPaintTool(PaintTool tool);
  void SetViewMode(ViewMode mode);
  void SetBrushSize(int size);
  // The "Brush Size?" dialog's ENTER: a whole number 1..6, else the range is shown and the
  // dialog stays.
  Status BrushSizeEntry(std::string_view text);
  // The mouse in paint mode, in drawing pixels (y upwards); the window points only tell a click
  // from a drag. The tool at the press decides the gesture.
  void PaintPress(ImagePoint image, ImagePoint window, PaintButton button);
  void PaintMove(ImagePoint image);
  void PaintRelease(ImagePoint image, ImagePoint window);
  // One level: the change of the last fill, stroke or rectangle, with the unfilled count it
  // had. A pen stroke that split regions cannot be undone, nor anything before it.
  // AUTO PAINT of the tools window: in sequence paint the previous frame's auto fill;
  // single-frame paint has no previous frame to take colours from, so it says so.
  void AutoPaintFromTools();
  bool CanUndoPaint() const { return painting_ && undo_.available(); }
  bool UndoPaint();
  // What the undo holds between gestures: once a change is complete, only the old values of
  // the line colours and flags it changed (and the small table of region colours).
  // During a stroke, the old values kept so far.
  std::size_t undoBytes() const {
    return undo_.available() ? PaintUndoBytes(undo_.get()->copy) + journal_.bytes() : 0;
  }

  // Sequence paint (analyzer_doc_sequence.cpp). The selection dialog's buttons fill `choice`;
  // SequencePaintChecks says whether ACCEPT may start. Frames are loaded from and written back
  // to their files; a frame that cannot be loaded is reported and the frame in hand stays, and
  // a frame whose paint file cannot be written is not left.
  bool ConfirmSequencePaint();
  Status SelectPaintSequence(const std::string& scanPath, SequencePaintChoice& choice);
  Status LoadPaintColorSet(const std::string& path, SequencePaintChoice& choice);
  bool SequencePaintChecks(const SequencePaintChoice& choice);
  // The sequence's own colour set is read first: one the analyzer cannot hold refuses the
  // sequence (naming it); without a set chosen in the dialog it is the set painted with.
  Status BeginSequencePaint(const DrawingSequence& sequence, bool colorSetChosen = false);
  bool sequencePainting() const { return sequence_.has_value(); }
  const SequencePaintState* paintSequence() const { return sequence_ ? &*sequence_ : nullptr; }
  // Asks first; writes the frame and the sequence's colour set, unless the file holds more
  // colours than the analyzer's set (then it says so and keeps it). False when it stays.
  bool ExitSequencePaint();
  Status GoToFrame(int index);
  Status NextFrame();
  Status PreviousFrame();
  Status FirstFrame();
  Status LastFrame();
  // The "Frame No?" dialog's ENTER: a refused entry is shown and the dialog stays.
  Status GoToFrameEntry(std::string_view text);
  // Auto fill from the previous frame, or from the frame typed into "Frame No?".
  Status AutoFillPrevious();
  Status AutoFillFromEntry(std::string_view text);
  // Render Sequence: the dialog's checks and the question about unpainted frames; the frame in
  // hand is written first, since the render reads every frame from its files. RunRender may
  // run on a worker thread while nothing else calls the document; EndRender puts the title back.
  std::optional<RenderRequest> PrepareRender(const RenderEntries& entries);
  RenderResult RunRender(const RenderRequest& request, Prompt& prompt, Progress& progress,
                         const RenderObserver& observer = {}) const;
  void EndRender();

  // Files another program may change while the analyzer holds them (analyzer_doc_disk.cpp): in
  // sequence paint the frame in hand's region and paint files and the sequence's colour set;
  // otherwise the region file and the colour set last read or written here. Before any of them
  // is written over after such a change, the user is asked "Overwrite", "Save As…" or "Cancel".
  std::vector<std::string> heldFiles() const { return onDisk_.paths(); }
  bool ChangedOnDisk(const std::string& path) const { return onDisk_.ChangedOnDisk(path); }
  // Changes not yet in the files: the frame in hand's paint or regions in sequence paint, the
  // paint of single-frame paint, which no file keeps.
  bool modified() const;
  // Reads the held files again after another program changed them; the changes here go.
  void ReloadFromDisk();
  // Where Save As… writes, asked with the dialog's title, filter and start path; without one,
  // Save As… is Cancel.
  using SavePathPicker = std::function<std::optional<std::string>(
      std::string_view title, std::string_view filter, const std::string& start)>;
  void SetSavePathPicker(SavePathPicker picker) { pickSavePath_ = std::move(picker); }
  // Crash recovery: the frame in hand takes `paint` (and `region`, when not empty) as its
  // unsaved change. The reason when they do not fit the frame as it is now.
  Status RestoreFrameChanges(std::span<const uint8_t> paint, std::span<const uint8_t> region);

 private:
  // The frame in hand's files (or the single drawing's region file) and the colour set, as
  // they are now on disk.
  void HoldFiles();
  // The frame in hand written back, asking first when its files changed on disk; Save As…
  // writes it elsewhere and leaves the frame's own files as the other program made them.
  Status WriteFrameInHand();
  Status WriteFrameElsewhere(const std::string& stem);
  Status ReloadFrameInHand();
  // Before `path` is written: Overwrite when it did not change on disk since read or written
  // here; else the user's answer, Save As… already resolved into `elsewhere` (empty: Cancel).
  ChangedFileAnswer MayOverwrite(const std::string& path, std::string_view title,
                                 std::string_view filter, std::string& elsewhere);
  // What the window shows from now on (analyzer_doc_shown.cpp); the tested areas go.
  enum class Shown { Grey, RegionLines, Paint };
  void Show(Shown what);
  void ComposeUnderTrial(const SampleGrid& grid, RasterView out) const;
  // Test Settings' result inside `rect` (cut to the picture): the stretched drawing, with its
  // lines and joins when `lines`.
  void ShowTrial(PixelRect rect, bool lines);
  // Paint mode's picture, in the current view mode.
  void ShowPaint() { Show(Shown::Paint); }
  void ShowPaintAndRedraw(ImageRect rect);
  void TakePaintUndo(int kind);
  // For a stroke or rectangle: no copy, but the old values of each area just before it changes
  // (JournalBefore), kept as the stroke goes.
  void TakeJournalledUndo(int kind);
  void JournalBefore(const ImageRect& area);
  // The change since TakePaintUndo is complete: the copy keeps only what it changed.
  void KeepPaintUndoChanges();
  void RegionFillRelease(ImagePoint image, ImagePoint window);
  void PenRelease(ImagePoint image, bool gapClose);
  void SplitDone(const SplitResult& split);
  // Outside paint mode, marked region lines show in the LINE colour.
  void RecolourRegionLines();
  Status ShowSequenceFrame(int index);
  Status AutoFillFrom(int sourceIndex);
  void SetPaintTitle();
  // The colour set or the current colour changed: in paint mode the regions show it.
  void ColorsChanged();
  void SetTitle(std::string_view title);
  void CloseLineSettings();
  void ShowGrey() { Show(Shown::Grey); }
  // The colour set's "LINE" entry, in which found lines are shown.
  Bgr LineColour() const;
  void ShowRegionLines();
  void Notify(AnalyzerHint hint, PixelRect rect = {}) { UpdateAllViews({hint, rect}); }

  Prompt& prompt_;
  WorkingImage image_;
  Shown shown_ = Shown::Grey;
  Bgr shownLine_ = kDefaultLineColour;  // of Shown::RegionLines
  TrialTiles trial_;
  std::vector<uint8_t> scanGrey_;  // the drawing as read, before any stretch
  std::string drawingPath_;
  bool drawingLoaded_ = false;
  bool regionsMarked_ = false;
  RedlineSettings settings_;
  std::optional<RedlineSettings> sessionCopy_;  // held while the settings dialog is open
  int closeGaps_ = 0;
  int closeGapsCopy_ = 0;  // of the dialog's opening
  TestRectangle testRectangle_;
  TestRectangleDrag drag_{0, 0};
  std::string title_{kAnalyzerStartTitle};
  ColorSet colors_;
  int currentColor_ = kTransparentColor;
  bool painting_ = false;

  PaintTool tool_ = PaintTool::RegionFill;
  ViewMode viewMode_ = ViewMode::RegionsPainted;
  int brushSize_ = kDefaultAnalyzerBrushSize;
  struct PaintUndo {
    PaintUndoCopy copy;
    int filledCount = 0;
  };
  UndoSnapshot<PaintUndo> undo_;
  PaintUndoJournal journal_;
  // The gesture from press to release.
  PaintButton button_ = PaintButton::None;
  PaintTool gestureTool_ = PaintTool::RegionFill;
  ImagePoint pressImage_;
  ImagePoint pressWindow_;
  ImagePoint lastImage_;
  StrokeBox strokeBox_;
  bool strokeRefused_ = false;  // the transparent-brush message was shown for this stroke
  std::optional<SequencePaintState> sequence_;
  std::string regionsPath_;  // the single drawing's region file, as loaded or saved
  DocumentFiles onDisk_;     // heldFiles() as read or last written here
  SavePathPicker pickSavePath_;
};

}  // namespace quenda
