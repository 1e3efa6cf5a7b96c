#pragma once

#include <cstdio>

namespace search {

// One formatted print on the report's sink; a null sink takes nothing.
void LogLine(std::FILE* log, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace search
