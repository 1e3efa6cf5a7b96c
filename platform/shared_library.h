#pragma once

#include <string>

namespace platform {

// Directory of the running executable, without a trailing separator; empty when it cannot be found.
std::string ExecutableDirectory();

// Loads a shared library by path or bare file name; null on failure. Never unloaded.
void* LoadSharedLibrary(const std::string& pathOrName);
void* FindSymbol(void* library, const char* name);

// Loads a library by its file name as Windows looks for one: in the running executable's directory
// first, then along the system's search path. Null when none can be loaded.
void* LoadLibraryBesideExecutable(const std::string& fileName);

}  // namespace platform
