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
    host::MatchOptions options;
    std::string error;
    const bool parsed = host::ParseOptions(arguments, "/bin/true", options, error);
    // A refusal is one line; an accepted command line is within every bound.
    if ((!parsed && (error.empty() || error.find('\n') != std::string::npos)) ||
        (parsed && !options.help &&
         (options.ends < 1 || options.games < 1 || options.jobs < 1 || !(options.shotTimeout > 0.0)))) {
        std::abort();
    }
    return 0;
}
