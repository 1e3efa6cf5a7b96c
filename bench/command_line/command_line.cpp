#include "bench/command_line/command_line.h"

#include <cstdio>
#include <string>

namespace bench {

int ParseCommandLine(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::printf("%s", app.help().c_str());
        return 0;
    } catch (const CLI::ParseError& failure) {
        std::string line = failure.what();
        for (char& c : line) {
            c = static_cast<unsigned char>(c) < 32 ? ' ' : c;  // one line, whatever was typed
        }
        std::fprintf(stderr, "%s: %s (try --help)\n", app.get_name().c_str(), line.c_str());
        return 2;
    }
    return -1;
}

}  // namespace bench
