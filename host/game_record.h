#pragma once

#include "host/game_log.h"

#include <cstdio>
#include <string>

// The record of one game as JSON Lines (record_json.h says what each line holds). Every line is flushed
// as it is written, so whatever stops the host, the lines written so far can be read back.
namespace host {

struct GameRecord {
    std::FILE* file = nullptr;
};

[[nodiscard]] bool OpenRecord(GameRecord& record, const std::string& path, std::string& error);
void WriteGameLine(GameRecord& record, const GameSetup& setup);
void WriteShotLine(GameRecord& record, const ShotEntry& shot);
void WriteEndLine(GameRecord& record, const EndEntry& end);
void WriteResultLine(GameRecord& record, const GameLog& log);
void CloseRecord(GameRecord& record);

}  // namespace host
