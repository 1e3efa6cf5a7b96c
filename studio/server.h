#pragma once

#include <string>
#include <vector>

namespace studio {

// The whole program: reads the options, prepares the search, serves the page and the API until it is
// interrupted. Exit code 2, after one line on standard error, for a bad flag, a missing engine or an
// address it cannot listen on.
int RunStudio(const std::vector<std::string>& arguments);

}  // namespace studio
