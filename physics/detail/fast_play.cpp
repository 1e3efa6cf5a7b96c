#include "physics/detail/fast_play.h"

#include "physics/detail/delivery.h"
#include "physics/detail/hand_over.h"
#include "physics/detail/inert_stones.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/settle.h"
#include "physics/detail/settled_start.h"
#include "physics/detail/settling_events.h"
#include "physics/detail/world_play.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace physics {

FastPlayScratch::FastPlayScratch() = default;
FastPlayScratch::~FastPlayScratch() = default;

namespace {

// Placed stones at least this far apart never move by themselves: the world's position correction
// starts only at an overlap of one linear slop (0.005); the extra 0.0001 keeps clear of that boundary.
constexpr float StillDistance = 2.0f * records::StoneRadius - 0.005f + 0.0001f;

// Stones that do not settle within this many steps are left to the world. Worked out once per record,
// settling may take longer: a pile pushed apart takes a third of a second.
constexpr int SettleStepLimit = 600;
constexpr int SharedSettleStepLimit = 1200;

struct Placed {
    int count = 0;
    int index[records::StoneCount] = {};
};

Placed PlacedStones(const records::GameState& state) {
    Placed placed;
    for (int i = 0; i < state.shotNumber; ++i) {
        if (ClassifyStonePosition(state.stones[i].x, state.stones[i].y).inPlay) {
            placed.index[placed.count++] = i;
        }
    }
    return placed;
}

// Stones on one spot stand still too: nothing pushes them apart.
bool PlacedStonesStandStill(const records::GameState& state, const Placed& placed) {
    for (int a = 0; a < placed.count; ++a) {
        for (int b = a + 1; b < placed.count; ++b) {
            const records::StonePosition& p = state.stones[placed.index[a]];
            const records::StonePosition& q = state.stones[placed.index[b]];
            const float dx = q.x - p.x;
            const float dy = q.y - p.y;
            const bool oneSpot = p.x == q.x && p.y == q.y;
            if (!oneSpot && std::sqrt(dx * dx + dy * dy) < StillDistance) {
                return false;
            }
        }
    }
    return true;
}

// The world at the step the delivered stone's lone run hands over at, in a play in which the placed
// stones stood still, asleep since step StepsToFallAsleep() unless inert, and the delivered stone slid
// alone: built as the plain play builds it, one real step played, then the delivered stone's broad-phase
// history and state replayed.
bool HandOverDelivery(const records::GameState& state, const records::ShotVector& shot, const Placed& placed,
                      const InertStones& inert, const LoneRunSetup& setup, const LonePath* lone,
                      const LoneResume* resumed, LoneRunResult handOver, FastPlayScratch& scratch,
                      PlayOutcome& outcome) {
    HandOverWorld w = StartWorld(state, shot, scratch);
    if (PlayStep(w.stones, *w.world)) {
        return false;
    }
    const int thrower = state.shotNumber;
    const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
    std::vector<ProxyMove>& moves = w.scratch.proxyMoves;
    if (!CompleteDeliveryMoves(*w.world, proxies.ids[thrower], setup, lone, resumed, handOver, moves) ||
        !CatchUpMover(*w.world, w.stones.bodies[thrower], proxies.ids[thrower], moves, 1, handOver)) {
        return false;
    }
    for (int k = 0; k < placed.count; ++k) {
        b2Body& body = *w.stones.bodies[placed.index[k]];
        if (inert.inert[placed.index[k]]) {
            AdvanceStillTime(body, handOver.step - 1);
        } else {
            body.SetAwake(false);
        }
    }
    return PlayOn(w, handOver.step, outcome);
}

// Placed stones that push each other apart settle within a few steps. The world plays until they do;
// then the delivered stone runs alone.
bool PlaySettling(const records::GameState& state, const records::ShotVector& shot, FastPlayScratch& scratch,
                  PlayOutcome& outcome) {
    HandOverWorld w = StartWorld(state, shot, scratch);
    const int thrower = state.shotNumber;
    const Settling settling = PlayUntilSettled(w.stones, *w.world, thrower, SettleStepLimit);
    if (settling.end == SettleEnd::PlayOver) {
        outcome = OutcomeOf(w.stones);
        return true;
    }
    int step = settling.step;
    if (settling.end == SettleEnd::Settled) {
        const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
        int nextTry = 0;
        const Progress progress = RunMoverAlone(w, proxies, thrower, settling.inert, settling.allAsleepStep,
                                                step, nextTry, outcome);
        if (progress != Progress::Continues) {
            return progress == Progress::Ended;
        }
    }
    return PlayOn(w, step, outcome);
}

// The placed stones at `places` and the delivered one at rest or gone, where its lone run ended.
PlayOutcome LoneOutcome(const records::GameState& state, const Placed& placed,
                        const records::StonePosition* places, const InertStones& inert, LoneRunEnd end,
                        const records::StonePosition& rest) {
    PlayOutcome outcome;
    outcome.count = state.shotNumber + 1;
    for (int k = 0; k < placed.count; ++k) {
        outcome.present[placed.index[k]] = true;
        outcome.position[placed.index[k]] = places[placed.index[k]];
    }
    if (end == LoneRunEnd::Rests) {
        outcome.present[state.shotNumber] = true;
        outcome.position[state.shotNumber] = rest;
    }
    ScanAtRest(outcome, inert);
    return outcome;
}

// Whether the delivered stone stays far from every box of the placed stones while they settle: it
// slides no faster than it starts, and a metre more covers the boxes of both.
bool FarWhileSettling(const records::ShotVector& shot, const PlacedSettling& settled) {
    const float speed = std::sqrt(shot.vx * shot.vx + shot.vy * shot.vy);
    const float travel = speed * TimeStep * static_cast<float>(settled.allAsleepStep) + 1.0f;
    const Box& reach = settled.reach;
    const float gapX = std::max({reach.lowerX - records::DeliveryX, records::DeliveryX - reach.upperX, 0.0f});
    const float gapY = std::max({reach.lowerY - records::DeliveryY, records::DeliveryY - reach.upperY, 0.0f});
    return std::isfinite(travel) && gapX * gapX + gapY * gapY > travel * travel;
}

// The play from a record whose placed stones settle as `settled` has them: the delivered stone slides
// alone while they settle and sleep, for as long as it keeps away from them (their proxies never move,
// so they do everything as in the settled world), and a world built where it comes near gets their
// settled state.
bool PlayFromSettled(const records::GameState& state, const records::ShotVector& shot, const LonePath* lone,
                     const PlacedSettling& settled, const Placed& placed, FastPlayScratch& scratch,
                     PlayOutcome& outcome) {
    Box others[records::StoneCount];
    for (int k = 0; k < placed.count; ++k) {
        others[k] = settled.tree[placed.index[k]];
    }
    if (settled.boxesMoved && !FarWhileSettling(shot, settled)) {
        return PlaySettling(state, shot, scratch, outcome);
    }
    const bool inert = settled.inert.count > 0;
    const int nearCover = lone != nullptr ? FirstNearCover(*lone, others, placed.count) : -1;
    if (lone != nullptr && TraceDecides(*lone, nearCover, placed.count, inert, settled.allAsleepStep)) {
        const LoneRunEnd end = static_cast<LoneRunEnd>(lone->end - 1);
        outcome = LoneOutcome(state, placed, settled.place, settled.inert, end, lone->rest);
        return true;
    }
    const LoneRunSetup setup = DeliverySetup(shot, others, placed.count, inert, settled.allAsleepStep);
    // Replaying the settling needs the delivered stone's every re-insertion, at its step.
    const LoneResume* resumed = nullptr;
    LoneRunResult run = settled.boxesMoved ? RunAlone(setup, scratch.proxyMoves)
                                           : RunDelivery(setup, lone, nearCover, scratch.proxyMoves, resumed);
    if (run.end == LoneRunEnd::Rests || run.end == LoneRunEnd::Removed) {
        outcome = LoneOutcome(state, placed, settled.place, settled.inert, run.end,
                              records::StonePosition{run.state.x, run.state.y});
        return true;
    }
    if (run.end == LoneRunEnd::Undecided) {
        return PlaySettling(state, shot, scratch, outcome);
    }
    HandOverWorld w = StartWorld(state, shot, scratch);
    if (PlayStep(w.stones, *w.world)) {
        return false;
    }
    const int thrower = state.shotNumber;
    const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
    if (settled.boxesMoved) {
        if (run.step < settled.allAsleepStep ||
            !ReplaySettlingEvents(w.stones, *w.world, settled, scratch.proxyMoves) ||
            !PlaceSettledStones(w.stones, *w.world, settled, run.step) ||
            !CatchUpMover(*w.world, w.stones.bodies[thrower], proxies.ids[thrower], scratch.proxyMoves,
                          settled.allAsleepStep, run)) {
            return false;
        }
        return PlayOn(w, run.step, outcome);
    }
    if (!CompleteDeliveryMoves(*w.world, proxies.ids[thrower], setup, lone, resumed, run,
                               scratch.proxyMoves) ||
        !PlaceSettledStones(w.stones, *w.world, settled, run.step) ||
        !CatchUpMover(*w.world, w.stones.bodies[thrower], proxies.ids[thrower], scratch.proxyMoves, 1, run)) {
        return false;
    }
    return PlayOn(w, run.step, outcome);
}

bool SameStonesPlaced(const records::GameState& a, const records::GameState& b) {
    return a.shotNumber == b.shotNumber &&
           std::memcmp(a.stones, b.stones, sizeof a.stones[0] * static_cast<std::size_t>(a.shotNumber)) == 0;
}

}  // namespace

