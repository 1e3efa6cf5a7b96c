#include "engine/handlers.h"

#include "platform/text.h"

#include <cstring>
#include <string>

namespace engine {

void HandleReady(Engine& engine) {
    std::memset(&engine.state, 0, sizeof(engine.state));  // every byte, as at process start
    engine.search.Prepare(engine.createShot, engine.report);
    static const char reply[] = "READYOK";
    engine.writeReply(reply, sizeof(reply) - 1);
}

void HandleGo(Engine& engine) {
    const records::ShotVector shot = engine.search.Go(engine.state, engine.report).shot;
    // "BESTSHOT %f %f %d" as the C locale writes it, whatever locale the simulator library has set.
    const std::string reply = "BESTSHOT " + platform::FormatFixed(shot.vx) + ' ' +
                              platform::FormatFixed(shot.vy) + ' ' + std::to_string(shot.curl);
    engine.writeReply(reply.data(), reply.size());
}

}  // namespace engine
