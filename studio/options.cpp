#include "studio/options.h"

#include <sys/stat.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

namespace studio {

bool ParseStudioOptions(const std::vector<std::string>& arguments, const std::string& defaultEngine,
                        StudioOptions& options, std::string& error) {
    options = StudioOptions{};
    options.engine = defaultEngine;
    CLI::App app{
        "Serves a page to set up a position, see the engine think, play against it and watch matches.",
        "curling-studio"};
    app.get_formatter()->column_width(22);
    app.add_option("--port", options.port,
                   "TCP port to listen on, 0 to 65535 (default 8080; 0: any free one)")
        ->type_name("PORT")
        ->check(CLI::Range(0, 65535).description(""));
    app.add_option("--host", options.host,
                   "address to listen on (default 127.0.0.1); any but loopback brings a\n"
                   "warning, as the API has no login")
        ->type_name("ADDRESS");
    app.add_option("--engine", options.engine,
                   "the engine program Play mode plays against (default: the\n"
                   "curling-engine beside curling-studio)")
        ->type_name("PATH");
    app.add_option("--matches", options.matches,
                   "folder of the match folders that Watch lists, and where Play\n"
                   "records its games (default matches/)")
        ->type_name("DIR");
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
