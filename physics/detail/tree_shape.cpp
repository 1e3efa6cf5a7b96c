#include "physics/detail/tree_shape.h"

#include "physics/detail/private_member.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <vector>

namespace physics {

struct BroadPhaseTree {
    using Type = b2DynamicTree b2BroadPhase::*;
    friend Type MemberOf(BroadPhaseTree);
};
template struct PrivateMember<BroadPhaseTree, &b2BroadPhase::m_tree>;

struct TreeRoot {
    using Type = int32 b2DynamicTree::*;
    friend Type MemberOf(TreeRoot);
};
template struct PrivateMember<TreeRoot, &b2DynamicTree::m_root>;

struct TreeNodes {
    using Type = b2TreeNode* b2DynamicTree::*;
    friend Type MemberOf(TreeNodes);
};
template struct PrivateMember<TreeNodes, &b2DynamicTree::m_nodes>;

struct TreeCapacity {
    using Type = int32 b2DynamicTree::*;
    friend Type MemberOf(TreeCapacity);
};
template struct PrivateMember<TreeCapacity, &b2DynamicTree::m_nodeCapacity>;

namespace {

struct Node {
    int32 parent = b2_nullNode;
    int32 child1 = b2_nullNode;
    int32 child2 = b2_nullNode;
    int32 height = -1;
};

// The links and heights of b2DynamicTree, changed as its InsertLeaf, RemoveLeaf and Balance change
// them; none of their choices but the sibling of an insertion looks at a box.
struct Shape {
    int32 root = b2_nullNode;
    std::vector<Node> nodes;

    bool IsLeaf(int32 i) const { return nodes[i].child1 == b2_nullNode; }

    void ReplaceChild(int32 parent, int32 from, int32 to) {
        if (parent == b2_nullNode) {
            root = to;
        } else if (nodes[parent].child1 == from) {
            nodes[parent].child1 = to;
        } else {
            nodes[parent].child2 = to;
        }
    }

    void Refit(int32 i) {
        nodes[i].height = 1 + std::max(nodes[nodes[i].child1].height, nodes[nodes[i].child2].height);
    }

    int32 Balance(int32 iA) {
        Node& a = nodes[iA];
        if (IsLeaf(iA) || a.height < 2) {
            return iA;
        }
        const int32 iB = a.child1;
        const int32 iC = a.child2;
        const int32 balance = nodes[iC].height - nodes[iB].height;
        if (balance > 1) {
            return RotateUp(iA, iC, false);
        }
        if (balance < -1) {
            return RotateUp(iA, iB, true);
        }
        return iA;
    }

    // Balance's two rotations: `up` (B when `left`, C otherwise) takes A's place, A takes the place of
    // up's first child, and A keeps the taller of up's children's other.
    int32 RotateUp(int32 iA, int32 iUp, bool left) {
        Node& a = nodes[iA];
        Node& up = nodes[iUp];
        const int32 iTall = up.child1;
        const int32 iShort = up.child2;
        up.child1 = iA;
        up.parent = a.parent;
        a.parent = iUp;
        ReplaceChild(up.parent, iA, iUp);
        const bool firstTaller = nodes[iTall].height > nodes[iShort].height;
        const int32 keep = firstTaller ? iTall : iShort;
        const int32 give = firstTaller ? iShort : iTall;
        up.child2 = keep;
        if (left) {
            a.child1 = give;
        } else {
            a.child2 = give;
        }
        nodes[give].parent = iA;
        Refit(iA);
        Refit(iUp);
        return iUp;
    }

    void WalkUp(int32 index) {
        while (index != b2_nullNode) {
            index = Balance(index);
            Refit(index);
            index = nodes[index].parent;
        }
    }

    void InsertBeside(int32 leaf, int32 sibling, int32 newParent) {
        const int32 oldParent = nodes[sibling].parent;
        nodes[newParent] = Node{oldParent, sibling, leaf, nodes[sibling].height + 1};
        ReplaceChild(oldParent, sibling, newParent);
        nodes[sibling].parent = newParent;
        nodes[leaf].parent = newParent;
        WalkUp(nodes[leaf].parent);
    }

    // Returns the freed parent, which the next insertion takes again from the free list's head.
    int32 Remove(int32 leaf) {
        const int32 parent = nodes[leaf].parent;
        const int32 grandParent = nodes[parent].parent;
        const int32 sibling = nodes[parent].child1 == leaf ? nodes[parent].child2 : nodes[parent].child1;
        ReplaceChild(grandParent, parent, sibling);
        nodes[sibling].parent = grandParent;
        nodes[parent] = Node{};
        WalkUp(grandParent);
        return parent;
    }

    // Leaves by proxy id and internal nodes as -1, in the order the world's queries visit them.
    void Outline(int32 i, std::vector<int32>& out) const {
        if (IsLeaf(i)) {
            out.push_back(i);
            return;
        }
        out.push_back(-1);
        Outline(nodes[i].child1, out);
        Outline(nodes[i].child2, out);
    }
};

}  // namespace

bool ReinsertionsKeepShape(b2World& world, int32_t moverProxy) {
    b2BroadPhase& broadPhase = const_cast<b2ContactManager&>(world.GetContactManager()).m_broadPhase;
    const b2DynamicTree& tree = broadPhase.*MemberOf(BroadPhaseTree{});
    const b2TreeNode* nodes = tree.*MemberOf(TreeNodes{});
    Shape shape;
    shape.root = tree.*MemberOf(TreeRoot{});
    shape.nodes.resize(static_cast<std::size_t>(tree.*MemberOf(TreeCapacity{})));
    for (std::size_t i = 0; i < shape.nodes.size(); ++i) {
        shape.nodes[i] = Node{nodes[i].parent, nodes[i].child1, nodes[i].child2, nodes[i].height};
    }
    if (shape.root == moverProxy || !shape.IsLeaf(moverProxy)) {
        return false;
    }
    const int32 freed = shape.Remove(moverProxy);
    std::vector<int32> without;
    shape.Outline(shape.root, without);
    std::vector<int32> again;
    std::vector<int32> reachable;
    for (std::size_t i = 0; i < shape.nodes.size(); ++i) {
        if (shape.nodes[i].height >= 0 && static_cast<int32>(i) != moverProxy) {
            reachable.push_back(static_cast<int32>(i));
        }
    }
    for (int32 sibling : reachable) {
        Shape trial = shape;
        trial.InsertBeside(moverProxy, sibling, freed);
        trial.Remove(moverProxy);
        again.clear();
        trial.Outline(trial.root, again);
        if (again != without) {
            return false;
        }
    }
    return true;
}

}  // namespace physics
