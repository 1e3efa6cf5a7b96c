#pragma once

class b2World;

namespace physics {

// b2World::Step with the library's profile clock stopped. Box2D 2.4.1 times every step, and every
// island in it, with gettimeofday for a profile that this engine never reads: some twenty calls a
// step, about half of what a step costs on a virtual machine. During this call the library reads a
// fixed time on this thread; every other caller of gettimeofday, and every other thread, still gets
// the real one. The simulation is the same: the profile is all that the clock feeds.
void StepQuietly(b2World& world, float dt, int velocityIterations, int positionIterations);

}  // namespace physics
