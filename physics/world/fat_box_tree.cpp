#include "physics/world/fat_box_tree.h"

#include <cassert>

namespace physics {

namespace {

// The free list of pool nodes [from, to), in order.
void ChainFreeNodes(FatBoxTree& tree, int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) {
        tree.nodes[i].parent = i + 1 < to ? i + 1 : NullNode;
        tree.nodes[i].height = -1;
    }
    tree.freeList = from;
}

// b2DynamicTree::AllocateNode; an empty free list is the pool's one growth, which frees the second
// half in order.
int32_t AllocateNode(FatBoxTree& tree) {
    if (tree.freeList == NullNode) {
        assert(tree.nodeCount == tree.capacity && tree.capacity < TreeNodeCapacity);
        tree.capacity *= 2;
        ChainFreeNodes(tree, tree.nodeCount, tree.capacity);
    }
    const int32_t id = tree.freeList;
    TreeNode& node = tree.nodes[id];
    tree.freeList = node.parent;
    node.parent = NullNode;
    node.child1 = NullNode;
    node.child2 = NullNode;
    node.height = 0;
    node.stone = -1;
    node.moved = false;
    ++tree.nodeCount;
    return id;
}

void FreeNode(FatBoxTree& tree, int32_t id) {
    tree.nodes[id].parent = tree.freeList;
    tree.nodes[id].height = -1;
    tree.freeList = id;
    --tree.nodeCount;
}

void ReplaceChild(FatBoxTree& tree, int32_t parent, int32_t from, int32_t to) {
    if (parent == NullNode) {
        tree.root = to;
    } else if (tree.nodes[parent].child1 == from) {
        tree.nodes[parent].child1 = to;
    } else {
        tree.nodes[parent].child2 = to;
    }
}

int32_t Higher(int32_t a, int32_t b) {
    return a > b ? a : b;
}

// b2DynamicTree::Balance's rotation that lifts the taller child `up` (A's first child when `first`)
// into A's place; A keeps the taller of up's children and gives up the other, in Box2D's order of
// updates.
int32_t RotateUp(FatBoxTree& tree, int32_t iA, int32_t iUp, bool first) {
    TreeNode* nodes = tree.nodes;
    TreeNode& a = nodes[iA];
    TreeNode& up = nodes[iUp];
    const int32_t iStay = first ? a.child2 : a.child1;  // A's child that is not lifted
    const int32_t iF = up.child1;
    const int32_t iG = up.child2;
    up.child1 = iA;
    up.parent = a.parent;
    a.parent = iUp;
    ReplaceChild(tree, up.parent, iA, iUp);
    const bool firstTaller = nodes[iF].height > nodes[iG].height;
    const int32_t iKeep = firstTaller ? iF : iG;
    const int32_t iGive = firstTaller ? iG : iF;
    up.child2 = iKeep;
    if (first) {
        a.child1 = iGive;
    } else {
        a.child2 = iGive;
    }
    nodes[iGive].parent = iA;
    a.box = Combine(nodes[iStay].box, nodes[iGive].box);
    up.box = Combine(a.box, nodes[iKeep].box);
    a.height = 1 + Higher(nodes[iStay].height, nodes[iGive].height);
    up.height = 1 + Higher(a.height, nodes[iKeep].height);
    return iUp;
}

// b2DynamicTree::Balance: rotates node A when its children's heights differ by more than one.
int32_t Balance(FatBoxTree& tree, int32_t iA) {
    const TreeNode& a = tree.nodes[iA];
    if (IsLeaf(a) || a.height < 2) {
        return iA;
    }
    const int32_t balance = tree.nodes[a.child2].height - tree.nodes[a.child1].height;
    if (balance > 1) {
        return RotateUp(tree, iA, a.child2, false);
    }
    if (balance < -1) {
        return RotateUp(tree, iA, a.child1, true);
    }
    return iA;
}

// The walk back up after an insertion or removal: balance, then refit box and height. Box2D's insertion
// sets the height before the box and its removal the box before the height; neither reads the other.
void WalkUp(FatBoxTree& tree, int32_t index) {
    while (index != NullNode) {
        index = Balance(tree, index);
        TreeNode& node = tree.nodes[index];
        node.height = 1 + Higher(tree.nodes[node.child1].height, tree.nodes[node.child2].height);
        node.box = Combine(tree.nodes[node.child1].box, tree.nodes[node.child2].box);
        index = node.parent;
    }
}

// The cost of descending into `child` for a leaf whose box is `leafBox`.
float DescentCost(const TreeNode& child, const Box& leafBox, float inheritanceCost) {
    const Box combined = Combine(leafBox, child.box);
    if (IsLeaf(child)) {
        return Perimeter(combined) + inheritanceCost;
    }
    const float oldArea = Perimeter(child.box);
    const float newArea = Perimeter(combined);
    return (newArea - oldArea) + inheritanceCost;
}

// b2DynamicTree::InsertLeaf: the sibling of least cost, found from the root down.
int32_t FindSibling(const FatBoxTree& tree, const Box& leafBox) {
    int32_t index = tree.root;
    while (!IsLeaf(tree.nodes[index])) {
        const TreeNode& node = tree.nodes[index];
        const float area = Perimeter(node.box);
        const float combinedArea = Perimeter(Combine(node.box, leafBox));
        const float cost = 2.0f * combinedArea;
        const float inheritanceCost = 2.0f * (combinedArea - area);
        const float cost1 = DescentCost(tree.nodes[node.child1], leafBox, inheritanceCost);
        const float cost2 = DescentCost(tree.nodes[node.child2], leafBox, inheritanceCost);
        if (cost < cost1 && cost < cost2) {
            break;
        }
        index = cost1 < cost2 ? node.child1 : node.child2;
    }
    return index;
}

void InsertLeaf(FatBoxTree& tree, int32_t leaf) {
    if (tree.root == NullNode) {
        tree.root = leaf;
        tree.nodes[leaf].parent = NullNode;
        return;
    }
    const Box leafBox = tree.nodes[leaf].box;
    const int32_t sibling = FindSibling(tree, leafBox);
    const int32_t oldParent = tree.nodes[sibling].parent;
    const int32_t newParent = AllocateNode(tree);
    TreeNode& parent = tree.nodes[newParent];
    parent.parent = oldParent;
    parent.box = Combine(leafBox, tree.nodes[sibling].box);
    parent.height = tree.nodes[sibling].height + 1;
    ReplaceChild(tree, oldParent, sibling, newParent);
    parent.child1 = sibling;
    parent.child2 = leaf;
    tree.nodes[sibling].parent = newParent;
    tree.nodes[leaf].parent = newParent;
    WalkUp(tree, newParent);
}

void RemoveLeaf(FatBoxTree& tree, int32_t leaf) {
    if (leaf == tree.root) {
        tree.root = NullNode;
        return;
    }
    const int32_t parent = tree.nodes[leaf].parent;
    const int32_t grandParent = tree.nodes[parent].parent;
    const int32_t sibling =
        tree.nodes[parent].child1 == leaf ? tree.nodes[parent].child2 : tree.nodes[parent].child1;
    ReplaceChild(tree, grandParent, parent, sibling);
    tree.nodes[sibling].parent = grandParent;
    FreeNode(tree, parent);
    WalkUp(tree, grandParent);
}

Box Widened(const Box& box) {
    return Box{box.lowerX - FatBoxMargin, box.lowerY - FatBoxMargin, box.upperX + FatBoxMargin,
               box.upperY + FatBoxMargin};
}

}  // namespace

