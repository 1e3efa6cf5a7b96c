#pragma once

#include <pybind11/pybind11.h>

namespace python {

// Adds what curling.players builds on: the host's reading of an engine's reply and curling-random's
// choices.
void BindPlayers(pybind11::module_& module);

}  // namespace python
