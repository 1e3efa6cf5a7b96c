#include "host/options.h"

#include "host/protocol.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>

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

bool SetNumber(const std::string& flag, const std::string& text, MatchOptions& options, std::string& error) {
    long long integer = 0;
    bool ok = true;
    std::string wanted;
    if (flag == "--ends") {
        ok = ParseInteger(text, 1, 100, integer);
        options.ends = static_cast<int>(integer);
        wanted = "a whole number from 1 to 100";
    } else if (flag == "--games") {
        ok = ParseInteger(text, 1, 100000, integer);
        options.games = static_cast<int>(integer);
        wanted = "a whole number from 1 to 100000";
    } else if (flag == "--jobs") {
        ok = ParseInteger(text, 1, 64, integer);
        options.jobs = static_cast<int>(integer);
        wanted = "a whole number from 1 to 64";
    } else if (flag == "--seed") {
        ok = ParseSeed(text, options.seed);
        wanted = "a whole number from 0 to 18446744073709551615";
    } else if (flag == "--noise") {
        ok = ParseReal(text, 0.0, 100.0, options.noise);
        wanted = "a number from 0 to 100";
    } else if (flag == "--grace") {
        ok = ParseReal(text, 0.0, 1e6, options.graceSeconds);
        wanted = "a number of seconds from 0 to 1000000";
    } else if (flag == "--log-limit") {
        double mebibytes = 0.0;
        ok = ParseReal(text, 0.01, 1e6, mebibytes);
        if (ok) {  // an out-of-range number has no size to be
            options.logLimitBytes = static_cast<std::size_t>(mebibytes * 1048576.0);
        }
        wanted = "a number of MiB from 0.01 to 1000000";
    } else {
        ok = ParseReal(text, 0.001, 1e6, options.shotTimeout);
        wanted = "a number of seconds from 0.001 to 1000000";
    }
    if (!ok) {
        error = flag + " wants " + wanted + ", not '" + Printable(text) + "'";
    }
    return ok;
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

}  // namespace

bool ParseOptions(const std::vector<std::string>& arguments, const std::string& defaultEngine,
                  MatchOptions& options, std::string& error) {
    const std::string valued[] = {"--engine",    "--ends",  "--games",        "--jobs",
                                  "--seed",      "--noise", "--shot-timeout", "--grace",
                                  "--log-limit", "--out",   "--sprt",         "--game-range"};
    int enginesGiven = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string flag = arguments[i];
        std::string value;
        bool inlineValue = false;
        std::size_t equals = flag.find('=');
        if (flag.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = flag.substr(equals + 1);
            flag = flag.substr(0, equals);
            inlineValue = true;
        }
        if (flag == "--help" || flag == "-h") {
            options.help = true;
            return true;
        }
        if (flag == "--paired" && !inlineValue) {
            options.paired = true;
            continue;
        }
        bool known = false;
        for (const std::string& name : valued) {
            known = known || flag == name;
        }
        if (!known) {
            error = "unknown option '" + Printable(arguments[i]) + "' (try --help)";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                error = flag + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (flag == "--engine") {
            if (enginesGiven == 2) {
                error = "--engine given more than twice";
                return false;
            }
            options.engines[enginesGiven++] = value;
        } else if (flag == "--game-range") {
            const std::size_t colon = value.find(':');
            long long first = 0, end = 0;
            if (colon == std::string::npos || !ParseInteger(value.substr(0, colon), 1, 100000, first) ||
                !ParseInteger(value.substr(colon + 1), 2, 100001, end) || first >= end) {
                error =
                    "--game-range wants A:B, the games A to B-1 of the match, not '" + Printable(value) + "'";
                return false;
            }
            options.firstGame = static_cast<int>(first);
            options.endGame = static_cast<int>(end);
        } else if (flag == "--sprt") {
            if (!ParseSprt(value, options.sprt)) {
                error =
                    "--sprt wants elo0,elo1[,alpha,beta] with elo0 < elo1 and alpha, beta between 0 and 0.5, "
                    "not '" +
                    Printable(value) + "'";
                return false;
            }
        } else if (flag == "--out") {
            if (value.empty()) {
                error = "--out needs a folder";
                return false;
            }
            options.out = value;
        } else if (!SetNumber(flag, value, options, error)) {
            return false;
        }
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
    for (int team = enginesGiven; team < 2; ++team) {
        options.engines[team] = defaultEngine;
    }
    return CheckEngine(options.engines[0], error) && CheckEngine(options.engines[1], error);
}

std::string UsageText() {
    return "Usage: curling-match [options]\n"
           "Plays games of curling between two engines and writes what happened.\n"
           "\n"
           "  --engine PATH         an engine; give it twice for two different engines. Missing ones are\n"
           "                        the curling-engine beside curling-match.\n"
           "  --ends N              ends of a game (default 8); a tie brings up to 3 extra ends\n"
           "  --games K             games in the match (default 1); the first hammer alternates\n"
           "  --jobs J              games played at the same time (default 1)\n"
           "  --seed S              fixes the execution noise (default 1)\n"
           "  --noise F             scales the execution noise (default 1; 0 plays every shot as sent)\n"
           "  --shot-timeout SEC    time for each shot and for the ready check (default 120)\n"
           "  --grace SEC           after a shot's time ran out, time to answer it late before the\n"
           "                        engine is restarted (default 10)\n"
           "  --log-limit MIB       each engine's log keeps its last MIB mebibytes (default 8)\n"
           "  --paired              games in pairs that share their noise, with the engines' colours and\n"
           "                        the first hammer swapped (needs an even --games)\n"
           "  --sprt E0,E1[,A,B]    stop as soon as a sequential probability ratio test of engine 1\n"
           "                        being E0 against E1 Elo stronger decides (A = B = 0.05)\n"
           "  --game-range A:B      play only the games A to B-1 of the match, as the whole match would\n"
           "                        (a shard: curling-match merge pools shards into the match)\n"
           "  --out DIR             where the record, the engine logs and replay.html go\n"
           "                        (default: a new folder under matches/)\n"
           "  --help                this text\n";
}

}  // namespace host
