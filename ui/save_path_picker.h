#pragma once
// Asking for a file to write. Programs take the picker as a value so that tests can put their
// own in the system dialog's place.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace quenda {

// What a save dialog shows: its title, filter "Description (*.ext)", the extension added when
// the name has none, and the file name offered before the user types one (none when empty).
struct SaveQuestion {
  QString title;
  QString filter;
  QString suffix;
  QString name = {};
};

// Asks for a file to write; nothing when the user cancels.
using SavePathPicker =
    std::function<std::optional<QString>(QWidget* parent, const SaveQuestion& question)>;
SavePathPicker SystemSavePathPicker();

}  // namespace quenda
