#include "physics/detail/world_play.h"

#include "physics/detail/group_run.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/repeating_step.h"
#include "physics/detail/run_to_rest.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"

#include <box2d/box2d.h>

#include <cassert>
#include <new>

namespace physics {

HandOverWorld StartWorld(const records::GameState& state, const records::ShotVector& shot,
                         FastPlayScratch& scratch) {
    if (!scratch.worldMemory) {
        scratch.worldMemory = std::make_unique<WorldMemory>();
    }
    HandOverWorld w{
        std::unique_ptr<b2World, EndWorld>(new (scratch.worldMemory->bytes) b2World(b2Vec2(0.0f, 0.0f))),
        SheetStones{}, scratch};
    w.world->SetAllowSleeping(true);
    // The caller's shotNumber lies in 0..15, so the stones are placed and the delivery thrown.
    [[maybe_unused]] const bool placed = PlaceStones(w.stones, state, *w.world);
    [[maybe_unused]] const bool thrown = ThrowStone(w.stones, *w.world, shot);
    assert(placed && thrown);
    ApplySheetFriction(w.stones, SpeedLossPerStep * 0.5f);
    return w;
}

namespace {

// The only awake stone, when it slides and has no contact at all while every other stone sleeps or is
// inert; `inert` tells which are.
int LoneMover(const SheetStones& stones, InertStones& inert) {
    inert = InertStones{};
    int mover = -1;
    int awake = 0;
    for (int i = 0; i < stones.count; ++i) {
        const b2Body* body = stones.bodies[i];
        if (body != nullptr && body->IsAwake()) {
            mover = i;
            ++awake;
        }
    }
    if (awake > 1) {
        inert = FindInertStones(stones);
        if (awake - inert.count != 1) {
            return -1;
        }
        for (mover = 0; mover < stones.count; ++mover) {
            if (stones.bodies[mover] != nullptr && stones.bodies[mover]->IsAwake() && !inert.inert[mover]) {
                break;
            }
        }
    }
    if (mover < 0) {
        return -1;
    }
    const b2Body* body = stones.bodies[mover];
    const b2Vec2& v = body->GetLinearVelocity();
    if (!(v.x * v.x + v.y * v.y > 0.0f) || body->GetContactList() != nullptr) {
        return -1;
    }
    return mover;
}

// Lets every awake stone run without the world from `step` on while none comes near touching another.
// Ends the play, or brings the world up to the step at which two might touch.
Progress RunStonesAsGroup(HandOverWorld& w, const StoneProxies& proxies, const InertStones& inert, int& step,
                          int& nextTry, PlayOutcome& outcome) {
    GroupRunSetup setup;
    if (!GroupSetupOf(w.stones, *w.world, proxies, inert, step, setup)) {
        return Progress::Continues;
    }
    const GroupRunResult run = RunGroup(setup, w.scratch.groupEvents);
    if (run.end == GroupRunEnd::Ended) {
        outcome = PlayOutcome{};
        outcome.count = w.stones.count;
        for (int i = 0; i < w.stones.count; ++i) {
            outcome.present[i] = run.stones[i].present;
            if (run.stones[i].present) {
                outcome.position[i] = records::StonePosition{run.stones[i].state.x, run.stones[i].state.y};
            }
        }
        return Progress::Ended;
    }
    nextTry = run.nearStep > step ? run.nearStep : step + 1;
    if (run.step > step) {
        if (!CatchUpGroup(*w.world, w.stones, proxies, w.scratch.groupEvents, step, run)) {
            return Progress::Broken;
        }
        step = run.step;
    }
    return Progress::Continues;
}

}  // namespace

Progress RunMoverAlone(HandOverWorld& w, const StoneProxies& proxies, int mover, const InertStones& inert,
                       int allAsleepStep, int& step, int& nextTry, PlayOutcome& outcome) {
    Box others[records::StoneCount];
    LoneRunSetup setup;
    for (int i = 0; i < w.stones.count; ++i) {
        if (w.stones.bodies[i] != nullptr && i != mover) {
            others[setup.otherCount++] = TreeBox(*w.world, proxies.ids[i]);
        }
    }
    b2Body* body = w.stones.bodies[mover];
    setup.others = others;
    setup.start = StateOf(*body);
    setup.startStep = step;
    // The scan reaches the mover once every stone below it sleeps.
    setup.firstExaminedStep = allAsleepStep > step ? allAsleepStep : step + 1;
    setup.firstHandOverStep = allAsleepStep > step ? allAsleepStep : step;
    for (int i = 0; i < mover; ++i) {
        if (inert.inert[i]) {
            setup.firstExaminedStep = MaxPlaySteps + 1;
            setup.restsUnexamined = true;
        }
    }
    setup.treeBox = TreeBox(*w.world, proxies.ids[mover]);
    const LoneRunResult run = RunAlone(setup, w.scratch.proxyMoves);
    if (run.end == LoneRunEnd::Rests || run.end == LoneRunEnd::Removed) {
        outcome = OutcomeOf(w.stones);
        outcome.present[mover] = run.end == LoneRunEnd::Rests;
        outcome.position[mover] = run.end == LoneRunEnd::Rests
                                      ? records::StonePosition{run.state.x, run.state.y}
                                      : records::StonePosition{0.0f, 0.0f};
        ScanAtRest(outcome, inert);
        return Progress::Ended;
    }
    // A run that met nothing yet decided nothing (it reached the step limit) would only repeat itself.
    nextTry =
        run.nearStep > step ? run.nearStep : (run.end == LoneRunEnd::Undecided ? MaxPlaySteps + 1 : step + 1);
    if (run.end == LoneRunEnd::HandOver && run.step > step) {
        if (!CatchUpMover(*w.world, body, proxies.ids[mover], w.scratch.proxyMoves, step, run)) {
            return Progress::Broken;
        }
        for (int i = 0; i < w.stones.count; ++i) {
            if (w.stones.bodies[i] != nullptr && i != mover) {
                if (inert.inert[i]) {
                    AdvanceStillTime(*w.stones.bodies[i], run.step - step);
                } else {
                    w.stones.bodies[i]->SetAwake(false);
                }
            }
        }
        step = run.step;
    }
    return Progress::Continues;
}

bool PlayOn(HandOverWorld& w, int stepsDone, PlayOutcome& outcome) {
    const StoneProxies proxies = FindStoneProxies(w.stones, *w.world);
    const int sleepSteps = StepsToFallAsleep();
    int nextTry = 0;
    StillHistory still;
    for (int step = stepsDone + 1; step <= MaxPlaySteps; ++step) {
        if (PlayStep(w.stones, *w.world)) {
            outcome = OutcomeOf(w.stones);
            return true;
        }
        InertStones inert;
        if (step + sleepSteps + 2 <= MaxPlaySteps && NothingCanMove(w.stones, *w.world, inert)) {
            outcome = OutcomeOf(w.stones);
            ScanAtRest(outcome, inert);
            return true;
        }
        // Stones held awake by pushes too small to move a centre, which can trade places between contacts.
        if (RepeatsEarlierStep(w.stones, *w.world, step, still)) {
            outcome = OutcomeOf(w.stones);
            return true;
        }
        if (step < nextTry) {
            continue;
        }
        // A single mover far from every stone runs fastest alone; the group takes what it leaves.
        const int mover = LoneMover(w.stones, inert);
        const int before = step;
        Progress progress = Progress::Continues;
        if (mover >= 0) {
            progress = RunMoverAlone(w, proxies, mover, inert, step, step, nextTry, outcome);
        }
        if (progress == Progress::Continues && step == before) {
            progress = RunStonesAsGroup(w, proxies, inert, step, nextTry, outcome);
        }
        if (progress != Progress::Continues) {
            return progress == Progress::Ended;
        }
    }
    outcome = OutcomeOf(w.stones);
    return true;
}

}  // namespace physics
