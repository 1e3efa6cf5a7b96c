#pragma once

// The C runtime's text services as the protocol relies on them, the same on every system.
namespace platform {

// Compares two texts ignoring the case of ASCII letters only, like _stricmp: <0, 0 or >0.
int CompareIgnoringCase(const char* left, const char* right);

// Number conversions with atoi/atof semantics in the C locale: leading white space, optional sign,
// digits up to the first other character, 0 when there is no number. Integers beyond the int range
// saturate instead of overflowing.
int ParseInteger(const char* text);
double ParseReal(const char* text);

}  // namespace platform
