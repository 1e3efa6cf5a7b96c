#include "host/game_record.h"

#include "host/record_json.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>

namespace host {

namespace {

void WriteLine(GameRecord& record, const Json& line) {
    if (record.file == nullptr) {
        return;
    }
    std::fputs(JsonText(line).c_str(), record.file);
    std::fputc('\n', record.file);
    std::fflush(record.file);
}

}  // namespace

bool OpenRecord(GameRecord& record, const std::string& path, std::string& error) {
    record.file = std::fopen(path.c_str(), "w");
    if (record.file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void WriteGameLine(GameRecord& record, const GameSetup& setup) {
    WriteLine(record, GameLineJson(setup));
}

void WriteShotLine(GameRecord& record, const ShotEntry& shot) {
    WriteLine(record, ShotLineJson(shot));
}

void WriteEndLine(GameRecord& record, const EndEntry& end) {
    WriteLine(record, EndLineJson(end));
}

void WriteResultLine(GameRecord& record, const GameLog& log) {
    WriteLine(record, ResultLineJson(log));
}

void CloseRecord(GameRecord& record) {
    if (record.file != nullptr) {
        std::fclose(record.file);
        record.file = nullptr;
    }
}

}  // namespace host
