#pragma once

namespace physics {

// Sheet geometry in metres. Every bound applies to a stone's centre and is strict: a stone exactly
// on a bound is outside it.
constexpr float StoneRadius = 0.145f;
constexpr float TeeX = 2.375f;
constexpr float TeeY = 4.88f;
constexpr float DeliveryX = 2.375f;
constexpr float DeliveryY = 41.28f;

constexpr float SideBoundLow = 0.145f;  // one radius inside the side lines of a 4.75-wide sheet
constexpr float SideBoundHigh = 4.605f;
constexpr float PlayBackBound = 2.905f;   // part of the stone still before the back line (3.05)
constexpr float SheetBackBound = 3.195f;  // the whole stone before the back line
constexpr float FarBound = 45.405f;       // short of the far end of the modelled sheet
// The whole stone on the house side of the hog line; single arithmetic gives 11.134999 (0x413228F5),
// one unit below the single nearest to 11.135.
constexpr float HogLineBound = 11.28f - StoneRadius;
// Part of the stone beyond the tee line; compared in double with the stone's y widened.
constexpr double TeeLineBound = 4.88 - static_cast<double>(StoneRadius);
constexpr float HouseReach = 1.975f;  // house radius 1.83 plus one stone radius

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
