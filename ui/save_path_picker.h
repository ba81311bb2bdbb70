#pragma once
// Asking for a file to write. Programs take the picker as a value so that tests can put their
// own in the system dialog's place.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace quenda {

// Asks for a file to write: title, filter "Description (*.ext)", the extension added when
// the name has none. Nothing when the user cancels.
using SavePathPicker = std::function<std::optional<QString>(
    QWidget* parent, const QString& title, const QString& filter, const QString& suffix)>;
SavePathPicker SystemSavePathPicker();

}  // namespace quenda
