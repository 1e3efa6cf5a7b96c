#include "physics/detail/lone_traces.h"

#include "physics/detail/delivery.h"
#include "physics/detail/lone_lanes.h"
#include "physics/detail/lone_step.h"
#include "physics/detail/run_to_rest.h"

#include <algorithm>
#include <cstring>

namespace physics {

namespace {

LoneResume ResumeOf(const LoneRunPoint& point) {
    LoneResume resume;
    if (point.step == 0) {
        return resume;
    }
    const MoverState& s = point.state;
    const ProxyMove& m = point.move;
    resume.step = point.step;
    const float state[6] = {s.x, s.y, s.angle, s.vx, s.vy, s.spin};
    const float tree[4] = {point.treeBox.lowerX, point.treeBox.lowerY, point.treeBox.upperX,
                           point.treeBox.upperY};
    const float move[6] = {m.box.lowerX, m.box.lowerY, m.box.upperX, m.box.upperY, m.dx, m.dy};
    std::copy(state, state + 6, resume.state);
    std::copy(tree, tree + 4, resume.tree);
    std::copy(move, move + 6, resume.move);
    return resume;
}

void ClearTrace(LoneRunTrace& trace) {
    trace.every = BoxesPerCover;
    trace.trees.clear();
    trace.points.clear();
    trace.sweeps.clear();
    trace.firstSweepStep = 0;
}

#if defined(__SSE2__)

// A delivery traced alone, as RunAlone steps it with a trace and no other stone, kept between steps.
struct TracedStone {
    MoverState s;
    float sleepTime = 0.0f;
    b2AABB tree{};
    int step = 0;  // steps played
    int firstExaminedStep = 1;
    bool restsUnexamined = false;
    bool pointDue = false;  // the last re-insertion was an `every`-th one
    ProxyMove lastMove;
    LoneRunTrace trace;
};

void StartTrace(TracedStone& stone, const records::ShotVector& shot) {
    const LoneRunSetup setup = DeliverySetup(shot, nullptr, 0, false);
    stone.s = setup.start;
    stone.sleepTime = 0.0f;
    stone.tree = ToB2(setup.treeBox);
    stone.step = setup.startStep;
    stone.firstExaminedStep = setup.firstExaminedStep;
    stone.restsUnexamined = setup.restsUnexamined;
    stone.pointDue = false;
    stone.lastMove = ProxyMove{};
    ClearTrace(stone.trace);
    stone.trace.trees.push_back(setup.treeBox);
}

// The trace's record of a re-insertion in the step just played; the stone stands where it ended.
void NoteMove(TracedStone& stone, const ProxyMove& move, float x0, float y0) {
    LoneRunTrace& trace = stone.trace;
    stone.lastMove = move;
    if (trace.sweeps.empty()) {
        trace.firstSweepStep = move.step;
    }
    trace.sweeps.push_back(LoneSweep{x0, y0, stone.s.x, stone.s.y});
    trace.trees.push_back(FromB2(stone.tree));
    stone.pointDue = trace.trees.size() % trace.every == 1;
}

// At the end of a step that goes on: the point an `every`-th re-insertion asks for.
void NotePoint(TracedStone& stone) {
    if (!stone.pointDue) {
        return;
    }
    const bool resumable = Sliding(stone.s) && TreeStays(stone.tree, stone.s.x, stone.s.y);
    stone.trace.points.push_back(
        resumable ? LoneRunPoint{stone.step, stone.s, FromB2(stone.tree), stone.lastMove} : LoneRunPoint{});
    stone.pointDue = false;
}

// One step of RunAlone's loop for the stone, whatever it does. False once the run ended, as `end` tells.
bool TraceStep(TracedStone& stone, LoneRunResult& end) {
    const int step = ++stone.step;
    MoverState& s = stone.s;
    const float x0 = s.x;
    const float y0 = s.y;
    const StoneStep alone = StepAlone(step, s, stone.sleepTime, stone.tree);
    const bool awake = alone.awake;
    if (alone.moved) {
        NoteMove(stone, alone.move, awake ? x0 : s.x, awake ? y0 : s.y);
    }
    if (awake) {
        ApplyFriction(s, stone.sleepTime);
    }
    if (step >= stone.firstExaminedStep) {
        if (OffSheet(s.x, s.y)) {
            end = LoneRunResult{LoneRunEnd::Removed, step, s, FromB2(stone.tree)};
            return false;
        }
        if (!awake) {
            end = LoneRunResult{LoneRunEnd::Rests, step, s, FromB2(stone.tree)};
            return false;
        }
    } else if (!awake) {
        end = stone.restsUnexamined ? LoneRunResult{LoneRunEnd::Rests, step, s, FromB2(stone.tree)}
                                    : LoneRunResult{};
        return false;
    }
    NotePoint(stone);
    if (step == MaxPlaySteps) {
        end = LoneRunResult{};
        return false;
    }
    return true;
}

// Two groups of four: one group's step is a chain of dependent square roots and divisions, which the
// other's fills.
constexpr int GroupCount = 2;
constexpr int LaneCount = 4 * GroupCount;

// Eight traces at a time: each lane steps on the shared path while it can and takes the scalar step
// otherwise; a lane whose run ended takes the next shot.
class TraceLanes {
public:
    TraceLanes(const records::ShotVector* shots, LonePath* paths, std::size_t count,
               std::atomic<std::size_t>& next)
        : shots_(shots), paths_(paths), count_(count), next_(next) {}

