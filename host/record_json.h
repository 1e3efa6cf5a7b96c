#pragma once

#include "host/game_log.h"
#include "host/json_text.h"

#include <string>

// The lines of a game's record (record.jsonl) to and from JSON: a "game" line, one "shot" line per
// delivery and one "end" line per end, then a "result" line. Positions and shots keep every bit of their
// floats; paths are to the millimetre and times to six digits.
namespace host {

Json GameLineJson(const GameSetup& setup);
Json ShotLineJson(const ShotEntry& shot);
Json EndLineJson(const EndEntry& end);
Json ResultLineJson(const GameLog& log);

// A point of the sheet as [x, y], to the bit.
Json PointJson(const records::StonePosition& point);

// The paths of the stones that moved in a shot, by stone index, each a flat list x0, y0, x1, y1, … of
// its centre every PathInterval (in metres, to the millimetre) until it rests or leaves the sheet; null
// when nothing was delivered.
Json PathJson(const ShotPath& path);

// Adds one line of a record to `log`: the game line sets the setup, the result line the outcome and
// `finished`. False, with the reason in `error`, for a line that is not one the host writes. A path
// reads back as frames to the millimetre, so a stone that moved less than that reads as standing still.
[[nodiscard]] bool ReadRecordLine(const std::string& line, GameLog& log, std::string& error);

// A whole record. A last line without its line end may have been cut by a stopped host and is left
// out when it does not read; any other line that does not read refuses the record, naming the line.
[[nodiscard]] bool ReadGameRecord(const std::string& text, GameLog& log, std::string& error);

}  // namespace host
