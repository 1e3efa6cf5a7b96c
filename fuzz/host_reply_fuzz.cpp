// The host's reading of an engine's replies: whole or in pieces, with any bytes an engine may write.
#include "host/protocol.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const host::ParsedShot parsed = host::ParseBestShot(reply);
    if (parsed.fault == host::ReplyFault::None &&
        (!std::isfinite(parsed.shot.vx) || !std::isfinite(parsed.shot.vy) || parsed.shot.curl > 1 ||
         std::hypot(parsed.shot.vx, parsed.shot.vy) > host::MaxShotSpeed)) {
        std::abort();  // an accepted shot is one the physics can play
    }
    // A whole reply stays whole with more bytes after a space, unless it is a reply word cut short.
    if (host::ReplyComplete(reply) && !host::ReplyComplete(reply + " x") &&
        host::ParseBestShot(reply).fault == host::ReplyFault::None) {
        std::abort();
    }
    static_cast<void>(host::IsReadyReply(reply));
    if (host::Printable(reply).size() > 500) {
        std::abort();
    }
    return 0;
}
