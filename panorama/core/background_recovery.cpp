#include "panorama/core/background_recovery.h"

#include "common/path.h"
#include "common/targa.h"

namespace quenda {

std::optional<RecoverySnapshot> BackgroundRecoverySnapshot(const CPanoramaDoc& doc) {
  if (!doc.loaded() || !doc.modified()) return std::nullopt;
  const int w = doc.width(), h = doc.height();
  std::vector<uint8_t> bgra(std::size_t(w) * std::size_t(h) * 4);
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = doc.image().Row(y);
    const uint8_t* m = doc.mask().Row(y);
    uint8_t* out = bgra.data() + std::size_t(y) * std::size_t(w) * 4;
    for (int x = 0; x < w; ++x) {
      out[4 * x] = p[3 * x];
      out[4 * x + 1] = p[3 * x + 1];
      out[4 * x + 2] = p[3 * x + 2];
      out[4 * x + 3] = m[x];
    }
  }
  RecoverySnapshot snapshot;
  snapshot.about.documentPath = doc.path();
  snapshot.about.documentName = doc.path().empty() ? "Untitled" : FileNameOf(doc.path());
  snapshot.parts.push_back({"background", EncodeTarga32(w, h, bgra.data())});
  return snapshot;
}

bool CPanoramaDoc::OpenRecovered(const std::string& keptPath, const std::string& documentPath) {
  if (!OpenFile(keptPath)) return false;
  path_ = documentPath;
  SetModified(true);
  UpdateAllViews(PanoramaHint::StateChanged);
  return true;
}

bool RestoreBackgroundRecovery(CPanoramaDoc& doc, const RecoverableCopy& copy) {
  const std::string kept = RecoveredPartPath(copy, "background");
  return !kept.empty() && doc.OpenRecovered(kept, copy.manifest.documentPath);
}

}  // namespace quenda
