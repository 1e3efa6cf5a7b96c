#include "host/match_summary.h"

#include "host/game_record.h"
#include "host/json_reader.h"

#include <cstdio>
#include <cstdlib>

namespace host {

namespace {

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof(text), "%.17g", value);
    return text;
}

std::string SettingsJson(const MatchSettings& s) {
    std::string json = "{\"engines\":[" + JsonString(s.engines[0]) + ',' + JsonString(s.engines[1]) +
                       "],\"ends\":" + std::to_string(s.ends) + ",\"games\":" + std::to_string(s.games) +
                       ",\"seed\":\"" + std::to_string(s.seed) + "\",\"noise\":" + Exact(s.noise) +
                       ",\"shotTimeout\":" + Exact(s.shotTimeout) +
                       ",\"paired\":" + (s.paired ? "true" : "false");
    if (s.sprt.enabled) {
        json += ",\"sprt\":[" + Exact(s.sprt.elo0) + ',' + Exact(s.sprt.elo1) + ',' + Exact(s.sprt.alpha) +
                ',' + Exact(s.sprt.beta) + ']';
    }
    return json + '}';
}

bool Number(const JsonValue* value, double& out) {
    if (value == nullptr || value->kind != JsonValue::Kind::Number) {
        return false;
    }
    out = value->number;
    return true;
}

bool Whole(const JsonValue* value, int low, int high, int& out) {
    double number = 0.0;
    // The range comes first: converting a number beyond every integer would be undefined.
    if (!Number(value, number) || !(number >= low && number <= high) ||
        number != static_cast<double>(static_cast<long long>(number))) {
        return false;
    }
    out = static_cast<int>(number);
    return true;
}

bool ReadSettings(const JsonValue& json, MatchSettings& s) {
    const JsonValue* engines = json.Find("engines");
    const JsonValue* seed = json.Find("seed");
    const JsonValue* paired = json.Find("paired");
    if (engines == nullptr || engines->items.size() != 2 ||
        engines->items[0].kind != JsonValue::Kind::String ||
        engines->items[1].kind != JsonValue::Kind::String || seed == nullptr ||
        seed->kind != JsonValue::Kind::String || paired == nullptr ||
        paired->kind != JsonValue::Kind::Boolean) {
        return false;
    }
    s.engines[0] = engines->items[0].text;
    s.engines[1] = engines->items[1].text;
    char* end = nullptr;
    s.seed = std::strtoull(seed->text.c_str(), &end, 10);
    s.paired = paired->boolean;
    if (seed->text.empty() || *end != '\0' || !Whole(json.Find("ends"), 1, 100, s.ends) ||
        !Whole(json.Find("games"), 1, 100000, s.games) || !Number(json.Find("noise"), s.noise) ||
        !Number(json.Find("shotTimeout"), s.shotTimeout)) {
        return false;
    }
    const JsonValue* sprt = json.Find("sprt");
    if (sprt != nullptr) {
        if (sprt->items.size() != 4 || !Number(&sprt->items[0], s.sprt.elo0) ||
            !Number(&sprt->items[1], s.sprt.elo1) || !Number(&sprt->items[2], s.sprt.alpha) ||
            !Number(&sprt->items[3], s.sprt.beta)) {
            return false;
        }
        s.sprt.enabled = true;
    }
    return true;
}

bool ReadResult(const JsonValue& json, int games, GameResult& result) {
    double score = 0.0;
    int forfeits = 0;
    if (json.items.size() != 5 || !Whole(&json.items[0], 1, games, result.game) ||
        !Number(&json.items[1], score) || !Whole(&json.items[2], -100000, 100000, result.points) ||
        !Whole(&json.items[3], -100000, 100000, result.pointDifference) ||
        !Whole(&json.items[4], 0, 3, forfeits) || (score != 0.0 && score != 0.5 && score != 1.0)) {
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
    std::string results;
    for (const GameResult& r : shard.results) {
        results += (results.empty() ? "[" : ",[") + std::to_string(r.game) + ',' + Exact(r.score) + ',' +
                   std::to_string(r.points) + ',' + std::to_string(r.pointDifference) + ',' +
                   std::to_string((r.forfeited[0] ? 1 : 0) + (r.forfeited[1] ? 2 : 0)) + ']';
    }
    std::string stats = StatisticsJson(statistics, shard.settings.sprt);
    stats.pop_back();  // its line end
    return "{\"settings\":" + SettingsJson(shard.settings) + ",\n\"range\":[" +
           std::to_string(shard.firstGame) + ',' + std::to_string(shard.endGame) + "],\n\"results\":[" +
           results + "],\n\"statistics\":" + stats + "}\n";
}

bool ReadSummary(const std::string& text, MatchShard& shard, std::string& error) {
    JsonValue json;
    if (!ParseJson(text, json, error)) {
        return false;
    }
    const JsonValue* settings = json.Find("settings");
    const JsonValue* range = json.Find("range");
    const JsonValue* results = json.Find("results");
    if (settings == nullptr || !ReadSettings(*settings, shard.settings)) {
        error = "its settings are missing or wrong";
        return false;
    }
    const int games = shard.settings.games;
    if (range == nullptr || range->items.size() != 2 || !Whole(&range->items[0], 1, games, shard.firstGame) ||
        !Whole(&range->items[1], shard.firstGame + 1, games + 1, shard.endGame)) {
        error = "its range of games is missing or wrong";
        return false;
    }
    shard.results.clear();
    for (const JsonValue& item : results != nullptr ? results->items : std::vector<JsonValue>()) {
        GameResult result;
        if (!ReadResult(item, games, result) || result.game < shard.firstGame ||
            result.game >= shard.endGame) {
            error = "a game result is wrong or outside its range";
            return false;
        }
        shard.results.push_back(result);
    }
    if (results == nullptr) {
        error = "its game results are missing";
        return false;
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
