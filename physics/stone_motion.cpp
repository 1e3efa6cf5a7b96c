#include "physics/stone_motion.h"

#include "physics/sheet.h"

#include <cmath>

namespace physics {

namespace {

// The world refuses to move a body further than this in one step and scales its velocity down instead.
constexpr float MaxTranslationPerStep = 2.0f;

}  // namespace

StoneMotion ApplyFrictionStep(const StoneMotion& motion, float speedLoss) {
    const float speed = std::sqrt(motion.vx * motion.vx + motion.vy * motion.vy);
    StoneMotion next;
    if (speed > speedLoss) {
        const float inverseSpeed = 1.0f / speed;
        const float nx = motion.vx * inverseSpeed;
        const float ny = motion.vy * inverseSpeed;
        next.vx = motion.vx - speedLoss * nx;
        next.vy = motion.vy - speedLoss * ny;
        if (motion.spin != 0.0f) {
            const float k = motion.spin > 0.0f ? CurlCoefficient : -CurlCoefficient;
            const float length = std::sqrt(next.vx * next.vx + next.vy * next.vy);
            const float push = k * speedLoss;
            const float wx = next.vx + push * -ny;
            const float wy = next.vy + push * nx;
            const float inverseW = 1.0f / std::sqrt(wx * wx + wy * wy);
            next.vx = wx * inverseW * length;
            next.vy = wy * inverseW * length;
        }
    }
    const bool stopped = std::sqrt(next.vx * next.vx + next.vy * next.vy) == 0.0f;
    next.spin = stopped ? 0.0f : motion.spin;
    return next;
}

LoneStoneRun SlideLoneStone(const ShotVector& shot) {
    StoneMotion motion{shot.vx, shot.vy, SpinForCurl(shot.curl)};
    if (!IsDeliverableVelocity(shot.vx, shot.vy)) {
        motion.vx = 0.0f;
        motion.vy = 0.0f;
    }
    motion = ApplyFrictionStep(motion, SpeedLossPerStep * 0.5f);
    LoneStoneRun run;
    run.rest = {DeliveryX, DeliveryY};
    while (motion.vx != 0.0f || motion.vy != 0.0f) {
        const float tx = TimeStep * motion.vx;
        const float ty = TimeStep * motion.vy;
        if (tx * tx + ty * ty > MaxTranslationPerStep * MaxTranslationPerStep) {
            const float ratio = MaxTranslationPerStep / std::sqrt(tx * tx + ty * ty);
            motion.vx *= ratio;
            motion.vy *= ratio;
        }
        run.rest.x += TimeStep * motion.vx;
        run.rest.y += TimeStep * motion.vy;
        motion = ApplyFrictionStep(motion, SpeedLossPerStep);
        ++run.stopStep;
    }
    return run;
}

}  // namespace physics
