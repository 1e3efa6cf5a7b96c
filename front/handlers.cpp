#include "front/handlers.h"

#include "search/search_tables.h"

#include <cstring>

namespace front {

void HandleReady(Engine& engine) {
    std::memset(&engine.state, 0, sizeof(engine.state));  // every byte, as at process start
    search::PrepareSearch(engine.createShot);
    static const char reply[] = "READYOK";
    engine.writeReply(reply, sizeof(reply) - 1);
}

// The search is not built yet: GO is recognised and answers nothing.
void HandleGo(Engine&) {}

}  // namespace front
