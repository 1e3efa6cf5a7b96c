#pragma once

#include "front/game_state.h"

namespace front {

constexpr const char* SimulatorLibraryName = "CurlingSimulator.dll";

// The host's simulator library, bound once at start and kept for the life of the process.
struct SimulatorLibrary {
    void* module = nullptr;
    CreateShotFunction createShot = nullptr;  // null when the library has no CreateShot
};

// Looks in the directory of the engine's own executable first, as Windows searches the application
// directory, then through the platform's library search path. False when no library could be loaded;
// a library without CreateShot still loads.
bool LoadSimulatorLibrary(SimulatorLibrary& library);

}  // namespace front
