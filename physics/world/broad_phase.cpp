#include "physics/world/broad_phase.h"

#include <cassert>

namespace physics {

void BufferMove(BroadPhase& broadPhase, int32_t proxy) {
    assert(broadPhase.moveCount < MoveBufferCapacity);
    broadPhase.moveBuffer[broadPhase.moveCount++] = proxy;
}

int32_t CreateProxy(BroadPhase& broadPhase, const Box& box, int32_t stone) {
    const int32_t proxy = CreateLeaf(broadPhase.tree, box, stone);
    BufferMove(broadPhase, proxy);
    return proxy;
}

void DestroyProxy(BroadPhase& broadPhase, int32_t proxy) {
    for (int32_t i = 0; i < broadPhase.moveCount; ++i) {
        if (broadPhase.moveBuffer[i] == proxy) {
            broadPhase.moveBuffer[i] = NullNode;
        }
    }
    DestroyLeaf(broadPhase.tree, proxy);
}

int FindNewPairs(BroadPhase& broadPhase, ProxyPair* pairs) {
    FatBoxTree& tree = broadPhase.tree;
    int pairCount = 0;
    for (int32_t i = 0; i < broadPhase.moveCount; ++i) {
        const int32_t query = broadPhase.moveBuffer[i];
        if (query == NullNode) {
            continue;
        }
        QueryTree(tree, tree.nodes[query].box, [&](int32_t proxy) {
            // A proxy meets itself, and two moved proxies meet twice; the higher one's query keeps it.
            if (proxy == query || (tree.nodes[proxy].moved && proxy > query)) {
                return true;
            }
            assert(pairCount < PairCapacity);
            pairs[pairCount++] = ProxyPair{proxy < query ? proxy : query, proxy > query ? proxy : query};
            return true;
        });
    }
    for (int32_t i = 0; i < broadPhase.moveCount; ++i) {
        if (broadPhase.moveBuffer[i] != NullNode) {
            tree.nodes[broadPhase.moveBuffer[i]].moved = false;
        }
    }
    broadPhase.moveCount = 0;
    return pairCount;
}

}  // namespace physics
