#pragma once

#include <cstddef>
#include <string>

// The few operating-system and C runtime services the engine needs, kept here so that another
// platform only has to replace this file pair.
namespace platform {

// One read(2) of standard input. Returns the bytes read, 0 at end of input, -1 on a failed read.
long ReadStandardInput(char* buffer, std::size_t capacity);

// Writes the bytes to standard output in one write call (repeated only if the system cut it short).
void WriteStandardOutput(const char* bytes, std::size_t size);

// Directory of the running executable, without a trailing slash; empty when it cannot be found.
std::string ExecutableDirectory();

// Loads a shared library by path or bare file name; null on failure. Never unloaded.
void* LoadSharedLibrary(const std::string& pathOrName);
void* FindSymbol(void* library, const char* name);

// Compares two texts ignoring the case of ASCII letters only, like _stricmp: <0, 0 or >0.
int CompareIgnoringCase(const char* left, const char* right);

// Number conversions with atoi/atof semantics in the C locale: leading white space, optional sign,
// digits up to the first other character, 0 when there is no number. Integers beyond the int range
// saturate instead of overflowing.
int ParseInteger(const char* text);
double ParseReal(const char* text);

}  // namespace platform
