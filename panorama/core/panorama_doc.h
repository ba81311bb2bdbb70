#pragma once
// The background maker's document: a colour picture with its 8-bit transparency mask, the tool
// state and the view settings, with one method per command. The window turns mouse and keys
// into these calls and draws ComposeView(); every message and question goes through the Prompt,
// and the whole-mask operations' status bar texts through the status sink.
//
// Coordinates are image pixels with rows as held (row 0 is the file's first row, the bottom).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/document.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "panorama/core/mask_ops.h"
#include "panorama/core/panorama_texts.h"

namespace quenda {

enum class PanoramaTool { Brush = 0, Polygon = 1, ColorKeyer = 2 };

// What Undo reverses; the numbers are those the document keeps.
enum class PanoramaUndo {
  None = 0,
  Mask = 1,
  RotateClockwise = 2,
  RotateCounterClockwise = 3,
  FlipHorizontal = 4,
  FlipVertical = 5,
};

enum class PanoramaHint {
  NewPicture,      // another picture or size: refit the view
  MaskChanged,     // mask pixels inside `rect` (the whole picture when rect is empty)
  PolygonChanged,  // points added or the polygon emptied
  StateChanged,    // tool, mode, brush size, zoom, view mode or view settings
};

struct PanoramaUpdate {
  PanoramaHint hint = PanoramaHint::MaskChanged;
  MaskRect rect;
};

using PanoramaListener = DocumentListener<PanoramaUpdate>;

// What a polygon click did.
enum class PolygonClick {
  Added,    // the point joined the polygon
  Ignored,  // outside the picture, or on a point already entered other than the first
  Full,     // the polygon holds kPolygonCapacity points and the click would not close it
  Closed,   // near the first point: the polygon was filled and emptied
};

// A device-independent bitmap as a scanner session hands it over: rows bottom first, each
// padded to a multiple of 4 bytes; 8-bit pixels index `colors` (blue, green, red, unused).
struct ScanBitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<std::array<uint8_t, 4>> colors;
  std::vector<uint8_t> bits;

  static std::size_t RowBytes(int width, int bitsPerPixel) {
    return (std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32 * 4;
  }
};

class CPanoramaDoc : public Document<PanoramaUpdate> {
 public:
  explicit CPanoramaDoc(Prompt& prompt);

  using Document::UpdateAllViews;
  void UpdateAllViews(PanoramaHint hint, MaskRect rect = {}) { UpdateAllViews({hint, rect}); }
  // Where the whole-mask operations report "Percent Complete ..." and "Done.".
  void SetStatusSink(MaskStatus status) { status_ = std::move(status); }

  // File. A failed read shows the reader's message and leaves no background loaded.
  bool Open();  // asks for the file
  bool OpenFile(const std::string& path);
  // A PNG, TIFF, OpenEXR or JPEG background opens as well (its alpha as the mask); the
  // document stays a 32-bit Targa, so such a file is never written over.
  // Writes a 32-bit Targa whose alpha is the mask. Save needs a Targa path (false without one:
  // the window asks for one and calls SaveAs). A file that cannot be written is reported and
  // left as it was.
  bool Save();
  bool SavesInPlace() const;
  // The name Save As offers: the document's with ".tga" in place of another extension.
  std::string SaveAsName() const;
  bool SaveAs(const std::string& path);
  bool CanRevert() const { return loaded() && !path_.empty(); }
  bool RevertToSaved();
  // A crashed run's copy of the background at `keptPath`, taken back as the unsaved state of
  // the document at `documentPath` (empty for one never saved).
  bool OpenRecovered(const std::string& keptPath, const std::string& documentPath);
  // Takes over a scanned picture as a new, unsaved background; null when the bitmap memory
  // cannot be had. 8-bit indices beyond the colour table come out black.
  bool TakeOverScan(const ScanBitmap* bitmap);
  void Close();

  // Edit; each is refused while no background is loaded.
  bool CanUndo() const { return loaded(); }
  void Undo();
  void FlipHorizontal();
  void FlipVertical();
  void RotateClockwise();
  void RotateCounterClockwise();
  bool ClearMask();  // asks first; false when the user says No
  bool FillMask();
  void InvertMask();
  void GrowMask();
  void ShrinkMask();
  void SmoothMask();

