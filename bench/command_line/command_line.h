#pragma once

#include <CLI/CLI.hpp>

// The benchmark programs' command lines, read alike.
namespace bench {

// Reads argv into `app`'s flags. Returns -1 when the program is to run; otherwise the exit code, having
// printed the help (0) or one line on stderr for a bad command line (2).
int ParseCommandLine(CLI::App& app, int argc, char** argv);

}  // namespace bench
