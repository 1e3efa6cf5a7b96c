#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace platform {

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether a number that from_chars found beyond the double range is too large rather than too small.
// Its leading significant digit then lies hundreds of decimal (or a thousand binary) places from the
// point, so a rough place of it tells which.
bool Overflows(std::string_view number, bool hex) {
    const std::size_t mark = number.find_first_of(hex ? "pP" : "eE");
    const std::string_view mantissa = number.substr(0, mark);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t lead = mantissa.find_first_not_of("0.");
    long place = 0;
    if (lead != std::string_view::npos) {
        place = lead < point ? static_cast<long>(point - lead) : -static_cast<long>(lead - point);
    }
    long exponent = 0;
    if (mark != std::string_view::npos) {
        std::string_view digits = number.substr(mark + 1);  // only digits after a sign: from_chars read them
        const bool negative = digits.front() == '-';
        if (digits.front() == '-' || digits.front() == '+') {
            digits.remove_prefix(1);
        }
        for (char c : digits) {
            exponent = std::min(exponent * 10 + (c - '0'), 1L << 20);
        }
        exponent = negative ? -exponent : exponent;
    }
    return (hex ? 4 * place : place) + exponent > 0;
}

}  // namespace

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
    // strtol, unlike atoi, has defined behaviour on overflow; its value is then clamped to int. No
    // locale changes what it reads in base 10.
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// strtod would take the decimal separator from the locale; from_chars never does, and rounds alike.
double ParseReal(const char* text) {
    while (IsSpace(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    const bool hex =
        text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && (IsHexDigit(text[2]) || text[2] == '.');
    const char* digits = hex ? text + 2 : text;
    // from_chars takes a minus sign of its own, which atof does not take after a sign.
    if (*digits == '-') {
        return 0.0;
    }
    double value = 0.0;
    const char* end = digits + std::strlen(digits);
    const std::from_chars_result result =
        std::from_chars(digits, end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = Overflows(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)), hex)
                    ? HUGE_VAL
                    : 0.0;
    } else if (result.ec != std::errc()) {
        if (!hex) {
            return 0.0;  // no number at all
        }
        value = 0.0;  // "0x" and no more: the 0 is the number
    }
    return negative ? -value : value;
}

std::string FormatFixed(double value) {
    char text[400];  // the largest double has 309 digits before the point
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

}  // namespace platform