    void Run() {
        for (int k = 0; k < LaneCount; ++k) {
            Refill(k);
        }
        while (active_ != 0) {
            Gather();
            RunShared();
        }
    }

private:
    void Refill(int k) {
        const std::size_t index = next_++;
        if (index >= count_) {
            active_ &= ~(1u << k);
            return;
        }
        cell_[k] = index;
        StartTrace(stones_[k], shots_[index]);
        active_ |= 1u << k;
    }

    void Finish(int k, const LoneRunResult& end) {
        paths_[cell_[k]] = LonePathOf(end, stones_[k].trace);
        Refill(k);
    }

    // A scalar step for one lane, refilling it when its run ends.
    void StepScalar(int k) {
        LoneRunResult end;
        if (!TraceStep(stones_[k], end)) {
            Finish(k, end);
        }
    }

    // The registers from the stones; a lane with no shot repeats an active one, so that it stays
    // harmless.
    void Gather() {
        int some = 0;
        while (some < LaneCount && (active_ & (1u << some)) == 0) {
            ++some;
        }
        for (int k = 0; k < LaneCount; ++k) {
            const TracedStone& stone = stones_[(active_ & (1u << k)) != 0 ? k : some];
            PutLane(floats_, k, stone.s, stone.sleepTime, stone.tree);
            base_[k] = stones_[k].step;
        }
    }

    // Lane k's stone brought to the end of the `played`-th shared step since the gather; `after` holds it.
    void Take(const LaneFloats<GroupCount>& after, int k, int played) {
        TracedStone& stone = stones_[k];
        stone.s = MoverState{after.x[k], after.y[k], after.angle[k], after.vx[k], after.vy[k], after.spin[k]};
        stone.tree.lowerBound.Set(after.lowerX[k], after.lowerY[k]);
        stone.tree.upperBound.Set(after.upperX[k], after.upperY[k]);
        stone.sleepTime = after.sleepTime[k];
        stone.step = base_[k] + played;
    }

    // The trace's record of lane k's re-insertion in the shared step just taken, from (x0, y0).
    void NoteSharedMove(int k, float x0, float y0) {
        TracedStone& stone = stones_[k];
        NoteMove(stone, SweptMove(stone.step, x0, y0, stone.s.x, stone.s.y), x0, y0);
        NotePoint(stone);
    }

