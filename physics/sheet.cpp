#include "physics/sheet.h"

#include <cmath>

namespace physics {

StoneZone ClassifyStonePosition(float x, float y) {
    StoneZone zone;
    const bool withinSides = SideBoundLow < x && x < SideBoundHigh;
    if (withinSides) {
        zone.onSheet = SheetBackBound < y && y < FarBound;
        zone.inPlay = PlayBackBound < y && y < HogLineBound;
    }
    const float dx = x - TeeX;
    const float dy = y - TeeY;
    const float distance = std::sqrt(dy * dy + dx * dx);
    zone.inHouse = HouseReach > distance;
    zone.inGuardZone =
        !zone.inHouse && withinSides && static_cast<double>(y) > TeeLineBound && y < HogLineBound;
    return zone;
}

}  // namespace physics
