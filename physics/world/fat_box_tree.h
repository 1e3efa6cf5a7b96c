#pragma once

#include "physics/world/box.h"

#include <cstdint>

// The broad phase's dynamic tree of fat boxes, as b2DynamicTree keeps it: leaves are the stones'
// proxies, inner nodes bound their two children. Node ids come from the pool's free list exactly as
// Box2D hands them out, because ids order pairs (the lower id is a contact's first stone), and the
// shape decides the order in which a query meets the leaves, which orders new contacts.
namespace physics {

constexpr int32_t NullNode = -1;
// Box2D's pool starts with 16 nodes and doubles when they run out: 16 leaves and their 15 inner nodes
// fit in the 32 of its one growth.
constexpr int32_t InitialTreeCapacity = 16;
constexpr int32_t TreeNodeCapacity = 32;

// A fat box is the stone's box widened by this on every side when its proxy is (re)inserted.
constexpr float FatBoxMargin = 0.1f;
// ... and stretched by this many times the step's displacement in the direction of motion.
constexpr float FatBoxDisplacementFactor = 4.0f;

struct TreeNode {
    Box box;                    // a leaf's fat box; the union of the children's boxes for an inner node
    int32_t parent = NullNode;  // the next free node while the node is free
    int32_t child1 = NullNode;
    int32_t child2 = NullNode;
    int32_t height = -1;  // 0 for a leaf, -1 for a free node
    int32_t stone = -1;   // a leaf's stone
    bool moved = false;   // a leaf (re)inserted since the last pair search
};

struct FatBoxTree {
    TreeNode nodes[TreeNodeCapacity];
    int32_t root = NullNode;
    int32_t freeList = 0;
    int32_t nodeCount = 0;
    int32_t capacity = InitialTreeCapacity;  // nodes of the pool Box2D would have allocated
};

// An empty tree whose free list runs through the first pool in order.
FatBoxTree EmptyTree();

// b2DynamicTree::CreateProxy: a leaf for `stone` with `box` widened by the margin; returns its id.
int32_t CreateLeaf(FatBoxTree& tree, const Box& box, int32_t stone);

void DestroyLeaf(FatBoxTree& tree, int32_t leaf);

// The fat box a proxy gets for the swept box of a step and its displacement: widened by the margin and
// stretched ahead of the motion.
inline Box FatBoxFor(const Box& swept, Vec2 displacement) {
    Box fat{swept.lowerX - FatBoxMargin, swept.lowerY - FatBoxMargin, swept.upperX + FatBoxMargin,
            swept.upperY + FatBoxMargin};
    const Vec2 d = FatBoxDisplacementFactor * displacement;
    if (d.x < 0.0f) {
        fat.lowerX += d.x;
    } else {
        fat.upperX += d.x;
    }
    if (d.y < 0.0f) {
        fat.lowerY += d.y;
    } else {
        fat.upperY += d.y;
    }
    return fat;
}

// Whether a leaf keeps its fat box `current` for this sweep: it still holds the stone and has not grown
// too large for the motion now (four margins beyond the box the sweep would get).
inline bool FatBoxKeeps(const Box& current, const Box& swept, Vec2 displacement) {
    if (!Contains(current, swept)) {
        return false;
    }
    const Box fat = FatBoxFor(swept, displacement);
    constexpr float hugeMargin = 4.0f * FatBoxMargin;
    const Box huge{fat.lowerX - hugeMargin, fat.lowerY - hugeMargin, fat.upperX + hugeMargin,
                   fat.upperY + hugeMargin};
    return Contains(huge, current);
}

// Takes the leaf out, gives it `fatBox` and puts it back, as a move does.
void ReinsertLeaf(FatBoxTree& tree, int32_t leaf, const Box& fatBox);

// The first half of that: the leaf taken out of the tree, its node kept.
void TakeOutLeaf(FatBoxTree& tree, int32_t leaf);

// Whether the insertion of a leaf with `fatBox` makes it the sibling of the root: the search for the
// cheapest sibling stops at once.
bool InsertionStopsAtRoot(const FatBoxTree& tree, const Box& fatBox);

// Whether two trees are one: the same root, nodes in use (links, heights, stones, boxes) and free list.
bool SameTree(const FatBoxTree& a, const FatBoxTree& b);

// b2DynamicTree::MoveProxy with the swept box of a step and its displacement: true when the leaf was
// re-inserted with a new fat box.
inline bool MoveLeaf(FatBoxTree& tree, int32_t leaf, const Box& swept, Vec2 displacement) {
    if (FatBoxKeeps(tree.nodes[leaf].box, swept, displacement)) {
        return false;
    }
    ReinsertLeaf(tree, leaf, FatBoxFor(swept, displacement));
    return true;
}

inline bool IsLeaf(const TreeNode& node) {
    return node.child1 == NullNode;
}

// Calls visit(leaf) for every leaf whose fat box overlaps `box`, in b2DynamicTree::Query's order (a
// stack: an inner node's second child before its first); stops when visit returns false.
template <typename Visit>
void QueryTree(const FatBoxTree& tree, const Box& box, Visit&& visit) {
    int32_t stack[TreeNodeCapacity + 1];
    int count = 0;
    stack[count++] = tree.root;
    while (count > 0) {
        const int32_t id = stack[--count];
        if (id == NullNode) {
            continue;
        }
        const TreeNode& node = tree.nodes[id];
        if (!Overlap(node.box, box)) {
            continue;
        }
        if (IsLeaf(node)) {
            if (!visit(id)) {
                return;
            }
        } else {
            stack[count++] = node.child1;
            stack[count++] = node.child2;
        }
    }
}

// What Box2D's broad phase tells of its tree: the root's height, the largest height difference of two
// siblings, and the summed perimeters of all nodes over the root's.
int32_t TreeHeight(const FatBoxTree& tree);
int32_t TreeMaxBalance(const FatBoxTree& tree);
float TreeAreaRatio(const FatBoxTree& tree);

}  // namespace physics
