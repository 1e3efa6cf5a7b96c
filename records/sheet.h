#pragma once

#include "records/game_state.h"

// The geometry of the sheet, in metres, as 32-bit floats: x across the sheet, y along it, stones
// delivered from large y towards the house. Every bound below applies to a stone's centre and is strict:
// a stone exactly on a bound is outside it. Derived bounds are the single-precision results of the
// expressions shown, which are the singles nearest to the decimals in the comments.
namespace records {

constexpr float SheetWidth = 4.75f;
constexpr float CentreLineX = 2.375f;
constexpr float TeeX = CentreLineX;  // the centre of the house
constexpr float TeeY = 4.88f;        // also the tee line
constexpr float BackLineY = 3.05f;
constexpr float HogLineY = 11.28f;
constexpr float FarEndY = 45.55f;  // the far end of the modelled sheet
constexpr float DeliveryX = CentreLineX;
constexpr float DeliveryY = 41.28f;  // where a delivered stone starts
constexpr float StoneRadius = 0.145f;
constexpr float HouseRadius = 1.83f;
constexpr float EightFootRadius = 1.22f;  // the rings inside the house, drawn but never scored
constexpr float FourFootRadius = 0.61f;
constexpr float ButtonRadius = 0.15f;

constexpr float SideBoundLow = StoneRadius;                // 0.145: one radius inside the side lines
constexpr float SideBoundHigh = SheetWidth - StoneRadius;  // 4.605
constexpr float PlayBackBound = BackLineY - StoneRadius;   // 2.905: part of the stone before the back line
constexpr float SheetBackBound = BackLineY + StoneRadius;  // 3.195: the whole stone before the back line
constexpr float FarBound = FarEndY - StoneRadius;          // 45.405
// The whole stone on the house side of the hog line: 11.134999 (0x413228F5), one unit below the single
// nearest to 11.135.
constexpr float HogLineBound = HogLineY - StoneRadius;
// Part of the stone beyond the tee line. Compared in double with the stone's y widened: the single
// nearest to 4.735 lies beyond it, as it does in exact arithmetic.
constexpr double TeeLineBound = static_cast<double>(TeeY) - static_cast<double>(StoneRadius);
// Part of the stone over the house: 1.975 from the tee.
constexpr float HouseReach = HouseRadius + StoneRadius;
constexpr float HouseReachSquared = HouseReach * HouseReach;  // 3.900625

// Squared distance of a stone's centre from the tee, in single precision; NaN for a NaN position.
inline float SquaredTeeDistance(StonePosition stone) {
    const float dx = stone.x - TeeX;
    const float dy = stone.y - TeeY;
    return dx * dx + dy * dy;
}

// The one rule for "in the house": strictly within the house reach, compared squared (for single
// floats the same as comparing the rounded square root with 1.975); never for a NaN position.
inline bool InHouse(float squaredTeeDistance) {
    return squaredTeeDistance < HouseReachSquared;
}

inline bool InHouse(StonePosition stone) {
    return InHouse(SquaredTeeDistance(stone));
}

}  // namespace records
