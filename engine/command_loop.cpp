#include "engine/command_loop.h"

#include "engine/handlers.h"
#include "platform/standard_streams.h"
#include "platform/text.h"

#include <cassert>
#include <cstdio>
#include <vector>

namespace engine {

namespace {

// Fetches argument `index` and converts it; false when the line has no such argument.
bool IntegerArgument(std::string_view line, int index, int& value) {
    std::string token;
    if (!ExtractToken(token, line, index)) {
        return false;
    }
    value = platform::ParseInteger(token.c_str());
    return true;
}

bool FloatArgument(std::string_view line, int index, float& value) {
    std::string token;
    if (!ExtractToken(token, line, index)) {
        return false;
    }
    value = static_cast<float>(platform::ParseReal(token.c_str()));
    return true;
}

// Each value is stored as soon as it is converted, so a missing argument leaves the earlier ones set.
void ApplyPosition(records::GameState& state, std::string_view line) {
    for (int i = 0; i < records::StoneCount; ++i) {
        if (!FloatArgument(line, 2 * i + 1, state.stones[i].x) ||
            !FloatArgument(line, 2 * i + 2, state.stones[i].y)) {
            return;
        }
    }
}

void ApplySetState(records::GameState& state, std::string_view line) {
    int turn = 0;
    if (IntegerArgument(line, 1, state.shotNumber) && IntegerArgument(line, 2, state.currentEnd) &&
        IntegerArgument(line, 3, state.setStateArg3) && IntegerArgument(line, 4, turn)) {
        state.turnFlag = turn == 1;
    }
}

void ApplyScore(records::GameState& state, std::string_view line) {
    int score = 0;
    if (!IntegerArgument(line, 1, score)) {
        return;
    }
    // The record has one slot per end; an end outside them has nowhere to keep its score.
    if (state.currentEnd >= 0 && state.currentEnd < records::EndScoreSlots) {
        state.endScores[state.currentEnd] = score;
    }
}

void HandleLine(Engine& engine, InputFramer& framer, std::string_view segment) {
    if (framer.discarding || framer.pending.size() + segment.size() > MaxLineLength) {
        if (!framer.discarding) {
            std::fprintf(stderr, "ignored a command line longer than %zu bytes\n", MaxLineLength);
        }
    } else if (framer.pending.empty()) {
        HandleCommand(engine, segment);
    } else {
        framer.pending.append(segment);
        HandleCommand(engine, framer.pending);
    }
    framer.pending.clear();
    framer.discarding = false;
}

}  // namespace

bool ExtractToken(std::string& dest, std::string_view line, int index) {
    std::size_t at = 0;
    while (at < line.size() && line[at] == ' ') {
        ++at;
    }
    for (int skipped = 0; skipped < index; ++skipped) {
        while (at < line.size() && line[at] != ' ') {
            ++at;
        }
        if (at == line.size()) {
            return false;
        }
        while (at < line.size() && line[at] == ' ') {
            ++at;
        }
    }
    std::size_t end = line.find(' ', at);
    dest.assign(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    return true;
}

void HandleCommand(Engine& engine, std::string_view line) {
    std::size_t end = line.find_first_of(std::string_view("\r\n\0", 3));
    if (end != std::string_view::npos) {
        line = line.substr(0, end);
    }
    std::string word;
    static_cast<void>(ExtractToken(word, line, 0));  // every line, even an empty one, has a token 0
    const char* command = word.c_str();
    if (platform::CompareIgnoringCase(command, "NEWGAME") == 0) {
        return;
    }
    if (platform::CompareIgnoringCase(command, "ISREADY") == 0) {
        HandleReady(engine);
    } else if (platform::CompareIgnoringCase(command, "POSITION") == 0) {
        ApplyPosition(engine.state, line);
    } else if (platform::CompareIgnoringCase(command, "SETSTATE") == 0) {
        ApplySetState(engine.state, line);
    } else if (platform::CompareIgnoringCase(command, "GO") == 0) {
        HandleGo(engine);
    } else if (platform::CompareIgnoringCase(command, "SCORE") == 0) {
        ApplyScore(engine.state, line);
    }
}

void HandleInput(Engine& engine, InputFramer& framer, const char* bytes, std::size_t size, bool readWasFull) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            HandleLine(engine, framer, std::string_view(bytes + start, i - start));
            start = i + 1;
        }
    }
    std::string_view fragment(bytes + start, size - start);
    if (!readWasFull) {
        if (!fragment.empty() || !framer.pending.empty() || framer.discarding) {
            HandleLine(engine, framer, fragment);
        }
        return;
    }
    if (!framer.discarding && framer.pending.size() + fragment.size() > MaxLineLength) {
        std::fprintf(stderr, "ignored a command line longer than %zu bytes\n", MaxLineLength);
        framer.pending.clear();
        framer.discarding = true;
    }
    if (!framer.discarding) {
        framer.pending.append(fragment);
    }
    // A host that never ends its line must not make the engine hold more than one line's worth.
    assert(framer.pending.size() <= MaxLineLength && (!framer.discarding || framer.pending.empty()));
}

int RunCommandLoop(Engine& engine) {
    std::vector<char> buffer(ReadChunkSize);
    InputFramer framer;
    for (;;) {
        long count = platform::ReadStandardInput(buffer.data(), buffer.size());
        if (count <= 0) {
            return 0;  // the host closed our input or it failed: nobody is left to serve
        }
        HandleInput(engine, framer, buffer.data(), static_cast<std::size_t>(count),
                    static_cast<std::size_t>(count) == buffer.size());
    }
}

}  // namespace engine
