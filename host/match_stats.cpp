#include "host/match_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace host {

namespace {

constexpr double Z95 = 1.959963984540054;

// The expected score of an engine that is `elo` stronger.
double ScoreOf(double elo) {
    return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0));
}

double EloOf(double score) {
    if (!(score > 0.0)) {
        return -std::numeric_limits<double>::infinity();
    }
    if (!(score < 1.0)) {
        return std::numeric_limits<double>::infinity();
    }
    return -400.0 * std::log10(1.0 / score - 1.0);
}

struct Moments {
    double mean = 0.0;
    double variance = 0.0;  // of one sample
};

Moments MomentsOf(const std::vector<double>& samples) {
    Moments moments;
    if (samples.empty()) {
        return moments;
    }
    for (double x : samples) {
        moments.mean += x;
    }
    moments.mean /= static_cast<double>(samples.size());
    for (double x : samples) {
        moments.variance += (x - moments.mean) * (x - moments.mean) / static_cast<double>(samples.size());
    }
    return moments;
}

// The units the Elo model counts: single games, or pairs of games each scored as their mean.
std::vector<double> UnitScores(const std::vector<GameResult>& games, bool paired) {
    std::vector<double> units;
    if (!paired) {
        for (const GameResult& game : games) {
            units.push_back(game.score);
        }
        return units;
    }
    std::map<int, std::vector<double>> pairs;
    for (const GameResult& game : games) {
        pairs[(game.game + 1) / 2].push_back(game.score);
    }
    for (const auto& [pair, scores] : pairs) {
        if (scores.size() == 2) {
            units.push_back((scores[0] + scores[1]) / 2.0);
        }
    }
    return units;
}

std::string Number(double value, const char* format = "%.1f") {
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    char text[48];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

}  // namespace

GameResult ResultOf(const GameLog& log, int engine1Team) {
    GameResult result;
    result.game = log.setup.game;
    const int other = 1 - engine1Team;
    result.score = log.outcome.winner == engine1Team ? 1.0 : log.outcome.winner == other ? 0.0 : 0.5;
    if (log.outcome.forfeited[0] && log.outcome.forfeited[1]) {
        result.score = 0.5;  // both lost: nothing is learnt of either
    }
    result.pointDifference = log.outcome.totals[engine1Team] - log.outcome.totals[other];
    result.points = log.outcome.totals[engine1Team];
    result.forfeited[0] = log.outcome.forfeited[engine1Team];
    result.forfeited[1] = log.outcome.forfeited[other];
    return result;
}

