#pragma once
// A program's profile: an INI file `Quenda/<program>.ini` under the user's configuration
// directory, read and written through QSettings (which replaces the file only once the new one
// is complete).

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

#include "common/result.h"

namespace quenda {

class Settings {
 public:
  // The profile of `program` ("painter", "scanner", ...) in the user's configuration directory.
  explicit Settings(const QString& program);
  // The profile kept in `directory` (which ends with '/'): for tests and portable set-ups.
  Settings(const QString& program, const QString& directory);

  const QString& path() const { return path_; }

  QString GetString(const QString& section, const QString& key, const QString& fallback = {}) const;
  void SetString(const QString& section, const QString& key, const QString& value);
  int GetInt(const QString& section, const QString& key, int fallback = 0) const;
  void SetInt(const QString& section, const QString& key, int value);
  void Remove(const QString& section, const QString& key);

  // Writes what changed; an error names the profile when it could not be written.
  Status Save();

 private:
  QString path_;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace quenda
