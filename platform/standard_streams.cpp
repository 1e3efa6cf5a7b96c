#include "platform/standard_streams.h"

#include <unistd.h>

#include <cerrno>

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
            return;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace platform
