// Compiled into Box2D in place of its own b2_timer.cpp where Box2D is built from source (Windows).
// Box2D times every step, every island and every time-of-impact pass for a profile that this engine
// never reads; its Windows timer asks the performance counter each time. This one keeps the class's
// layout and answers zero, so nothing is asked; the simulation is the same either way.
#include <box2d/b2_timer.h>

#if defined(_WIN32)
double b2Timer::s_invFrequency = 0.0;
#endif

b2Timer::b2Timer() {
    Reset();
}

void b2Timer::Reset() {
#if defined(_WIN32)
    m_start = 0.0;
#else
    m_start_sec = 0;
    m_start_usec = 0;
#endif
}

float b2Timer::GetMilliseconds() const {
    return 0.0f;
}
