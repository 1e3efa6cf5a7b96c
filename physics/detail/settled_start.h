#pragma once

#include "physics/detail/inert_stones.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/sheet_stones.h"
#include "records/game_state.h"

#include <box2d/b2_collision.h>
#include <box2d/b2_math.h>

#include <cstdint>
#include <vector>

class b2Body;
class b2World;

namespace physics {

// One contact of a world as the world keeps it between steps.
struct SettledContact {
    int stoneA = 0;
    int stoneB = 0;
    b2Manifold manifold{};
    uint32_t flags = 0;
};

// One change that settling stones make, in a step after the first, to what the world keeps of their
// contacts and broad-phase proxies, in the order the world makes them.
enum class SettlingEventKind : uint8_t {
    ContactEnds,    // the contact update dropped the contact of stoneA and stoneB
    ProxyMoves,     // stoneA's proxy was re-inserted, as `move` tells
    ContactStarts,  // the pair search made a contact of stoneA and stoneB
};
struct SettlingEvent {
    int step = 0;
    SettlingEventKind kind = SettlingEventKind::ContactEnds;
    int stoneA = 0;
    int stoneB = 0;
    ProxyMove move;
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
    Box tree[records::StoneCount] = {};         // the placed stones' broad-phase boxes, settled

    // When their proxies moved while they settled, everything a world needs to follow them there. A play
    // does the same as long as its delivered stone, far away, leaves the pair search's order as it is.
    bool boxesMoved = false;
    std::vector<SettledContact> firstStepContacts;  // after the first step, in the world's order
    Box firstStepTree[records::StoneCount] = {};
    std::vector<SettlingEvent> events;  // from the second step to allAsleepStep
    Box reach;                          // covers every box a placed stone had while settling
    b2Transform transform[records::StoneCount] = {};
    b2Sweep sweep[records::StoneCount] = {};
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

// The body's sweep as its last step left it.
const b2Sweep& SweepOf(const b2Body& body);

}  // namespace physics
