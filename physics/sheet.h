#pragma once

// The zones of the sheet a stone's centre can lie in, from the geometry in records/sheet.h.
namespace physics {

struct StoneZone {
    bool onSheet = false;      // inside the side bounds, 3.195 < y < 45.405
    bool inPlay = false;       // inside the side bounds, 2.905 < y < hog-line bound
    bool inGuardZone = false;  // in play between the tee line and the hog line, not in the house
    bool inHouse = false;      // closer than 1.975 to the tee
};

// A position with no flag at all has left the sheet: the physics removes a stone there.
inline bool IsOffSheet(const StoneZone& zone) {
    return !zone.onSheet && !zone.inPlay && !zone.inGuardZone && !zone.inHouse;
}

StoneZone ClassifyStonePosition(float x, float y);

}  // namespace physics
