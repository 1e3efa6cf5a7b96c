#include "engine/engine_main.h"

#include "engine/command_loop.h"
#include "engine/simulator_library.h"
#include "physics/simulate_shot.h"
#include "platform/standard_streams.h"

#include <iostream>

namespace engine {

int RunEngine(const std::function<void(Engine&)>& configure) {
    // The report's bytes are the same on every system: line feeds only.
    platform::UseRawStandardError();
    SimulatorLibrary library;
    if (!LoadSimulatorLibrary(library)) {
        std::cerr << "failed to load CurlingSimulator.dll" << std::endl;
        return 0;
    }
    // Before any search worker exists, so that no two threads make the physics' first contact at once.
    physics::WarmUp();
    // The record and the search tables live as long as the process and are zero at start.
    Engine engine;
    engine.createShot = library.createShot;
    engine.writeReply = [](const char* bytes, std::size_t size) {
        platform::WriteStandardOutput(bytes, size);
    };
    if (configure) {
        configure(engine);
    }
    return RunCommandLoop(engine);
}

}  // namespace engine
