#include "host/record_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <sstream>

namespace host {

namespace {

bool OnSheet(const records::StonePosition& p) {
    return p.x != 0.0f || p.y != 0.0f;
}

Json ShotJson(const records::ShotVector& shot) {
    return Json{{"vx", FloatNumber(shot.vx)}, {"vy", FloatNumber(shot.vy)}, {"curl", shot.curl}};
}

Json PairJson(const int values[2]) {
    return Json::array({values[0], values[1]});
}

bool ReadPoint(const Json* json, records::StonePosition& point) {
    return json != nullptr && json->is_array() && json->size() == 2 && ReadFloat((*json)[0], point.x) &&
           ReadFloat((*json)[1], point.y);
}

bool ReadShot(const Json* json, records::ShotVector& shot) {
    const Json* vx = json != nullptr ? Member(*json, "vx") : nullptr;
    const Json* vy = json != nullptr ? Member(*json, "vy") : nullptr;
    int curl = 0;
    if (vx == nullptr || vy == nullptr || !ReadFloat(*vx, shot.vx) || !ReadFloat(*vy, shot.vy) ||
        !ReadWhole(*json, "curl", 0, 1, curl)) {
        return false;
    }
    shot.curl = static_cast<std::uint8_t>(curl);
    return true;
}

bool ReadPair(const Json* json, long long low, long long high, int values[2]) {
    return json != nullptr && json->is_array() && json->size() == 2 &&
           ReadWhole((*json)[0], low, high, values[0]) && ReadWhole((*json)[1], low, high, values[1]);
}

bool ReadFlags(const Json* json, bool values[2]) {
    return json != nullptr && json->is_array() && json->size() == 2 && ReadBool((*json)[0], values[0]) &&
           ReadBool((*json)[1], values[1]);
}

// An optional member: absent is fine, present must read.
bool ReadOptionalString(const Json& line, const char* name, std::string& out) {
    const Json* member = Member(line, name);
    return member == nullptr || ReadString(*member, out);
}

// The stone that a path's key names, or -1.
int StoneIndex(const std::string& key) {
    for (int i = 0; i < records::StoneCount; ++i) {
        if (key == std::to_string(i)) {
            return i;
        }
    }
    return -1;
}

// The frames back from the paths of the stones that moved: a stone whose path ends early left the
// sheet, and a stone without one stood still where the shot left it.
bool ReadPath(const Json& json, const records::StonePosition (&after)[records::StoneCount], ShotPath& path) {
    std::vector<records::StonePosition> tracks[records::StoneCount];
    bool moved[records::StoneCount] = {};
    std::size_t frames = 0;
    for (const auto& [key, list] : json.items()) {
        const int stone = StoneIndex(key);
        if (stone < 0 || moved[stone] || !list.is_array() || list.size() % 2 != 0) {
            return false;
        }
        moved[stone] = true;
        for (std::size_t k = 0; k < list.size(); k += 2) {
            records::StonePosition point{};
            if (!ReadFloat(list[k], point.x) || !ReadFloat(list[k + 1], point.y)) {
                return false;
            }
            tracks[stone].push_back(point);
        }
        frames = std::max(frames, tracks[stone].size());
    }
    path.frames.assign(frames, StoneFrame{});
    for (std::size_t k = 0; k < frames; ++k) {
        for (int i = 0; i < records::StoneCount; ++i) {
            path.frames[k][i] = !moved[i]              ? after[i]
                                : k < tracks[i].size() ? tracks[i][k]
                                                       : records::StonePosition{};
        }
    }
    return true;
}

bool ReadGameLine(const Json& line, GameSetup& setup) {
    const Json* engines = Member(line, "engines");
    const Json* seed = Member(line, "seed");
    const Json* noise = Member(line, "noise");
    const Json* timeout = Member(line, "shotTimeout");
    const Json* pair = Member(line, "pair");
    if (engines == nullptr || !engines->is_array() || engines->size() != 2 ||
        !ReadString((*engines)[0], setup.engines[0]) || !ReadString((*engines)[1], setup.engines[1]) ||
        seed == nullptr || !seed->is_number_unsigned() || noise == nullptr ||
        !ReadDouble(*noise, setup.noiseScale) || timeout == nullptr ||
        !ReadDouble(*timeout, setup.shotTimeout)) {
        return false;
    }
    setup.seed = seed->get<unsigned long long>();
    return ReadWhole(line, "game", 1, 100000, setup.game) && ReadWhole(line, "ends", 1, 100, setup.ends) &&
           ReadWhole(line, "firstHammer", 0, 1, setup.firstHammer) &&
           (pair == nullptr || ReadWhole(*pair, 1, 50000, setup.pair));
}

bool ReadShotLine(const Json& line, ShotEntry& shot) {
    const Json* stones = Member(line, "stones");
    const Json* seconds = Member(line, "seconds");
    const Json* delivered = Member(line, "delivered");
    const Json* restarted = Member(line, "restarted");
    const Json* path = Member(line, "path");
    if (!ReadWhole(line, "end", 0, 1000, shot.end) ||
        !ReadWhole(line, "shot", 0, records::StoneCount - 1, shot.shot) ||
        !ReadWhole(line, "team", 0, 1, shot.team) || delivered == nullptr ||
        !ReadBool(*delivered, shot.delivered) || seconds == nullptr || !ReadDouble(*seconds, shot.seconds) ||
        stones == nullptr || !stones->is_array() || stones->size() != records::StoneCount ||
        !ReadOptionalString(line, "dropped", shot.dropped) ||
        (restarted != nullptr && !ReadBool(*restarted, shot.restarted))) {
        return false;
    }
    for (int i = 0; i < records::StoneCount; ++i) {
        if (!ReadPoint(&(*stones)[i], shot.stones[i])) {
            return false;
        }
    }
    if (!shot.delivered) {
        return ReadOptionalString(line, "fault", shot.fault) && ReadOptionalString(line, "reply", shot.reply);
    }
    return ReadShot(Member(line, "sent"), shot.sent) && ReadShot(Member(line, "played"), shot.played) &&
           ReadPoint(Member(line, "aimed"), shot.aimed) && ReadPoint(Member(line, "moved"), shot.moved) &&
           (path == nullptr || path->is_null() ||
            (path->is_object() && ReadPath(*path, shot.stones, shot.path)));
}

bool ReadEndLine(const Json& line, EndEntry& end) {
    return ReadWhole(line, "end", 0, 1000, end.end) && ReadWhole(line, "hammer", 0, 1, end.hammer) &&
           ReadWhole(line, "nextHammer", 0, 1, end.nextHammer) &&
           ReadPair(Member(line, "points"), 0, records::StoneCount, end.points) &&
           ReadPair(Member(line, "totals"), 0, 100000, end.totals);
}

bool ReadResultLine(const Json& line, GameLog& log) {
    const Json* winner = Member(line, "winner");
    const Json* message = Member(line, "message");
    log.outcome.winner = -1;
    return winner != nullptr && (winner->is_null() || ReadWhole(*winner, 0, 1, log.outcome.winner)) &&
           ReadPair(Member(line, "totals"), 0, 100000, log.outcome.totals) &&
           ReadFlags(Member(line, "forfeited"), log.outcome.forfeited) &&
           ReadFlags(Member(line, "logCut"), log.logCut) && message != nullptr &&
           ReadString(*message, log.forfeitMessage);
}

}  // namespace

Json PointJson(const records::StonePosition& point) {
    return Json::array({FloatNumber(point.x), FloatNumber(point.y)});
}

Json PathJson(const ShotPath& path) {
    if (path.frames.empty()) {
        return nullptr;
    }
    Json json = Json::object();
    for (int i = 0; i < records::StoneCount; ++i) {
        std::size_t last = 0;  // the last frame at which the stone is on the sheet
        bool moved = !OnSheet(path.frames.front()[i]);
        for (std::size_t k = 0; k < path.frames.size(); ++k) {
            const records::StonePosition& p = path.frames[k][i];
            last = OnSheet(p) ? k : last;
            moved = moved || p.x != path.frames.front()[i].x || p.y != path.frames.front()[i].y;
        }
        if (!moved || (!OnSheet(path.frames.front()[i]) && last == 0)) {
            continue;
        }
        Json& track = json[std::to_string(i)] = Json::array();
        for (std::size_t k = 0; k <= last; ++k) {
            track.push_back(RoundedNumber(path.frames[k][i].x, "%.3f"));
            track.push_back(RoundedNumber(path.frames[k][i].y, "%.3f"));
        }
    }
    return json;
}

Json GameLineJson(const GameSetup& setup) {
    Json line{{"type", "game"},
              {"game", setup.game},
              {"engines", {setup.engines[0], setup.engines[1]}},
              {"ends", setup.ends},
              {"firstHammer", setup.firstHammer},
              {"seed", setup.seed},
              {"noise", RoundedNumber(setup.noiseScale, "%.6g")},
              {"shotTimeout", RoundedNumber(setup.shotTimeout, "%.6g")}};
    if (setup.pair > 0) {
        line["pair"] = setup.pair;
    }
    return line;
}

Json ShotLineJson(const ShotEntry& shot) {
    Json line{{"type", "shot"},
              {"end", shot.end},
              {"shot", shot.shot},
              {"team", shot.team},
              {"delivered", shot.delivered}};
    if (shot.delivered) {
        line["sent"] = ShotJson(shot.sent);
        line["played"] = ShotJson(shot.played);
        line["aimed"] = PointJson(shot.aimed);
        line["moved"] = PointJson(shot.moved);
    } else {
        line["fault"] = shot.fault;
        line["reply"] = shot.reply;
    }
    if (!shot.dropped.empty()) {
        line["dropped"] = shot.dropped;
    }
    if (shot.restarted) {
        line["restarted"] = true;
    }
    if (!shot.path.frames.empty()) {
        line["path"] = PathJson(shot.path);
    }
    Json& stones = line["stones"] = Json::array();
    for (const records::StonePosition& stone : shot.stones) {
        stones.push_back(PointJson(stone));
    }
    line["seconds"] = RoundedNumber(shot.seconds, "%.6g");
    return line;
}

Json EndLineJson(const EndEntry& end) {
    return Json{{"type", "end"},
                {"end", end.end},
                {"hammer", end.hammer},
                {"points", PairJson(end.points)},
                {"totals", PairJson(end.totals)},
                {"nextHammer", end.nextHammer}};
}

Json ResultLineJson(const GameLog& log) {
    const GameOutcome& outcome = log.outcome;
    return Json{{"type", "result"},
                {"totals", PairJson(outcome.totals)},
                {"winner", outcome.winner >= 0 ? Json(outcome.winner) : Json(nullptr)},
                {"forfeited", {outcome.forfeited[0], outcome.forfeited[1]}},
                {"message", log.forfeitMessage},
                {"logCut", {log.logCut[0], log.logCut[1]}}};
}

bool ReadRecordLine(const std::string& text, GameLog& log, std::string& error) {
    Json line;
    if (!ParseJsonText(text, line, error)) {
        return false;
    }
    const Json* type = Member(line, "type");
    const std::string kind = type != nullptr && type->is_string() ? type->get<std::string>() : "";
    // Each line is read into a copy, so that a line that does not read leaves the log as it was.
    GameLog read;
    read.setup = log.setup;
    bool ok = false;
    if (kind == "game") {
        ok = ReadGameLine(line, read.setup);
        log.setup = ok ? read.setup : log.setup;
    } else if (kind == "shot") {
        ok = ReadShotLine(line, read.shots.emplace_back());
        log.shots.insert(log.shots.end(), read.shots.begin(), read.shots.begin() + (ok ? 1 : 0));
    } else if (kind == "end") {
        ok = ReadEndLine(line, read.ends.emplace_back());
        log.ends.insert(log.ends.end(), read.ends.begin(), read.ends.begin() + (ok ? 1 : 0));
    } else if (kind == "result" && ReadResultLine(line, read)) {
        ok = log.finished = true;
        log.outcome = read.outcome;
        log.forfeitMessage = read.forfeitMessage;
        std::copy(read.logCut, read.logCut + 2, log.logCut);
    }
    if (!ok) {
        error = kind.empty() ? "not a line of a game's record"
                             : "a " + kind + " line with a field missing or wrong";
    }
    return ok;
}

bool ReadGameRecord(const std::string& text, GameLog& log, std::string& error) {
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!ReadRecordLine(line, log, error)) {
            if (lines.eof() && text.back() != '\n') {
                return true;
            }
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

}  // namespace host
