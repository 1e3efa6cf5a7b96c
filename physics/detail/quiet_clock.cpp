// Linked, as an object of its own, only into the programs that run the fast search: defined in the
// program, this gettimeofday takes the place of the C library's for Box2D as for every other caller.
// Outside StepQuietly it answers as the C library does: the real time, and a zero time zone when one is
// asked for.
#include "physics/detail/quiet_step.h"

#include <sys/time.h>

#include <ctime>

extern "C" __attribute__((visibility("default"))) int gettimeofday(struct timeval* __restrict tv,
                                                                   void* __restrict tz) noexcept {
    if (tz != nullptr) {
        struct timezone* zone = static_cast<struct timezone*>(tz);
        zone->tz_minuteswest = 0;
        zone->tz_dsttime = 0;
    }
    if (physics::clockStoppedOnThisThread) {
        *tv = timeval{};
        return 0;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tv->tv_sec = now.tv_sec;
    tv->tv_usec = static_cast<suseconds_t>(now.tv_nsec / 1000);
    return 0;
}
