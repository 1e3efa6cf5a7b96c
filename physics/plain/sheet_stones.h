#pragma once

#include "physics/stone_body.h"
#include "records/game_state.h"

#include <cstdint>

class b2Body;
class b2World;

namespace physics {

// The stone bodies of one simulation. Entry i is stone i of the GameState, null when that stone is not
// in the world; entries at or beyond count are always null. The bodies belong to the world.
struct SheetStones {
    int32_t count = 0;  // stones delivered so far, the thrown one included once added
    b2Body* bodies[records::StoneCount] = {};
};

// The entry of the table that holds `body`, or -1.
int StoneIndex(const SheetStones& stones, const b2Body* body);

// A dynamic, awake circle body at (x, y) that collides with every other stone.
b2Body* CreateStoneBody(b2World& world, float x, float y, float radius, float density, float restitution,
                        float friction);

// Fills the table from the record: of the stones already delivered, those in play get a body.
// False, with nothing placed, when shotNumber lies outside 0..15; the table then reads full, so
// ThrowStone refuses too.
[[nodiscard]] bool PlaceStones(SheetStones& stones, const records::GameState& state, b2World& world);

// Adds the stone being delivered at the delivery point with the shot's velocity and spin; a velocity
// that is not IsDeliverableVelocity leaves it at rest there.
// False, changing nothing, when the table is full.
[[nodiscard]] bool ThrowStone(SheetStones& stones, b2World& world, const records::ShotVector& shot);

}  // namespace physics