    // Shared steps until a lane leaves the shared path or the budget runs out; every lane is then
    // brought up to date and takes a scalar step of its own if it needs one.
    void RunShared() {
        if (active_ == 0) {
            return;
        }
        // No shared step may be a lane's last allowed one: that one ends its run.
        int budget = MaxPlaySteps;
        for (int k = 0; k < LaneCount; ++k) {
            if ((active_ & (1u << k)) != 0) {
                budget = std::min(budget, MaxPlaySteps - 1 - stones_[k].step);
            }
        }
        const unsigned active = active_;
        Lanes lanes[GroupCount];
        LoadLanes(floats_, lanes);
        LaneFloats<GroupCount> prior;
        LaneFloats<GroupCount> after;
        for (int played = 0; played < budget; ++played) {
            Lanes before[GroupCount];
            unsigned leaves = 0;
            unsigned moved = 0;
            for (int g = 0; g < GroupCount; ++g) {
                before[g] = lanes[g];
                __m128 leavesMask;
                __m128 movedMask;
                StepLanes(lanes[g], leavesMask, movedMask);
                leaves |= static_cast<unsigned>(_mm_movemask_ps(leavesMask)) << (4 * g);
                moved |= static_cast<unsigned>(_mm_movemask_ps(movedMask)) << (4 * g);
            }
            leaves &= active;
            moved &= active & ~leaves;
            if ((leaves | moved) == 0) {
                continue;
            }
            StoreLanes(before, prior);
            StoreLanes(lanes, after);
            for (int k = 0; k < LaneCount; ++k) {
                if ((moved & (1u << k)) != 0) {
                    Take(after, k, played + 1);
                    NoteSharedMove(k, prior.x[k], prior.y[k]);
                }
            }
            if (leaves == 0) {
                continue;
            }
            for (int k = 0; k < LaneCount; ++k) {
                const unsigned bit = 1u << k;
                if ((leaves & bit) != 0) {
                    Take(prior, k, played);
                    StepScalar(k);
                } else if ((active & bit) != 0 && (moved & bit) == 0) {
                    Take(after, k, played + 1);
                }
            }
            return;
        }
        LaneFloats<GroupCount> last;
        StoreLanes(lanes, last);
        for (int k = 0; k < LaneCount; ++k) {
            if ((active & (1u << k)) != 0) {
                Take(last, k, budget);
                StepScalar(k);
            }
        }
    }

    const records::ShotVector* shots_;
    LonePath* paths_;
    std::size_t count_;
    std::atomic<std::size_t>& next_;
    unsigned active_ = 0;
    std::size_t cell_[LaneCount] = {};
    int base_[LaneCount] = {};
    LaneFloats<GroupCount> floats_;
    TracedStone stones_[LaneCount];
};

#endif

}  // namespace

LonePath LonePathOf(const LoneRunResult& run, const LoneRunTrace& trace) {
    LonePath lone;
    if (run.end != LoneRunEnd::Rests && run.end != LoneRunEnd::Removed) {
        return lone;
    }
    lone.end = static_cast<int>(run.end) + 1;
    lone.endStep = run.step;
    lone.rest = records::StonePosition{run.state.x, run.state.y};
    const std::vector<Box>& trees = trace.trees;
    lone.covers.reserve((trees.size() + trace.every - 1) / trace.every * 4);
    lone.resumes.reserve(trace.points.size());
    for (std::size_t first = 0; first < trees.size(); first += trace.every) {
        Box cover = trees[first];
        for (std::size_t k = first + 1; k < trees.size() && k < first + trace.every; ++k) {
            cover.lowerX = std::min(cover.lowerX, trees[k].lowerX);
            cover.lowerY = std::min(cover.lowerY, trees[k].lowerY);
            cover.upperX = std::max(cover.upperX, trees[k].upperX);
            cover.upperY = std::max(cover.upperY, trees[k].upperY);
        }
        lone.covers.insert(lone.covers.end(), {cover.lowerX, cover.lowerY, cover.upperX, cover.upperY});
    }
    for (const LoneRunPoint& point : trace.points) {
        lone.resumes.push_back(ResumeOf(point));
    }
    const std::size_t sweeps = std::min(trace.sweeps.size(), trace.points.size() * trace.every);
    static_assert(sizeof(LoneSweep) == 4 * sizeof(float), "a sweep is its four floats");
    lone.sweeps.resize(sweeps * 4);
    if (sweeps > 0) {
        std::memcpy(lone.sweeps.data(), trace.sweeps.data(), sweeps * sizeof(LoneSweep));
    }
    lone.firstSweepStep = trace.firstSweepStep;
    return lone;
}

LonePath TraceLonePath(records::ShotVector shot) {
    // Reused from trace to trace: the readiness check traces thousands on each thread.
    thread_local std::vector<ProxyMove> moves;
    thread_local LoneRunTrace trace;
    ClearTrace(trace);
    const LoneRunResult run = RunAlone(DeliverySetup(shot, nullptr, 0, false), moves, &trace);
    return LonePathOf(run, trace);
}

#if defined(__i386__)
// A 32-bit Windows thread's stack is only 4-byte aligned; the vector registers spill 16-byte values.
__attribute__((force_align_arg_pointer))
#endif
void TraceLonePaths(const records::ShotVector* shots, LonePath* paths, std::size_t count,
                    std::atomic<std::size_t>& next) {
#if defined(__SSE2__)
    TraceLanes lanes(shots, paths, count, next);
    lanes.Run();
#else
    for (std::size_t index = next++; index < count; index = next++) {
        paths[index] = TraceLonePath(shots[index]);
    }
#endif
}

}  // namespace physics
