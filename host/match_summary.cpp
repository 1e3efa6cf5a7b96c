#include "host/match_summary.h"

#include "host/json_text.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>

namespace host {

namespace {

Json SettingsJson(const MatchSettings& s) {
    // The seed as text: a reader whose numbers are doubles would round a 64-bit seed.
    Json json{{"engines", {s.engines[0], s.engines[1]}},
              {"ends", s.ends},
              {"games", s.games},
              {"seed", std::to_string(s.seed)},
              {"noise", ExactNumber(s.noise)},
              {"shotTimeout", ExactNumber(s.shotTimeout)},
              {"paired", s.paired}};
    if (s.sprt.enabled) {
        json["sprt"] = {ExactNumber(s.sprt.elo0), ExactNumber(s.sprt.elo1), ExactNumber(s.sprt.alpha),
                        ExactNumber(s.sprt.beta)};
    }
    return json;
}

const char* StateName(SprtState state) {
    return state == SprtState::AcceptedH1 ? "H1" : state == SprtState::AcceptedH0 ? "H0" : "running";
}

// Statistics are for people and are recomputed on merging: six digits are plenty, and an Elo of
// -0 is 0 (adding +0 turns -0 into +0 and changes nothing else).
Json Figure(double value) {
    return RoundedNumber(value + 0.0, "%.6g");
}

Json StatisticsJson(const MatchStatistics& s, const SprtSettings& sprt) {
    Json json{{"games", s.games},
              {"wins", s.wins},
              {"losses", s.losses},
              {"draws", s.draws},
              {"pointMean", Figure(s.pointMean)},
              {"pointStandardError", Figure(s.pointStandardError)},
              {"model", s.paired ? "pentanomial" : "trinomial"},
              {"units", s.units},
              {"elo", Figure(s.elo)},
              {"elo95", {Figure(s.eloLow), Figure(s.eloHigh)}},
              {"likelihoodOfSuperiority", Figure(s.likelihoodOfSuperiority)}};
    if (sprt.enabled) {
        json["sprt"] = Json{{"elo0", Figure(sprt.elo0)},     {"elo1", Figure(sprt.elo1)},
                            {"alpha", Figure(sprt.alpha)},   {"beta", Figure(sprt.beta)},
                            {"llr", Figure(s.llr)},          {"lower", Figure(s.lowerBound)},
                            {"upper", Figure(s.upperBound)}, {"state", StateName(s.sprt)}};
    }
    return json;
}

bool ReadSettings(const Json& json, MatchSettings& s) {
    const Json* engines = Member(json, "engines");
    const Json* seed = Member(json, "seed");
    const Json* paired = Member(json, "paired");
    const Json* noise = Member(json, "noise");
    const Json* timeout = Member(json, "shotTimeout");
    std::string seedText;
    if (engines == nullptr || !engines->is_array() || engines->size() != 2 ||
        !ReadString((*engines)[0], s.engines[0]) || !ReadString((*engines)[1], s.engines[1]) ||
        seed == nullptr || !ReadString(*seed, seedText) || seedText.empty() ||
        seedText.find_first_not_of("0123456789") != std::string::npos || paired == nullptr ||
        !ReadBool(*paired, s.paired) || noise == nullptr || !ReadDouble(*noise, s.noise) ||
        timeout == nullptr || !ReadDouble(*timeout, s.shotTimeout) ||
        !ReadWhole(json, "ends", 1, 100, s.ends) || !ReadWhole(json, "games", 1, 100000, s.games)) {
        return false;
    }
    errno = 0;
    s.seed = std::strtoull(seedText.c_str(), nullptr, 10);
    const Json* sprt = Member(json, "sprt");
    if (errno != 0 || sprt == nullptr) {
        return errno == 0;
    }
    s.sprt.enabled = true;
    return sprt->is_array() && sprt->size() == 4 && ReadDouble((*sprt)[0], s.sprt.elo0) &&
           ReadDouble((*sprt)[1], s.sprt.elo1) && ReadDouble((*sprt)[2], s.sprt.alpha) &&
           ReadDouble((*sprt)[3], s.sprt.beta);
}

bool ReadResult(const Json& json, int games, GameResult& result) {
    double score = 0.0;
    int forfeits = 0;
    if (!json.is_array() || json.size() != 5 || !ReadWhole(json[0], 1, games, result.game) ||
        !ReadDouble(json[1], score) || !ReadWhole(json[2], -100000, 100000, result.points) ||
        !ReadWhole(json[3], -100000, 100000, result.pointDifference) || !ReadWhole(json[4], 0, 3, forfeits) ||
        (score != 0.0 && score != 0.5 && score != 1.0)) {
        return false;
    }
    result.score = score;
    result.forfeited[0] = (forfeits & 1) != 0;
    result.forfeited[1] = (forfeits & 2) != 0;
    return true;
}

}  // namespace

MatchSettings SettingsOf(const MatchOptions& options) {
    MatchSettings settings;
    settings.engines[0] = options.engines[0];
    settings.engines[1] = options.engines[1];
    settings.ends = options.ends;
    settings.games = options.games;
    settings.seed = options.seed;
    settings.noise = options.noise;
    settings.shotTimeout = options.shotTimeout;
    settings.paired = options.paired;
    settings.sprt = options.sprt;
    return settings;
}

bool SameSettings(const MatchSettings& a, const MatchSettings& b) {
    return SettingsJson(a) == SettingsJson(b);
}

std::string SummaryJson(const MatchShard& shard, const MatchStatistics& statistics) {
    Json results = Json::array();
    for (const GameResult& r : shard.results) {
        results.push_back({r.game, ExactNumber(r.score), r.points, r.pointDifference,
                           (r.forfeited[0] ? 1 : 0) + (r.forfeited[1] ? 2 : 0)});
    }
    const Json summary{{"settings", SettingsJson(shard.settings)},
                       {"range", {shard.firstGame, shard.endGame}},
                       {"results", results},
                       {"statistics", StatisticsJson(statistics, shard.settings.sprt)}};
    return JsonText(summary) + '\n';
}

bool ReadSummary(const std::string& text, MatchShard& shard, std::string& error) {
    Json json;
    if (!ParseJsonText(text, json, error)) {
        return false;
    }
    const Json* settings = Member(json, "settings");
    const Json* range = Member(json, "range");
    const Json* results = Member(json, "results");
    if (settings == nullptr || !ReadSettings(*settings, shard.settings)) {
        error = "its settings are missing or wrong";
        return false;
    }
    const int games = shard.settings.games;
    if (range == nullptr || !range->is_array() || range->size() != 2 ||
        !ReadWhole((*range)[0], 1, games, shard.firstGame) ||
        !ReadWhole((*range)[1], shard.firstGame + 1, games + 1, shard.endGame)) {
        error = "its range of games is missing or wrong";
        return false;
    }
    if (results == nullptr || !results->is_array()) {
        error = "its game results are missing";
        return false;
    }
    shard.results.clear();
    for (const Json& item : *results) {
        GameResult result;
        if (!ReadResult(item, games, result) || result.game < shard.firstGame ||
            result.game >= shard.endGame) {
            error = "a game result is wrong or outside its range";
            return false;
        }
        shard.results.push_back(result);
    }
    return true;
}

MatchTally TallyOf(const std::vector<GameResult>& results) {
    MatchTally tally;
    for (const GameResult& r : results) {
        GameOutcome outcome;
        outcome.winner = r.score == 1.0 ? 0 : r.score == 0.0 ? 1 : -1;
        outcome.forfeited[0] = r.forfeited[0];
        outcome.forfeited[1] = r.forfeited[1];
        outcome.totals[0] = r.points;
        outcome.totals[1] = r.points - r.pointDifference;
        AddGame(tally, outcome);
    }
    return tally;
}

}  // namespace host
