#pragma once

#include <cstdint>

class b2World;

namespace physics {

// Whether the broad-phase tree, with the proxy `moverProxy` taken out, always comes back to the shape
// it has then when the proxy is put back anywhere and taken out again. A re-insertion takes the proxy
// out and puts it back, balancing the tree both times, so the tree's shape after a run of them depends
// in general on all of them; when this holds it depends on the last one only, and a world replaying a
// lone run may skip to it. The shape is what the world's pair search follows: which node holds which,
// in which order (internal nodes are only labels).
[[nodiscard]] bool ReinsertionsKeepShape(b2World& world, int32_t moverProxy);

}  // namespace physics
