// The stone world's broad phase against Box2D's own b2BroadPhase, through its public interface: the same
// creations, moves and removals of stone proxies, compared after each by proxy ids, fat boxes, the order
// of a query over the whole sheet (which the tree's shape decides), the tree's height, balance and area
// ratio, and by the pairs each search hands over, in order.

#include "physics/world/broad_phase.h"

#include "records/game_state.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using physics::Box;
using physics::Vec2;

b2AABB ToB2(const Box& box) {
    b2AABB aabb;
    aabb.lowerBound.Set(box.lowerX, box.lowerY);
    aabb.upperBound.Set(box.upperX, box.upperY);
    return aabb;
}

bool SameBits(const Box& box, const b2AABB& aabb) {
    const Box other{aabb.lowerBound.x, aabb.lowerBound.y, aabb.upperBound.x, aabb.upperBound.y};
    return std::memcmp(&box, &other, sizeof box) == 0;
}

struct Box2DPairs {
    const b2BroadPhase* broadPhase = nullptr;
    std::vector<std::pair<int, int>> pairs;
    void AddPair(void* a, void* b) { pairs.emplace_back(*static_cast<int*>(a), *static_cast<int*>(b)); }
};

struct QueryOrder {
    std::vector<int32_t> proxies;
    bool QueryCallback(int32_t proxy) {
        proxies.push_back(proxy);
        return true;
    }
};

const Box Everywhere{-1e30f, -1e30f, 1e30f, 1e30f};

// Both broad phases with the same proxies; stone i's proxy carries i as user data.
struct BothBroadPhases {
    b2BroadPhase box2d;
    physics::BroadPhase ours;
    int stoneOf[physics::TreeNodeCapacity] = {};
    int32_t proxyOf[records::StoneCount];
    Vec2 centreOf[records::StoneCount];
    int ids[records::StoneCount];
    std::vector<int> live;

    BothBroadPhases() {
        for (int i = 0; i < records::StoneCount; ++i) {
            ids[i] = i;
            proxyOf[i] = physics::NullNode;
        }
    }

    void Create(int stone, Vec2 centre) {
        const Box box = physics::StoneBoxAt(centre);
        proxyOf[stone] = box2d.CreateProxy(ToB2(box), &ids[stone]);
        ASSERT_EQ(physics::CreateProxy(ours, box, stone), proxyOf[stone]);
        centreOf[stone] = centre;
        live.push_back(stone);
    }

    void Move(int stone, Vec2 to) {
        const Box from = physics::StoneBoxAt(centreOf[stone]);
        const Box at = physics::StoneBoxAt(to);
        const Box swept = physics::Combine(from, at);
        const Vec2 displacement = physics::Centre(at) - physics::Centre(from);
        box2d.MoveProxy(proxyOf[stone], ToB2(swept), b2Vec2(displacement.x, displacement.y));
        physics::MoveProxy(ours, proxyOf[stone], swept, displacement);
        centreOf[stone] = to;
    }

    void Destroy(std::size_t k) {
        const int stone = live[k];
        box2d.DestroyProxy(proxyOf[stone]);
        physics::DestroyProxy(ours, proxyOf[stone]);
        live.erase(live.begin() + static_cast<std::ptrdiff_t>(k));
    }

    void ExpectSamePairs() {
        Box2DPairs theirs{&box2d, {}};
        box2d.UpdatePairs(&theirs);
        physics::ProxyPair pairs[physics::PairCapacity];
        const int count = physics::FindNewPairs(ours, pairs);
        ASSERT_EQ(static_cast<std::size_t>(count), theirs.pairs.size());
        for (int k = 0; k < count; ++k) {
            EXPECT_EQ(ours.tree.nodes[pairs[k].proxyA].stone, theirs.pairs[k].first) << "pair " << k;
            EXPECT_EQ(ours.tree.nodes[pairs[k].proxyB].stone, theirs.pairs[k].second) << "pair " << k;
        }
    }

    void ExpectSameTree() {
        for (int stone : live) {
            EXPECT_TRUE(SameBits(ours.tree.nodes[proxyOf[stone]].box, box2d.GetFatAABB(proxyOf[stone])))
                << "stone " << stone;
        }
        QueryOrder theirs;
        box2d.Query(&theirs, ToB2(Everywhere));
        std::vector<int32_t> mine;
        physics::QueryTree(ours.tree, Everywhere, [&](int32_t proxy) {
            mine.push_back(proxy);
            return true;
        });
        EXPECT_EQ(mine, theirs.proxies);
        EXPECT_EQ(physics::TreeHeight(ours.tree), box2d.GetTreeHeight());
        EXPECT_EQ(physics::TreeMaxBalance(ours.tree), box2d.GetTreeBalance());
        EXPECT_EQ(physics::TreeAreaRatio(ours.tree), box2d.GetTreeQuality());
    }
};

// Stones appear on the sheet, slide by steps of every size (from creeping to the world's largest
// translation), are taken away and put back; a search follows a few moves or none.
TEST(BroadPhase, FollowsBox2DsTreeAndPairOrder) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> across(0.0f, 4.75f);
        std::uniform_real_distribution<float> along(2.5f, 12.0f);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        const float reach[] = {0.0005f, 0.01f, 0.05f, 0.3f, 2.0f};
        BothBroadPhases both;
        const int initial = 2 + static_cast<int>(seed % 15);
        for (int stone = 0; stone < initial; ++stone) {
            both.Create(stone, Vec2{across(random), along(random)});
        }
        both.ExpectSamePairs();
        int next = initial;
        for (int round = 0; round < 300 && !testing::Test::HasFailure(); ++round) {
            const unsigned kind = random() % 20;
            if (kind == 0 && both.live.size() > 1) {
                both.Destroy(random() % both.live.size());
            } else if (kind == 1 && next < records::StoneCount) {
                both.Create(next++, Vec2{across(random), along(random)});
            } else if (!both.live.empty()) {
                const int stone = both.live[random() % both.live.size()];
                const float size = reach[random() % 5];
                const Vec2 at = both.centreOf[stone];
                both.Move(stone, Vec2{at.x + size * unit(random), at.y + size * unit(random)});
            }
            if (random() % 3 == 0) {
                both.ExpectSamePairs();
            }
            both.ExpectSameTree();
        }
    }
}

}  // namespace
