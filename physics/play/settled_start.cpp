#include "physics/play/settled_start.h"

#include "physics/play/play_step.h"
#include "physics/play/quiet_steps.h"
#include "physics/play/still_world.h"
#include "physics/sheet.h"

#include <algorithm>
#include <cstring>

namespace physics {

namespace {

// The steps of holding still after which a stone standing from the first step falls asleep.
int StepsToFallAsleep() {
    float sleepTime = 0.0f;
    int steps = 0;
    while (sleepTime < 0.5f) {
        sleepTime += TimeStep;
        ++steps;
    }
    return steps;
}

// Whether stone i stands in `after` as in `before`: place, angle, no motion, the same fat box.
bool UnmovedBy(const World& after, const World& before, int32_t i) {
    const WorldStone& a = after.stones[i];
    const WorldStone& b = before.stones[i];
    const Box& boxA = after.broadPhase.tree.nodes[a.proxy].box;
    const Box& boxB = before.broadPhase.tree.nodes[b.proxy].box;
    return std::memcmp(&a.centre, &b.centre, sizeof a.centre) == 0 &&
           std::memcmp(&a.angle, &b.angle, sizeof a.angle) == 0 && a.velocity.x == 0.0f &&
           a.velocity.y == 0.0f && a.spin == 0.0f && std::memcmp(&boxA, &boxB, sizeof boxA) == 0;
}

// Placed stones that push apart before they rest: their settling recorded with a draw, then once more
// for every other way in which the test deliveries' proxies move in the first steps, while the stones'
// proxies move.
void SettleApart(PlacedStones& placed) {
    constexpr int settleStepLimit = 1500;
    SettlingScript script;
    if (!RecordSettling(placed.state, records::ShotVector{0.0f, -29.6f, 0, {}}, settleStepLimit, script)) {
        return;
    }
    placed.patternSteps = LastActiveStep(script);
    placed.settlings.push_back(std::move(script));
    if (placed.patternSteps == 0 || placed.patternSteps > 32) {
        return;
    }
    // Straight deliveries from a guard's weight to a hard takeout: their early moves cover the test shots'.
    for (float vy = -20.0f; vy >= -60.0f; vy -= 0.25f) {
        const records::ShotVector delivery{0.0f, vy, 0, {}};
        const uint32_t pattern = DeliveryPattern(delivery, placed.patternSteps);
        bool known = false;
        for (const SettlingScript& settling : placed.settlings) {
            known = known || (settling.pattern & ((1u << placed.patternSteps) - 1u)) == pattern;
        }
        if (!known && RecordSettling(placed.state, delivery, settleStepLimit, script)) {
            placed.settlings.push_back(std::move(script));
        }
    }
}

// Whether the delivered stone's re-insertions, each stopping at the root, leave the rest of the tree as
// the first left it, and how far a fat box must lie from the root's children to stop there.
void SettleTree(PlacedStones& placed, const World& start) {
    const int32_t proxy = start.stones[placed.state.shotNumber].proxy;
    placed.withoutDelivery = start.broadPhase.tree;
    TakeOutLeaf(placed.withoutDelivery, proxy);
    const Box hack = start.broadPhase.tree.nodes[proxy].box;
    FatBoxTree again = start.broadPhase.tree;
    ReinsertLeaf(again, proxy, hack);
    TakeOutLeaf(again, proxy);
    const FatBoxTree& tree = placed.withoutDelivery;
    placed.treeCycles = placed.standStill && InsertionStopsAtRoot(tree, hack) && SameTree(again, tree);
    if (tree.root == NullNode || IsLeaf(tree.nodes[tree.root])) {
        return;
    }
    // In exact arithmetic the search stops at the root when, for each child c, the perimeter of c with
    // the box exceeds twice the root's (plus c's own for an inner node); the box's own size only adds.
    const TreeNode& root = tree.nodes[tree.root];
    const int32_t children[2] = {root.child1, root.child2};
    for (int k = 0; k < 2; ++k) {
        const TreeNode& child = tree.nodes[children[k]];
        const float own = IsLeaf(child) ? 0.0f : Perimeter(child.box);
        placed.rootChild[k] = child.box;
        placed.gapNeeded[k] = Perimeter(root.box) + 0.5f * (own - Perimeter(child.box)) + 0.005f;
    }
}

// Whether every box within `cover` stops an insertion at the root.
bool CoverStopsAtRoot(const PlacedStones& placed, const Box& cover) {
    const FatBoxTree& tree = placed.withoutDelivery;
    if (tree.root == NullNode || IsLeaf(tree.nodes[tree.root])) {
        return true;
    }
    for (int k = 0; k < 2; ++k) {
        const Box& child = placed.rootChild[k];
        const float gapX = std::max({0.0f, cover.lowerX - child.upperX, child.lowerX - cover.upperX});
        const float gapY = std::max({0.0f, cover.lowerY - child.upperY, child.lowerY - cover.upperY});
        if (!(gapX + gapY > placed.gapNeeded[k])) {
            return false;
        }
    }
    return true;
}

bool MeetsPlaced(const PlacedStones& placed, const Box& box) {
    for (int k = 0; k < placed.end.boxCount; ++k) {
        if (Overlap(box, placed.end.boxes[k])) {
            return true;
        }
    }
    return false;
}

bool CoverMeetsBox(const Box& cover, const PlacedEnd& end) {
    for (int k = 0; k < end.boxCount; ++k) {
        if (Overlap(cover, end.boxes[k])) {
            return true;
        }
    }
    return false;
}

// Whether a stone whose fat boxes a cover holds may touch one of the standing stones. Its centre never
// leaves its fat box shrunk by a radius (the box holds the stone at every step), so the nearest it comes
// to a centre is the distance to that shrunk cover; touching takes two radii, and a millimetre more
// keeps the world's single-precision test of the same distance from ever deciding otherwise.
bool CoverTouchesStone(const Box& cover, const records::GameState& state, const PlacedEnd& end) {
    const float reach = 2.0f * records::StoneRadius + 0.001f;
    for (int i = 0; i < state.shotNumber; ++i) {
        if (!end.present[i]) {
            continue;
        }
        const records::StonePosition& p = end.position[i];
        const float dx = std::max(
            {0.0f, cover.lowerX + records::StoneRadius - p.x, p.x - (cover.upperX - records::StoneRadius)});
        const float dy = std::max(
            {0.0f, cover.lowerY + records::StoneRadius - p.y, p.y - (cover.upperY - records::StoneRadius)});
        if (dx * dx + dy * dy <= reach * reach) {
            return true;
        }
    }
    return false;
}

float SleepTimeAfter(int steps) {
    float sleepTime = 0.0f;
    for (int k = 0; k < steps; ++k) {
        sleepTime += TimeStep;
    }
    return sleepTime;
}

}  // namespace

bool ResumeFromTrace(const LonePath& lone, const PlacedStones& placed, World& world, int& step) {
    if (!placed.treeCycles || lone.end == TraceEnd::Undecided) {
        return false;
    }
    std::size_t clear = 0;  // covers from the first that meet nothing and stop at the root
    for (; clear + 1 <= lone.covers.size() / 4; ++clear) {
        const float* c = &lone.covers[clear * 4];
        const Box cover{c[0], c[1], c[2], c[3]};
        if (MeetsPlaced(placed, cover) || !CoverStopsAtRoot(placed, cover)) {
            break;
        }
    }
    const LoneResume* resume = nullptr;
    for (std::size_t k = std::min(clear, lone.resumes.size()); k > 0 && resume == nullptr; --k) {
        const LoneResume& r = lone.resumes[k - 1];
        const Box fatBox{r.fatBox[0], r.fatBox[1], r.fatBox[2], r.fatBox[3]};
        if (r.step > 0 && !MeetsPlaced(placed, fatBox) &&
            InsertionStopsAtRoot(placed.withoutDelivery, fatBox)) {
            resume = &r;
        }
    }
    if (resume == nullptr) {
        return false;
    }
    world = placed.first;
    const int32_t thrower = placed.state.shotNumber;
    WorldStone& delivered = world.stones[thrower];
    delivered.centre = Vec2{resume->x, resume->y};
    delivered.angle = resume->angle;
    delivered.velocity = Vec2{resume->vx, resume->vy};
    delivered.spin = resume->spin;
    delivered.sleepTime = resume->sleepTime;
    delivered.awake = true;
    delivered.islandSolved = true;
    FatBoxTree& tree = world.broadPhase.tree;
    ReinsertLeaf(tree, delivered.proxy,
                 Box{resume->fatBox[0], resume->fatBox[1], resume->fatBox[2], resume->fatBox[3]});
    tree.nodes[delivered.proxy].moved = false;
    step = resume->step;
    // Each placed stone has held still since the first step; an island whose position solve finishes
    // early falls asleep in the same step as every other.
    const float sleepTime = SleepTimeAfter(step);
    for (int32_t i = 0; i < thrower; ++i) {
        WorldStone& stone = world.stones[i];
        if (stone.present && stone.islandSolved && step >= placed.fallAsleepStep) {
            PutStoneToSleep(stone);
        } else if (stone.present) {
            stone.sleepTime = sleepTime;
        }
    }
    return true;
}

bool SameStonesPlaced(const records::GameState& a, const records::GameState& b) {
    return a.shotNumber == b.shotNumber && a.shotNumber >= 0 && a.shotNumber < records::StoneCount &&
           std::memcmp(a.stones, b.stones, sizeof a.stones[0] * static_cast<std::size_t>(a.shotNumber)) == 0;
}

std::shared_ptr<const PlacedStones> SettlePlacedStones(const records::GameState& state) {
    if (state.shotNumber < 0 || state.shotNumber >= records::StoneCount) {
        return nullptr;
    }
    auto placed = std::make_shared<PlacedStones>();
    placed->state = state;
    const int thrower = state.shotNumber;
    const records::ShotVector draw{0.0f, -29.6f, 0, {}};
    World world = StartPlay(state, draw);
    // Standing still: the first step changes nothing of them (but their time held still), and the
    // second repeats the first, as every later one then does while nothing comes near.
    const World start = world;
    static_cast<void>(PlayOverAfterStep(world));
    const World first = world;
    static_cast<void>(PlayOverAfterStep(world));
    bool allSolved = true;
    placed->standStill = world.stones[thrower].present && world.stones[thrower].edges == NullEdge;
    for (int32_t i = 0; i < thrower && placed->standStill; ++i) {
        if (start.stones[i].present) {
            placed->standStill = first.stones[i].present && UnmovedBy(first, start, i) &&
                                 world.stones[i].present && RepeatsStill(world, first, i);
            allSolved = allSolved && world.stones[i].islandSolved;
        }
    }
    placed->fallAsleepStep = StepsToFallAsleep();
    PlacedEnd& end = placed->end;
    end.standing = placed->standStill;
    end.asleepStep = allSolved ? placed->fallAsleepStep : MaxPlaySteps + 1;
    for (int32_t i = 0; i < thrower; ++i) {
        end.present[i] = start.stones[i].present;
        end.position[i] = state.stones[i];
        if (end.present[i]) {
            end.boxes[end.boxCount++] = start.broadPhase.tree.nodes[start.stones[i].proxy].box;
        }
    }
    placed->first = first;
    SettleTree(*placed, start);
    if (!placed->standStill) {
        SettleApart(*placed);
    }
    return placed;
}

bool TraceDecides(const LonePath& lone, const records::GameState& state, const PlacedEnd& end,
                  PlayOutcome& outcome) {
    if (lone.end == TraceEnd::Undecided) {
        return false;
    }
    // Unless every placed stone sleeps by then, the scan does not see the stone where it left the sheet.
    if (end.boxCount > 0 && lone.end == TraceEnd::Removed && lone.endStep < end.asleepStep) {
        return false;
    }
    for (std::size_t at = 0; at + 4 <= lone.covers.size(); at += 4) {
        const Box cover{lone.covers[at], lone.covers[at + 1], lone.covers[at + 2], lone.covers[at + 3]};
        if (end.standing ? CoverTouchesStone(cover, state, end) : CoverMeetsBox(cover, end)) {
            return false;
        }
    }
    outcome = PlayOutcome{};
    outcome.count = state.shotNumber + 1;
    for (int i = 0; i < state.shotNumber; ++i) {
        outcome.present[i] = end.present[i];
        outcome.position[i] = end.present[i] ? end.position[i] : records::StonePosition{0.0f, 0.0f};
    }
    if (lone.end == TraceEnd::Rests) {
        outcome.present[state.shotNumber] = true;
        outcome.position[state.shotNumber] = lone.rest;
    }
    return true;
}

bool StartSettled(const PlacedStones& placed, const records::ShotVector& shot, World& world, int& step,
                  const SettlingScript*& script) {
    if (placed.settlings.empty()) {
        return false;
    }
    const uint32_t pattern = DeliveryPattern(shot, placed.patternSteps);
    const uint32_t mask = placed.patternSteps >= 32 ? ~0u : (1u << placed.patternSteps) - 1u;
    for (const SettlingScript& settling : placed.settlings) {
        if ((settling.pattern & mask) == pattern) {
            script = &settling;
            return ReplaySettling(settling, placed.state, shot, world, step);
        }
    }
    return false;
}

}  // namespace physics
