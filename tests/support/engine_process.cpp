#include "tests/support/engine_process.h"

#include "platform/child_process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace testsupport {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& inputChunks,
                         const std::vector<std::string>& environment, double timeoutSeconds,
                         const std::vector<std::string>& arguments) {
    ProcessResult result;
    platform::ChildSetup setup{arguments, environment, platform::ErrorStream::Pipe, ""};
    platform::ChildProcess child;
    std::string error;
    if (!platform::StartChild(program, setup, child, error)) {
        result.standardError = error;
        return result;
    }
    // The reader runs beside the writer so that a chatty program never blocks on a full pipe.
    std::thread reader([&] {
        if (!platform::CollectChildOutput(child, timeoutSeconds, result.standardOutput,
                                          result.standardError)) {
            platform::KillChild(child);
        }
    });
    for (std::size_t i = 0; i < inputChunks.size(); ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (platform::WriteToChild(child, inputChunks[i], -1.0) != platform::WriteStatus::Written) {
            break;
        }
    }
    platform::CloseChildInput(child);
    reader.join();
    platform::StopChild(child, -1.0);
    result.finished = platform::ExitedNormally(child, result.exitCode);
    return result;
}

std::string MakeTemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/curling-test-XXXXXX";
    std::string path = pattern;
    return mkdtemp(path.data()) != nullptr ? path : std::string();
}

bool CopyFile(const std::string& from, const std::string& to) {
    std::error_code error;  // the permission bits come along, so a program stays executable
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace testsupport
