#pragma once

#include <cstddef>

// The process's standard input and output as raw bytes: no C runtime or stream buffer in between.
namespace platform {

// One read of standard input. Returns the bytes read, 0 at end of input, -1 on a failed read.
long ReadStandardInput(char* buffer, std::size_t capacity);

// Writes the bytes to standard output in one write call (repeated only if the system cut it short).
// A host that has gone is not an error anybody could be told of.
void WriteStandardOutput(const char* bytes, std::size_t size);

// From now on the C runtime's standard error stream writes its bytes as they are. Windows would
// otherwise write every line feed as CR LF; elsewhere there is nothing to change.
void UseRawStandardError();

}  // namespace platform
