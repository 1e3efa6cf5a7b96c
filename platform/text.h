#pragma once

#include <string>

// The C runtime's text services as the protocol relies on them: the same on every system, and the same
// whatever locale the process has been switched to (a simulator library may switch it, and on Windows
// it shares the engine's C runtime).
namespace platform {

// Compares two texts ignoring the case of ASCII letters only, like _stricmp: <0, 0 or >0.
int CompareIgnoringCase(const char* left, const char* right);

// Number conversions with atoi/atof semantics in the C locale: leading white space, optional sign,
// digits up to the first other character, 0 when there is no number. Integers beyond the int range
// saturate instead of overflowing. Reals also read hexadecimal, infinity and NaN as atof does, with a
// point as the decimal separator in every locale.
int ParseInteger(const char* text);
double ParseReal(const char* text);

// The value as printf's "%f" writes it in the C locale: six decimals, a point, no grouping.
std::string FormatFixed(double value);

}  // namespace platform
