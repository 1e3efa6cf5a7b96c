#include "physics/detail/lone_traces.h"

#include "physics/detail/delivery.h"
#include "physics/detail/lone_step.h"
#include "physics/detail/run_to_rest.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The stones of the lanes, one float of each per register, in StepAlone's and ApplyFriction's terms.
struct Lanes {
    __m128 x, y, angle, vx, vy, spin, sleepTime;
    __m128 lowerX, lowerY, upperX, upperY;  // broad-phase boxes
};

inline __m128 Select(__m128 mask, __m128 yes, __m128 no) {
    return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}

inline __m128 Not(__m128 mask) {
    return _mm_xor_ps(mask, _mm_castsi128_ps(_mm_set1_epi32(-1)));
}

// A step of four sliding stones with the scalar step's float operations in its order, for the path that
// almost every step takes: awake after it, well within the sheet, no velocity limit.
// `leaves` marks the lanes that left that path (their results are to be dropped), `moved` those whose
// box the broad phase would re-insert.
[[gnu::always_inline]] inline void StepLanes(Lanes& l, __m128& leaves, __m128& moved) {
    const __m128 zero = _mm_setzero_ps();
    const __m128 h = _mm_set1_ps(TimeStep);
    // IntegrateAlone.
    const __m128 vx = _mm_add_ps(l.vx, zero);
    const __m128 vy = _mm_add_ps(l.vy, zero);
    const __m128 w = _mm_add_ps(l.spin, zero);
    const __m128 tx = _mm_mul_ps(h, vx);
    const __m128 ty = _mm_mul_ps(h, vy);
    leaves = _mm_cmpgt_ps(_mm_add_ps(_mm_mul_ps(tx, tx), _mm_mul_ps(ty, ty)),
                          _mm_set1_ps(b2_maxTranslationSquared));
    const __m128 rotation = _mm_mul_ps(h, w);
    leaves =
        _mm_or_ps(leaves, _mm_cmpgt_ps(_mm_mul_ps(rotation, rotation), _mm_set1_ps(b2_maxRotationSquared)));
    const __m128 x0 = l.x;
    const __m128 y0 = l.y;
    const __m128 x1 = _mm_add_ps(x0, _mm_mul_ps(h, vx));
    const __m128 y1 = _mm_add_ps(y0, _mm_mul_ps(h, vy));
    l.angle = _mm_add_ps(l.angle, _mm_mul_ps(h, w));
    const float linTolSqr = b2_linearSleepTolerance * b2_linearSleepTolerance;
    const float angTolSqr = b2_angularSleepTolerance * b2_angularSleepTolerance;
    const __m128 restless =
        _mm_or_ps(_mm_cmpgt_ps(_mm_mul_ps(w, w), _mm_set1_ps(angTolSqr)),
                  _mm_cmpgt_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_set1_ps(linTolSqr)));
    const __m128 sleepTime = Select(restless, zero, _mm_add_ps(l.sleepTime, h));
    leaves = _mm_or_ps(leaves, _mm_cmpge_ps(sleepTime, _mm_set1_ps(b2_timeToSleep)));

    // Sweep and MoveTreeBox.
    const __m128 radius = _mm_set1_ps(records::StoneRadius);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 lx2 = _mm_sub_ps(x1, radius);
    const __m128 ly2 = _mm_sub_ps(y1, radius);
    const __m128 ux2 = _mm_add_ps(x1, radius);
    const __m128 uy2 = _mm_add_ps(y1, radius);
    const __m128 lx1 = _mm_sub_ps(x0, radius);
    const __m128 ly1 = _mm_sub_ps(y0, radius);
    const __m128 ux1 = _mm_add_ps(x0, radius);
    const __m128 uy1 = _mm_add_ps(y0, radius);
    const __m128 sweptLx = _mm_min_ps(lx1, lx2);
    const __m128 sweptLy = _mm_min_ps(ly1, ly2);
    const __m128 sweptUx = _mm_max_ps(ux1, ux2);
    const __m128 sweptUy = _mm_max_ps(uy1, uy2);
    const __m128 dx =
        _mm_sub_ps(_mm_mul_ps(half, _mm_add_ps(lx2, ux2)), _mm_mul_ps(half, _mm_add_ps(lx1, ux1)));
    const __m128 dy =
        _mm_sub_ps(_mm_mul_ps(half, _mm_add_ps(ly2, uy2)), _mm_mul_ps(half, _mm_add_ps(ly1, uy1)));
    const __m128 extension = _mm_set1_ps(b2_aabbExtension);
    __m128 fatLx = _mm_sub_ps(sweptLx, extension);
    __m128 fatLy = _mm_sub_ps(sweptLy, extension);
    __m128 fatUx = _mm_add_ps(sweptUx, extension);
    __m128 fatUy = _mm_add_ps(sweptUy, extension);
    const __m128 multiplier = _mm_set1_ps(b2_aabbMultiplier);
    const __m128 ddx = _mm_mul_ps(multiplier, dx);
    const __m128 ddy = _mm_mul_ps(multiplier, dy);
    const __m128 backX = _mm_cmplt_ps(ddx, zero);
    const __m128 backY = _mm_cmplt_ps(ddy, zero);
    fatLx = Select(backX, _mm_add_ps(fatLx, ddx), fatLx);
    fatUx = Select(backX, fatUx, _mm_add_ps(fatUx, ddx));
    fatLy = Select(backY, _mm_add_ps(fatLy, ddy), fatLy);
    fatUy = Select(backY, fatUy, _mm_add_ps(fatUy, ddy));
    const __m128 holds =
        _mm_and_ps(_mm_and_ps(_mm_cmple_ps(l.lowerX, sweptLx), _mm_cmple_ps(l.lowerY, sweptLy)),
                   _mm_and_ps(_mm_cmple_ps(sweptUx, l.upperX), _mm_cmple_ps(sweptUy, l.upperY)));
    const __m128 huge = _mm_set1_ps(4.0f * b2_aabbExtension);
    const __m128 tight = _mm_and_ps(_mm_and_ps(_mm_cmple_ps(_mm_sub_ps(fatLx, huge), l.lowerX),
                                               _mm_cmple_ps(_mm_sub_ps(fatLy, huge), l.lowerY)),
                                    _mm_and_ps(_mm_cmple_ps(l.upperX, _mm_add_ps(fatUx, huge)),
                                               _mm_cmple_ps(l.upperY, _mm_add_ps(fatUy, huge))));
    moved = Not(_mm_and_ps(holds, tight));
    l.lowerX = Select(moved, fatLx, l.lowerX);
    l.lowerY = Select(moved, fatLy, l.lowerY);
    l.upperX = Select(moved, fatUx, l.upperX);
    l.upperY = Select(moved, fatUy, l.upperY);

    // ApplyFriction (ApplyFrictionStep with the step's speed loss).
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 speedLoss = _mm_set1_ps(SpeedLossPerStep);
    const __m128 speed = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)));
    const __m128 slows = _mm_cmpgt_ps(speed, speedLoss);  // a slower stone stops
    const __m128 inverseSpeed = _mm_div_ps(one, speed);
    const __m128 nx = _mm_mul_ps(vx, inverseSpeed);
    const __m128 ny = _mm_mul_ps(vy, inverseSpeed);
    const __m128 slowX = _mm_sub_ps(vx, _mm_mul_ps(speedLoss, nx));
    const __m128 slowY = _mm_sub_ps(vy, _mm_mul_ps(speedLoss, ny));
    const __m128 k =
        Select(_mm_cmpgt_ps(w, zero), _mm_set1_ps(CurlCoefficient), _mm_set1_ps(-CurlCoefficient));
    const __m128 length = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(slowX, slowX), _mm_mul_ps(slowY, slowY)));
    const __m128 push = _mm_mul_ps(k, speedLoss);
    const __m128 minusNy = _mm_xor_ps(ny, _mm_set1_ps(-0.0f));
    const __m128 wx = _mm_add_ps(slowX, _mm_mul_ps(push, minusNy));
    const __m128 wy = _mm_add_ps(slowY, _mm_mul_ps(push, nx));
    const __m128 inverseW = _mm_div_ps(one, _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(wx, wx), _mm_mul_ps(wy, wy))));
    const __m128 curls = _mm_cmpneq_ps(w, zero);
    const __m128 nextVx =
        _mm_and_ps(slows, Select(curls, _mm_mul_ps(_mm_mul_ps(wx, inverseW), length), slowX));
    const __m128 nextVy =
        _mm_and_ps(slows, Select(curls, _mm_mul_ps(_mm_mul_ps(wy, inverseW), length), slowY));
    const __m128 nextSpeedSquared = _mm_add_ps(_mm_mul_ps(nextVx, nextVx), _mm_mul_ps(nextVy, nextVy));
    l.vx = nextVx;
    l.vy = nextVy;
    // A stopped stone's spin, and a zero one, become a positive zero.
    l.spin = _mm_andnot_ps(_mm_or_ps(_mm_cmpeq_ps(nextSpeedSquared, zero), _mm_cmpeq_ps(w, zero)), w);
    l.sleepTime = _mm_andnot_ps(_mm_cmpgt_ps(nextSpeedSquared, zero), sleepTime);
    l.x = x1;
    l.y = y1;

    // The end-of-step scan: plainly on the sheet.
    const __m128 onSheet = _mm_and_ps(_mm_and_ps(_mm_cmplt_ps(_mm_set1_ps(records::SideBoundLow), x1),
                                                 _mm_cmplt_ps(x1, _mm_set1_ps(records::SideBoundHigh))),
                                      _mm_and_ps(_mm_cmplt_ps(_mm_set1_ps(records::SheetBackBound), y1),
                                                 _mm_cmplt_ps(y1, _mm_set1_ps(records::FarBound))));
    leaves = _mm_or_ps(leaves, Not(onSheet));
}

