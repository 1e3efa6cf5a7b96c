#pragma once

#include "records/game_state.h"

namespace engine {

constexpr const char* SimulatorLibraryName = "CurlingSimulator.dll";

// The host's simulator library, bound once at start and kept for the life of the process.
struct SimulatorLibrary {
    void* module = nullptr;
    records::CreateShotFunction createShot = nullptr;  // null when the library has no CreateShot
};

// Looks in the directory of the engine's own executable first, as Windows searches the application
// directory, then through the platform's library search path. False when no library could be loaded;
// a library without CreateShot still loads.
[[nodiscard]] bool LoadSimulatorLibrary(SimulatorLibrary& library);

}  // namespace engine
