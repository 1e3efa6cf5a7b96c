#pragma once

namespace engine {

// The whole engine process: binds the simulator library, then serves commands until input ends.
// Returns the exit code, 0 in every case.
int RunEngine();

}  // namespace engine
