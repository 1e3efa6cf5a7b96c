#include "physics/play/lone_traces.h"

#include "physics/play/lone_lanes.h"
#include "physics/play/lone_step.h"

#include <algorithm>

namespace physics {

namespace {

// A delivery traced alone, kept between steps.
struct Trace {
    WorldStone stone;
    Box fatBox;
    int step = 0;  // steps played
    Box cover;
    int coverCount = 0;  // fat boxes in `cover`
    LonePath* path = nullptr;
};

void AddFatBox(Trace& trace, const Box& box) {
    const WorldStone& s = trace.stone;
    if (trace.coverCount == 0 && trace.step > 0) {
        // A stone put to sleep by this step is not taken up: its run ends here.
        trace.path->resumes.push_back(LoneResume{s.awake ? trace.step : 0,
                                                 s.centre.x,
                                                 s.centre.y,
                                                 s.angle,
                                                 s.velocity.x,
                                                 s.velocity.y,
                                                 s.spin,
                                                 s.sleepTime,
                                                 {box.lowerX, box.lowerY, box.upperX, box.upperY}});
    }
    trace.cover = trace.coverCount == 0 ? box : Combine(trace.cover, box);
    if (++trace.coverCount == BoxesPerCover) {
        trace.path->covers.insert(trace.path->covers.end(), {trace.cover.lowerX, trace.cover.lowerY,
                                                             trace.cover.upperX, trace.cover.upperY});
        trace.coverCount = 0;
    }
}

void StartTrace(Trace& trace, const records::ShotVector& shot, LonePath& path) {
    path = LonePath{};
    path.shot = shot;
    trace.path = &path;
    trace.stone = DeliveredStone(shot);
    trace.fatBox = FreshFatBox(trace.stone.centre);
    trace.step = 0;
    trace.coverCount = 0;
    AddFatBox(trace, trace.fatBox);
}

// The path's end: the stone rests where the scan found it asleep, or the scan removed it; covers are kept
// only for a path that ended.
void EndTrace(Trace& trace, TraceEnd end) {
    LonePath& path = *trace.path;
    path.end = end;
    path.endStep = trace.step;
    if (end == TraceEnd::Undecided) {
        path.covers.clear();
        path.covers.shrink_to_fit();
        path.resumes.clear();
        path.resumes.shrink_to_fit();
        return;
    }
    if (end == TraceEnd::Rests) {
        const Vec2 at = PositionOf(trace.stone);
        path.rest = records::StonePosition{at.x, at.y};
    }
    if (trace.coverCount > 0) {
        path.covers.insert(path.covers.end(),
                           {trace.cover.lowerX, trace.cover.lowerY, trace.cover.upperX, trace.cover.upperY});
    }
    path.covers.shrink_to_fit();
    path.resumes.shrink_to_fit();
}

// One step of the trace, whatever the stone does: the world's step of a stone alone, then the scan,
// which sees it at every step on an empty sheet. False once the path ended.
bool TraceStep(Trace& trace) {
    ++trace.step;
    if (StepStoneAlone(trace.stone, trace.fatBox)) {
        AddFatBox(trace, trace.fatBox);
    }
    if (StoneOffSheet(PositionOf(trace.stone))) {
        EndTrace(trace, TraceEnd::Removed);
        return false;
    }
    if (!trace.stone.awake) {
        EndTrace(trace, TraceEnd::Rests);
        return false;
    }
    if (trace.step == MaxPlaySteps) {
        EndTrace(trace, TraceEnd::Undecided);
        return false;
    }
    return true;
}

#if defined(__SSE2__)

// Two groups of four: one group's step is a chain of dependent square roots and divisions, which the
// other's fills.
constexpr int GroupCount = 2;
constexpr int LaneCount = 4 * GroupCount;

// Eight traces at a time: each lane steps on the shared path while it can and takes the scalar step
// otherwise; a lane whose path ended takes the next shot.
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
        StartTrace(traces_[k], shots_[index], paths_[index]);
        active_ |= 1u << k;
    }

    void StepScalar(int k) {
        if (!TraceStep(traces_[k])) {
            Refill(k);
        }
    }

    // The registers from the traces; a lane with no shot repeats an active one, so that it stays
    // harmless.
    void Gather() {
        int some = 0;
        while (some < LaneCount && (active_ & (1u << some)) == 0) {
            ++some;
        }
        for (int k = 0; k < LaneCount; ++k) {
            const Trace& trace = traces_[(active_ & (1u << k)) != 0 ? k : some];
            PutLane(floats_, k, trace.stone, trace.fatBox);
            base_[k] = traces_[k].step;
        }
    }

    // Lane k's stone brought to the end of the `played`-th shared step since the gather.
    void Take(const LaneFloats<GroupCount>& after, int k, int played) {
        Trace& trace = traces_[k];
        WorldStone& s = trace.stone;
        s.centre = Vec2{after.x[k], after.y[k]};
        s.angle = after.angle[k];
        s.velocity = Vec2{after.vx[k], after.vy[k]};
        s.spin = after.spin[k];
        s.sleepTime = after.sleepTime[k];
        trace.fatBox = Box{after.lowerX[k], after.lowerY[k], after.upperX[k], after.upperY[k]};
        trace.step = base_[k] + played;
    }

    // Shared steps until a lane leaves the shared path or the budget runs out; every lane is then
    // brought up to date and takes a scalar step of its own if it needs one.
    void RunShared() {
        if (active_ == 0) {
            return;
        }
        // No shared step may be a lane's last allowed one: that one ends its path.
        int budget = MaxPlaySteps;
        for (int k = 0; k < LaneCount; ++k) {
            if ((active_ & (1u << k)) != 0) {
                budget = std::min(budget, MaxPlaySteps - 1 - traces_[k].step);
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
            if (TakeSharedStep(prior, after, active, leaves, moved, played)) {
                return;
            }
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

    // The lanes after the `played`-th shared step since the gather (`prior` before it, `after` after it):
    // the moved ones note their new fat box; when some lane left the shared path it takes the step
    // alone and every other lane is brought up to date. True in that case.
    bool TakeSharedStep(const LaneFloats<GroupCount>& prior, const LaneFloats<GroupCount>& after,
                        unsigned active, unsigned leaves, unsigned moved, int played) {
        for (int k = 0; k < LaneCount; ++k) {
            if ((moved & (1u << k)) != 0) {
                Take(after, k, played + 1);
                AddFatBox(traces_[k], traces_[k].fatBox);
            }
        }
        if (leaves == 0) {
            return false;
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
        return true;
    }

    const records::ShotVector* shots_;
    LonePath* paths_;
    std::size_t count_;
    std::atomic<std::size_t>& next_;
    unsigned active_ = 0;
    int base_[LaneCount] = {};
    LaneFloats<GroupCount> floats_;
    Trace traces_[LaneCount];
};

#endif

}  // namespace

LonePath TraceLonePath(records::ShotVector shot) {
    LonePath path;
    Trace trace;
    StartTrace(trace, shot, path);
    while (TraceStep(trace)) {
    }
    return path;
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
