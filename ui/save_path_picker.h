#pragma once
// Asking for a file to write. Programs take the picker as a value so that tests can put their
// own in the system dialog's place.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// The same question as a document's core asks it (title, filter, the held file's path, which
// is offered and gives the extension), its dialog over `parent`.
using CoreSavePathPicker = std::function<std::optional<std::string>(
    std::string_view title, std::string_view filter, const std::string& startPath)>;
CoreSavePathPicker CorePickerOf(QWidget* parent, SavePathPicker pick);

}  // namespace quenda
