#pragma once
// Paint kept across a new analysis of the same drawing. The new regions get new numbers, so
// the old paint file cannot simply stay: each new region takes the colour that the old paint
// gives most of its pixels, which is exact wherever the regions did not change, and stays
// unfilled where no colour covers more than half of it.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/region_data.h"
#include "common/region_file.h"
#include "common/result.h"

namespace quenda {

struct CarriedPaint {
  std::vector<int32_t> regionColor;  // for the new regions: regionCount + 2 entries
  int changedColour = 0;   // regions that took a colour some of their pixels did not have before
  int becameUnfilled = 0;  // regions left unfilled although paint lay under some of them
};

// `oldMap` and `oldFlags` are the old region file's planes (same picture size as `fresh`),
// `oldColors` its paint. Pixels on a region line, old or new, do not vote, since lines move
// with the settings; a region made of line pixels only lets all its pixels vote.
CarriedPaint CarryPaint(std::span<const uint16_t> oldMap, std::span<const uint8_t> oldFlags,
                        std::span<const int32_t> oldColors, const RegionData& fresh);
// The same with the old planes walked in stretches (RegionFileStretches::Walk), once for each of
// the vote's passes; the stretches cover the fresh picture's pixels.
using OldStretches = std::function<void(const RegionStretchSink& put)>;
CarriedPaint CarryPaint(const OldStretches& old, std::span<const int32_t> oldColors,
                        const RegionData& fresh);

// What a new analysis did with the paint file beside the region file it replaces.
enum class PaintKept {
  NoPaint,        // there was no paint file
  Carried,        // the paint was carried over and written with the new region file
  SetAside,       // the paint file did not fit the old regions and was moved to NAME.pnt.stale
  Unchecked,      // no old region file read to check the paint against: moved to NAME.pnt.stale
  KeptUnchecked,  // the same, kept as it was on request, since it has the new region count
};
struct RegionReplacement {
  PaintKept paint = PaintKept::NoPaint;
  int changedColour = 0;  // as CarriedPaint's, when carried
  int becameUnfilled = 0;
  std::string asidePath;  // where a stale paint file went
};

// What a frame's line adds: nothing without paint, "paint kept: 2 regions changed colour, 1
// became unfilled", "paint made for other regions set aside as walk1.pnt.stale", or "paint set
// aside as walk1.pnt.stale: no old region file to check it against".
std::string PaintKeptText(const RegionReplacement& replaced);

// Writes `fresh` to `regionPath` and, when `paintPath` has a paint file, the paint carried to
// the new regions, both prepared before either replaces its old file. A paint file that does not
// fit the old region file is moved aside instead, so that it is never read as paint of the new
// regions. So is one whose old region file is missing or does not read: a paint file knows only
// its region count, and a new analysis with other settings may well give the same count to
// regions numbered otherwise. Moved aside, the paint is still there to take back by hand. `writer`
// words the region file's errors. The failure's message is the one to show; on failure no file has
// changed, except that a stale paint file may have been moved aside.
// `unchecked` Keep keeps such a paint file as it was when its region count is the new one (an
// analysis again with the same settings after the region files were removed); the caller
// accepts that it may colour other regions.
enum class UncheckedPaint { SetAside, Keep };
Result<RegionReplacement> ReplaceRegionsKeepingPaint(
    const std::string& regionPath, const std::string& paintPath, const RegionData& fresh,
    RegionWriter writer, UncheckedPaint unchecked = UncheckedPaint::SetAside);

}  // namespace quenda
