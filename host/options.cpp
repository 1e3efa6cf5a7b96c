#include "host/options.h"

#include "host/protocol.h"

#include <unistd.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace host {

namespace {

bool ParseInteger(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.find_first_not_of("+-0123456789") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseSeed(const std::string& text, unsigned long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool ParseReal(const std::string& text, double low, double high, double& value) {
    if (text.empty() || text.find_first_of("xXnNiI") != std::string::npos) {
        return false;  // no hexadecimal, nan or infinity
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && value >= low && value <= high;
}

bool ParseSprt(const std::string& text, SprtSettings& sprt) {
    std::vector<double> values;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        double value = 0.0;
        if (!ParseReal(text.substr(start, comma - start), -2000.0, 2000.0, value)) {
            return false;
        }
        values.push_back(value);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (values.size() != 2 && values.size() != 4) {
        return false;
    }
    const bool rates = values.size() == 4;
    sprt = SprtSettings{true, values[0], values[1], rates ? values[2] : 0.05, rates ? values[3] : 0.05};
    return sprt.elo0 < sprt.elo1 && sprt.alpha > 0.0 && sprt.alpha < 0.5 && sprt.beta > 0.0 &&
           sprt.beta < 0.5;
}

bool ParseGameRange(const std::string& text, int& first, int& end) {
    const std::size_t colon = text.find(':');
    long long a = 0, b = 0;
    if (colon == std::string::npos || !ParseInteger(text.substr(0, colon), 1, 100000, a) ||
        !ParseInteger(text.substr(colon + 1), 2, 100001, b) || a >= b) {
        return false;
    }
    first = static_cast<int>(a);
    end = static_cast<int>(b);
    return true;
}

// Checks a value as our readers read it, before CLI11 converts it, so that every refusal says what was
// wanted. CLI11 puts the flag's name before the message.
CLI::Validator Wants(const std::string& wanted, std::function<bool(const std::string&)> accepts) {
    return CLI::Validator(
        [wanted, accepts](std::string& text) {
            return accepts(text) ? std::string() : "wants " + wanted + ", not '" + Printable(text) + "'";
        },
        "");
}

CLI::Validator WholeNumber(long long low, long long high) {
    return Wants("a whole number from " + std::to_string(low) + " to " + std::to_string(high),
                 [=](const std::string& text) {
                     long long value = 0;
                     return ParseInteger(text, low, high, value);
                 });
}

CLI::Validator Number(double low, double high, const std::string& wanted) {
    return Wants(wanted, [=](const std::string& text) {
        double value = 0.0;
        return ParseReal(text, low, high, value);
    });
}

// Whatever CLI11 echoes stays on one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        line +=
            static_cast<unsigned char>(c) < 32 || c == 127 ? Printable(std::string(1, c)) : std::string(1, c);
    }
    return line;
}

bool CheckEngine(const std::string& path, std::string& error) {
    if (access(path.c_str(), F_OK) != 0) {
        error = "engine not found: " + Printable(path);
        return false;
    }
    if (access(path.c_str(), X_OK) != 0) {
        error = "engine is not executable: " + Printable(path);
        return false;
    }
    return true;
}

// The values as read, before they become MatchOptions.
struct MatchFlags {
    std::vector<std::string> engines;
    double logLimit = 8.0;  // MiB
    std::string sprt;
    std::string gameRange;
};

void AddMatchFlags(CLI::App& app, MatchOptions& options, MatchFlags& flags) {
    app.add_option("--engine", flags.engines,
                   "an engine; give it twice for two different engines. Missing ones are\n"
                   "the curling-engine beside curling-match")
        ->type_name("PATH")
        ->allow_extra_args(false);
    app.add_option("--ends", options.ends,
                   "ends of a game, 1 to 100 (default 8); a tie brings up to 3 extra ends")
        ->type_name("N")
        ->check(WholeNumber(1, 100));
    app.add_option("--games", options.games,
                   "games in the match, 1 to 100000 (default 1); the first hammer alternates")
        ->type_name("K")
        ->check(WholeNumber(1, 100000));
    app.add_option("--jobs", options.jobs, "games played at the same time, 1 to 64 (default 1)")
        ->type_name("J")
        ->check(WholeNumber(1, 64));
    app.add_option("--seed", options.seed, "fixes the execution noise, 0 to 2^64-1 (default 1)")
        ->type_name("S")
        ->check(Wants("a whole number from 0 to 18446744073709551615", [](const std::string& text) {
            unsigned long long seed = 0;
            return ParseSeed(text, seed);
        }));
    app.add_option("--noise", options.noise,
                   "scales the execution noise, 0 to 100 (default 1; 0: every shot as sent)")
        ->type_name("F")
        ->check(Number(0.0, 100.0, "a number from 0 to 100"));
    app.add_option("--shot-timeout", options.shotTimeout,
                   "seconds for each shot and for the ready check, 0.001 to 10^6 (default 120)")
        ->type_name("SEC")
        ->check(Number(0.001, 1e6, "a number of seconds from 0.001 to 1000000"));
    app.add_option("--grace", options.graceSeconds,
                   "seconds, after a shot's time ran out, to answer it late before the\n"
                   "engine is restarted, 0 to 10^6 (default 10)")
        ->type_name("SEC")
        ->check(Number(0.0, 1e6, "a number of seconds from 0 to 1000000"));
    app.add_option("--log-limit", flags.logLimit,
                   "each engine's log keeps its last MIB mebibytes, 0.01 to 10^6 (default 8)")
        ->type_name("MIB")
        ->check(Number(0.01, 1e6, "a number of MiB from 0.01 to 1000000"));
    app.add_flag("--paired", options.paired,
                 "games in pairs that share their noise, with the engines' colours and\n"
                 "the first hammer swapped (needs an even --games)");
    app.add_option("--sprt", flags.sprt,
                   "stop as soon as a sequential probability ratio test of engine 1 being\n"
                   "E0 against E1 Elo stronger decides; E0 < E1, both within +-2000, and\n"
                   "error rates A and B between 0 and 0.5 (0.05 unless given)")
        ->type_name("E0,E1[,A,B]")
        ->check(Wants("elo0,elo1[,alpha,beta] with elo0 < elo1 and alpha, beta between 0 and 0.5",
                      [](const std::string& text) {
                          SprtSettings sprt;
                          return ParseSprt(text, sprt);
                      }));
    app.add_option("--game-range", flags.gameRange,
                   "play only the games A to B-1 of the match, as the whole match would\n"
                   "(a shard: curling-match merge pools shards into the match)")
        ->type_name("A:B")
        ->check(Wants("A:B, the games A to B-1 of the match", [](const std::string& text) {
            int first = 0, end = 0;
            return ParseGameRange(text, first, end);
        }));
    app.add_option("--out", options.out,
                   "where the records, the engine logs and the replay pages go\n"
                   "(default: a new folder under matches/)")
        ->type_name("DIR")
        ->check(Wants("a folder", [](const std::string& text) { return !text.empty(); }));
}

// The checks that span flags, once every flag is read.
bool FinishMatchOptions(const MatchFlags& flags, const std::string& defaultEngine, MatchOptions& options,
                        std::string& error) {
    if (flags.engines.size() > 2) {
        error = "--engine given more than twice";
        return false;
    }
    options.logLimitBytes = static_cast<std::size_t>(flags.logLimit * 1048576.0);
    if (!flags.sprt.empty()) {
        static_cast<void>(ParseSprt(flags.sprt, options.sprt));  // checked as it was read
    }
    if (!flags.gameRange.empty()) {
        static_cast<void>(ParseGameRange(flags.gameRange, options.firstGame, options.endGame));
    }
    if (options.endGame > options.games + 1) {
        error = "--game-range goes past the match's " + std::to_string(options.games) + " games";
        return false;
    }
    if (options.endGame == 0) {
        options.endGame = options.games + 1;
    }
    if (options.paired && options.games % 2 != 0) {
        error = "--paired needs an even number of --games";
        return false;
    }
    for (int team = 0; team < 2; ++team) {
        options.engines[team] =
            team < static_cast<int>(flags.engines.size()) ? flags.engines[team] : defaultEngine;
    }
    return CheckEngine(options.engines[0], error) && CheckEngine(options.engines[1], error);
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, const std::string& defaultEngine,
                      CommandLine& line, std::string& error) {
    CLI::App app("Plays games of curling between two engines and writes what happened.", "curling-match");
    app.get_formatter()->column_width(26);
    app.allow_extras();  // refused below, in the words of the first one
    MatchFlags flags;
    AddMatchFlags(app, line.match, flags);
    CLI::App* merge =
        app.add_subcommand("merge",
                           "Pools the shards of one match, each played with its own --game-range, into the\n"
                           "whole match, and prints its summary.");
    merge->allow_extras();
    merge->add_option("shards", line.merge.folders, "the shards' folders")->type_name("DIR");
    merge->add_option("--out", line.merge.out, "the folder to write summary.txt and summary.json into")
        ->type_name("DIR");
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 reads from the back
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        line.command = HostCommand::Help;
        line.help = app.help();
        return true;
    } catch (const CLI::ParseError& failure) {
        error = OneLine(failure.what());
        return false;
    }
    const std::vector<std::string> extras = merge->parsed() ? merge->remaining() : app.remaining();
    if (!extras.empty()) {
        error = "unknown option '" + Printable(extras.front()) + "' (try --help)";
        return false;
    }
    if (!merge->parsed()) {
        line.command = HostCommand::Play;
        return FinishMatchOptions(flags, defaultEngine, line.match, error);
    }
    line.command = HostCommand::Merge;
    for (const CLI::Option* option : app.get_options()) {
        if (option->count() > 0) {
            error = "merge takes the settings from the shards, not " + option->get_name();
            return false;
        }
    }
    if (line.merge.folders.empty()) {
        error = "merge: name the shards' folders (merge DIR... [--out DIR])";
        return false;
    }
    return true;
}

}  // namespace host
