#pragma once

#include "platform/child_process.h"

#include <string>
#include <vector>

namespace studiotest {

// A running curling-studio on a free loopback port, stopped when this goes away.
struct StudioProcess {
    platform::ChildProcess child;
    int port = 0;
    std::string banner;  // what it printed on start

    StudioProcess() = default;
    StudioProcess(const StudioProcess&) = delete;
    StudioProcess& operator=(const StudioProcess&) = delete;
    ~StudioProcess();
};

// Starts the built studio with the extra arguments and waits until it serves. False, with what it printed,
// when it does not.
[[nodiscard]] bool StartStudio(StudioProcess& studio, const std::vector<std::string>& arguments,
                               std::string& error);

}  // namespace studiotest
