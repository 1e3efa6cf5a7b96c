#include "platform/interrupt.h"

#include "platform/child_process.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// A signal handler can read only what is set up before it runs.
char interruptMessage[4096];
volatile sig_atomic_t interruptExitCode = 130;

void OnInterrupt(int) {
    KillAllChildren();
    ssize_t ignored = write(STDERR_FILENO, interruptMessage, std::strlen(interruptMessage));
    (void)ignored;
    _exit(interruptExitCode);
}

}  // namespace

void ExitOnInterrupt(const std::string& message, int exitCode) {
    std::snprintf(interruptMessage, sizeof(interruptMessage), "%s", message.c_str());
    interruptExitCode = exitCode;
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace platform
