#pragma once

#include "physics/detail/group_run.h"
#include "physics/detail/inert_stones.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/sheet_stones.h"

#include <cstdint>
#include <vector>

class b2Body;
class b2World;

namespace physics {

// The broad-phase proxy of every stone body in the table (-1 for a null entry).
struct StoneProxies {
    int32_t ids[records::StoneCount];
};

StoneProxies FindStoneProxies(const SheetStones& stones, b2World& world);

// A body's place and motion as the world keeps them between steps.
MoverState StateOf(const b2Body& body);

// The box the broad phase keeps for a stone's proxy.
Box TreeBox(b2World& world, int32_t proxyId);

// One re-insertion of a proxy, passed to the broad phase as the world passed it.
void ReplayProxyMove(b2World& world, int32_t proxyId, const ProxyMove& move);

// Whether the broad-phase boxes of two proxies overlap, as the world tests whether a contact lives on.
bool TreeBoxesOverlap(b2World& world, int32_t proxyA, int32_t proxyB);

// Brings the world's record of a stone that moved alone, from fromStep to handOver.step, to the state
// the world itself would have reached: the broad-phase re-insertions in order, each followed by the
// pair search the world runs after every step, then the stone's place and velocity. False when the world
// does not end up exactly as the lone run foresaw (a new contact, a different box, another spin); the
// world is then unusable and the caller must start the shot again.
[[nodiscard]] bool CatchUpMover(b2World& world, b2Body* mover, int32_t proxyId,
                                const std::vector<ProxyMove>& moves, int fromStep,
                                const LoneRunResult& handOver);

// The world's stones set up for a group run from `step`: every awake stone that is not inert moves, and
// none of them touches another. False when one does, or none moves.
[[nodiscard]] bool GroupSetupOf(const SheetStones& stones, b2World& world, const StoneProxies& proxies,
                                const InertStones& inert, int step, GroupRunSetup& setup);

// Brings a world whose stones ran as a group from fromStep to handOver.step (RunGroup with the stones of
// `stones`) to the state the world itself would have reached: at every step the contacts brought up to
// date (none of them touches, so the stones' places at the run's start serve), the island solve's sleep,
// the proxy moves in the world's order and the pair search, then the scan's removals; last, each mover's
// place, velocity and time held still. Inert stones count the steps as held still. False when the
// broad phase does not end up as the run foresaw; the world is then unusable.
[[nodiscard]] bool CatchUpGroup(b2World& world, SheetStones& stones, const StoneProxies& proxies,
                                const std::vector<GroupEvent>& events, int fromStep,
                                const GroupRunResult& handOver);

}  // namespace physics
