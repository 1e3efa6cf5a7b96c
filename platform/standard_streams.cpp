#include "platform/standard_streams.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#else
#include <unistd.h>

#include <cerrno>
#endif

namespace platform {

#if defined(_WIN32)

long ReadStandardInput(char* buffer, std::size_t capacity) {
    DWORD count = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(capacity), &count, nullptr)) {
        // A pipe whose writer has closed it fails instead of reading nothing: that is its end too.
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<long>(count);
}

void WriteStandardOutput(const char* bytes, std::size_t size) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(output, bytes, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
            return;
        }
        bytes += written;
        size -= written;
    }
}

void UseRawStandardError() {
    _setmode(_fileno(stderr), _O_BINARY);
}

#else

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
            return;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void UseRawStandardError() {}

#endif

}  // namespace platform
