#pragma once

#include <vector>

namespace simulator {

// Where a lone stone comes to rest from any sliding state, tabulated from float runs of the engine's
// own stone motion. Friction and curl do not depend on position and turn with the velocity, so in exact
// arithmetic the path from any state is one shape, rotated. Single-precision rounding adds a drift that
// depends on the heading, so the table keeps one run per heading and the lookup interpolates across them.
// The remaining displacement is kept in the stone's own frame: forward along its velocity, and
// sideways towards the side its positive spin curls it to (counter-clockwise of the velocity).
struct RestTable {
    int runCount = 0;
    int speedCount = 0;           // grid speeds 0, SpeedStep, ..., (speedCount - 1) * SpeedStep
    std::vector<double> turn;     // [speed] heading gained by a run from its start down to that speed
    std::vector<float> forward;   // [run][speed] metres still to go along the velocity
    std::vector<float> sideways;  // [run][speed] metres still to go to the left of it
};

// The runs' headings cover every aim the engine's grids take (about -0.25 to +0.15 rad from the delivery
// line at top speed); elsewhere the nearest run still lands within a few millimetres.
constexpr double RestTableTopSpeed = 52.0;       // m/s at which every run starts
constexpr double RestTableSpeedStep = 0.08;      // m/s between grid speeds
constexpr double RestTableFirstHeading = -0.26;  // radians from the delivery line (-y), run 0
constexpr double RestTableHeadingStep = 0.001;   // radians between runs
constexpr int RestTableRunCount = 421;

// The shared table, built on first use (a few tens of milliseconds) and read-only afterwards.
// Safe to call from any number of threads at once.
const RestTable& SharedRestTable();

// A lone stone with positive spin sliding at `speed` (m/s) with heading `heading` (radians,
// atan2(vy, vx)): its remaining displacement to rest in its own frame, and the derivatives of both
// with respect to speed. Headings outside the tabulated band use the nearest run.
struct RestDisplacement {
    double forward = 0.0;
    double sideways = 0.0;
    double forwardPerSpeed = 0.0;
    double sidewaysPerSpeed = 0.0;
};
RestDisplacement LookUpRest(const RestTable& table, double speed, double heading);

// The highest speed the table covers; a faster state is looked up at this speed.
double RestTableMaxSpeed(const RestTable& table);

}  // namespace simulator
