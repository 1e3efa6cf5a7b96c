// A stand-in for the host's simulator library: echoes the target back as the shot (vx = x, vy = y),
// so a test can tell which target produced a reply. When CURLING_TEST_CALL_LOG names a file, every
// call appends the three 32-bit words it received, in call order.
#include "simulator/create_shot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::FILE* CallLog() {
    static std::FILE* log = [] {
        const char* path = std::getenv("CURLING_TEST_CALL_LOG");
        return path != nullptr ? std::fopen(path, "wb") : nullptr;
    }();
    return log;
}

}  // namespace

extern "C" void CreateShot(records::ShotTarget target, records::ShotVector* shot) {
    if (std::FILE* log = CallLog()) {
        unsigned char words[12];
        std::memcpy(words, &target, sizeof(words));
        std::fwrite(words, 1, sizeof(words), log);
    }
    shot->vx = target.x;
    shot->vy = target.y;
    shot->curl = target.curl;
}
