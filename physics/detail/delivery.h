#pragma once

#include "physics/detail/lone_run.h"
#include "physics/simulate_shot.h"
#include "records/game_state.h"

#include <cstdint>
#include <vector>

class b2World;

namespace physics {

// The delivered stone as the world has it after its half step of friction, sliding alone from the hack;
// placed stones keep the scan from it until they fall asleep together, at the end of step asleepStep,
// inert ones for good.
LoneRunSetup DeliverySetup(const records::ShotVector& shot, const Box* others, int otherCount, bool inert,
                           int asleepStep = StepsToFallAsleep());

// The first box of the trace near one of these stones, or -1.
int FirstNearCover(const LonePath& lone, const Box* others, int otherCount);

// Whether the traced path decides the play among these stones: it comes near none of them (nearCover,
// from FirstNearCover, is -1), and with stones placed the scan reaches the delivered stone, once they
// sleep from asleepStep on, no later than it ended alone. Behind inert stones the scan never removes it,
// so only a path that rests on the sheet decides.
bool TraceDecides(const LonePath& lone, int nearCover, int otherCount, bool inert,
                  int asleepStep = StepsToFallAsleep());

// The delivered stone's lone run with `setup`, taken up from the trace's last point before its box
// nearCover when there is one (`resumed` then tells which): the run from the hack would have stepped
// there exactly so, near nothing.
LoneRunResult RunDelivery(const LoneRunSetup& setup, const LonePath* lone, int nearCover,
                          std::vector<ProxyMove>& moves, const LoneResume*& resumed);

// Makes the moves of a delivery run fit CatchUpMover in `world`, which has played its first step. A run
// taken up from the trace of `lone` holds only the re-insertions from there on; they serve when the tree
// keeps its shape through every re-insertion, as the last one alone then decides it. Otherwise the
// earlier ones are rebuilt from the trace's sweeps, or, failing those, the run is played again from the
// hack. False when that run does not hand over.
[[nodiscard]] bool CompleteDeliveryMoves(b2World& world, int32_t proxy, const LoneRunSetup& setup,
                                         const LonePath* lone, const LoneResume* resumed, LoneRunResult& run,
                                         std::vector<ProxyMove>& moves);

}  // namespace physics
