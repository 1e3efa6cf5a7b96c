#include "physics/detail/lone_run.h"

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

b2AABB ToB2(const Box& box) {
    b2AABB result;
    result.lowerBound.Set(box.lowerX, box.lowerY);
    result.upperBound.Set(box.upperX, box.upperY);
    return result;
}

Box FromB2(const b2AABB& box) {
    return Box{box.lowerBound.x, box.lowerBound.y, box.upperBound.x, box.upperBound.y};
}

// b2CircleShape::ComputeAABB for a stone: a centred circle's offset rotates to a zero that leaves the
// centre unchanged, so the box is the centre plus and minus the radius.
b2AABB StoneBox(float x, float y) {
    b2AABB box;
    box.lowerBound.Set(x - records::StoneRadius, y - records::StoneRadius);
    box.upperBound.Set(x + records::StoneRadius, y + records::StoneRadius);
    return box;
}

// b2DynamicTree::MoveProxy: true, with `tree` replaced, when the world re-inserts the proxy.
[[gnu::always_inline]] inline bool MoveTreeBox(b2AABB& tree, const b2AABB& aabb, const b2Vec2& displacement) {
    b2AABB fatAABB;
    b2Vec2 r(b2_aabbExtension, b2_aabbExtension);
    fatAABB.lowerBound = aabb.lowerBound - r;
    fatAABB.upperBound = aabb.upperBound + r;
    b2Vec2 d = b2_aabbMultiplier * displacement;
    if (d.x < 0.0f) {
        fatAABB.lowerBound.x += d.x;
    } else {
        fatAABB.upperBound.x += d.x;
    }
    if (d.y < 0.0f) {
        fatAABB.lowerBound.y += d.y;
    } else {
        fatAABB.upperBound.y += d.y;
    }
    if (tree.Contains(aabb)) {
        b2AABB hugeAABB;
        hugeAABB.lowerBound = fatAABB.lowerBound - 4.0f * r;
        hugeAABB.upperBound = fatAABB.upperBound + 4.0f * r;
        if (hugeAABB.Contains(tree)) {
            return false;
        }
    }
    tree = fatAABB;
    return true;
}

// TreeBoxStays on the broad phase's own box.
[[gnu::always_inline]] inline bool TreeStays(const b2AABB& tree, float x, float y) {
    b2AABB copy = tree;
    const b2AABB aabb = StoneBox(x, y);
    return !MoveTreeBox(copy, aabb, aabb.GetCenter() - aabb.GetCenter());
}

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

// b2Island::Solve for a body alone in its island, with no force, gravity or damping: the velocity
// terms add a positive zero (which only turns a negative zero positive) and the position solver has no
// contact to work on. Returns false when the body falls asleep in this step.
[[gnu::always_inline]] inline bool IntegrateAlone(MoverState& s, float& sleepTime) {
    const float h = TimeStep;
    b2Vec2 v(s.vx + 0.0f, s.vy + 0.0f);
    float w = s.spin + 0.0f;
    b2Vec2 translation = h * v;
    if (b2Dot(translation, translation) > b2_maxTranslationSquared) {
        float ratio = b2_maxTranslation / translation.Length();
        v *= ratio;
    }
    float rotation = h * w;
    if (rotation * rotation > b2_maxRotationSquared) {
        float ratio = b2_maxRotation / b2Abs(rotation);
        w *= ratio;
    }
    b2Vec2 c(s.x, s.y);
    c += h * v;
    s.x = c.x;
    s.y = c.y;
    s.angle += h * w;
    s.vx = v.x;
    s.vy = v.y;
    s.spin = w;

    const float linTolSqr = b2_linearSleepTolerance * b2_linearSleepTolerance;
    const float angTolSqr = b2_angularSleepTolerance * b2_angularSleepTolerance;
    if (w * w > angTolSqr || b2Dot(v, v) > linTolSqr) {
        sleepTime = 0.0f;
    } else {
        sleepTime += h;
    }
    if (sleepTime >= b2_timeToSleep) {
        sleepTime = 0.0f;
        s.vx = 0.0f;
        s.vy = 0.0f;
        s.spin = 0.0f;
        return false;
    }
    return true;
}

// ApplySheetFriction on the mover: a non-zero velocity wakes the body and restarts its sleep time.
[[gnu::always_inline]] inline void ApplyFriction(MoverState& s, float& sleepTime) {
    const StoneMotion next = ApplyFrictionStep(StoneMotion{s.vx, s.vy, s.spin}, SpeedLossPerStep);
    s.vx = next.vx;
    s.vy = next.vy;
    if (next.vx * next.vx + next.vy * next.vy > 0.0f) {
        sleepTime = 0.0f;
    }
    if (next.spin == 0.0f) {
        s.spin = 0.0f;
    }
}

// IsOffSheet(ClassifyStonePosition(x, y)), skipping the distance to the tee for a stone plainly on the
// sheet, as a sliding stone is at almost every step.
bool OffSheet(float x, float y) {
    if (records::SideBoundLow < x && x < records::SideBoundHigh && records::SheetBackBound < y &&
        y < records::FarBound) {
        return false;
    }
    return IsOffSheet(ClassifyStonePosition(x, y));
}

bool Sliding(const MoverState& s) {
    return s.vx * s.vx + s.vy * s.vy > 0.0f;
}

// The box and displacement a stone passes to the broad phase for a step from (x0, y0) to (x1, y1).
[[gnu::always_inline]] inline void Sweep(float x0, float y0, float x1, float y1, b2AABB& swept,
                                         b2Vec2& displacement) {
    const b2AABB aabb2 = StoneBox(x1, y1);
    const b2AABB aabb1 = StoneBox(x0, y0);
    swept.Combine(aabb1, aabb2);
    displacement = aabb2.GetCenter() - aabb1.GetCenter();
}

// Forced inline, with the two above: the readiness check traces every test shot through this step, and
// a call per step there costs about a tenth of its time.
[[gnu::always_inline]] inline StoneStep StepAlone(int step, MoverState& s, float& sleepTime, b2AABB& tree) {
    const float x0 = s.x;
    const float y0 = s.y;
    StoneStep result;
    result.awake = IntegrateAlone(s, sleepTime);
    // b2Body::SynchronizeFixtures: an awake body sweeps from where the step began.
    b2AABB swept;
    b2Vec2 displacement;
    Sweep(result.awake ? x0 : s.x, result.awake ? y0 : s.y, s.x, s.y, swept, displacement);
    result.moved = MoveTreeBox(tree, swept, displacement);
    if (result.moved) {
        result.move = ProxyMove{step, FromB2(swept), displacement.x, displacement.y};
    }
    return result;
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
