#include "ui/settings.h"

#include <QDir>
#include <QStandardPaths>

#include "common/path.h"

namespace quenda {
namespace {

QString Key(const QString& section, const QString& key) {
  return section + QLatin1Char('/') + key;
}

QString ProfilePath(const QString& program, QString directory) {
  if (!directory.endsWith(QLatin1Char('/'))) directory += QLatin1Char('/');
  return directory + program + QStringLiteral(".ini");
}

}  // namespace

Settings::Settings(const QString& program)
    : Settings(program, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                            QStringLiteral("/Quenda/")) {}

Settings::Settings(const QString& program, const QString& directory)
    : path_(ProfilePath(program, directory)),
      settings_(std::make_unique<QSettings>(path_, QSettings::IniFormat)) {}

QString Settings::GetString(const QString& section, const QString& key,
                            const QString& fallback) const {
  return settings_->value(Key(section, key), fallback).toString();
}

void Settings::SetString(const QString& section, const QString& key, const QString& value) {
  settings_->setValue(Key(section, key), value);
}

int Settings::GetInt(const QString& section, const QString& key, int fallback) const {
  bool ok = false;
  int value = settings_->value(Key(section, key)).toInt(&ok);
  return ok ? value : fallback;
}

void Settings::SetInt(const QString& section, const QString& key, int value) {
  settings_->setValue(Key(section, key), value);
}

void Settings::Remove(const QString& section, const QString& key) {
  settings_->remove(Key(section, key));
}

Status Settings::Save() {
  QDir().mkpath(QString::fromStdString(ParentDirectoryOf(path_.toStdString())));
  settings_->sync();
  if (settings_->status() != QSettings::NoError) {
    return Error{"Could not write the settings file: " + path_.toStdString()};
  }
  return {};
}

}  // namespace quenda
