#pragma once

#include <string>
#include <vector>

namespace studio {

struct StudioOptions {
    int port = 8080;  // 0: any free port
    std::string host = "127.0.0.1";
    std::string engine;               // the program Play mode plays against
    std::string matches = "matches";  // Watch lists the match folders here
    bool help = false;
    std::string helpText;
};

// Reads the command line (without the program's name); `defaultEngine` stands in for --engine.
// False with a one-line reason for an unknown flag, a bad value, or an engine that is missing or not
// executable.
[[nodiscard]] bool ParseStudioOptions(const std::vector<std::string>& arguments,
                                      const std::string& defaultEngine, StudioOptions& options,
                                      std::string& error);

// Whether the server would answer other machines: anything but a loopback address.
bool ListensBeyondLoopback(const std::string& host);

}  // namespace studio
