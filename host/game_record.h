#pragma once

#include "host/game_log.h"

#include <cstdio>
#include <string>

// The record of one game as JSON Lines: a "game" line, then one "shot" line per delivery and one
// "end" line per end, then a "result" line. Every line is flushed as it is written, so whatever stops
// the host, the lines written so far can be read back.
namespace host {

struct GameRecord {
    std::FILE* file = nullptr;
};

[[nodiscard]] bool OpenRecord(GameRecord& record, const std::string& path, std::string& error);
void WriteGameLine(GameRecord& record, const GameSetup& setup);
void WriteShotLine(GameRecord& record, const ShotEntry& shot);
void WriteEndLine(GameRecord& record, const EndEntry& end, int nextHammer);
void WriteResultLine(GameRecord& record, const GameLog& log);
void CloseRecord(GameRecord& record);

// The paths of the stones that moved in a shot, by stone index, each a flat list x0, y0, x1, y1, … of
// its centre every PathInterval (in metres, to the millimetre) until it rests or leaves the sheet.
std::string PathJson(const ShotPath& path);

// A JSON string literal, quotes included. Bytes outside printable ASCII are escaped, so the result is
// valid JSON whatever an engine sent.
std::string JsonString(const std::string& text);

}  // namespace host
