#pragma once

namespace host {

// The whole of curling-match: reads the command line, plays the match, and returns the exit code
// (0 after a match, also one with forfeits; 2 for a bad command line; 1 when the host itself fails).
int RunHost(int argc, char** argv);

}  // namespace host
