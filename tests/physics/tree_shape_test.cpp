#include "physics/detail/tree_shape.h"
#include "physics/detail/hand_over.h"
#include "physics/detail/lone_run.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/sheet_stones.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"
#include "tests/fixtures/position_file.h"

#include <box2d/box2d.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Play {
    std::unique_ptr<b2World> world = std::make_unique<b2World>(b2Vec2(0.0f, 0.0f));
    physics::SheetStones stones;
};

// The plain play of a draw from the record, after its first step.
void StartAndStep(Play& play, const records::GameState& state) {
    play.world->SetAllowSleeping(true);
    ASSERT_TRUE(physics::PlaceStones(play.stones, state, *play.world));
    ASSERT_TRUE(physics::ThrowStone(play.stones, *play.world, records::ShotVector{0.0f, -29.6f, 0, {}}));
    physics::ApplySheetFriction(play.stones, physics::SpeedLossPerStep * 0.5f);
    ASSERT_FALSE(physics::PlayStep(play.stones, *play.world));
}

b2BroadPhase& BroadPhaseOf(b2World& world) {
    return const_cast<b2ContactManager&>(world.GetContactManager()).m_broadPhase;
}

void MoveTo(b2World& world, int32_t proxy, float x, float y) {
    const physics::Box fresh = physics::FreshProxyBox(x, y);
    b2AABB box;
    box.lowerBound.Set(fresh.lowerX, fresh.lowerY);
    box.upperBound.Set(fresh.upperX, fresh.upperY);
    BroadPhaseOf(world).MoveProxy(proxy, box, b2Vec2(0.0f, 0.0f));
}

// The proxies in the order a query over the whole sheet reports them: what the tree's shape decides.
struct Visits {
    std::vector<int32_t> order;
    bool QueryCallback(int32_t proxy) {
        order.push_back(proxy);
        return true;
    }
};

std::vector<int32_t> QueryOrder(b2World& world) {
    Visits visits;
    b2AABB everywhere;
    everywhere.lowerBound.Set(-b2_maxFloat, -b2_maxFloat);
    everywhere.upperBound.Set(b2_maxFloat, b2_maxFloat);
    BroadPhaseOf(world).Query(&visits, everywhere);
    return visits.order;
}

// Where the tree says re-insertions keep its shape, a mover taken past every placed stone and far away
// leaves the tree as a single move to the last place does: the broad phase's query order, which orders
// the world's new contacts, is the same. Both answers occur among the fixtures.
TEST(TreeShape, WhenTheShapeKeepsTheLastReinsertionDecides) {
    std::vector<fixtures::PositionFile> files = fixtures::LoadPositionFiles();
    const std::vector<fixtures::PositionFile> generated = fixtures::LoadPositionFiles(FIXTURE_GENERATED_DIR);
    files.insert(files.end(), generated.begin(), generated.end());
    int keeping = 0;
    int changing = 0;
    for (const fixtures::PositionFile& file : files) {
        const records::GameState& state = file.state;
        if (state.shotNumber < 2 || state.shotNumber >= records::StoneCount) {
            continue;
        }
        Play walked;
        Play jumped;
        StartAndStep(walked, state);
        StartAndStep(jumped, state);
        const int thrower = state.shotNumber;
        const int32_t proxy = physics::FindStoneProxies(walked.stones, *walked.world).ids[thrower];
        ASSERT_EQ(proxy, physics::FindStoneProxies(jumped.stones, *jumped.world).ids[thrower]);
        if (!physics::ReinsertionsKeepShape(*walked.world, proxy)) {
            ++changing;
            continue;
        }
        ++keeping;
        for (int i = 0; i < thrower; ++i) {
            MoveTo(*walked.world, proxy, state.stones[i].x + 0.05f, state.stones[i].y - 0.05f);
            MoveTo(*walked.world, proxy, records::DeliveryX,
                   records::DeliveryY - 3.0f * static_cast<float>(i));
            MoveTo(*walked.world, proxy, state.stones[i].x - 0.3f, state.stones[i].y + 0.3f);
        }
        const float lastX = records::TeeX + 0.4f;
        const float lastY = records::TeeY + 2.0f;
        MoveTo(*walked.world, proxy, lastX, lastY);
        MoveTo(*jumped.world, proxy, lastX, lastY);
        EXPECT_EQ(QueryOrder(*walked.world), QueryOrder(*jumped.world)) << file.name;
    }
    EXPECT_GT(keeping, 0);
    EXPECT_GT(changing, 0);
}

}  // namespace
