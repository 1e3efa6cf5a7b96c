#pragma once

#include <string>

namespace platform {

// Directory of the running executable, without a trailing slash; empty when it cannot be found.
std::string ExecutableDirectory();

// Loads a shared library by path or bare file name; null on failure. Never unloaded.
void* LoadSharedLibrary(const std::string& pathOrName);
void* FindSymbol(void* library, const char* name);

}  // namespace platform