std::shared_ptr<const PlacedSettling> SettlePlacedStones(const records::GameState& state) {
    if (state.shotNumber < 1 || state.shotNumber >= records::StoneCount) {
        return nullptr;
    }
    const Placed placed = PlacedStones(state);
    if (PlacedStonesStandStill(state, placed)) {
        return nullptr;
    }
    // Any delivery that stays far from the placed stones while they settle serves: a draw from the hack.
    const records::ShotVector draw{0.0f, -29.6f, 0, {}};
    FastPlayScratch scratch;
    HandOverWorld w = StartWorld(state, draw, scratch);
    const int thrower = state.shotNumber;
    const Settling settling = PlayUntilSettled(w.stones, *w.world, thrower, SharedSettleStepLimit);
    if (settling.end != SettleEnd::Settled) {
        return nullptr;
    }
    auto settled = std::make_shared<PlacedSettling>();
    settled->state = state;
    settled->allAsleepStep = settling.allAsleepStep;
    settled->inert = settling.inert;
    if (!settling.othersKeptBoxes) {
        if (!RecordSettlingEvents(*settled)) {
            return nullptr;
        }
        for (int k = 0; k < placed.count; ++k) {
            const int i = placed.index[k];
            settled->place[i] = records::StonePosition{settled->transform[i].p.x, settled->transform[i].p.y};
            settled->angle[i] = settled->sweep[i].a;
        }
        return settled;
    }
    const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
    Box others[records::StoneCount];
    for (int k = 0; k < placed.count; ++k) {
        const int i = placed.index[k];
        settled->place[i] =
            records::StonePosition{w.stones.bodies[i]->GetPosition().x, w.stones.bodies[i]->GetPosition().y};
        others[k] = FreshProxyBox(state.stones[i].x, state.stones[i].y);
        settled->tree[i] = others[k];
    }
    // Followed to the step at which they all sleep: none moves or is moved in the broad phase, and
    // they fall asleep together exactly then.
    for (int step = settling.step; step <= settling.allAsleepStep; ++step) {
        if (step > settling.step && PlayStep(w.stones, *w.world)) {
            return nullptr;
        }
        bool allAsleep = true;
        for (int k = 0; k < placed.count; ++k) {
            const int i = placed.index[k];
            const b2Body* body = w.stones.bodies[i];
            if (body == nullptr) {
                return nullptr;
            }
            const records::StonePosition at{body->GetPosition().x, body->GetPosition().y};
            const Box tree = TreeBox(*w.world, proxies.ids[i]);
            if (std::memcmp(&at, &settled->place[i], sizeof at) != 0 ||
                std::memcmp(&tree, &others[k], sizeof tree) != 0) {
                return nullptr;
            }
            allAsleep = allAsleep && (settled->inert.inert[i] || !body->IsAwake());
        }
        if (w.stones.bodies[thrower] == nullptr || allAsleep != (step == settling.allAsleepStep)) {
            return nullptr;
        }
        const Box delivered = TreeBox(*w.world, proxies.ids[thrower]);
        for (int k = 0; k < placed.count; ++k) {
            if (BoxesNear(delivered, others[k])) {
                return nullptr;
            }
        }
    }
    for (int k = 0; k < placed.count; ++k) {
        const int i = placed.index[k];
        settled->angle[i] = w.stones.bodies[i]->GetAngle();
        settled->stillTime[i] = StillTime(*w.stones.bodies[i]);
    }
    if (!TakeContacts(w.stones, *w.world, settled->contacts)) {
        return nullptr;
    }
    for (const SettledContact& contact : settled->contacts) {
        if (contact.stoneA == thrower || contact.stoneB == thrower) {
            return nullptr;
        }
    }
    return settled;
}

