#include "front/engine_main.h"

#include "front/command_loop.h"
#include "front/platform.h"
#include "front/simulator_library.h"
#include "physics/simulate_shot.h"

#include <iostream>

namespace front {

int RunEngine() {
    static SimulatorLibrary library;
    if (!LoadSimulatorLibrary(library)) {
        std::cerr << "failed to load CurlingSimulator.dll" << std::endl;
        return 0;
    }
    // Before any search worker exists, so that no two threads make the physics' first contact at once.
    physics::WarmUp();
    // The record and the search tables are process-wide and zero at start.
    static Engine engine;
    engine.createShot = library.createShot;
    engine.writeReply = [](const char* bytes, std::size_t size) {
        platform::WriteStandardOutput(bytes, size);
    };
    return RunCommandLoop(engine);
}

}  // namespace front