MatchStatistics Summarise(const std::vector<GameResult>& games, bool paired, const SprtSettings& sprt) {
    MatchStatistics statistics;
    statistics.paired = paired;
    statistics.games = static_cast<int>(games.size());
    std::vector<double> points;
    for (const GameResult& game : games) {
        statistics.wins += game.score == 1.0;
        statistics.losses += game.score == 0.0;
        statistics.draws += game.score == 0.5;
        points.push_back(game.pointDifference);
    }
    const Moments pointMoments = MomentsOf(points);
    statistics.pointMean = pointMoments.mean;
    statistics.pointStandardError =
        points.empty() ? 0.0 : std::sqrt(pointMoments.variance / static_cast<double>(points.size()));

    const std::vector<double> units = UnitScores(games, paired);
    statistics.units = static_cast<int>(units.size());
    const Moments moments = MomentsOf(units);
    const double n = static_cast<double>(units.size());
    const double standardError = n > 0 ? std::sqrt(moments.variance / n) : 0.0;
    statistics.elo = units.empty() ? 0.0 : EloOf(moments.mean);
    statistics.eloLow = units.empty() ? 0.0 : EloOf(moments.mean - Z95 * standardError);
    statistics.eloHigh = units.empty() ? 0.0 : EloOf(moments.mean + Z95 * standardError);
    const double decisive = statistics.wins + statistics.losses;
    statistics.likelihoodOfSuperiority =
        decisive > 0
            ? 0.5 * (1.0 + std::erf((statistics.wins - statistics.losses) / std::sqrt(2.0 * decisive)))
            : 0.5;

    statistics.lowerBound = std::log(sprt.beta / (1.0 - sprt.alpha));
    statistics.upperBound = std::log((1.0 - sprt.beta) / sprt.alpha);
    if (sprt.enabled) {
        // The normal approximation of the score's log-likelihood ratio between the two hypotheses, after
        // every unit in game order as the match plays them, up to the first bound it crosses. The spread of
        // the scores is taken with two units' worth of the widest spread there is (a variance of 0.25), so
        // that a few equal results do not look certain and a match of nothing but draws or wins still
        // decides in the end.
        const double s0 = ScoreOf(sprt.elo0);
        const double s1 = ScoreOf(sprt.elo1);
        double sum = 0.0;
        double squares = 0.0;
        for (std::size_t k = 0; k < units.size() && statistics.sprt == SprtState::Running; ++k) {
            sum += units[k];
            squares += units[k] * units[k];
            const double count = static_cast<double>(k + 1);
            if (k == 0) {
                continue;
            }
            const double mean = sum / count;
            const double variance =
                (std::max(squares - count * mean * mean, 0.0) + 2.0 * 0.25) / (count + 2.0);
            statistics.llr = count * (s1 - s0) * (2.0 * mean - s0 - s1) / (2.0 * variance);
            statistics.sprt = statistics.llr >= statistics.upperBound   ? SprtState::AcceptedH1
                              : statistics.llr <= statistics.lowerBound ? SprtState::AcceptedH0
                                                                        : SprtState::Running;
        }
    }
    return statistics;
}

std::string StatisticsText(const MatchStatistics& s, const SprtSettings& sprt) {
    std::string text = "Engine 1 against engine 2: " + std::to_string(s.wins) + " won, " +
                       std::to_string(s.losses) + " lost, " + std::to_string(s.draws) + " drawn of " +
                       std::to_string(s.games) + " games\n";
    text += "  points per game: " + Number(s.pointMean, "%+.2f") + " +- " +
            Number(s.pointStandardError, "%.2f") + " (standard error)\n";
    text += "  Elo difference: " + Number(s.elo) + " [" + Number(s.eloLow) + ", " + Number(s.eloHigh) +
            "] (95%), from " + std::to_string(s.units) +
            (s.paired ? " pairs of games that share their noise (pentanomial)\n" : " games (trinomial)\n");
    text += "  likelihood of superiority: " + Number(100.0 * s.likelihoodOfSuperiority) + "%\n";
    if (sprt.enabled) {
        text += "  SPRT elo0 " + Number(sprt.elo0) + ", elo1 " + Number(sprt.elo1) + ": LLR " +
                Number(s.llr, "%.2f") + " [" + Number(s.lowerBound, "%.2f") + ", " +
                Number(s.upperBound, "%.2f") + "], " +
                (s.sprt == SprtState::AcceptedH1   ? "accepted elo1\n"
                 : s.sprt == SprtState::AcceptedH0 ? "accepted elo0\n"
                                                   : "undecided\n");
    }
    return text;
}

std::string StatisticsLine(const MatchStatistics& s, const SprtSettings& sprt) {
    std::string line = std::to_string(s.games) + " games, engine 1 " + std::to_string(s.wins) + "-" +
                       std::to_string(s.losses) + "-" + std::to_string(s.draws) + " (" +
                       Number(s.pointMean * s.games, "%+.0f") + " points)";
    if (sprt.enabled) {
        line += ", LLR " + Number(s.llr, "%.2f") + " [" + Number(s.lowerBound, "%.2f") + ", " +
                Number(s.upperBound, "%.2f") + "]";
    }
    return line;
}

}  // namespace host
