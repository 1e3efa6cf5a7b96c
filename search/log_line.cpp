#include "search/log_line.h"

#include <cstdarg>

namespace search {

void LogLine(std::FILE* log, const char* format, ...) {
    if (log == nullptr) {
        return;
    }
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(log, format, arguments);
    va_end(arguments);
}

}  // namespace search
