#include "host/game_record.h"

#include "host/protocol.h"

#include <cerrno>
#include <cstring>

namespace host {

namespace {

std::string JsonPoint(const records::StonePosition& point) {
    return '[' + FormatFloat(point.x) + ',' + FormatFloat(point.y) + ']';
}

std::string JsonShot(const records::ShotVector& shot) {
    return "{\"vx\":" + FormatFloat(shot.vx) + ",\"vy\":" + FormatFloat(shot.vy) +
           ",\"curl\":" + std::to_string(shot.curl) + '}';
}

bool OnSheet(const records::StonePosition& p) {
    return p.x != 0.0f || p.y != 0.0f;
}

std::string Millimetres(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", value);
    return text;
}

std::string JsonPair(const int values[2]) {
    return '[' + std::to_string(values[0]) + ',' + std::to_string(values[1]) + ']';
}

std::string JsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.6g", value);
    return text;
}

void WriteLine(GameRecord& record, const std::string& line) {
    if (record.file == nullptr) {
        return;
    }
    std::fputs(line.c_str(), record.file);
    std::fputc('\n', record.file);
    std::fflush(record.file);
}

}  // namespace

std::string PathJson(const ShotPath& path) {
    if (path.frames.empty()) {
        return "null";
    }
    std::string json = "{";
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
        json += (json.size() > 1 ? ",\"" : "\"") + std::to_string(i) + "\":[";
        for (std::size_t k = 0; k <= last; ++k) {
            json += (k > 0 ? "," : "") + Millimetres(path.frames[k][i].x) + ',' +
                    Millimetres(path.frames[k][i].y);
        }
        json += ']';
    }
    return json + '}';
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 32 || byte >= 127) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

bool OpenRecord(GameRecord& record, const std::string& path, std::string& error) {
    record.file = std::fopen(path.c_str(), "w");
    if (record.file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void WriteGameLine(GameRecord& record, const GameSetup& setup) {
    WriteLine(record, "{\"type\":\"game\",\"game\":" + std::to_string(setup.game) + ",\"engines\":[" +
                          JsonString(setup.engines[0]) + ',' + JsonString(setup.engines[1]) +
                          "],\"ends\":" + std::to_string(setup.ends) + ",\"firstHammer\":" +
                          std::to_string(setup.firstHammer) + ",\"seed\":" + std::to_string(setup.seed) +
                          ",\"noise\":" + JsonNumber(setup.noiseScale) +
                          ",\"shotTimeout\":" + JsonNumber(setup.shotTimeout) +
                          (setup.pair > 0 ? ",\"pair\":" + std::to_string(setup.pair) : std::string()) + '}');
}

void WriteShotLine(GameRecord& record, const ShotEntry& shot) {
    std::string line = "{\"type\":\"shot\",\"end\":" + std::to_string(shot.end) +
                       ",\"shot\":" + std::to_string(shot.shot) + ",\"team\":" + std::to_string(shot.team) +
                       ",\"delivered\":" + (shot.delivered ? "true" : "false");
    if (shot.delivered) {
        line += ",\"sent\":" + JsonShot(shot.sent) + ",\"played\":" + JsonShot(shot.played) +
                ",\"aimed\":" + JsonPoint(shot.aimed) + ",\"moved\":" + JsonPoint(shot.moved);
    } else {
        line += ",\"fault\":" + JsonString(shot.fault) + ",\"reply\":" + JsonString(shot.reply);
    }
    if (!shot.dropped.empty()) {
        line += ",\"dropped\":" + JsonString(shot.dropped);
    }
    if (shot.restarted) {
        line += ",\"restarted\":true";
    }
    if (!shot.path.frames.empty()) {
        line += ",\"path\":" + PathJson(shot.path);
    }
    line += ",\"stones\":[";
    for (int i = 0; i < records::StoneCount; ++i) {
        line += (i > 0 ? "," : "") + JsonPoint(shot.stones[i]);
    }
    WriteLine(record, line + "],\"seconds\":" + JsonNumber(shot.seconds) + '}');
}

void WriteEndLine(GameRecord& record, const EndEntry& end, int nextHammer) {
    WriteLine(record, "{\"type\":\"end\",\"end\":" + std::to_string(end.end) +
                          ",\"hammer\":" + std::to_string(end.hammer) +
                          ",\"points\":" + JsonPair(end.points) + ",\"totals\":" + JsonPair(end.totals) +
                          ",\"nextHammer\":" + std::to_string(nextHammer) + '}');
}

void WriteResultLine(GameRecord& record, const GameLog& log) {
    const GameOutcome& outcome = log.outcome;
    std::string winner = outcome.winner >= 0 ? std::to_string(outcome.winner) : "null";
    WriteLine(record,
              "{\"type\":\"result\",\"totals\":" + JsonPair(outcome.totals) + ",\"winner\":" + winner +
                  ",\"forfeited\":[" + (outcome.forfeited[0] ? "true" : "false") + ',' +
                  (outcome.forfeited[1] ? "true" : "false") +
                  "],\"message\":" + JsonString(log.forfeitMessage) + ",\"logCut\":[" +
                  (log.logCut[0] ? "true" : "false") + ',' + (log.logCut[1] ? "true" : "false") + "]}");
}

void CloseRecord(GameRecord& record) {
    if (record.file != nullptr) {
        std::fclose(record.file);
        record.file = nullptr;
    }
}

}  // namespace host
