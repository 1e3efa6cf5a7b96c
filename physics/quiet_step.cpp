#include "physics/quiet_step.h"

#include <box2d/box2d.h>
#include <sys/time.h>

#include <ctime>

namespace {

thread_local bool clockStopped = false;

}  // namespace

// Defined in the program, this takes the place of the C library's gettimeofday for Box2D as for every
// other caller. Outside StepQuietly it answers as the C library does: the real time, and a zero time
// zone when one is asked for.
extern "C" int gettimeofday(struct timeval* __restrict tv, void* __restrict tz) noexcept {
    if (tz != nullptr) {
        struct timezone* zone = static_cast<struct timezone*>(tz);
        zone->tz_minuteswest = 0;
        zone->tz_dsttime = 0;
    }
    if (clockStopped) {
        *tv = timeval{};
        return 0;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tv->tv_sec = now.tv_sec;
    tv->tv_usec = static_cast<suseconds_t>(now.tv_nsec / 1000);
    return 0;
}

namespace physics {

void StepQuietly(b2World& world, float dt, int velocityIterations, int positionIterations) {
    clockStopped = true;
    world.Step(dt, velocityIterations, positionIterations);
    clockStopped = false;
}

}  // namespace physics