bool PlayShotFast(const records::GameState& state, const records::ShotVector& shot, const LonePath* lone,
                  const PlacedSettling* settled, FastPlayScratch& scratch, PlayOutcome& outcome) {
    const Placed placed = PlacedStones(state);
    if (!PlacedStonesStandStill(state, placed)) {
        if (settled != nullptr && SameStonesPlaced(settled->state, state)) {
            return PlayFromSettled(state, shot, lone, *settled, placed, scratch, outcome);
        }
        return PlaySettling(state, shot, scratch, outcome);
    }
    Box others[records::StoneCount];
    for (int k = 0; k < placed.count; ++k) {
        const records::StonePosition& at = state.stones[placed.index[k]];
        others[k] = FreshProxyBox(at.x, at.y);
    }
    const InertStones inert = CoincidentStones(state, placed.index, placed.count);
    const int nearCover = lone != nullptr ? FirstNearCover(*lone, others, placed.count) : -1;
    if (lone != nullptr && TraceDecides(*lone, nearCover, placed.count, inert.count > 0)) {
        const LoneRunEnd end = static_cast<LoneRunEnd>(lone->end - 1);
        outcome = LoneOutcome(state, placed, state.stones, inert, end, lone->rest);
        return true;
    }
    const LoneRunSetup setup = DeliverySetup(shot, others, placed.count, inert.count > 0);
    const LoneResume* resumed = nullptr;
    const LoneRunResult run = RunDelivery(setup, lone, nearCover, scratch.proxyMoves, resumed);
    if (run.end == LoneRunEnd::HandOver) {
        return HandOverDelivery(state, shot, placed, inert, setup, lone, resumed, run, scratch, outcome);
    }
    if (run.end == LoneRunEnd::Undecided) {
        HandOverWorld w = StartWorld(state, shot, scratch);
        return PlayOn(w, 0, outcome);
    }
    outcome = LoneOutcome(state, placed, state.stones, inert, run.end,
                          records::StonePosition{run.state.x, run.state.y});
    return true;
}

}  // namespace physics
