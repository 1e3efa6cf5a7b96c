#pragma once

#include "engine/engine.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

// Copies token `index` (0 = the command word) of `line` into `dest`. Tokens are separated by runs of
// the space character only; a line ending in spaces has one further, empty token. False when the line
// has no such token.
[[nodiscard]] bool ExtractToken(std::string& dest, std::string_view line, int index);

// Carries out one command line. The line ends at its first CR, LF or zero byte. Unknown words are
// ignored; a command with a missing argument is applied up to that argument.
void HandleCommand(Engine& engine, std::string_view line);

// Longest line handled; a longer one is dropped whole, up to its line end, with a note on stderr.
constexpr std::size_t MaxLineLength = 1 << 20;
// One read of standard input delivers at most this much (a pipe holds 64 KiB).
constexpr std::size_t ReadChunkSize = 1 << 16;

// Splits what the reads deliver into command lines.
struct InputFramer {
    std::string pending;      // start of a line that a full read cut off
    bool discarding = false;  // inside a line that has grown past MaxLineLength
};

// Handles the bytes of one read: every line ended by CR or LF, in order, and then the trailing
// fragment as a command of its own, so that a host writing one unterminated command per write is
// served. Only when the read filled its whole buffer is the fragment kept to be continued by the
// next read, since the rest of that line is then still on its way.
void HandleInput(Engine& engine, InputFramer& framer, const char* bytes, std::size_t size, bool readWasFull);

// Reads and handles commands until standard input ends or fails; returns the exit code (0).
int RunCommandLoop(Engine& engine);

}  // namespace engine
