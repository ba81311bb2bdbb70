#pragma once
// The kinds of figure the sample generator draws. Each moves in its own way, so that auto paint
// can be judged on motions as varied as a studio's drawings: the walk (the default, whose
// drawings tests and benchmarks rely on), limbs turning about their joints, a head turning, a
// cartoon animal of many small pieces, two walkers crossing, a soft shape squashing and bending,
// and a walker coming across and towards the camera.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "samples/figure_parts.h"

namespace quenda::samples {

enum class FigureKind : uint8_t { Walk = 0, Limbs, Head, Animal, Cross, Soft, Travel };

inline constexpr FigureKind kFigureKinds[] = {
    FigureKind::Walk,  FigureKind::Limbs, FigureKind::Head,  FigureKind::Animal,
    FigureKind::Cross, FigureKind::Soft,  FigureKind::Travel};

// The kind's name as `quenda sample --figure` takes it: "walk", "limbs", ...
std::string_view FigureKindName(FigureKind kind);
// The kind of that name, in any letter case.
std::optional<FigureKind> FigureKindNamed(std::string_view name);
// "walk, limbs, head, animal, cross, soft, travel", for messages.
std::string FigureKindNames();

// The parts a figure of this kind is painted in, in the order of their colours in its colour
// set (after the fixed entries). For the walk: the five of kSampleColors.
std::span<const FigurePart> FigureKindParts(FigureKind kind);

// The colour a part is painted with.
struct PartPaint {
  int red, green, blue;
};
PartPaint PartPaintColor(FigurePart part);

}  // namespace quenda::samples
