// The sheet's file changed by another program while the window holds it: the window offers to
// read it again, and asks before saving over it.

#include <QFileInfo>

#include "dopegrid/app/dopegrid_frame.h"
#include "ui/document_watcher.h"

namespace quenda {
namespace {

const char* const kCaption = "Quenda Dopegrid";

}  // namespace

void CDopegridFrame::WatchDocument() {
  watcher_->WatchOnly({path_.toStdString()});
}

ChangedFileAnswer CDopegridFrame::MayOverwrite() {
  if (path_.isEmpty() || !watcher_->ChangedOnDisk(path_.toStdString()))
    return ChangedFileAnswer::Overwrite;
  return AskBeforeOverwriting(*prompt_, kCaption, QFileInfo(path_).fileName().toStdString());
}

void CDopegridFrame::OfferReload(const QStringList& changed) {
  if (path_.isEmpty() || !changed.contains(path_)) return;
  // A file gone is no version to read; the save question still guards it.
  if (!QFileInfo::exists(path_)) return;
  if (!AskToReload(*prompt_, kCaption, QFileInfo(path_).fileName().toStdString(), doc_->modified()))
    return;
  OpenFile(path_);
}

}  // namespace quenda
