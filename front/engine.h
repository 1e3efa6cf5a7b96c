#pragma once

#include "front/game_state.h"

#include <cstddef>
#include <functional>

namespace front {

// Writes one protocol reply as one write of exactly its bytes: no terminating zero, no line end.
using ReplyWriter = std::function<void(const char* bytes, std::size_t size)>;

// Everything the command loop works on. The process keeps one; tests make their own.
struct Engine {
    GameState state{};                        // zero at start
    CreateShotFunction createShot = nullptr;  // bound from the simulator library
    ReplyWriter writeReply;
};

}  // namespace front
