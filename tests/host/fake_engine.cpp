// A stand-in engine for the host's tests. Its behaviour comes from the name it is started under:
//   good     answers READYOK and, for shot s, BESTSHOT (0.6 + 0.3 s) 4.88 (s mod 2)
//   slow     like good, 0.2 s per GO
//   late     like good, but answers the first GO after 2.5 s
//   split    like good, each reply in two writes 50 ms apart
//   double   like good, with a second, stale reply to every GO in the same write
//   chatty   like good, with 100 KB on its standard error for every GO
//   garbage  answers GO with words that are no reply
//   nan      answers GO with a velocity that is not a number, or infinite
//   hang     never answers GO
//   deaf     after READYOK stops reading and sends a reply every 20 ms, as if it had read GO
//   die      leaves a line on its standard error and exits with code 3 at its third GO
//   closer   closes its standard output at its first GO and keeps running
//   mute     never answers ISREADY
// Every command it reads is copied to its standard error, so tests can read what the host sent.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

void Reply(const std::string& text, double afterSeconds = 0.0) {
    std::this_thread::sleep_for(std::chrono::duration<double>(afterSeconds));
    ssize_t ignored = write(STDOUT_FILENO, text.data(), text.size());
    (void)ignored;
}

}  // namespace

int main(int, char** argv) {
    std::string mode = argv[0];
    mode = mode.substr(mode.rfind('/') + 1);
    int shot = 0, goCount = 0;
    char text[64];
    for (std::string line; std::getline(std::cin, line);) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        if (line.rfind("ISREADY", 0) == 0) {
            Reply("READYOK", mode == "mute" ? 3600 : 0);
            for (; mode == "deaf"; Reply("BESTSHOT 1.5 4.88 0", 0.02)) {
                fcntl(STDIN_FILENO, F_SETPIPE_SZ, 4096);  // the smallest pipe fills soonest
            }
        } else if (line.rfind("SETSTATE ", 0) == 0) {
            shot = std::atoi(line.c_str() + 9);
        } else if (line.rfind("GO", 0) != 0) {
            continue;
        } else if (mode == "garbage") {
            Reply("I would rather not");
        } else if (mode == "nan") {
            Reply(++goCount % 2 == 1 ? "BESTSHOT nan 4.88 0" : "BESTSHOT 1.0 -inf 1");
        } else if (mode == "hang" || mode == "closer") {
            if (mode == "closer") {
                close(STDOUT_FILENO);
            }
            Reply("", 3600);
        } else if (mode == "die" && ++goCount == 3) {
            std::fprintf(stderr, "fake engine: giving up\n");
            return 3;
        } else {
            std::snprintf(text, sizeof(text), "BESTSHOT %f %f %d", 0.6 + 0.3 * shot, 4.88, shot % 2);
            const std::string reply = text;
            if (mode == "chatty") {
                std::fprintf(stderr, "%s\n", std::string(100000, 'x').c_str());
            }
            if (mode == "split") {
                Reply(reply.substr(0, 6));
                Reply(reply.substr(6), 0.05);
                continue;
            }
            if (mode == "double") {
                // One write: as two, the stale one could arrive after the host has cleared the way for the
                // next GO, and answer it, whenever this process is held up between them.
                Reply(reply + "BESTSHOT 9 9 0");
                continue;
            }
            Reply(reply, mode == "slow" ? 0.2 : (mode == "late" && ++goCount == 1 ? 2.5 : 0.0));
        }
    }
    return 0;
}
