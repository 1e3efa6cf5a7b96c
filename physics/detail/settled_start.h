#pragma once

#include "physics/detail/inert_stones.h"
#include "physics/detail/sheet_stones.h"
#include "records/game_state.h"

#include <box2d/b2_collision.h>

#include <cstdint>
#include <vector>

class b2World;

namespace physics {

// One contact of a world as the world keeps it between steps.
struct SettledContact {
    int stoneA = 0;
    int stoneB = 0;
    b2Manifold manifold{};
    uint32_t flags = 0;
};

// The placed stones of a record after they pushed apart and fell asleep, as every play from that record
// has them until its delivered stone comes near: worked out once, in a world of their own.
struct PlacedSettling {
    records::GameState state{};  // the record
    int allAsleepStep = 0;       // from the end of this step every placed stone sleeps, but the inert ones
    InertStones inert;
    records::StonePosition place[records::StoneCount] = {};
    float angle[records::StoneCount] = {};
    float stillTime[records::StoneCount] = {};  // inert stones, after allAsleepStep
    std::vector<SettledContact> contacts;       // in the world's order
};

// The world's contacts as they are now, with the stones they join. False when one joins a body that is
// not in the table.
[[nodiscard]] bool TakeContacts(const SheetStones& stones, b2World& world,
                                std::vector<SettledContact>& contacts);

// Brings the placed stones of a world built from the record, one step played, to the state the settled
// world has them in after `step` (no earlier than allAsleepStep): places, sleep, still time and every
// contact as that world keeps it. False when the world's contacts are not the settled world's, or a stone
// would move in the broad phase; the world is then unusable.
[[nodiscard]] bool PlaceSettledStones(SheetStones& stones, b2World& world, const PlacedSettling& settled,
                                      int step);

}  // namespace physics
