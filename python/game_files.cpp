#include "python/game_files.h"

#include "host/game_record.h"
#include "host/replay_page.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace python {

namespace {

// The log as the host keeps it once the game is over: the teams named, the outcome on points.
host::GameLog FinishedLog(const GameInPlay& game, const std::string (&names)[2]) {
    host::GameLog log = game.log;
    log.setup.engines[0] = names[0];
    log.setup.engines[1] = names[1];
    log.finished = host::GameOver(game.referee);
    if (log.finished) {
        log.outcome = host::Outcome(game.referee);
    }
    return log;
}

// Every line in the order curling-match writes them as the game goes, to the record and the replay's data.
void WriteLines(const host::GameLog& log, host::GameRecord& record, std::FILE* replay) {
    const auto append = [replay](const std::string& line) {
        if (replay != nullptr) {
            std::fputs(line.c_str(), replay);
        }
    };
    host::WriteGameLine(record, log.setup);
    append(host::ReplayGameLine(log.setup));
    for (const host::ShotEntry& shot : log.shots) {
        host::WriteShotLine(record, shot);
        append(host::ReplayShotLine(shot, log.setup));
        if (shot.shot == host::StonesPerEnd - 1) {
            const host::EndEntry& end = log.ends[static_cast<std::size_t>(shot.end)];
            host::WriteEndLine(record, end);
            append(host::ReplayEndLine(end));
        }
    }
    if (log.finished) {
        host::WriteResultLine(record, log);
        append(host::ReplayResultLine(log));
    }
}

}  // namespace

std::vector<std::string> RecordLines(const GameInPlay& game, const std::string (&names)[2]) {
    // The host's writer writes to a stream; a stream in memory gives its lines without a file.
    char* buffer = nullptr;
    std::size_t size = 0;
    host::GameRecord record{open_memstream(&buffer, &size)};
    if (record.file == nullptr) {
        return {};
    }
    WriteLines(FinishedLog(game, names), record, nullptr);
    host::CloseRecord(record);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < size;) {
        const char* end = static_cast<const char*>(std::memchr(buffer + start, '\n', size - start));
        const std::size_t stop = end != nullptr ? static_cast<std::size_t>(end - buffer) : size;
        lines.emplace_back(buffer + start, stop - start);
        start = stop + 1;
    }
    std::free(buffer);
    return lines;
}

bool SaveGame(const GameInPlay& game, const std::string (&names)[2], const std::string& folder,
              std::string& error) {
    const host::GameLog log = FinishedLog(game, names);
    host::GameRecord record;
    if (!host::OpenRecord(record, folder + "/record.jsonl", error)) {
        return false;
    }
    const std::string data = folder + "/" + host::ReplayDataFile;
    std::FILE* replay = std::fopen(data.c_str(), "w");
    if (replay == nullptr) {
        error = "cannot write " + data + ": " + std::strerror(errno);
        host::CloseRecord(record);
        return false;
    }
    WriteLines(log, record, replay);
    host::CloseRecord(record);
    const bool written = std::fclose(replay) == 0;
    if (!written || !host::WriteReplayPage(log.setup, folder + "/replay.html")) {
        error = "cannot write the replay in " + folder;
        return false;
    }
    return true;
}

}  // namespace python
