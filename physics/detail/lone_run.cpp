#include "physics/detail/lone_run.h"

#include "physics/detail/lone_step.h"
#include "physics/detail/run_to_rest.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

#include <cmath>

namespace physics {

namespace {

// Hand over while the mover's broad-phase box is still this far from every other box: a margin for
// safety only, since the world creates no contact before two boxes overlap.
constexpr float NearMargin = 0.05f;

bool Near(const b2AABB& tree, const b2AABB& others) {
    return tree.lowerBound.x <= others.upperBound.x + NearMargin &&
           others.lowerBound.x <= tree.upperBound.x + NearMargin &&
           tree.lowerBound.y <= others.upperBound.y + NearMargin &&
           others.lowerBound.y <= tree.upperBound.y + NearMargin;
}

struct Obstacles {
    const LoneRunSetup& setup;
    b2AABB all;  // covers every box, so that most steps need a single test

    bool NearAny(const b2AABB& tree) const {
        if (setup.otherCount == 0 || !Near(tree, all)) {
            return false;
        }
        for (int i = 0; i < setup.otherCount; ++i) {
            if (Near(tree, ToB2(setup.others[i]))) {
                return true;
            }
        }
        return false;
    }
};

Obstacles MakeObstacles(const LoneRunSetup& setup) {
    Obstacles obstacles{setup, {}};
    for (int i = 0; i < setup.otherCount; ++i) {
        const b2AABB box = ToB2(setup.others[i]);
        if (i == 0) {
            obstacles.all = box;
        } else {
            obstacles.all.Combine(box);
        }
    }
    return obstacles;
}

}  // namespace

StoneStep StepStoneAlone(int step, MoverState& s, float& sleepTime, Box& tree) {
    b2AABB box = ToB2(tree);
    StoneStep alone = StepAlone(step, s, sleepTime, box);
    tree = FromB2(box);
    if (alone.awake) {
        ApplyFriction(s, sleepTime);
        alone.stays = TreeStays(box, s.x, s.y);
    }
    return alone;
}

ProxyMove SweptMove(int step, float x0, float y0, float x1, float y1) {
    b2AABB swept;
    b2Vec2 displacement;
    Sweep(x0, y0, x1, y1, swept, displacement);
    return ProxyMove{step, FromB2(swept), displacement.x, displacement.y};
}

bool StoneOffSheet(float x, float y) {
    return OffSheet(x, y);
}

bool TreeBoxStays(const Box& tree, float x, float y) {
    return TreeStays(ToB2(tree), x, y);
}

Box FreshProxyBox(float x, float y) {
    const b2AABB aabb = StoneBox(x, y);
    b2Vec2 r(b2_aabbExtension, b2_aabbExtension);
    b2AABB fat;
    fat.lowerBound = aabb.lowerBound - r;
    fat.upperBound = aabb.upperBound + r;
    return FromB2(fat);
}

int StepsToFallAsleep() {
    // The sum of float time steps the world compares with its time to sleep, counted at compile time.
    constexpr int steps = [] {
        float sleepTime = 0.0f;
        int count = 0;
        while (sleepTime < b2_timeToSleep) {
            sleepTime += TimeStep;
            ++count;
        }
        return count;
    }();
    return steps;
}

bool BoxesNear(const Box& tree, const Box& other) {
    return Near(ToB2(tree), ToB2(other));
}

LoneRunResult RunAlone(const LoneRunSetup& setup, std::vector<ProxyMove>& moves, LoneRunTrace* trace) {
    moves.clear();
    if (trace != nullptr) {
        trace->trees.push_back(setup.treeBox);
    }
    bool pointDue = false;  // this step's re-insertion was an `every`-th one
    const Obstacles obstacles = MakeObstacles(setup);
    MoverState s = setup.start;
    b2AABB tree = ToB2(setup.treeBox);
    float sleepTime = 0.0f;  // the mover's last velocity update, or its creation, restarted it

    LoneRunResult handOver;  // the latest step at which the world could take over
    if (setup.startStep >= setup.firstHandOverStep && Sliding(s)) {
        handOver = LoneRunResult{LoneRunEnd::HandOver, setup.startStep, s, setup.treeBox};
    }
    if (obstacles.NearAny(tree)) {
        handOver.nearStep = setup.startStep;
        return handOver;
    }
    for (int step = setup.startStep + 1; step <= MaxPlaySteps; ++step) {
        const float x0 = s.x;
        const float y0 = s.y;
        const StoneStep alone = StepAlone(step, s, sleepTime, tree);
        const bool awake = alone.awake;
        if (alone.moved) {
            moves.push_back(alone.move);
            if (trace != nullptr) {
                if (trace->sweeps.empty()) {
                    trace->firstSweepStep = step;
                }
                trace->sweeps.push_back(LoneSweep{awake ? x0 : s.x, awake ? y0 : s.y, s.x, s.y});
                trace->trees.push_back(FromB2(tree));
                pointDue = trace->trees.size() % trace->every == 1;
            }
            if (obstacles.NearAny(tree)) {
                while (!moves.empty() && moves.back().step > handOver.step) {
                    moves.pop_back();
                }
                handOver.nearStep = step;
                return handOver;
            }
        }
        if (awake) {
            ApplyFriction(s, sleepTime);
        }
        if (step >= setup.firstExaminedStep) {
            if (OffSheet(s.x, s.y)) {
                return LoneRunResult{LoneRunEnd::Removed, step, s, FromB2(tree)};
            }
            if (!awake) {
                return LoneRunResult{LoneRunEnd::Rests, step, s, FromB2(tree)};
            }
        } else if (!awake) {
            return setup.restsUnexamined ? LoneRunResult{LoneRunEnd::Rests, step, s, FromB2(tree)}
                                         : LoneRunResult{};
        }
        // With no other stone near nothing is handed over (a trace): only its points ask.
        const bool handOverDue = setup.otherCount > 0 && step >= setup.firstHandOverStep;
        const bool resumable = (handOverDue || pointDue) && Sliding(s) && TreeStays(tree, s.x, s.y);
        if (handOverDue && resumable) {
            handOver = LoneRunResult{LoneRunEnd::HandOver, step, s, FromB2(tree)};
        }
        if (pointDue) {
            trace->points.push_back(resumable ? LoneRunPoint{step, s, FromB2(tree), moves.back()}
                                              : LoneRunPoint{});
            pointDue = false;
        }
    }
    return LoneRunResult{};
}

}  // namespace physics
