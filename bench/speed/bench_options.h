#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Each flag with what to do with the value that follows it.
using FlagHandlers = std::vector<std::pair<std::string, std::function<void(const char* value)>>>;

// Reads the command line as "--flag value" pairs. False on an unknown flag or one without a value.
bool ParseFlagPairs(int argc, char** argv, const FlagHandlers& handlers);

double Median(std::vector<double> values);

}  // namespace bench
