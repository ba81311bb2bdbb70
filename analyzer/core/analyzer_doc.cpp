#include "analyzer/core/analyzer_doc.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/contrast_stretch.h"
#include "common/drawing_scan.h"
#include "common/frame_runner.h"
#include "common/paint_carry.h"
#include "common/path.h"
#include "common/region_file.h"

namespace quenda {
namespace {

constexpr std::string_view kNoPictureInfo = "No Picture Loaded";
constexpr std::string_view kAreYouSure = "Are you sure?";
constexpr std::string_view kLoadImageFirst = "Please do this after loading an image.";
constexpr std::string_view kSettingsAfterMarking =
    "You can not change the settings after marking regions, please load a fresh image";
constexpr std::string_view kProcessRegionsFirst = "Please process the regions.";
constexpr std::string_view kLoadPictureFirst = "Please load a picture.";
constexpr std::string_view kLoseCurrentPicture =
    "You will lose the current picture and regions, Are you sure?";
constexpr std::string_view kCloseGapsOutOfRange = "Close Gaps: out of Range!";
constexpr std::string_view kNoMemoryForImage =
    "Load image: Image too large: Not enough memory for buffers";

}  // namespace

CAnalyzerDoc::CAnalyzerDoc(Prompt& prompt) : prompt_(prompt) {}

void CAnalyzerDoc::SetTitle(std::string_view title) {
  title_ = std::string(title);
  Notify(AnalyzerHint::TitleChanged);
}

Status CAnalyzerDoc::LoadImage(std::string_view startDirectory) {
  auto path = prompt_.PickFile(kOpenPictureTitle, kDrawingScanFilter, startDirectory);
  if (!path) return Status::Ok();
  return LoadImageFile(*path);
}

Status CAnalyzerDoc::LoadImageFile(const std::string& path) {
  Result<LoadedDrawingScan> loaded = ReadDrawingScan(path, ScanReader::Analyzer);
  if (!loaded) {
    prompt_.Message(loaded.message());
    return loaded.status();
  }
  if (!loaded->idText.empty()) prompt_.Message(loaded->idText);
  // A short file is shown with white paper where its pixels ran out.
  if (loaded->warning) prompt_.Message(*loaded->warning);
  const Raster& picture = loaded->scan.picture;
  try {
    WorkingImage image =
        MakeWorkingImage(picture.width(), picture.height(), picture.bytes(), Display::None);
    scanGrey_ = image.grey;
    image_ = std::move(image);
  } catch (const std::bad_alloc&) {
    prompt_.Message(kNoMemoryForImage);
    return Error{std::string(kNoMemoryForImage)};
  }
  if (lineSettingsOpen()) CancelLineSettings();
  ShowGrey();
  drawingPath_ = path;
  drawingLoaded_ = true;
  regionsMarked_ = false;
  painting_ = false;
  regionsPath_.clear();
  HoldFiles();
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

std::string CAnalyzerDoc::ImageInfoText() const {
  if (!drawingLoaded_) return std::string(kNoPictureInfo);
  char text[80];
  std::snprintf(text, sizeof text, "TARGA:\nX dimension: %i, Y dimension: %i\n", image_.width(),
                image_.height());
  return text;
}

void CAnalyzerDoc::ShowImageInfo() {
  prompt_.Message(ImageInfoText());
}

bool CAnalyzerDoc::ConfirmExit() {
  return prompt_.AskOkCancel(kAreYouSure);
}

Status CAnalyzerDoc::OpenLineSettings() {
  std::string_view refusal;
  if (!drawingLoaded_)
    refusal = kLoadImageFirst;
  else if (regionsMarked_)
    refusal = kSettingsAfterMarking;
  if (!refusal.empty()) {
    prompt_.Message(refusal);
    return Error{std::string(refusal)};
  }
  if (lineSettingsOpen()) return Status::Ok();
  sessionCopy_ = settings_;
  closeGapsCopy_ = closeGaps_;
  testRectangle_ = CentredTestRectangle(image_.width(), image_.height());
  trial_.Reset(image_.width(), image_.height());
  drag_ = TestRectangleDrag(image_.width(), image_.height());
  SetTitle(kRegionSettingsTitle);
  Notify(AnalyzerHint::StateChanged);
  Notify(AnalyzerHint::RectangleMoved);
  return Status::Ok();
}

void CAnalyzerDoc::PressTestRectangle(ScreenPoint at) {
  if (!lineSettingsOpen()) return;
  drag_.Press(testRectangle_, at);
}

void CAnalyzerDoc::DragTestRectangle(ScreenPoint at) {
  if (!lineSettingsOpen() || !drag_.dragging()) return;
  TestRectangle moved = drag_.MoveTo(testRectangle_, at);
  if (moved == testRectangle_) return;
  testRectangle_ = moved;
  Notify(AnalyzerHint::RectangleMoved);
}

void CAnalyzerDoc::SetLineSetting(LineSetting which, int value) {
  SetLinkedLineSetting(settings_, which, value);
  Notify(AnalyzerHint::SettingsChanged);
}

void CAnalyzerDoc::TestSettings(bool showLines, Progress& progress) {
  if (!lineSettingsOpen()) return;
  const PixelRect r = TestRectanglePixels(testRectangle_, image_.height());
  if (showLines) {
    GenerateLines(image_, settings_, r.x0, r.x1, r.y0, r.y1, progress, LineColour());
    (void)CloseGapsIn(image_, r, closeGaps_, progress);
  }
  ShowTrial(ClipToPicture(image_, r), showLines);
  Notify(AnalyzerHint::RedrawRect, ClipToPicture(image_, r));
}

void CAnalyzerDoc::CloseLineSettings() {
  sessionCopy_.reset();
  image_.joinPixels.clear();  // those of the test rectangle
  drag_.Release();
  // The trial lines were only a preview: the drawing shows plain again.
  ShowGrey();
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::SetCloseGaps(int value) {
  value = std::clamp(value, 0, kMaxCloseGaps);
  if (value == closeGaps_) return;
  closeGaps_ = value;
  Notify(AnalyzerHint::SettingsChanged);
}

Status CAnalyzerDoc::AcceptLineSettings(const LineSettingsEntries& entries,
                                        std::optional<int> closeGapsEntry) {
  std::string refusal = CheckLineSettingsEntries(entries);
  if (refusal.empty() && closeGapsEntry && (*closeGapsEntry < 0 || *closeGapsEntry > kMaxCloseGaps))
    refusal = kCloseGapsOutOfRange;
  if (!refusal.empty()) {
    prompt_.Message(refusal);
    return Error{refusal};
  }
  settings_ = AcceptedLineSettings(entries);
  if (closeGapsEntry) closeGaps_ = *closeGapsEntry;
  Notify(AnalyzerHint::SettingsChanged);
  CloseLineSettings();
  return Status::Ok();
}

void CAnalyzerDoc::CancelLineSettings() {
  if (!sessionCopy_) return;
  settings_ = *sessionCopy_;
  closeGaps_ = closeGapsCopy_;
  Notify(AnalyzerHint::SettingsChanged);
  CloseLineSettings();
}

Status CAnalyzerDoc::LoadLineSettingsFile(const std::string& path) {
  Status loaded = LoadRedlineSettings(path, settings_);
  if (!loaded) {
    prompt_.Message(loaded.message());
    return loaded;
  }
  Notify(AnalyzerHint::SettingsChanged);
  return Status::Ok();
}

Status CAnalyzerDoc::SaveLineSettingsFile(const std::string& path) {
  Status saved = SaveRedlineSettings(path, settings_);
  if (!saved) prompt_.Message(saved.message());
  return saved;
}

Status CAnalyzerDoc::MarkRegions(Progress& progress) {
  if (!drawingLoaded_) {
    prompt_.Message(kNoPictureToMark);
    return Error{kNoPictureToMark};
  }
  // Lines are always found on the drawing as scanned, not on one stretched by an earlier pass.
  image_.grey = scanGrey_;
  Status marked =
      quenda::MarkRegions(image_, settings_, progress, LineColour(), closeGaps_, nullptr);
  // The marked lines show, in the colour they were found with (even when the marking failed).
  ShowRegionLines();
  Notify(AnalyzerHint::PictureChanged);
  if (!marked) {
    prompt_.Message(marked.message(), MessageIcon::Warning);
    return marked;
  }
  regionsMarked_ = true;
  painting_ = false;
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

Status CAnalyzerDoc::SaveRegions(const std::string& path) {
  if (!regionsMarked_) {
    prompt_.Message(kProcessRegionsFirst);
    return Error{std::string(kProcessRegionsFirst)};
  }
  // A paint file beside the region file keeps its paint on the new regions.
  std::string paintPath = path;
  const bool upper = path.ends_with(".RGN");
  if (upper || path.ends_with(".rgn"))
    paintPath.replace(path.size() - 4, 4, upper ? ".PNT" : ".pnt");
  else
    paintPath += ".pnt";
  std::string elsewhere;
  if (MayOverwrite(path, kSaveRegionsTitle, kRegionFilter, elsewhere) == ChangedFileAnswer::Cancel)
    return Error{"The regions were not written to " + path + "."};
  if (!elsewhere.empty()) return SaveRegions(elsewhere);
  Result<RegionReplacement> written =
      ReplaceRegionsKeepingPaint(path, paintPath, image_.regions, RegionWriter::Analyzer);
  if (!written) {
    prompt_.Message(written.message());
    return Error{written.message()};
  }
  regionsPath_ = path;
  HoldFiles();
  if (written->paint != PaintKept::NoPaint)
    prompt_.Message(FileNameOf(path) + ": " + PaintKeptText(*written));
  return Status::Ok();
}

Status CAnalyzerDoc::LoadRegions(std::string_view startDirectory) {
  if (!drawingLoaded_) {
    prompt_.Message(kLoadPictureFirst);
    return Error{std::string(kLoadPictureFirst)};
  }
  auto path = prompt_.PickFile(kLoadRegionsTitle, kRegionFilter, startDirectory);
  if (!path) return Status::Ok();
  return LoadRegionsFile(*path);
}

Status CAnalyzerDoc::LoadRegionsFile(const std::string& path) {
  if (!drawingLoaded_) {
    prompt_.Message(kLoadPictureFirst);
    return Error{std::string(kLoadPictureFirst)};
  }
  Result<RegionData> read =
      ReadRegionFile(path, image_.width(), image_.height(), RegionReader::Analyzer);
  if (!read) {
    prompt_.Message(read.message());
    return read.status();
  }
  if (lineSettingsOpen()) CancelLineSettings();
  settings_ = read->settings;
  const auto stretch = StretchTable(settings_.whiteClamp, settings_.blackClamp);
  image_.grey = scanGrey_;
  for (uint8_t& g : image_.grey) g = stretch[g];
  image_.regions = std::move(*read);
  regionsPath_ = path;
  HoldFiles();
  image_.joinPixels.clear();  // a region file holds its joins as plain region lines
  image_.filledCount = 0;
  ResetRegionColours(image_);
  image_.regionColorUndo = image_.regionColor;
  ShowRegionLines();
  regionsMarked_ = true;
  painting_ = false;
  Notify(AnalyzerHint::SettingsChanged);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

bool CAnalyzerDoc::ConfirmLoseDrawing() {
  if (!drawingLoaded_ && !regionsMarked_) return true;
  return prompt_.AskOkCancel(kLoseCurrentPicture);
}

Status CAnalyzerDoc::SelectBatchSequence(const std::string& scanPath, BatchChoice& choice) {
  if (!IsSequenceFileName(scanPath)) {
    prompt_.Message(kInvalidSequenceFileName);
    return Error{std::string(kInvalidSequenceFileName)};
  }
  choice.sequence = OpenSequence(scanPath, TitleOf(scanPath));
  return Status::Ok();
}

Status CAnalyzerDoc::LoadBatchSettings(const std::string& path, BatchChoice& choice) {
  Status loaded = LoadLineSettingsFile(path);
  if (loaded) choice.settingsFileLoaded = true;
  return loaded;
}

bool CAnalyzerDoc::BatchProcessChecks(const BatchChoice& choice) {
  return ConfirmBatchProcess(choice.sequence.has_value(), choice.settingsFileLoaded, prompt_);
}

void CAnalyzerDoc::BeginBatch() {
  if (lineSettingsOpen()) CancelLineSettings();
  image_ = WorkingImage();
  scanGrey_.clear();
  drawingPath_.clear();
  drawingLoaded_ = true;  // as the run holds each frame in turn; none shown between frames
  painting_ = false;
  regionsMarked_ = false;
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
}

UncheckedPaint CAnalyzerDoc::AskAboutUncheckedPaint(const DrawingSequence& sequence) {
  return quenda::AskAboutUncheckedPaint(UncheckedPaintFiles(sequence, AllFrames(sequence)),
                                        prompt_);
}

BatchResult CAnalyzerDoc::RunBatch(const DrawingSequence& sequence, Prompt& prompt,
                                   Progress& progress, const BatchObserver& observer,
                                   UncheckedPaint unchecked) const {
  return RunBatchProcess(sequence, AllFrames(sequence), settings_, prompt, progress, observer,
                         DefaultJobCount(), closeGaps_, unchecked);
}

void CAnalyzerDoc::EndBatch() {
  DropDrawing();
}

void CAnalyzerDoc::DropDrawing() {
  image_ = WorkingImage();
  ShowGrey();
  drawingLoaded_ = false;
  regionsMarked_ = false;
  regionsPath_.clear();
  HoldFiles();
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
}

}  // namespace quenda
