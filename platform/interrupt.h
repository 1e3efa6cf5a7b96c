#pragma once

#include <string>

namespace platform {

// From now on an interrupt, a termination request or a hang-up kills every child process, writes
// `message` on standard error and ends this process with `exitCode`. Children must not outlive it.
void ExitOnInterrupt(const std::string& message, int exitCode);

}  // namespace platform
