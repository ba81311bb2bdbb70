#include "panorama/app/panorama_profile.h"

#include <algorithm>

#include "ui/settings.h"

namespace quenda {
namespace {

struct ColourSection {
  const char* section;
  RgbColor PanoramaViewSettings::*colour;
};

constexpr ColourSection kColourSections[] = {
    {"MASKCOLOR", &PanoramaViewSettings::mask},
    {"GRID1COLOR", &PanoramaViewSettings::grid1},
    {"GRID2COLOR", &PanoramaViewSettings::grid2},
};

struct Channel {
  const char* key;
  uint8_t RgbColor::*value;
};

constexpr Channel kChannels[] = {
    {"RED", &RgbColor::red}, {"GREEN", &RgbColor::green}, {"BLUE", &RgbColor::blue}};

}  // namespace

PanoramaViewSettings ReadViewSettings(const Settings& profile) {
  PanoramaViewSettings settings;
  for (const ColourSection& section : kColourSections) {
    RgbColor& colour = settings.*section.colour;
    for (const Channel& channel : kChannels) {
      const int value = profile.GetInt(QString::fromLatin1(section.section),
                                       QString::fromLatin1(channel.key), colour.*channel.value);
      colour.*channel.value = uint8_t(std::clamp(value, 0, 255));
    }
  }
  settings.gridSize =
      profile.GetInt(QStringLiteral("GRIDSIZE"), QStringLiteral("GRIDSIZE"), settings.gridSize);
  return settings;
}

void WriteViewSettings(Settings& profile, const PanoramaViewSettings& settings) {
  for (const ColourSection& section : kColourSections) {
    const RgbColor& colour = settings.*section.colour;
    for (const Channel& channel : kChannels)
      profile.SetInt(QString::fromLatin1(section.section), QString::fromLatin1(channel.key),
                     colour.*channel.value);
  }
  profile.SetInt(QStringLiteral("GRIDSIZE"), QStringLiteral("GRIDSIZE"), settings.gridSize);
}

}  // namespace quenda
