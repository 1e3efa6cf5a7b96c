#include "tests/studio/studio_process.h"

#include <chrono>

namespace studiotest {

StudioProcess::~StudioProcess() {
    if (child.pid > 0) {
        platform::StopChild(child, 1.0);
    }
}

bool StartStudio(StudioProcess& studio, const std::vector<std::string>& arguments, std::string& error) {
    platform::ChildSetup setup;
    setup.arguments = arguments;
    setup.arguments.insert(setup.arguments.begin(), {"--port", "0"});
    setup.error = platform::ErrorStream::Pipe;
    if (!platform::StartChild(CURLING_STUDIO_PATH, setup, studio.child, error)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    const std::string marker = "serving http://127.0.0.1:";
    while (std::chrono::steady_clock::now() < deadline) {
        std::string bytes;
        if (platform::ReadChildOutput(studio.child, 1.0, bytes) == platform::ReadStatus::Closed) {
            break;
        }
        studio.banner += bytes;
        const std::size_t at = studio.banner.find(marker);
        if (at != std::string::npos && studio.banner.find('/', at + marker.size()) != std::string::npos) {
            studio.port = std::stoi(studio.banner.substr(at + marker.size()));
            return true;
        }
    }
    std::string output;
    std::string log;
    static_cast<void>(platform::CollectChildOutput(studio.child, 2.0, output, log));
    error = "the studio did not start: " + studio.banner + output + log;
    return false;
}

}  // namespace studiotest
