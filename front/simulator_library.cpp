#include "front/simulator_library.h"

#include "front/platform.h"

#include <string>

namespace front {

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
        reinterpret_cast<CreateShotFunction>(platform::FindSymbol(library.module, "CreateShot"));
    return true;
}

}  // namespace front
