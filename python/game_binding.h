#pragma once

#include "records/game_state.h"

#include <pybind11/pybind11.h>

namespace python {

// Adds curling.Game, its PlayedShot, the Shot and Target tuples and play_many to the module.
void BindGame(pybind11::module_& module);

// A curling.Shot (vx, vy, curl) or curling.Target (x, y, curl); BindGame must have run.
pybind11::object ShotTuple(const records::ShotVector& shot);
pybind11::object TargetTuple(const records::ShotTarget& target);

}  // namespace python
