#include "common/paint_carry.h"

#include <algorithm>

#include "common/atomic_file.h"
#include "common/color_set.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file_writer.h"

namespace quenda {

CarriedPaint CarryPaint(const OldStretches& old, std::span<const int32_t> oldColors,
                        const RegionData& fresh) {
  CarriedPaint carried;
  carried.regionColor = DefaultPaint(fresh.regionCount);
  const std::size_t regions = carried.regionColor.size();
  const std::size_t pixels = fresh.PixelCount();
  if (fresh.flags.size() != pixels || fresh.regionMap.size() != pixels) return carried;
  // Each pixel of the old frame as `pixel(i, on a line old or new, old colour)`.
  auto walk = [&](auto&& pixel) {
    old([&](std::size_t start, std::size_t n, uint8_t flags, uint16_t region) {
      const bool oldLine = (flags & kFlagRegionLine) != 0;
      const int32_t colour = region < oldColors.size() ? oldColors[region] : kTransparentColor;
      for (std::size_t i = start; i < start + n; ++i)
        pixel(i, oldLine || (fresh.flags[i] & kFlagRegionLine) != 0, colour);
    });
  };
  // Which regions have pixels off the lines; the others let every pixel vote.
  std::vector<uint8_t> offLine(regions, 0);
  walk([&](std::size_t i, bool onLine, int32_t) {
    if (fresh.regionMap[i] < regions && !onLine) offLine[fresh.regionMap[i]] = 1;
  });
  auto votes = [&](std::size_t r, bool onLine) { return r < regions && (!offLine[r] || !onLine); };

  // The majority vote in two passes: a candidate per region, then its count.
  std::vector<int32_t> candidate(regions, kUnfilledColor);
  std::vector<int64_t> weight(regions, 0);
  walk([&](std::size_t i, bool onLine, int32_t colour) {
    const std::size_t r = fresh.regionMap[i];
    if (!votes(r, onLine)) return;
    if (weight[r] == 0) {
      candidate[r] = colour;
      weight[r] = 1;
    } else {
      weight[r] += candidate[r] == colour ? 1 : -1;
    }
  });
  std::vector<int64_t> voters(regions, 0), agree(regions, 0);
  std::vector<uint8_t> painted(regions, 0);
  walk([&](std::size_t i, bool onLine, int32_t colour) {
    const std::size_t r = fresh.regionMap[i];
    if (!votes(r, onLine)) return;
    ++voters[r];
    if (colour == candidate[r]) ++agree[r];
    if (colour != kUnfilledColor) painted[r] = 1;
  });
  for (std::size_t r = kBackgroundRegion; r < regions; ++r) {
    if (voters[r] == 0) continue;  // a region without pixels keeps the default
    if (2 * agree[r] > voters[r] && candidate[r] != kUnfilledColor) {
      carried.regionColor[r] = candidate[r];
      if (agree[r] != voters[r]) ++carried.changedColour;
    } else {
      carried.regionColor[r] = kUnfilledColor;
      if (painted[r]) ++carried.becameUnfilled;
    }
  }
  return carried;
}

CarriedPaint CarryPaint(std::span<const uint16_t> oldMap, std::span<const uint8_t> oldFlags,
                        std::span<const int32_t> oldColors, const RegionData& fresh) {
  const std::size_t pixels = fresh.PixelCount();
  if (oldMap.size() != pixels || oldFlags.size() != pixels)
    return {DefaultPaint(fresh.regionCount), 0, 0};
  const auto stretches = [&](const RegionStretchSink& put) {
    for (std::size_t i = 0; i < pixels;) {
      std::size_t end = i + 1;
      while (end < pixels && oldMap[end] == oldMap[i] && oldFlags[end] == oldFlags[i]) ++end;
      put(i, end - i, oldFlags[i], oldMap[i]);
      i = end;
    }
  };
  return CarryPaint(stretches, oldColors, fresh);
}

std::string PaintKeptText(const RegionReplacement& replaced) {
  switch (replaced.paint) {
    case PaintKept::NoPaint:
      return {};
    case PaintKept::Carried: {
      const int n = replaced.changedColour;
      return "paint kept: " + std::to_string(n) + (n == 1 ? " region" : " regions") +
             " changed colour, " + std::to_string(replaced.becameUnfilled) + " became unfilled";
    }
    case PaintKept::SetAside:
      return "paint made for other regions set aside as " + FileNameOf(replaced.asidePath);
    case PaintKept::KeptUnchecked:
      return "paint kept unchecked: no old region file to check it against";
    case PaintKept::Unchecked:
      return "paint set aside as " + FileNameOf(replaced.asidePath) +
             ": no old region file to check it against";
  }
  return {};
}

Result<RegionReplacement> ReplaceRegionsKeepingPaint(const std::string& regionPath,
                                                     const std::string& paintPath,
                                                     const RegionData& fresh, RegionWriter writer,
                                                     UncheckedPaint unchecked) {
  RegionReplacement replaced;
  if (!EntryExists(paintPath)) {
    Status written = WriteRegionFile(regionPath, fresh, writer);
    if (!written) return Error{written.message()};
    return replaced;
  }
  if (Status checked = CheckRegionFileData(fresh); !checked) return Error{checked.message()};

  // The old paint belongs to the old regions: both must read, and fit each other.
  // Walked from its runs: its maps beside the fresh ones would be three bytes a pixel more.
  Result<RegionFileStretches> oldRegions =
      RegionFileStretches::Read(regionPath, fresh.width, fresh.height, RegionReader::Analyzer);
  if (!oldRegions && unchecked == UncheckedPaint::Keep) {
    if (auto paint = ReadPaintFile(paintPath, fresh.regionCount, 0); paint && !paint->stale) {
      Status written = WriteRegionFile(regionPath, fresh, writer);
      if (!written) return Error{written.message()};
      replaced.paint = PaintKept::KeptUnchecked;
      return replaced;
    }
  }
  // Every stored index is kept: the colour set is the painter's business.
  std::optional<PaintFile> oldPaint;
  if (oldRegions)
    if (auto paint = ReadPaintFile(paintPath, oldRegions->regionCount(), 0); paint && !paint->stale)
      oldPaint = std::move(paint.value());
  if (!oldPaint) {
    Result<std::string> aside = MoveStalePaintAside(paintPath);
    if (!aside) return Error{aside.message()};
    Status written = WriteRegionFile(regionPath, fresh, writer);
    if (!written) return Error{written.message()};
    replaced.paint = oldRegions ? PaintKept::SetAside : PaintKept::Unchecked;
    replaced.asidePath = *aside;
    return replaced;
  }

  const CarriedPaint carried = CarryPaint(
      [&](const RegionStretchSink& put) { oldRegions->Walk(put); }, oldPaint->regionColor, fresh);
  replaced.paint = PaintKept::Carried;
  replaced.changedColour = carried.changedColour;
  replaced.becameUnfilled = carried.becameUnfilled;
  int unfilled = 0;
  for (std::size_t r = kBackgroundRegion; r < carried.regionColor.size(); ++r)
    if (carried.regionColor[r] == kUnfilledColor) ++unfilled;
  const std::vector<uint8_t> paintBytes =
      EncodePaintFile(carried.regionColor, std::max(fresh.regionCount - unfilled, 0));
  // Both files are complete on disk before either replaces its old one.
  AtomicFile regionFile, paintFile;
  if (Status s = regionFile.Open(regionPath, WriteMessages(RegionWriteMessage(regionPath, writer)));
      !s)
    return Error{s.message()};
  if (Status s = WriteRegionFileInto(regionFile, fresh); !s) return Error{s.message()};
  if (Status s = paintFile.Open(paintPath, WriteMessages(std::string(kPaintFileWriteError))); !s)
    return Error{s.message()};
  if (Status s = paintFile.Write(paintBytes.data(), paintBytes.size()); !s)
    return Error{s.message()};
  if (Status s = regionFile.Commit(); !s) return Error{s.message()};
  if (Status s = paintFile.Commit(); !s) return Error{s.message()};
  return replaced;
}

}  // namespace quenda
