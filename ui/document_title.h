#pragma once
// The title of a document program's window: the document's file name ("Untitled" before it has
// one), a star while it holds unsaved changes, then the program's name.

#include <QString>

namespace quenda {

QString DocumentTitle(const QString& path, bool modified, const QString& program);

}  // namespace quenda