FatBoxTree EmptyTree() {
    FatBoxTree tree;
    ChainFreeNodes(tree, 0, InitialTreeCapacity);
    return tree;
}

int32_t CreateLeaf(FatBoxTree& tree, const Box& box, int32_t stone) {
    const int32_t leaf = AllocateNode(tree);
    TreeNode& node = tree.nodes[leaf];
    node.box = Widened(box);
    node.stone = stone;
    node.height = 0;
    node.moved = true;
    InsertLeaf(tree, leaf);
    return leaf;
}

void DestroyLeaf(FatBoxTree& tree, int32_t leaf) {
    RemoveLeaf(tree, leaf);
    FreeNode(tree, leaf);
}

void ReinsertLeaf(FatBoxTree& tree, int32_t leaf, const Box& fatBox) {
    RemoveLeaf(tree, leaf);
    tree.nodes[leaf].box = fatBox;
    InsertLeaf(tree, leaf);
    tree.nodes[leaf].moved = true;
}

void TakeOutLeaf(FatBoxTree& tree, int32_t leaf) {
    RemoveLeaf(tree, leaf);
}

bool InsertionStopsAtRoot(const FatBoxTree& tree, const Box& fatBox) {
    return tree.root == NullNode || FindSibling(tree, fatBox) == tree.root;
}

bool SameTree(const FatBoxTree& a, const FatBoxTree& b) {
    if (a.root != b.root || a.nodeCount != b.nodeCount || a.capacity != b.capacity) {
        return false;
    }
    int32_t freeA = a.freeList;
    int32_t freeB = b.freeList;
    for (; freeA != NullNode && freeB != NullNode;
         freeA = a.nodes[freeA].parent, freeB = b.nodes[freeB].parent) {
        if (freeA != freeB) {
            return false;
        }
    }
    if (freeA != freeB) {
        return false;
    }
    // The nodes in the tree, from the root down: a leaf taken out keeps a stale node of no account.
    int32_t stack[TreeNodeCapacity + 1];
    int count = 0;
    if (a.root != NullNode) {
        stack[count++] = a.root;
    }
    while (count > 0) {
        const int32_t id = stack[--count];
        const TreeNode& p = a.nodes[id];
        const TreeNode& q = b.nodes[id];
        if (p.height != q.height || p.parent != q.parent || p.child1 != q.child1 || p.child2 != q.child2 ||
            p.stone != q.stone || p.box.lowerX != q.box.lowerX || p.box.lowerY != q.box.lowerY ||
            p.box.upperX != q.box.upperX || p.box.upperY != q.box.upperY) {
            return false;
        }
        if (!IsLeaf(p)) {
            stack[count++] = p.child1;
            stack[count++] = p.child2;
        }
    }
    return true;
}

int32_t TreeHeight(const FatBoxTree& tree) {
    return tree.root == NullNode ? 0 : tree.nodes[tree.root].height;
}

int32_t TreeMaxBalance(const FatBoxTree& tree) {
    int32_t maxBalance = 0;
    for (int32_t i = 0; i < tree.capacity; ++i) {
        const TreeNode& node = tree.nodes[i];
        if (node.height <= 1) {
            continue;
        }
        const int32_t balance = tree.nodes[node.child2].height - tree.nodes[node.child1].height;
        maxBalance = Higher(maxBalance, balance > 0 ? balance : -balance);
    }
    return maxBalance;
}

float TreeAreaRatio(const FatBoxTree& tree) {
    if (tree.root == NullNode) {
        return 0.0f;
    }
    const float rootArea = Perimeter(tree.nodes[tree.root].box);
    float totalArea = 0.0f;
    for (int32_t i = 0; i < tree.capacity; ++i) {
        if (tree.nodes[i].height >= 0) {
            totalArea += Perimeter(tree.nodes[i].box);
        }
    }
    return totalArea / rootArea;
}

}  // namespace physics
