#include "physics/sheet.h"

#include "records/sheet.h"

namespace physics {

StoneZone ClassifyStonePosition(float x, float y) {
    using namespace records;
    StoneZone zone;
    const bool withinSides = SideBoundLow < x && x < SideBoundHigh;
    if (withinSides) {
        zone.onSheet = SheetBackBound < y && y < FarBound;
        zone.inPlay = PlayBackBound < y && y < HogLineBound;
    }
    zone.inHouse = InHouse(StonePosition{x, y});
    zone.inGuardZone =
        !zone.inHouse && withinSides && static_cast<double>(y) > TeeLineBound && y < HogLineBound;
    return zone;
}

}  // namespace physics
