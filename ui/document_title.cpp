#include "ui/document_title.h"

#include <QFileInfo>

namespace quenda {

QString DocumentTitle(const QString& path, bool modified, const QString& program) {
  const QString name = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
  return name + (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") + program;
}

}  // namespace quenda
