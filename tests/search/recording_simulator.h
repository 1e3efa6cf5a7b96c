#pragma once

#include "records/game_state.h"
#include "search/search.h"

#include <cstdio>
#include <string>
#include <vector>

namespace searchtest {

// What `write` prints on the sink it is given, as text.
template <typename Write>
std::string Captured(Write write) {
    std::FILE* file = std::tmpfile();
    write(file);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
}

// Every target handed to RecordingCreateShot, in call order. A CreateShot has no context of its own.
inline std::vector<records::ShotTarget>& RecordedTargets() {
    static std::vector<records::ShotTarget> targets;
    return targets;
}

// Answers call number n with the shot (n, -n), so a table cell tells which call filled it.
inline void RecordingCreateShot(records::ShotTarget target, records::ShotVector* shot) {
    std::vector<records::ShotTarget>& targets = RecordedTargets();
    *shot = records::ShotVector{
        static_cast<float>(targets.size()), -static_cast<float>(targets.size()), target.curl, {}};
    targets.push_back(target);
}

// Prepares the search through RecordingCreateShot (or none) and returns what that logged.
inline std::string PrepareRecorded(search::Search& search,
                                   records::CreateShotFunction createShot = RecordingCreateShot) {
    RecordedTargets().clear();
    return Captured([&](std::FILE* log) { search.Prepare(createShot, log); });
}

}  // namespace searchtest
