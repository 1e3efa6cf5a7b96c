#pragma once

// The float operations of one world step of a stone alone, shared by the lone run and the traces that
// step several stones side by side. Inline: they run for every step of every traced shot.

#include "physics/detail/lone_run.h"
#include "physics/sheet.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <box2d/box2d.h>

namespace physics {

inline b2AABB ToB2(const Box& box) {
    b2AABB result;
    result.lowerBound.Set(box.lowerX, box.lowerY);
    result.upperBound.Set(box.upperX, box.upperY);
    return result;
}

inline Box FromB2(const b2AABB& box) {
    return Box{box.lowerBound.x, box.lowerBound.y, box.upperBound.x, box.upperBound.y};
}

// b2CircleShape::ComputeAABB for a stone: a centred circle's offset rotates to a zero that leaves the
// centre unchanged, so the box is the centre plus and minus the radius.
inline b2AABB StoneBox(float x, float y) {
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
inline bool OffSheet(float x, float y) {
    if (records::SideBoundLow < x && x < records::SideBoundHigh && records::SheetBackBound < y &&
        y < records::FarBound) {
        return false;
    }
    return IsOffSheet(ClassifyStonePosition(x, y));
}

inline bool Sliding(const MoverState& s) {
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

}  // namespace physics
