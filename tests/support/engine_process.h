#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    bool finished = false;  // false when it had to be killed at the deadline
    int exitCode = -1;      // -1 unless it exited by itself
    std::string standardOutput;
    std::string standardError;
};

// Runs a program with the given input chunks, each written with its own write and a short pause
// between them so that each reaches the program in a read of its own; then closes its input and
// collects everything it writes until it ends, killing it at the deadline. Extra environment entries
// are NAME=value.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& inputChunks,
                         const std::vector<std::string>& environment = {}, double timeoutSeconds = 120.0,
                         const std::vector<std::string>& arguments = {});

// A fresh directory of its own under the system's temporary folder.
std::string MakeTemporaryDirectory();

// Copies a file, keeping its permission bits. False on failure.
bool CopyFile(const std::string& from, const std::string& to);

}  // namespace testsupport
