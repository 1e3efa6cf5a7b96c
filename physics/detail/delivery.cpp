#include "physics/detail/delivery.h"

#include "physics/detail/lone_traces.h"
#include "physics/detail/run_to_rest.h"
#include "physics/detail/tree_shape.h"
#include "physics/stone_motion.h"
#include "records/sheet.h"

#include <algorithm>
#include <cstring>

namespace physics {

namespace {

ProxyMove MoveOf(const LoneResume& resume) {
    const float* m = resume.move;
    return ProxyMove{resume.step, Box{m[0], m[1], m[2], m[3]}, m[4], m[5]};
}

// The trace's last point before box nearCover (its end, when none is near), at the start of a box
// after the first: every box up to there, that one included, is near none of the stones.
const LoneResume* ResumeBefore(const LonePath& lone, int nearCover) {
    const std::size_t boxes = lone.covers.size() / 4;
    const std::size_t clear = nearCover < 0 ? boxes : static_cast<std::size_t>(nearCover);
    for (std::size_t box = std::min(clear, lone.resumes.size() + 1); box-- > 1;) {
        if (box < clear && lone.resumes[box - 1].step > 0) {
            return &lone.resumes[box - 1];
        }
    }
    return nullptr;
}

}  // namespace

LoneRunSetup DeliverySetup(const records::ShotVector& shot, const Box* others, int otherCount, bool inert,
                           int asleepStep) {
    // ThrowStone leaves a delivery without a finite speed at rest.
    const bool deliverable = IsDeliverableVelocity(shot.vx, shot.vy);
    const StoneMotion start = ApplyFrictionStep(
        StoneMotion{deliverable ? shot.vx : 0.0f, deliverable ? shot.vy : 0.0f, SpinForCurl(shot.curl)},
        SpeedLossPerStep * 0.5f);
    LoneRunSetup setup;
    setup.start = MoverState{records::DeliveryX, records::DeliveryY, 0.0f, start.vx, start.vy, start.spin};
    setup.startStep = 0;
    setup.firstExaminedStep = otherCount > 0 ? asleepStep : 1;
    setup.firstHandOverStep = setup.firstExaminedStep;
    if (inert) {
        setup.firstExaminedStep = MaxPlaySteps + 1;
        setup.restsUnexamined = true;
    }
    setup.treeBox = FreshProxyBox(records::DeliveryX, records::DeliveryY);
    setup.others = others;
    setup.otherCount = otherCount;
    return setup;
}

int FirstNearCover(const LonePath& lone, const Box* others, int otherCount) {
    for (std::size_t at = 0; at + 4 <= lone.covers.size(); at += 4) {
        const Box cover{lone.covers[at], lone.covers[at + 1], lone.covers[at + 2], lone.covers[at + 3]};
        for (int k = 0; k < otherCount; ++k) {
            if (BoxesNear(cover, others[k])) {
                return static_cast<int>(at / 4);
            }
        }
    }
    return -1;
}

bool TraceDecides(const LonePath& lone, int nearCover, int otherCount, bool inert, int asleepStep) {
    const bool rests = lone.end == static_cast<int>(LoneRunEnd::Rests) + 1;
    return lone.end != 0 && (otherCount == 0 || lone.endStep >= asleepStep) && (!inert || rests) &&
           nearCover < 0;
}

LoneRunResult RunDelivery(const LoneRunSetup& setup, const LonePath* lone, int nearCover,
                          std::vector<ProxyMove>& moves, const LoneResume*& resumed) {
    resumed = lone != nullptr && lone->end != 0 ? ResumeBefore(*lone, nearCover) : nullptr;
    if (resumed == nullptr) {
        return RunAlone(setup, moves);
    }
    LoneRunSetup from = setup;
    const float* s = resumed->state;
    from.start = MoverState{s[0], s[1], s[2], s[3], s[4], s[5]};
    from.startStep = resumed->step;
    from.treeBox = Box{resumed->tree[0], resumed->tree[1], resumed->tree[2], resumed->tree[3]};
    return RunAlone(from, moves);
}

bool CompleteDeliveryMoves(b2World& world, int32_t proxy, const LoneRunSetup& setup, const LonePath* lone,
                           const LoneResume* resumed, LoneRunResult& run, std::vector<ProxyMove>& moves) {
    if (lone == nullptr || resumed == nullptr) {
        return true;
    }
    if (ReinsertionsKeepShape(world, proxy)) {
        const ProxyMove last = moves.empty() ? MoveOf(*resumed) : moves.back();
        moves.assign(1, last);
        return true;
    }
    // The re-insertions before the resumption, rebuilt from the trace, then its own and the run's.
    const std::size_t box = static_cast<std::size_t>(resumed - lone->resumes.data()) + 1;
    const std::size_t before = box * BoxesPerCover - 1;
    if (lone->sweeps.size() >= before * 4) {
        thread_local std::vector<ProxyMove> all;
        all.clear();
        for (std::size_t k = 0; k < before; ++k) {
            // Only the first can fall in the world's first step, which replays none; any later step will do.
            const int step = k == 0 ? lone->firstSweepStep : resumed->step;
            const float* sweep = &lone->sweeps[k * 4];
            all.push_back(SweptMove(step, sweep[0], sweep[1], sweep[2], sweep[3]));
        }
        all.push_back(MoveOf(*resumed));
        all.insert(all.end(), moves.begin(), moves.end());
        moves.swap(all);
        return true;
    }
    run = RunAlone(setup, moves);
    return run.end == LoneRunEnd::HandOver;
}

}  // namespace physics
