// The background's file changed by another program while the window holds it: the window
// offers to read it again, and asks before saving over it.

#include <QFileInfo>

#include "common/path.h"
#include "panorama/app/panorama_frame.h"
#include "ui/document_watcher.h"

namespace quenda {
namespace {

// As the program's other questions are captioned.
const char* const kCaption = "Quenda Background Maker";

}  // namespace

void CPanoramaFrame::WatchDocument() {
  watchedPath_ = doc_->path();
  watcher_->WatchOnly({watchedPath_});
}

ChangedFileAnswer CPanoramaFrame::MayOverwrite() {
  if (doc_->path().empty() || !watcher_->ChangedOnDisk(doc_->path()))
    return ChangedFileAnswer::Overwrite;
  return AskBeforeOverwriting(*prompt_, kCaption, FileNameOf(doc_->path()));
}

void CPanoramaFrame::OfferReload(const QStringList& changed) {
  const QString path = QString::fromStdString(doc_->path());
  if (path.isEmpty() || !changed.contains(path)) return;
  // A file gone is no version to read; the save question still guards it.
  if (!QFileInfo::exists(path)) return;
  if (!AskToReload(*prompt_, kCaption, FileNameOf(doc_->path()), doc_->modified())) return;
  OpenFile(path);
}

}  // namespace quenda
