#include "autopaint/match_target.h"

namespace quenda {
namespace {

RegionMapView UsableOrNone(const RegionMapView& view) {
  return view.map && view.width > 0 && view.height > 0 ? view : RegionMapView{};
}

}  // namespace

MatchTarget::MatchTarget(const RegionMapView& view)
    : view_(view),
      shapes_(Usable() ? MeasureRegionShapes(view) : std::vector<RegionShape>{}),
      borders_(UsableOrNone(view)),
      pixels_(view_, shapes_) {}

}  // namespace quenda
