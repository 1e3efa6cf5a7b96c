#include "bench/speed/bench_options.h"

#include <algorithm>

namespace bench {

bool ParseFlagPairs(int argc, char** argv, const FlagHandlers& handlers) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const auto handler = std::find_if(handlers.begin(), handlers.end(),
                                          [&](const auto& entry) { return entry.first == argv[i]; });
        if (handler == handlers.end()) {
            return false;
        }
        handler->second(argv[i + 1]);
    }
    return argc % 2 == 1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

}  // namespace bench
