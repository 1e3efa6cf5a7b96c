#pragma once

class b2World;

namespace physics {

// b2World::Step with the library's profile clock stopped. Box2D 2.4.1 times every step, and every
// island in it, with gettimeofday for a profile that this engine never reads: some twenty calls a
// step, about half of what a step costs on a virtual machine. A program that links the quiet clock
// (physics/detail/quiet_clock.cpp) answers those calls with a fixed time on this thread during the step;
// every other caller, every other thread and every other program still gets the real time. The
// simulation is the same either way: the profile is all that the clock feeds.
void StepQuietly(b2World& world, float dt, int velocityIterations, int positionIterations);

// True on a thread inside StepQuietly. Read by the quiet clock some twenty times a step, so it is seen
// directly rather than through a call.
inline thread_local bool clockStoppedOnThisThread = false;

}  // namespace physics
