#include "ui/settings_profile.h"

#include "ui/settings.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Missing keys read back as this text, which no value saved can equal.
const QString kMissing = QStringLiteral("___N_O_T_F_O_U_N_D___");

}  // namespace

std::optional<std::string> SettingsProfile::Get(std::string_view section, std::string_view key) {
  const QString value = settings_.GetString(Q(section), Q(key), kMissing);
  if (value == kMissing) return std::nullopt;
  return value.toStdString();
}

bool SettingsProfile::Set(std::string_view section, std::string_view key, std::string_view value) {
  settings_.SetString(Q(section), Q(key), Q(value));
  return settings_.Save().ok();
}

}  // namespace quenda
