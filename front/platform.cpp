#include "front/platform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace platform {

long ReadStandardInput(char* buffer, std::size_t capacity) {
    for (;;) {
        ssize_t count = read(STDIN_FILENO, buffer, capacity);
        if (count >= 0) {
            return static_cast<long>(count);
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

void WriteStandardOutput(const char* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(STDOUT_FILENO, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // the host has gone; nobody is left to tell
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

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

int CompareIgnoringCase(const char* left, const char* right) {
    for (;; ++left, ++right) {
        int a = static_cast<unsigned char>(*left);
        int b = static_cast<unsigned char>(*right);
        if (a >= 'A' && a <= 'Z') {
            a += 'a' - 'A';
        }
        if (b >= 'A' && b <= 'Z') {
            b += 'a' - 'A';
        }
        if (a != b || a == 0) {
            return a - b;
        }
    }
}

int ParseInteger(const char* text) {
    // strtol, unlike atoi, has defined behaviour on overflow; its value is then clamped to int.
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// The engine never calls setlocale, so strtod works in the C locale: a point is the decimal separator.
double ParseReal(const char* text) {
    return std::strtod(text, nullptr);
}

}  // namespace platform
