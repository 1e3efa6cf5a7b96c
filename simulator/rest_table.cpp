#include "simulator/rest_table.h"

#include "physics/stone_motion.h"

#include <algorithm>
#include <cmath>

namespace simulator {

namespace {

constexpr double HalfPi = 1.5707963267948966;
constexpr double Pi = 3.141592653589793;
// Runs are stepped side by side: their float chains are independent, so the processor overlaps them.
constexpr int RunsAtOnce = 8;

// One run's samples, one per step from the start down to its last moving step, then rest. Reused from
// run to run, so that building the table does not keep asking the system for memory.
struct RawRun {
    std::vector<float> vx;
    std::vector<float> vy;
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> speed;
    std::vector<double> forward;
    std::vector<double> sideways;
    std::vector<double> heading;
};

// From each sample, the way still to go to the resting point (endX, endY), in the stone's own frame.
// A last sample at speed zero closes the run.
void MeasureRemainingPaths(RawRun& raw, double endX, double endY) {
    const std::size_t steps = raw.vx.size();
    raw.speed.resize(steps + 1);
    raw.forward.resize(steps + 1);
    raw.sideways.resize(steps + 1);
    raw.heading.resize(steps + 1);
    for (std::size_t k = 0; k < steps; ++k) {
        const double vx = raw.vx[k];
        const double vy = raw.vy[k];
        const double speed = std::sqrt(vx * vx + vy * vy);
        const double dx = endX - raw.x[k];
        const double dy = endY - raw.y[k];
        raw.speed[k] = speed;
        raw.forward[k] = (dx * vx + dy * vy) / speed;
        raw.sideways[k] = (dy * vx - dx * vy) / speed;
    }
    raw.speed[steps] = 0.0;
    raw.forward[steps] = 0.0;
    raw.sideways[steps] = 0.0;
}

// Steps up to RunsAtOnce runs together exactly as the engine moves a lone stone, positions summed
// in double so that the table carries the velocity's rounding and not the position's.
void SimulateRuns(int firstRun, int count, RawRun* raws) {
    physics::StoneMotion motion[RunsAtOnce];
    double x[RunsAtOnce] = {};
    double y[RunsAtOnce] = {};
    bool moving[RunsAtOnce] = {};
    for (int q = 0; q < count; ++q) {
        const double heading = -HalfPi + RestTableFirstHeading + (firstRun + q) * RestTableHeadingStep;
        motion[q] = physics::StoneMotion{static_cast<float>(RestTableTopSpeed * std::cos(heading)),
                                         static_cast<float>(RestTableTopSpeed * std::sin(heading)),
                                         physics::DeliverySpin};
        moving[q] = true;
        raws[q].vx.clear();
        raws[q].vy.clear();
        raws[q].x.clear();
        raws[q].y.clear();
    }
    for (bool anyMoving = true; anyMoving;) {
        anyMoving = false;
        for (int q = 0; q < count; ++q) {
            if (!moving[q]) {
                continue;
            }
            raws[q].vx.push_back(motion[q].vx);
            raws[q].vy.push_back(motion[q].vy);
            raws[q].x.push_back(x[q]);
            raws[q].y.push_back(y[q]);
            x[q] += static_cast<double>(physics::TimeStep * motion[q].vx);
            y[q] += static_cast<double>(physics::TimeStep * motion[q].vy);
            motion[q] = physics::ApplyFrictionStep(motion[q], physics::SpeedLossPerStep);
            moving[q] = motion[q].vx != 0.0f || motion[q].vy != 0.0f;
            anyMoving = anyMoving || moving[q];
        }
    }
    for (int q = 0; q < count; ++q) {
        MeasureRemainingPaths(raws[q], x[q], y[q]);
    }
}

// Cubic weights for the four raw samples around `speed` (raw speeds fall with the index).
struct RawWeights {
    std::size_t first = 0;
    double value[4] = {};
};

RawWeights RawWeightsAt(const std::vector<double>& speeds, std::size_t below, double speed) {
    const std::size_t last = speeds.size() - 1;
    RawWeights weights;
    weights.first = std::min(below >= 2 ? below - 2 : 0, last - 3);
    for (std::size_t a = 0; a < 4; ++a) {
        double weight = 1.0;
        for (std::size_t b = 0; b < 4; ++b) {
            if (b != a) {
                weight *= (speed - speeds[weights.first + b]) /
                          (speeds[weights.first + a] - speeds[weights.first + b]);
            }
        }
        weights.value[a] = weight;
    }
    return weights;
}

double Resample(const RawWeights& weights, const std::vector<double>& values) {
    return weights.value[0] * values[weights.first] + weights.value[1] * values[weights.first + 1] +
           weights.value[2] * values[weights.first + 2] + weights.value[3] * values[weights.first + 3];
}

void StoreRun(RestTable& table, int run, RawRun& raw, bool keepsTurn) {
    const std::size_t steps = raw.vx.size();
    if (keepsTurn) {
        for (std::size_t k = 0; k < steps; ++k) {
            raw.heading[k] = std::atan2(static_cast<double>(raw.vy[k]), static_cast<double>(raw.vx[k]));
        }
        raw.heading[steps] = raw.heading[steps - 1];
    }
    std::size_t below = steps;  // first sample at or below the grid speed
    for (int m = 0; m < table.speedCount; ++m) {
        const double speed = m * RestTableSpeedStep;
        while (below > 0 && raw.speed[below - 1] <= speed) {
            --below;
        }
        const RawWeights weights = RawWeightsAt(raw.speed, below, speed);
        const std::size_t cell = static_cast<std::size_t>(run) * table.speedCount + m;
        table.forward[cell] = static_cast<float>(Resample(weights, raw.forward));
        table.sideways[cell] = static_cast<float>(Resample(weights, raw.sideways));
        if (keepsTurn) {
            table.turn[m] = Resample(weights, raw.heading) - raw.heading[0];
        }
    }
}

RestTable BuildRestTable() {
    RestTable table;
    table.runCount = RestTableRunCount;
    // Grid speeds stay below the runs' first samples, so every one is interpolated, never extrapolated.
    table.speedCount = static_cast<int>((RestTableTopSpeed - 0.1) / RestTableSpeedStep) + 1;
    const std::size_t cells = static_cast<std::size_t>(table.runCount) * table.speedCount;
    table.forward.resize(cells);
    table.sideways.resize(cells);
    table.turn.resize(table.speedCount);
    const int straightRun = static_cast<int>(std::lround(-RestTableFirstHeading / RestTableHeadingStep));
    RawRun raws[RunsAtOnce];
    for (int first = 0; first < table.runCount; first += RunsAtOnce) {
        const int count = std::min(RunsAtOnce, table.runCount - first);
        SimulateRuns(first, count, raws);
        for (int q = 0; q < count; ++q) {
            StoreRun(table, first + q, raws[q], first + q == straightRun);
        }
    }
    return table;
}

struct SpeedWeights {
    int first = 0;  // grid index of the first of four nodes
    double value[4] = {};
    double slope[4] = {};  // per m/s
};

SpeedWeights WeightsAt(const RestTable& table, double speed) {
    const double u = speed > 0.0 ? speed / RestTableSpeedStep : 0.0;  // NaN reads as zero, never as an index
    SpeedWeights weights;
    const int i = std::clamp(static_cast<int>(std::floor(u)), 1, table.speedCount - 3);
    weights.first = i - 1;
    const double t = u - i;
    const double t2 = t * t;
    weights.value[0] = -t * (t - 1.0) * (t - 2.0) / 6.0;
    weights.value[1] = (t + 1.0) * (t - 1.0) * (t - 2.0) / 2.0;
    weights.value[2] = -(t + 1.0) * t * (t - 2.0) / 2.0;
    weights.value[3] = (t + 1.0) * t * (t - 1.0) / 6.0;
    weights.slope[0] = -(3.0 * t2 - 6.0 * t + 2.0) / 6.0 / RestTableSpeedStep;
    weights.slope[1] = (3.0 * t2 - 4.0 * t - 1.0) / 2.0 / RestTableSpeedStep;
    weights.slope[2] = -(3.0 * t2 - 2.0 * t - 2.0) / 2.0 / RestTableSpeedStep;
    weights.slope[3] = (3.0 * t2 - 1.0) / 6.0 / RestTableSpeedStep;
    return weights;
}

}  // namespace

const RestTable& SharedRestTable() {
    static const RestTable table = BuildRestTable();
    return table;
}

double RestTableMaxSpeed(const RestTable& table) {
    return (table.speedCount - 1) * RestTableSpeedStep;
}

RestDisplacement LookUpRest(const RestTable& table, double speed, double heading) {
    const SpeedWeights weights = WeightsAt(table, std::clamp(speed, 0.0, RestTableMaxSpeed(table)));
    double turn = 0.0;
    for (int n = 0; n < 4; ++n) {
        turn += weights.value[n] * table.turn[weights.first + n];
    }
    // The run that has this heading at this speed, counted from the delivery line.
    const double offset = std::remainder(heading + HalfPi - turn, 2.0 * Pi);
    const double position = (offset - RestTableFirstHeading) / RestTableHeadingStep;
    int run = static_cast<int>(std::floor(position));
    double share = position - run;
    if (run < 0) {
        run = 0;
        share = 0.0;
    } else if (run > table.runCount - 2) {
        run = table.runCount - 2;
        share = 1.0;
    }
    RestDisplacement rest;
    for (int side = 0; side < 2; ++side) {
        const double runWeight = side == 0 ? 1.0 - share : share;
        const std::size_t base = static_cast<std::size_t>(run + side) * table.speedCount + weights.first;
        for (int n = 0; n < 4; ++n) {
            const double forward = table.forward[base + n];
            const double sideways = table.sideways[base + n];
            rest.forward += runWeight * weights.value[n] * forward;
            rest.sideways += runWeight * weights.value[n] * sideways;
            rest.forwardPerSpeed += runWeight * weights.slope[n] * forward;
            rest.sidewaysPerSpeed += runWeight * weights.slope[n] * sideways;
        }
    }
    return rest;
}

}  // namespace simulator
