#include "platform/text.h"

#include <climits>
#include <cstdlib>

namespace platform {

int CompareIgnoringCase(const char* left, const char* right) {
    for (;; ++left, ++right) {
        int a = static_cast<unsigned char>(*left);
        int b = static_cast<unsigned char>(*right);
        if (a >= 'A' && a <= 'Z') {
            a += 'a' - 'A';
        }
        if (b >= 'A' && b <= 'Z') {
            b += 'a' - 'A';
        }
        if (a != b || a == 0) {
            return a - b;
        }
    }
}

int ParseInteger(const char* text) {
    // strtol, unlike atoi, has defined behaviour on overflow; its value is then clamped to int.
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// No program here calls setlocale, so strtod works in the C locale: a point is the decimal separator.
double ParseReal(const char* text) {
    return std::strtod(text, nullptr);
}

}  // namespace platform
