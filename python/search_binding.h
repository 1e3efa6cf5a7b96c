#pragma once

#include <pybind11/pybind11.h>

namespace python {

// Adds curling.Search and its result type to the module.
void BindSearch(pybind11::module_& module);

}  // namespace python
