#pragma once

#include "physics/world/fat_box_tree.h"

#include <cstdint>

// b2BroadPhase over the fat box tree: the buffer of proxies (re)inserted since the last pair search,
// and the search itself, which queries the tree with each of them in buffer order.
namespace physics {

// Every proxy created or moved between two searches; a step moves each at most once.
constexpr int MoveBufferCapacity = TreeNodeCapacity;
// A search meets each other proxy at most once per buffered proxy.
constexpr int PairCapacity = MoveBufferCapacity * 16;

struct BroadPhase {
    FatBoxTree tree = EmptyTree();
    int32_t moveBuffer[MoveBufferCapacity] = {};
    int32_t moveCount = 0;
};

// Two proxies whose fat boxes overlap, the lower id first. Trivial, so that a search's buffer of them
// costs nothing to declare.
struct ProxyPair {
    int32_t proxyA;
    int32_t proxyB;
};

int32_t CreateProxy(BroadPhase& broadPhase, const Box& box, int32_t stone);
void DestroyProxy(BroadPhase& broadPhase, int32_t proxy);

void BufferMove(BroadPhase& broadPhase, int32_t proxy);

// b2BroadPhase::MoveProxy: re-inserts the proxy, and buffers it for the next search, only when its fat
// box no longer fits the sweep.
inline void MoveProxy(BroadPhase& broadPhase, int32_t proxy, const Box& swept, Vec2 displacement) {
    if (MoveLeaf(broadPhase.tree, proxy, swept, displacement)) {
        BufferMove(broadPhase, proxy);
    }
}

// b2BroadPhase::UpdatePairs up to the callback: the new pairs in the order Box2D hands them to the
// contact manager, then the buffer emptied. Two buffered proxies make their pair once, when the higher
// id queries. Returns the number of pairs written to `pairs` (PairCapacity of them at most).
int FindNewPairs(BroadPhase& broadPhase, ProxyPair* pairs);

}  // namespace physics
