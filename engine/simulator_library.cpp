#include "engine/simulator_library.h"

#include "platform/shared_library.h"

#include <string>

namespace engine {

bool LoadSimulatorLibrary(SimulatorLibrary& library) {
    library = SimulatorLibrary{};
    std::string directory = platform::ExecutableDirectory();
    if (!directory.empty()) {
        library.module = platform::LoadSharedLibrary(directory + "/" + SimulatorLibraryName);
    }
    if (library.module == nullptr) {
        library.module = platform::LoadSharedLibrary(SimulatorLibraryName);
    }
    if (library.module == nullptr) {
        return false;
    }
    library.createShot =
        reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library.module, "CreateShot"));
    return true;
}

}  // namespace engine
