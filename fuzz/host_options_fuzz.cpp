// curling-match's command line: any words, split at zero bytes.
#include "host/options.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    host::CommandLine line;
    std::string error;
    const bool parsed = host::ParseCommandLine(arguments, "/bin/true", line, error);
    const host::MatchOptions& options = line.match;
    // A refusal is one line; an accepted command line is within every bound.
    if ((!parsed && (error.empty() || error.find('\n') != std::string::npos)) ||
        (parsed && line.command == host::HostCommand::Play &&
         (options.ends < 1 || options.games < 1 || options.jobs < 1 || !(options.shotTimeout > 0.0) ||
          options.firstGame < 1 || options.endGame > options.games + 1 ||
          options.firstGame >= options.endGame)) ||
        (parsed && line.command == host::HostCommand::Merge && line.merge.folders.empty())) {
        std::abort();
    }
    return 0;
}
