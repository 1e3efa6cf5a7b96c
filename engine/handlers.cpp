#include "engine/handlers.h"

#include "engine/input_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace engine {

void HandleReady(Engine& engine) {
    std::memset(&engine.state, 0, sizeof(engine.state));  // every byte, as at process start
    if (engine.standIn.prepare) {
        engine.standIn.prepare();
    } else {
        engine.search.Prepare(engine.createShot, engine.report);
    }
    engine.prepared = true;
    static const char reply[] = "READYOK";
    engine.writeReply(reply, sizeof(reply) - 1);
}

void HandleGo(Engine& engine) {
    for (const std::string& note : InputNotes(engine.state, engine.prepared)) {
        if (engine.report != nullptr) {
            std::fprintf(engine.report, "%s\n", note.c_str());
        }
    }
    const records::ShotVector shot = engine.standIn.go ? engine.standIn.go(engine.state)
                                                       : engine.search.Go(engine.state, engine.report).shot;
    char reply[1024];
    int length = std::snprintf(reply, sizeof(reply), "BESTSHOT %f %f %d", static_cast<double>(shot.vx),
                               static_cast<double>(shot.vy), static_cast<int>(shot.curl));
    // Even the widest float prints in far fewer than 1024 bytes; a cut reply would still be one write.
    if (length > 0) {
        engine.writeReply(reply, std::min(static_cast<std::size_t>(length), sizeof(reply) - 1));
    }
}

}  // namespace engine
