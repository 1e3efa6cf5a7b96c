#pragma once

#include "host/game_log.h"

#include <string>
#include <vector>

// What a match says about the strength of engine 1 (the first --engine) against engine 2.
namespace host {

// One finished game seen from engine 1.
struct GameResult {
    int game = 0;                        // 1-based number within the match
    double score = 0.5;                  // 1 a win, 0.5 a draw, 0 a loss
    int pointDifference = 0;             // engine 1's points minus engine 2's
    int points = 0;                      // engine 1's
    bool forfeited[2] = {false, false};  // by engine 1, by engine 2
};

GameResult ResultOf(const GameLog& log, int engine1Team);

// A sequential probability ratio test of elo0 against elo1 (Elo differences of engine 1).
struct SprtSettings {
    bool enabled = false;
    double elo0 = 0.0;
    double elo1 = 5.0;
    double alpha = 0.05;  // false positives: accepting elo1 when elo0 holds
    double beta = 0.05;   // false negatives
};

enum class SprtState { Running, AcceptedH0, AcceptedH1 };

struct MatchStatistics {
    int games = 0;
    int wins = 0;
    int losses = 0;
    int draws = 0;
    double pointMean = 0.0;  // engine 1's point difference per game
    double pointStandardError = 0.0;
    // The Elo model: the scores of the pairs of games that share their noise (pentanomial) when the
    // match is paired, of single games (trinomial) otherwise. A pair is counted once both are played.
    bool paired = false;
    int units = 0;  // pairs or games
    double elo = 0.0;
    double eloLow = 0.0;  // 95% interval; infinite when one engine won everything
    double eloHigh = 0.0;
    double likelihoodOfSuperiority = 0.5;  // that engine 1 is the stronger, from wins and losses
    double llr = 0.0;                      // the test's log-likelihood ratio
    double lowerBound = 0.0;               // it accepts elo0 at or below this,
    double upperBound = 0.0;               // elo1 at or above this
    SprtState sprt = SprtState::Running;
};

// The statistics of the games given, in game order. When paired, games 2k-1 and 2k form pair k.
MatchStatistics Summarise(const std::vector<GameResult>& games, bool paired, const SprtSettings& sprt);

std::string StatisticsText(const MatchStatistics& statistics, const SprtSettings& sprt);
// One line for the live progress: games, the running score, the test's state.
std::string StatisticsLine(const MatchStatistics& statistics, const SprtSettings& sprt);

}  // namespace host
