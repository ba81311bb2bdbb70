#pragma once
// The view settings as the background maker keeps them in its profile: one section per
// colour ("MASKCOLOR", "GRID1COLOR", "GRID2COLOR" with "RED", "GREEN", "BLUE") and
// "GRIDSIZE"/"GRIDSIZE"; a missing or unreadable key keeps its default.

#include "panorama/core/mask_ops.h"

namespace quenda {

class Settings;

PanoramaViewSettings ReadViewSettings(const Settings& profile);
// Sets the keys; the caller saves the profile.
void WriteViewSettings(Settings& profile, const PanoramaViewSettings& settings);

}  // namespace quenda