struct LaneFloats {
    alignas(16) float x[LaneCount], y[LaneCount], angle[LaneCount], vx[LaneCount], vy[LaneCount],
        spin[LaneCount], sleepTime[LaneCount], lowerX[LaneCount], lowerY[LaneCount], upperX[LaneCount],
        upperY[LaneCount];
};

void Store(const Lanes* groups, LaneFloats& f) {
    for (int g = 0; g < GroupCount; ++g) {
        const Lanes& l = groups[g];
        const int at = 4 * g;
        _mm_store_ps(f.x + at, l.x);
        _mm_store_ps(f.y + at, l.y);
        _mm_store_ps(f.angle + at, l.angle);
        _mm_store_ps(f.vx + at, l.vx);
        _mm_store_ps(f.vy + at, l.vy);
        _mm_store_ps(f.spin + at, l.spin);
        _mm_store_ps(f.sleepTime + at, l.sleepTime);
        _mm_store_ps(f.lowerX + at, l.lowerX);
        _mm_store_ps(f.lowerY + at, l.lowerY);
        _mm_store_ps(f.upperX + at, l.upperX);
        _mm_store_ps(f.upperY + at, l.upperY);
    }
}

void Load(const LaneFloats& f, Lanes* groups) {
    for (int g = 0; g < GroupCount; ++g) {
        const int at = 4 * g;
        groups[g] =
            Lanes{_mm_load_ps(f.x + at),         _mm_load_ps(f.y + at),      _mm_load_ps(f.angle + at),
                  _mm_load_ps(f.vx + at),        _mm_load_ps(f.vy + at),     _mm_load_ps(f.spin + at),
                  _mm_load_ps(f.sleepTime + at), _mm_load_ps(f.lowerX + at), _mm_load_ps(f.lowerY + at),
                  _mm_load_ps(f.upperX + at),    _mm_load_ps(f.upperY + at)};
    }
}

void Put(LaneFloats& f, int k, const TracedStone& stone) {
    const MoverState& s = stone.s;
    f.x[k] = s.x;
    f.y[k] = s.y;
    f.angle[k] = s.angle;
    f.vx[k] = s.vx;
    f.vy[k] = s.vy;
    f.spin[k] = s.spin;
    f.sleepTime[k] = stone.sleepTime;
    f.lowerX[k] = stone.tree.lowerBound.x;
    f.lowerY[k] = stone.tree.lowerBound.y;
    f.upperX[k] = stone.tree.upperBound.x;
    f.upperY[k] = stone.tree.upperBound.y;
}

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
            Put(floats_, k, stones_[(active_ & (1u << k)) != 0 ? k : some]);
            base_[k] = stones_[k].step;
        }
    }

    // Lane k's stone brought to the end of the `played`-th shared step since the gather; `after` holds it.
    void Take(const LaneFloats& after, int k, int played) {
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
        Load(floats_, lanes);
        LaneFloats prior;
        LaneFloats after;
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
            Store(before, prior);
            Store(lanes, after);
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
        LaneFloats last;
        Store(lanes, last);
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
    LaneFloats floats_;
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
