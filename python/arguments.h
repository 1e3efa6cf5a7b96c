#pragma once

#include "records/game_state.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

// What crosses from Python into the engine's records. Every check throws ValueError with the reason, so
// the records handed to the engine are always ones a host could have sent.
namespace python {

namespace py = pybind11;

using FloatArray = py::array_t<float, py::array::c_style | py::array::forcecast>;
using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The highest shot number a record may carry before a shot is played, and after the last one.
constexpr int LastShotNumber = records::StoneCount - 1;
constexpr int EndOverShotNumber = records::StoneCount;

// The shot number, checked against 0..highest.
int CheckedShotNumber(long long shotNumber, int highest);

// A number as the engine's 32-bit float; `what` names it in the error.
float CheckedFloat(double value, const char* what);

// A curl flag: exactly 0 or 1.
uint8_t CheckedCurl(double curl);

// A shot from three numbers: finite velocities that fit a 32-bit float and a curl of exactly 0 or 1.
records::ShotVector CheckedShot(double vx, double vy, double curl);

// A shot from any sequence (vx, vy, curl).
records::ShotVector ShotFromSequence(const py::object& shot);

// Three numbers (a, b, curl) from a sequence or array, for a shot or a target named `what`: TypeError
// for anything but three real numbers, ValueError for numbers that are not finite or a curl not 0 or 1.
struct Triple {
    float first = 0.0f;
    float second = 0.0f;
    uint8_t curl = 0;
};
Triple CheckedTriple(const py::handle& value, const char* what);

// A whole number (an int or anything with __index__, never a bool or a float) within low..high:
// TypeError otherwise, ValueError when it lies outside.
long long CheckedWhole(const py::handle& value, const char* what, long long low, long long high);

// A seed: a whole number within 0..2^64 - 1.
uint64_t CheckedSeed(const py::handle& value);

// Checks that an array of stones has shape (..., 16, 2) with `leading` leading dimensions and only
// finite positions.
void CheckStones(const FloatArray& stones, int leading);

// The record a host would describe with these 16 stones (x, y in metres) and shot number.
records::GameState StateFromStones(const float* stones, int shotNumber);

// The record's 16 stones as a (16, 2) float32 array.
FloatArray StonesArray(const records::GameState& state);

}  // namespace python
