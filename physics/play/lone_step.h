#pragma once

#include "physics/play/play_step.h"
#include "physics/sheet.h"
#include "physics/world/integration.h"

// One step of a stone that the world moves alone (its own island, no contact): the island solve, the
// update of its proxy's fat box and the sheet's friction, with the world's float operations in its
// order. Shared by the skip that steps such a stone in the world and by the readiness traces, which step
// it on an empty sheet; inline, as both run it at every step.
namespace physics {

// The stone delivered with `shot` as a world has it before its first step: at the hack, with the shot's
// velocity (none when it is not IsDeliverableVelocity) and spin, after the half step of friction.
inline WorldStone DeliveredStone(const records::ShotVector& shot) {
    WorldStone stone;
    stone.present = true;
    stone.awake = true;
    stone.centre = Vec2{records::DeliveryX + 0.0f, records::DeliveryY + 0.0f};
    if (IsDeliverableVelocity(shot.vx, shot.vy)) {
        SetStoneVelocity(stone, Vec2{shot.vx, shot.vy});
    }
    SetStoneSpin(stone, SpinForCurl(shot.curl));
    ApplyStoneFriction(stone, SpeedLossPerStep * 0.5f);
    return stone;
}

// A proxy's fat box when it is made for a stone at `centre`.
inline Box FreshFatBox(Vec2 centre) {
    const Box box = StoneBoxAt(centre);
    return Box{box.lowerX - FatBoxMargin, box.lowerY - FatBoxMargin, box.upperX + FatBoxMargin,
               box.upperY + FatBoxMargin};
}

// True when the step re-inserts the stone's proxy, whose fat box is then `fatBox`.
[[gnu::always_inline]] inline bool StepStoneAlone(WorldStone& stone, Box& fatBox) {
    Vec2 start;
    SolveLoneStone(stone, TimeStep, start);
    const Box box2 = StoneBoxAt(stone.centre);
    const Box box1 = stone.awake ? StoneBoxAt(start) : box2;
    const Box swept = Combine(box1, box2);
    const Vec2 displacement = Centre(box2) - Centre(box1);
    const bool moved = !FatBoxKeeps(fatBox, swept, displacement);
    if (moved) {
        fatBox = FatBoxFor(swept, displacement);
    }
    ApplyStoneFriction(stone, SpeedLossPerStep);
    return moved;
}

// IsOffSheet(ClassifyStonePosition(...)) of a stone's centre, without the distance to the tee for a
// stone plainly on the sheet, as a sliding stone is at almost every step.
inline bool StoneOffSheet(Vec2 at) {
    if (records::SideBoundLow < at.x && at.x < records::SideBoundHigh && records::SheetBackBound < at.y &&
        at.y < records::FarBound) {
        return false;
    }
    return IsOffSheet(ClassifyStonePosition(at.x, at.y));
}

}  // namespace physics