  // Tools. Changing the tool or the picture's geometry empties a polygon being entered.
  void SetTool(PanoramaTool tool);
  void SetRevealMode(bool reveal);
  void SetBrushSize(int size);  // 1..6
  void BrushPress(int x, int y);
  void BrushMove(int x, int y);
  void BrushRelease() { brushDown_ = false; }
  PolygonClick AddPolygonPoint(int x, int y);
  bool WouldClosePolygon(int x, int y) const;
  // The keyer dialog's starting values for a click: the pixel's colour with the tolerance and
  // operation of the last use; nothing outside the picture.
  std::optional<KeyerSettings> KeyerClick(int x, int y) const;
  // The dialog accepted: keeps tolerance (clamped to 0..100) and operation, keys the mask.
  void ApplyKeyer(const KeyerSettings& settings);

  // View.
  void SetViewMode(PanoramaViewMode mode);
  void SetViewSettings(const PanoramaViewSettings& settings);
  bool CanZoomIn() const;
  bool CanZoomOut() const;
  void ZoomIn();
  void ZoomOut();
  void ZoomOneToOne();
  // The largest level the zoom commands reach at which the whole background fits the window.
  void ZoomToFit(int windowWidth, int windowHeight);
  Raster ComposeView() const;
  std::string ZoomStatusText() const;  // "zoom: 200%"
  std::string XResText() const;        // "XRes: 640"
  std::string YResText() const;

  bool loaded() const { return width() > 0; }
  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  const Raster& image() const { return image_; }
  const Raster& mask() const { return mask_; }
  const Raster& maskUndo() const { return maskUndo_; }
  PanoramaUndo undoKind() const { return undoKind_; }
  const std::string& path() const { return path_; }
  PanoramaTool tool() const { return tool_; }
  bool revealMode() const { return revealMode_; }
  int brushSize() const { return brushSize_; }
  const BrushTables& brushTables() const { return StandardBrushTables(); }
  const std::vector<MaskPoint>& polygon() const { return polygon_; }
  KeyerOperation keyerOperation() const { return keyerOperation_; }
  int keyerTolerance() const { return keyerTolerance_; }
  // Scales 1, 2, 3 ... for levels 1, 2, 3 ..., and 1/2, 1/3 ... for levels 0, -1 ...
  int zoomLevel() const { return zoomLevel_; }
  double zoom() const;
  PanoramaViewMode viewMode() const { return viewMode_; }
  const PanoramaViewSettings& viewSettings() const { return viewSettings_; }

 private:
  MaskMode mode() const { return revealMode_ ? MaskMode::Reveal : MaskMode::Erase; }
  void TakeMaskUndo();
  void SetPicture(Raster image, Raster mask);
  void Empty();
  // Runs a whole-mask operation with its undo copy and status texts.
  template <class Operation>
  void RunMaskOperation(Operation operation, std::string_view start = {},
                        std::string_view done = "Done.");
  void Turned(PanoramaUndo kind, bool resized);
  void MaskEdited(MaskRect rect = {});

  Prompt& prompt_;
  MaskStatus status_;
  Raster image_{0, 0, 3};
  Raster mask_{0, 0, 1};
  Raster maskUndo_{0, 0, 1};
  PanoramaUndo undoKind_ = PanoramaUndo::None;
  std::string path_;
  PanoramaTool tool_ = PanoramaTool::Brush;
  bool revealMode_ = false;
  int brushSize_ = kDefaultBrushSize;
  bool brushDown_ = false;
  MaskPoint brushPrevious_;
  std::vector<MaskPoint> polygon_;
  KeyerOperation keyerOperation_ = KeyerOperation::Add;
  int keyerTolerance_ = kDefaultKeyerTolerance;
  int zoomLevel_ = 1;
  PanoramaViewMode viewMode_ = PanoramaViewMode::SeeThrough;
  PanoramaViewSettings viewSettings_;
};

}  // namespace quenda
