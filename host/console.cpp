#include "host/console.h"

#include <cstdio>

namespace host {

namespace {

const char* const Colours[2] = {"red", "yellow"};

std::string TeamLabel(const GameLog& log, int team) {
    return "engine " + std::to_string(EngineNumber(log.setup, team)) + " (" + Colours[team] + ")";
}

std::string Padded(const std::string& text, std::size_t width, bool right) {
    if (text.size() >= width) {
        return text;
    }
    std::string pad(width - text.size(), ' ');
    return right ? pad + text : text + pad;
}

std::string Outcome(const GameLog& log) {
    const GameOutcome& outcome = log.outcome;
    std::string score = std::to_string(outcome.totals[0]) + " : " + std::to_string(outcome.totals[1]);
    if (!log.forfeitMessage.empty()) {
        std::string text = log.forfeitMessage + '\n';
        if (outcome.winner >= 0) {
            return text + "Engine " + std::to_string(EngineNumber(log.setup, outcome.winner)) +
                   " wins by forfeit (" + score + ").";
        }
        return text + "Both engines forfeit; nobody wins.";
    }
    if (!log.finished) {
        return "Unfinished (" + score + ").";
    }
    int extra = static_cast<int>(log.ends.size()) - log.setup.ends;
    std::string extraText =
        extra > 0 ? " after " + std::to_string(extra) + " extra end" + (extra > 1 ? "s" : "") : "";
    if (outcome.winner < 0) {
        return "Draw " + score + extraText + '.';
    }
    return "Engine " + std::to_string(EngineNumber(log.setup, outcome.winner)) + " wins " + score +
           extraText + '.';
}

void Redraw(Console& console) {
    std::string line = console.match;
    for (const auto& game : console.running) {
        line += (line.empty() ? "" : " | ") + game.second;
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

}  // namespace

std::string LineScore(const GameLog& log) {
    std::size_t columns = log.ends.size() > static_cast<std::size_t>(log.setup.ends)
                              ? log.ends.size()
                              : static_cast<std::size_t>(log.setup.ends);
    std::string text = Padded("Game " + std::to_string(log.setup.game), 20, false);
    for (std::size_t e = 0; e < columns; ++e) {
        text += Padded(std::to_string(e + 1), 3, true);
    }
    text += " | Total\n";
    for (int team = 0; team < 2; ++team) {
        text += Padded(std::string(log.setup.firstHammer == team ? "* " : "  ") + TeamLabel(log, team), 20,
                       false);
        for (std::size_t e = 0; e < columns; ++e) {
            text += Padded(e < log.ends.size() ? std::to_string(log.ends[e].points[team]) : "-", 3, true);
        }
        text += " | " + Padded(std::to_string(log.outcome.totals[team]), 5, true) + "  " +
                log.setup.engines[team] + '\n';
    }
    return text + Outcome(log) + '\n';
}

std::string ProgressText(const GameLog& log) {
    std::string text = "game " + std::to_string(log.setup.game);
    int totals[2] = {0, 0};
    if (!log.ends.empty()) {
        totals[0] = log.ends.back().totals[0];
        totals[1] = log.ends.back().totals[1];
    }
    if (log.shots.empty()) {
        return text + ": getting the engines ready";
    }
    const ShotEntry& last = log.shots.back();
    char tail[64];
    std::snprintf(tail, sizeof(tail), ", last shot %.1f s", last.seconds);
    return text + ": end " + std::to_string(last.end + 1) + ", shot " + std::to_string(last.shot + 1) +
           "/16, score " + std::to_string(totals[0]) + " : " + std::to_string(totals[1]) + tail;
}

std::string MatchSummary(const MatchTally& tally, const std::string engines[2], int games) {
    std::string text = "Match of " + std::to_string(games) + " game" + (games > 1 ? "s" : "") + ":\n";
    for (int engine = 0; engine < 2; ++engine) {
        char line[160];
        std::snprintf(line, sizeof(line), "  engine %d           %3d won %3d lost %3d drawn %5d points  ",
                      engine + 1, tally.wins[engine], tally.losses[engine], tally.draws[engine],
                      tally.points[engine]);
        text += line + engines[engine] + '\n';
    }
    return text;
}

void ShowProgress(Console& console, const GameLog& log) {
    std::lock_guard<std::mutex> lock(console.mutex);
    console.running[log.setup.game] = ProgressText(log);
    bool endJustScored = !log.shots.empty() && log.shots.back().shot == StonesPerEnd - 1 &&
                         log.ends.size() == static_cast<std::size_t>(log.shots.back().end + 1);
    if (console.live) {
        Redraw(console);
    } else if (endJustScored) {
        std::fprintf(stderr, "%s\n", console.running[log.setup.game].c_str());
    }
}

void ShowMatchStatus(Console& console, const std::string& status) {
    std::lock_guard<std::mutex> lock(console.mutex);
    console.match = status;
    if (console.live) {
        Redraw(console);
    } else {
        std::fprintf(stderr, "%s\n", status.c_str());
    }
}

void ShowResult(Console& console, const GameLog& log) {
    std::lock_guard<std::mutex> lock(console.mutex);
    console.running.erase(log.setup.game);
    if (console.live) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    std::printf("%s\n", LineScore(log).c_str());
    std::fflush(stdout);
    if (console.live && !console.running.empty()) {
        Redraw(console);
    }
}

}  // namespace host
