#include "engine/simulator_library.h"

#include "platform/shared_library.h"

namespace engine {

bool LoadSimulatorLibrary(SimulatorLibrary& library) {
    library = SimulatorLibrary{};
    library.module = platform::LoadLibraryBesideExecutable(SimulatorLibraryName);
    if (library.module == nullptr) {
        return false;
    }
    library.createShot =
        reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library.module, "CreateShot"));
    return true;
}

}  // namespace engine
