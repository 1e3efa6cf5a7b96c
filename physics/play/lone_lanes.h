#pragma once

// The lone step of four stones at once, one float of each in a vector register, with the scalar step's
// single-precision operations in the same order: vector square roots and divisions round as the scalar
// ones do, so every lane gets the scalar step's bits. For x86 (SSE2) only; elsewhere callers step one
// stone at a time.

#if defined(__SSE2__)

#include "physics/play/lone_step.h"

#include <emmintrin.h>

namespace physics {

// The stones of the lanes, one float of each per register, in StepStoneAlone's terms.
struct Lanes {
    __m128 x, y, angle, vx, vy, spin, sleepTime;
    __m128 lowerX, lowerY, upperX, upperY;  // fat boxes
};

inline __m128 LaneSelect(__m128 mask, __m128 yes, __m128 no) {
    return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}

inline __m128 LaneNot(__m128 mask) {
    return _mm_xor_ps(mask, _mm_castsi128_ps(_mm_set1_epi32(-1)));
}

// StoneBoxAt of each lane.
struct LaneBoxes {
    __m128 lowerX, lowerY, upperX, upperY;
};

inline LaneBoxes StoneBoxes(__m128 x, __m128 y) {
    const __m128 radius = _mm_set1_ps(records::StoneRadius);
    return LaneBoxes{_mm_sub_ps(x, radius), _mm_sub_ps(y, radius), _mm_add_ps(x, radius),
                     _mm_add_ps(y, radius)};
}

// A step of four sliding stones with the scalar step's float operations in its order, for the path that
// almost every step takes: awake after it, well within the sheet, no velocity limit.
// `leaves` marks the lanes that left that path (their results are to be dropped), `moved` those whose
// box the broad phase would re-insert.
[[gnu::always_inline]] inline void StepLanes(Lanes& l, __m128& leaves, __m128& moved) {
    const __m128 zero = _mm_setzero_ps();
    const __m128 h = _mm_set1_ps(TimeStep);
    // SolveLoneStone.
    const __m128 vx = _mm_add_ps(l.vx, zero);
    const __m128 vy = _mm_add_ps(l.vy, zero);
    const __m128 w = _mm_add_ps(l.spin, zero);
    const __m128 tx = _mm_mul_ps(h, vx);
    const __m128 ty = _mm_mul_ps(h, vy);
    leaves =
        _mm_cmpgt_ps(_mm_add_ps(_mm_mul_ps(tx, tx), _mm_mul_ps(ty, ty)), _mm_set1_ps(MaxTranslationSquared));
    const __m128 rotation = _mm_mul_ps(h, w);
    leaves = _mm_or_ps(leaves, _mm_cmpgt_ps(_mm_mul_ps(rotation, rotation), _mm_set1_ps(MaxRotationSquared)));
    const __m128 x0 = l.x;
    const __m128 y0 = l.y;
    const __m128 x1 = _mm_add_ps(x0, _mm_mul_ps(h, vx));
    const __m128 y1 = _mm_add_ps(y0, _mm_mul_ps(h, vy));
    l.angle = _mm_add_ps(l.angle, _mm_mul_ps(h, w));
    const float linTolSqr = LinearSleepTolerance * LinearSleepTolerance;
    const float angTolSqr = AngularSleepTolerance * AngularSleepTolerance;
    const __m128 restless =
        _mm_or_ps(_mm_cmpgt_ps(_mm_mul_ps(w, w), _mm_set1_ps(angTolSqr)),
                  _mm_cmpgt_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_set1_ps(linTolSqr)));
    const __m128 sleepTime = LaneSelect(restless, zero, _mm_add_ps(l.sleepTime, h));
    leaves = _mm_or_ps(leaves, _mm_cmpge_ps(sleepTime, _mm_set1_ps(TimeToSleep)));

