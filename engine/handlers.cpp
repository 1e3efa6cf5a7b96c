#include "engine/handlers.h"

#include "engine/input_checks.h"
#include "platform/text.h"

#include <cstdio>
#include <cstring>
#include <string>

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
    // "BESTSHOT %f %f %d" as the C locale writes it, whatever locale the simulator library has set.
    const std::string reply = "BESTSHOT " + platform::FormatFixed(shot.vx) + ' ' +
                              platform::FormatFixed(shot.vy) + ' ' + std::to_string(shot.curl);
    engine.writeReply(reply.data(), reply.size());
}

}  // namespace engine
