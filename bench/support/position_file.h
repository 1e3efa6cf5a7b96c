#pragma once

#include "front/game_state.h"

#include <string>
#include <vector>

namespace bench {

// A position kept as a text file of engine commands: `#` comment lines, then the POSITION and SETSTATE
// lines that a host would send before GO.
struct PositionFile {
    std::string name;      // the file name without its .txt
    std::string comment;   // the comment lines, without their `# `
    std::string commands;  // the command lines, each ended by a line feed, ready for an engine's input
    GameState state{};     // the record the engine holds after those commands
};

// Every .txt file of `folder`, sorted by name; the commands are applied as the engine applies them.
// Lines other than comments, POSITION and SETSTATE are left out. Empty when the folder cannot be read.
std::vector<PositionFile> LoadPositionFiles(const std::string& folder);

}  // namespace bench
