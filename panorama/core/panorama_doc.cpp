// The background document: files, scans, view state.

#include "panorama/core/panorama_doc.h"

#include <algorithm>

#include "common/case_insensitive_path.h"
#include "common/frame_picture.h"
#include "common/path.h"
#include "common/studio_picture.h"
#include "common/targa.h"
#include "common/zoom_level.h"

namespace quenda {

CPanoramaDoc::CPanoramaDoc(Prompt& prompt) : prompt_(prompt) {}

void CPanoramaDoc::SetPicture(Raster image, Raster mask) {
  image_ = std::move(image);
  mask_ = std::move(mask);
  maskUndo_ = Raster(0, 0, 1);
  undoKind_ = PanoramaUndo::None;
  polygon_.clear();
  brushDown_ = false;
  UpdateAllViews(PanoramaHint::NewPicture);
}

void CPanoramaDoc::Empty() {
  path_.clear();
  SetModified(false);
  SetPicture(Raster(0, 0, 3), Raster(0, 0, 1));
}

void CPanoramaDoc::Close() {
  Empty();
}

bool CPanoramaDoc::Open() {
  std::optional<std::string> path =
      prompt_.PickFile(kOpenBackgroundTitle, kOpenBackgroundFilter, "");
  return path && OpenFile(*path);
}

bool CPanoramaDoc::OpenFile(const std::string& path) {
  Result<Raster> read = Error{std::string()};
  if (IsStudioPictureExtension(ExtensionOf(path))) {
    Result<StudioPicture> studio = ReadStudioPicture(path);
    read = studio ? Result<Raster>(std::move(studio->pixels)) : Error{studio.message()};
  } else {
    read = ReadTarga(path, TargaReader::PanoramaBackground);
  }
  if (!read) {
    prompt_.Message(read.message(), MessageIcon::Error);
    Empty();
    return false;
  }
  const Raster& file = read.value();
  const int w = file.width(), h = file.height(), c = file.channels();
  Raster image(w, h, 3);
  Raster mask(w, h, 1, 255);
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = file.Row(y);
    uint8_t* out = image.Row(y);
    uint8_t* m = mask.Row(y);
    for (int x = 0; x < w; ++x, in += c) {
      out[3 * x] = in[0];
      out[3 * x + 1] = in[c == 1 ? 0 : 1];
      out[3 * x + 2] = in[c == 1 ? 0 : 2];
      if (c == 4) m[x] = in[3];
    }
  }
  path_ = path;
  SetModified(false);
  SetPicture(std::move(image), std::move(mask));
  return true;
}

bool CPanoramaDoc::Save() {
  return SavesInPlace() && SaveAs(path_);
}

bool CPanoramaDoc::SavesInPlace() const {
  return !path_.empty() && LowerAscii(ExtensionOf(path_)) == ".tga";
}

std::string CPanoramaDoc::SaveAsName() const {
  if (path_.empty()) return "background.tga";
  return WithPictureExtension(FileNameOf(path_), PictureFormat::Targa);
}

bool CPanoramaDoc::SaveAs(const std::string& path) {
  if (!loaded()) return false;
  const int w = width(), h = height();
  Raster file(w, h, 4);
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = image_.Row(y);
    const uint8_t* m = mask_.Row(y);
    uint8_t* out = file.Row(y);
    for (int x = 0; x < w; ++x) {
      out[4 * x] = p[3 * x];
      out[4 * x + 1] = p[3 * x + 1];
      out[4 * x + 2] = p[3 * x + 2];
      out[4 * x + 3] = m[x];
    }
  }
  Status written = WriteTarga(
      path, file, WriteMessages("Could not write " + path + ", disk full or read only?"));
  if (!written) {
    prompt_.Message(written.message(), MessageIcon::Error);
    return false;
  }
  path_ = path;
  SetModified(false);
  return true;
}

bool CPanoramaDoc::RevertToSaved() {
  if (!CanRevert() || !prompt_.AskYesNo(kRevertQuestion)) return false;
  const std::string path = path_;
  return OpenFile(path);
}

