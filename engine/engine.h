#pragma once

#include "records/game_state.h"
#include "search/search.h"

#include <cstddef>
#include <cstdio>
#include <functional>

namespace engine {

// Writes one protocol reply as one write of exactly its bytes: no terminating zero, no line end.
using ReplyWriter = std::function<void(const char* bytes, std::size_t size)>;

// Stand-ins for the search, for driving the command loop fast (fuzzing): when set, ISREADY and GO call
// them instead of the search.
struct SearchStandIn {
    std::function<void()> prepare;
    std::function<records::ShotVector(const records::GameState&)> go;
};

// Everything the command loop works on. The process makes one; tests make their own.
struct Engine {
    records::GameState state{};                        // zero at start
    records::CreateShotFunction createShot = nullptr;  // bound from the simulator library
    search::Search search;                             // zero tables until the first ISREADY
    ReplyWriter writeReply;
    std::FILE* report = stderr;  // where the search's report goes
    bool prepared = false;       // an ISREADY has built the search tables
    SearchStandIn standIn;
};

}  // namespace engine
