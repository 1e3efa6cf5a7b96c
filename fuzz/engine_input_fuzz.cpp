// The command loop on any byte stream, cut into reads where the input says: every command, framing, long
// and broken lines. GO and ISREADY run stand-ins, so that a run tries many commands a second; the
// search's own inputs are the record the commands leave, which the GO stand-in checks.
#include "engine/command_loop.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

engine::Engine& FuzzedEngine() {
    static engine::Engine* engine = [] {
        auto* made = new engine::Engine;  // lives as long as the fuzzer
        made->report = nullptr;
        made->writeReply = [](const char*, std::size_t size) {
            if (size == 0 || size > 1024) {
                std::abort();  // a reply is one write of a few bytes
            }
        };
        made->standIn.prepare = [] {};
        made->standIn.go = [](const records::GameState& state) {
            // The record stays inside its own bytes whatever the commands were.
            return records::ShotVector{static_cast<float>(state.shotNumber), state.stones[15].y, 1, {}};
        };
        return made;
    }();
    return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    engine::Engine& engine = FuzzedEngine();
    engine.state = records::GameState{};
    engine.prepared = false;
    engine::InputFramer framer;
    // The first byte of each piece sets its length; a length of 255 makes a read that fills its buffer.
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = data[at++];
        const std::size_t piece = length < size - at ? length : size - at;
        engine::HandleInput(engine, framer, reinterpret_cast<const char*>(data + at), piece, length == 255);
        at += piece;
    }
    engine::HandleInput(engine, framer, "", 0, false);
    return 0;
}
