#pragma once

#include <vector>

namespace bench {

double Median(std::vector<double> values);

}  // namespace bench