bool CPanoramaDoc::TakeOverScan(const ScanBitmap* bitmap) {
  if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0 ||
      bitmap->bits.size() <
          ScanBitmap::RowBytes(bitmap->width, bitmap->bitsPerPixel) * std::size_t(bitmap->height)) {
    prompt_.Message(kCannotLockBitmap, MessageIcon::Error);
    return false;
  }
  if (bitmap->bitsPerPixel != 8 && bitmap->bitsPerPixel != 24) {
    prompt_.Message(kScanDepthRefused, MessageIcon::Error);
    return false;
  }
  const int w = bitmap->width, h = bitmap->height;
  const std::size_t rowBytes = ScanBitmap::RowBytes(w, bitmap->bitsPerPixel);
  Raster image(w, h, 3);
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = bitmap->bits.data() + rowBytes * std::size_t(y);
    uint8_t* out = image.Row(y);
    if (bitmap->bitsPerPixel == 24) {
      std::copy(in, in + std::size_t(w) * 3, out);
      continue;
    }
    for (int x = 0; x < w; ++x) {
      static constexpr std::array<uint8_t, 4> kBlack{};
      const auto& entry = in[x] < bitmap->colors.size() ? bitmap->colors[in[x]] : kBlack;
      std::copy(entry.begin(), entry.begin() + 3, out + 3 * x);
    }
  }
  path_.clear();
  SetModified(true);
  SetPicture(std::move(image), Raster(w, h, 1, 255));
  return true;
}

void CPanoramaDoc::SetTool(PanoramaTool tool) {
  tool_ = tool;
  if (!polygon_.empty()) {
    polygon_.clear();
    UpdateAllViews(PanoramaHint::PolygonChanged);
  }
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::SetRevealMode(bool reveal) {
  revealMode_ = reveal;
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::SetBrushSize(int size) {
  brushSize_ = std::clamp(size, 1, kBrushSizes);
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::SetViewMode(PanoramaViewMode mode) {
  viewMode_ = mode;
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::SetViewSettings(const PanoramaViewSettings& settings) {
  viewSettings_ = settings;
  UpdateAllViews(PanoramaHint::StateChanged);
}

double CPanoramaDoc::zoom() const {
  return ZoomLevelFactor(zoomLevel_);
}

bool CPanoramaDoc::CanZoomIn() const {
  return loaded() && zoom() < kZoomInBelowScale;
}

bool CPanoramaDoc::CanZoomOut() const {
  return loaded() && 2 - zoomLevel_ < kSmallestScaleDivisor;
}

void CPanoramaDoc::ZoomIn() {
  if (!CanZoomIn()) return;
  ++zoomLevel_;
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::ZoomOut() {
  if (!CanZoomOut()) return;
  --zoomLevel_;
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::ZoomOneToOne() {
  zoomLevel_ = 1;
  UpdateAllViews(PanoramaHint::StateChanged);
}

void CPanoramaDoc::ZoomToFit(int windowWidth, int windowHeight) {
  if (!loaded()) return;
  auto fits = [&] {
    return ZoomedLength(width(), zoomLevel_) <= windowWidth &&
           ZoomedLength(height(), zoomLevel_) <= windowHeight;
  };
  zoomLevel_ = 1;
  while (CanZoomIn()) {
    ++zoomLevel_;
    if (!fits()) {
      --zoomLevel_;
      break;
    }
  }
  while (!fits() && CanZoomOut()) --zoomLevel_;
  UpdateAllViews(PanoramaHint::StateChanged);
}

std::string CPanoramaDoc::ZoomStatusText() const {
  return "zoom: " + std::to_string(ZoomLevelPercent(zoomLevel_)) + "%";
}

std::string CPanoramaDoc::XResText() const {
  return "XRes: " + std::to_string(width());
}

std::string CPanoramaDoc::YResText() const {
  return "YRes: " + std::to_string(height());
}

Raster CPanoramaDoc::ComposeView() const {
  return quenda::ComposeView(image_, mask_, viewMode_, viewSettings_);
}

}  // namespace quenda
