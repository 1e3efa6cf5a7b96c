#include "platform/shared_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace platform {

#if defined(_WIN32)

std::string ExecutableDirectory() {
    char path[32768];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) {
        return std::string();
    }
    std::string full(path, length);
    std::size_t separator = full.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : full.substr(0, separator);
}

void* LoadSharedLibrary(const std::string& pathOrName) {
    // A damaged or foreign file must come back as a failure, not as a message box that nobody answers.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(pathOrName.c_str());
    SetErrorMode(previousMode);
    return reinterpret_cast<void*>(module);
}

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

// A bare name already makes LoadLibraryA search the executable's directory first.
void* LoadLibraryBesideExecutable(const std::string& fileName) {
    return LoadSharedLibrary(fileName);
}

#else

std::string ExecutableDirectory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string full(path, static_cast<std::size_t>(length));
    std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

void* LoadSharedLibrary(const std::string& pathOrName) {
    return dlopen(pathOrName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void* LoadLibraryBesideExecutable(const std::string& fileName) {
    const std::string directory = ExecutableDirectory();
    void* library = directory.empty() ? nullptr : LoadSharedLibrary(directory + "/" + fileName);
    return library != nullptr ? library : LoadSharedLibrary(fileName);
}

#endif

}  // namespace platform
