#include "studio/options.h"

#include <sys/stat.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

namespace studio {

bool ParseStudioOptions(const std::vector<std::string>& arguments, const std::string& defaultEngine,
                        StudioOptions& options, std::string& error) {
    options = StudioOptions{};
    options.engine = defaultEngine;
    CLI::App app{"curling-studio: set up a position, see the engine think, play against it, watch matches"};
    app.add_option("--port", options.port, "TCP port to listen on (0: any free one)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--host", options.host, "address to listen on; the API has no login");
    app.add_option("--engine", options.engine, "the engine program Play mode plays against");
    app.add_option("--matches", options.matches, "folder of the match folders that Watch lists");
    options.helpText = app.help();
    // CLI11 reads the arguments back to front.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        return true;
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return false;
    }
    struct stat file {};
    if (stat(options.engine.c_str(), &file) != 0 || !S_ISREG(file.st_mode) ||
        access(options.engine.c_str(), X_OK) != 0) {
        error = "no engine program at " + options.engine + " (give one with --engine)";
        return false;
    }
    return true;
}

bool ListensBeyondLoopback(const std::string& host) {
    return host != "localhost" && host != "::1" && host.rfind("127.", 0) != 0;
}

}  // namespace studio
