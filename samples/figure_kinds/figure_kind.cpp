#include "samples/figure_kinds/figure_kind.h"

#include <cctype>

namespace quenda::samples {
namespace {

using P = FigurePart;

constexpr std::string_view kNames[] = {"walk",  "limbs", "head",  "animal",
                                       "cross", "soft",  "travel"};

constexpr FigurePart kWalkParts[] = {P::Skin, P::Shirt, P::Pants, P::Hair, P::Shoes};
constexpr FigurePart kLimbsParts[] = {P::Skin,  P::Shirt, P::Pants, P::Hair,
                                      P::Shoes, P::Eye,   P::Pupil};
constexpr FigurePart kHeadParts[] = {P::Skin, P::Shirt, P::Hair,  P::Eye,   P::Pupil,
                                     P::Brow, P::Mouth, P::Teeth, P::Tongue};
constexpr FigurePart kAnimalParts[] = {P::Eye,  P::Pupil, P::Mouth, P::Teeth, P::Tongue,
                                       P::Nose, P::Fur,   P::Spot,  P::Stripe};
constexpr FigurePart kCrossParts[] = {P::Skin,  P::Shirt, P::Pants, P::Hair,
                                      P::Shoes, P::Coat,  P::Jeans};
constexpr FigurePart kSoftParts[] = {P::Eye, P::Pupil, P::Mouth, P::Tongue, P::Jelly, P::Belly};

constexpr PartPaint kPaints[kFigurePartCount] = {
    {255, 255, 255},  // the paper is never painted
    {250, 205, 170}, {60, 110, 200}, {70, 62, 52},    {95, 55, 25},    {40, 30, 30},
    {252, 252, 245}, {30, 40, 70},   {80, 45, 20},    {120, 20, 30},   {240, 236, 215},
    {225, 90, 110},  {35, 25, 25},   {215, 160, 90},  {120, 70, 30},   {60, 40, 20},
    {180, 40, 40},   {50, 70, 110},  {120, 200, 120}, {200, 240, 190},
};

}  // namespace

std::string_view FigureKindName(FigureKind kind) {
  const auto index = std::size_t(kind);
  return index < std::size(kNames) ? kNames[index] : std::string_view{};
}

std::optional<FigureKind> FigureKindNamed(std::string_view name) {
  for (FigureKind kind : kFigureKinds) {
    const std::string_view known = FigureKindName(kind);
    if (known.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size(); ++i)
      same = same && std::tolower((unsigned char)name[i]) == known[i];
    if (same) return kind;
  }
  return std::nullopt;
}

std::string FigureKindNames() {
  std::string names;
  for (FigureKind kind : kFigureKinds) {
    if (!names.empty()) names += ", ";
    names += FigureKindName(kind);
  }
  return names;
}

std::span<const FigurePart> FigureKindParts(FigureKind kind) {
  switch (kind) {
    case FigureKind::Walk:
      return kWalkParts;
    case FigureKind::Limbs:
      return kLimbsParts;
    case FigureKind::Head:
      return kHeadParts;
    case FigureKind::Animal:
      return kAnimalParts;
    case FigureKind::Cross:
      return kCrossParts;
    case FigureKind::Soft:
      return kSoftParts;
    case FigureKind::Travel:
      return kWalkParts;
  }
  return kWalkParts;
}

PartPaint PartPaintColor(FigurePart part) {
  const auto index = std::size_t(part);
  return index < std::size(kPaints) ? kPaints[index] : kPaints[0];
}

}  // namespace quenda::samples
