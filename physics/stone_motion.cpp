#include "physics/stone_motion.h"

#include "physics/sheet.h"
#include "records/sheet.h"

#include <cmath>

namespace physics {

namespace {

// The world refuses to move a body further than this in one step and scales its velocity down instead.
constexpr float MaxTranslationPerStep = 2.0f;

}  // namespace

LoneStoneRun SlideLoneStone(const records::ShotVector& shot) {
    StoneMotion motion{shot.vx, shot.vy, SpinForCurl(shot.curl)};
    if (!IsDeliverableVelocity(shot.vx, shot.vy)) {
        motion.vx = 0.0f;
        motion.vy = 0.0f;
    }
    motion = ApplyFrictionStep(motion, SpeedLossPerStep * 0.5f);
    LoneStoneRun run;
    run.rest = {records::DeliveryX, records::DeliveryY};
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