    // The proxy's sweep and FatBoxKeeps.
    const __m128 half = _mm_set1_ps(0.5f);
    const LaneBoxes box2 = StoneBoxes(x1, y1);
    const LaneBoxes box1 = StoneBoxes(x0, y0);
    const __m128 sweptLx = _mm_min_ps(box1.lowerX, box2.lowerX);
    const __m128 sweptLy = _mm_min_ps(box1.lowerY, box2.lowerY);
    const __m128 sweptUx = _mm_max_ps(box1.upperX, box2.upperX);
    const __m128 sweptUy = _mm_max_ps(box1.upperY, box2.upperY);
    const __m128 dx = _mm_sub_ps(_mm_mul_ps(half, _mm_add_ps(box2.lowerX, box2.upperX)),
                                 _mm_mul_ps(half, _mm_add_ps(box1.lowerX, box1.upperX)));
    const __m128 dy = _mm_sub_ps(_mm_mul_ps(half, _mm_add_ps(box2.lowerY, box2.upperY)),
                                 _mm_mul_ps(half, _mm_add_ps(box1.lowerY, box1.upperY)));
    const __m128 extension = _mm_set1_ps(FatBoxMargin);
    __m128 fatLx = _mm_sub_ps(sweptLx, extension);
    __m128 fatLy = _mm_sub_ps(sweptLy, extension);
    __m128 fatUx = _mm_add_ps(sweptUx, extension);
    __m128 fatUy = _mm_add_ps(sweptUy, extension);
    const __m128 multiplier = _mm_set1_ps(FatBoxDisplacementFactor);
    const __m128 ddx = _mm_mul_ps(multiplier, dx);
    const __m128 ddy = _mm_mul_ps(multiplier, dy);
    const __m128 backX = _mm_cmplt_ps(ddx, zero);
    const __m128 backY = _mm_cmplt_ps(ddy, zero);
    fatLx = LaneSelect(backX, _mm_add_ps(fatLx, ddx), fatLx);
    fatUx = LaneSelect(backX, fatUx, _mm_add_ps(fatUx, ddx));
    fatLy = LaneSelect(backY, _mm_add_ps(fatLy, ddy), fatLy);
    fatUy = LaneSelect(backY, fatUy, _mm_add_ps(fatUy, ddy));
    const __m128 holds =
        _mm_and_ps(_mm_and_ps(_mm_cmple_ps(l.lowerX, sweptLx), _mm_cmple_ps(l.lowerY, sweptLy)),
                   _mm_and_ps(_mm_cmple_ps(sweptUx, l.upperX), _mm_cmple_ps(sweptUy, l.upperY)));
    const __m128 huge = _mm_set1_ps(4.0f * FatBoxMargin);
    const __m128 tight = _mm_and_ps(_mm_and_ps(_mm_cmple_ps(_mm_sub_ps(fatLx, huge), l.lowerX),
                                               _mm_cmple_ps(_mm_sub_ps(fatLy, huge), l.lowerY)),
                                    _mm_and_ps(_mm_cmple_ps(l.upperX, _mm_add_ps(fatUx, huge)),
                                               _mm_cmple_ps(l.upperY, _mm_add_ps(fatUy, huge))));
    moved = LaneNot(_mm_and_ps(holds, tight));
    l.lowerX = LaneSelect(moved, fatLx, l.lowerX);
    l.lowerY = LaneSelect(moved, fatLy, l.lowerY);
    l.upperX = LaneSelect(moved, fatUx, l.upperX);
    l.upperY = LaneSelect(moved, fatUy, l.upperY);

    // ApplyStoneFriction with the step's speed loss.
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
        LaneSelect(_mm_cmpgt_ps(w, zero), _mm_set1_ps(CurlCoefficient), _mm_set1_ps(-CurlCoefficient));
    const __m128 length = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(slowX, slowX), _mm_mul_ps(slowY, slowY)));
    const __m128 push = _mm_mul_ps(k, speedLoss);
    const __m128 minusNy = _mm_xor_ps(ny, _mm_set1_ps(-0.0f));
    const __m128 wx = _mm_add_ps(slowX, _mm_mul_ps(push, minusNy));
    const __m128 wy = _mm_add_ps(slowY, _mm_mul_ps(push, nx));
    const __m128 inverseW = _mm_div_ps(one, _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(wx, wx), _mm_mul_ps(wy, wy))));
    const __m128 curls = _mm_cmpneq_ps(w, zero);
    const __m128 nextVx =
        _mm_and_ps(slows, LaneSelect(curls, _mm_mul_ps(_mm_mul_ps(wx, inverseW), length), slowX));
    const __m128 nextVy =
        _mm_and_ps(slows, LaneSelect(curls, _mm_mul_ps(_mm_mul_ps(wy, inverseW), length), slowY));
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
    leaves = _mm_or_ps(leaves, LaneNot(onSheet));
}

// The same, a float array per field, lane k of group g at index 4 g + k.
template <int Groups>
struct LaneFloats {
    static constexpr int Count = 4 * Groups;
    alignas(16) float x[Count], y[Count], angle[Count], vx[Count], vy[Count], spin[Count], sleepTime[Count],
        lowerX[Count], lowerY[Count], upperX[Count], upperY[Count];
};

template <int Groups>
inline void StoreLanes(const Lanes* groups, LaneFloats<Groups>& f) {
    for (int g = 0; g < Groups; ++g) {
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

template <int Groups>
inline void LoadLanes(const LaneFloats<Groups>& f, Lanes* groups) {
    for (int g = 0; g < Groups; ++g) {
        const int at = 4 * g;
        groups[g] =
            Lanes{_mm_load_ps(f.x + at),         _mm_load_ps(f.y + at),      _mm_load_ps(f.angle + at),
                  _mm_load_ps(f.vx + at),        _mm_load_ps(f.vy + at),     _mm_load_ps(f.spin + at),
                  _mm_load_ps(f.sleepTime + at), _mm_load_ps(f.lowerX + at), _mm_load_ps(f.lowerY + at),
                  _mm_load_ps(f.upperX + at),    _mm_load_ps(f.upperY + at)};
    }
}

template <int Groups>
inline void PutLane(LaneFloats<Groups>& f, int k, const WorldStone& s, const Box& fatBox) {
    f.x[k] = s.centre.x;
    f.y[k] = s.centre.y;
    f.angle[k] = s.angle;
    f.vx[k] = s.velocity.x;
    f.vy[k] = s.velocity.y;
    f.spin[k] = s.spin;
    f.sleepTime[k] = s.sleepTime;
    f.lowerX[k] = fatBox.lowerX;
    f.lowerY[k] = fatBox.lowerY;
    f.upperX[k] = fatBox.upperX;
    f.upperY[k] = fatBox.upperY;
}

}  // namespace physics

#endif
