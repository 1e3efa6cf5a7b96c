#include "host/game_runner.h"

#include "host/engine_process.h"
#include "host/game_record.h"
#include "host/noise.h"
#include "host/protocol.h"
#include "host/replay_page.h"

#include <chrono>
#include <cstdio>
#include <fstream>

namespace host {

namespace {

struct Game {
    GameLog log;
    const SheetModel* model = nullptr;
    const ProgressCallback* progress = nullptr;
    GameRecord record;
    EngineProcess engines[2];
    bool started[2] = {false, false};
    bool pageFailed = false;  // said once per game
};

std::string LogPath(const Game& game, int team) {
    return game.log.setup.folder + "/engine-" + std::to_string(team + 1) + ".log";
}

std::string EngineName(const Game& game, int team) {
    return "engine " + std::to_string(team + 1) + " (" + game.log.setup.engines[team] + ")";
}

// The last line an engine wrote on its standard error: usually the best clue to why it stopped.
std::string LastLogLine(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string last;
    for (std::string line; std::getline(file, line);) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) {
            last = line;
        }
    }
    return Printable(last);
}

void Forfeit(Game& game, int team, const std::string& what) {
    game.log.outcome.forfeited[team] = true;
    std::string message = EngineName(game, team) + ' ' + what;
    std::string clue = LastLogLine(LogPath(game, team));
    if (!clue.empty()) {
        message += "; the last line of its log: \"" + clue + '"';
    }
    message += "; it forfeits the game";
    game.log.forfeitMessage += (game.log.forfeitMessage.empty() ? "" : "\n") + message;
}

void StartEngines(Game& game) {
    for (int team = 0; team < 2; ++team) {
        std::string error;
        game.started[team] =
            StartEngine(game.log.setup.engines[team], LogPath(game, team), game.engines[team], error);
        if (!game.started[team]) {
            Forfeit(game, team, "cannot be started: " + error);
        }
    }
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g s", seconds);
    return text;
}

// NEWGAME and ISREADY go to both engines first, so that they prepare at the same time.
void CheckReady(Game& game) {
    for (int team = 0; team < 2; ++team) {
        if (game.started[team] &&
            !(SendCommand(game.engines[team], "NEWGAME\n") && SendCommand(game.engines[team], "ISREADY\n"))) {
            Forfeit(game, team,
                    "stopped reading its input before the ready check (it " +
                        DescribeEnd(game.engines[team]) + ')');
            game.started[team] = false;
        }
    }
    for (int team = 0; team < 2; ++team) {
        if (!game.started[team]) {
            continue;
        }
        std::string reply;
        ReplyStatus status = AwaitReply(game.engines[team], game.log.setup.shotTimeout, reply);
        if (status == ReplyStatus::Closed) {
            Forfeit(game, team, DescribeEnd(game.engines[team]) + " before answering ISREADY");
        } else if (status == ReplyStatus::TimedOut) {
            Forfeit(game, team, "did not answer ISREADY within " + Seconds(game.log.setup.shotTimeout));
        } else if (!IsReadyReply(reply)) {
            Forfeit(game, team, "answered ISREADY with \"" + Printable(reply) + "\" instead of READYOK");
        }
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Asks the engine of the team to throw for its shot. False when the engine is gone (it forfeits);
// otherwise the entry says whether a usable shot came back.
bool RequestShot(Game& game, const records::GameState& state, int endsNow, ShotEntry& entry) {
    EngineProcess& engine = game.engines[entry.team];
    std::string where = "shot " + std::to_string(entry.shot + 1) + " of end " + std::to_string(entry.end + 1);
    int hammerToThrow = entry.shot % 2 == 1 ? 1 : 0;
    auto start = std::chrono::steady_clock::now();
    if (!SendCommand(engine, PositionCommand(state)) ||
        !SendCommand(engine, SetStateCommand(entry.shot, entry.end, endsNow, hammerToThrow)) ||
        !SendCommand(engine, "GO\n")) {
        Forfeit(game, entry.team,
                "stopped reading its input before " + where + " (it " + DescribeEnd(engine) + ')');
        return false;
    }
    std::string reply;
    ReplyStatus status = AwaitReply(engine, game.log.setup.shotTimeout, reply);
    entry.seconds = SecondsSince(start);
    if (status == ReplyStatus::Closed) {
        Forfeit(game, entry.team, DescribeEnd(engine) + " while choosing " + where);
        return false;
    }
    if (status == ReplyStatus::TimedOut) {
        entry.fault = "no reply within " + Seconds(game.log.setup.shotTimeout);
        return true;
    }
    ParsedShot parsed = ParseBestShot(reply);
    if (parsed.fault != ReplyFault::None) {
        entry.fault = parsed.why;
        entry.reply = Printable(reply);
        return true;
    }
    entry.delivered = true;
    entry.sent = parsed.shot;
    return true;
}

void Play(Game& game, records::GameState& state, ShotEntry& entry) {
    const GameSetup& setup = game.log.setup;
    state.shotNumber = entry.shot;
    if (entry.delivered) {
        int shotIndex = entry.end * StonesPerEnd + entry.shot;
        NoiseOffset offset = DrawNoise(setup.seed, setup.game, shotIndex, setup.noiseScale);
        Delivery delivery = Deliver(*game.model, entry.sent, offset, setup.noiseScale);
        entry.played = delivery.played;
        entry.aimed = delivery.aimed;
        entry.moved = delivery.moved;
        game.model->simulateShot(state, delivery.played);
    } else {
        state.stones[entry.shot] = records::StonePosition{0.0f, 0.0f};  // delivered, out of play
    }
    state.shotNumber = entry.shot + 1;
    RemoveStonesOutOfPlay(state, *game.model);
    for (int i = 0; i < records::StoneCount; ++i) {
        entry.stones[i] = state.stones[i];
    }
}

void WritePage(Game& game) {
    const std::string path = game.log.setup.folder + "/replay.html";
    if (!WriteReplayPage(game.log, path) && !game.pageFailed) {
        game.pageFailed = true;
        std::fprintf(stderr, "curling-match: cannot write %s; the record still follows the game\n",
                     path.c_str());
    }
}

void Report(Game& game) {
    WritePage(game);
    if (*game.progress) {
        (*game.progress)(game.log);
    }
}

// Plays the 16 stones of an end and scores it. False when an engine forfeited during the end.
bool PlayEnd(Game& game, GameProgress& progress) {
    int endIndex = static_cast<int>(progress.ends.size());
    int endsNow = endIndex < progress.regularEnds ? progress.regularEnds : endIndex + 1;
    records::GameState state{};
    state.currentEnd = endIndex;
    for (int shot = 0; shot < StonesPerEnd; ++shot) {
        ShotEntry entry;
        entry.end = endIndex;
        entry.shot = shot;
        entry.team = TeamForShot(progress.hammer, shot);
        if (!RequestShot(game, state, endsNow, entry)) {
            return false;
        }
        Play(game, state, entry);
        game.log.shots.push_back(entry);
        WriteShotLine(game.record, entry);
        Report(game);
    }
    int houseScore = game.model->endScore(state);
    RecordEnd(progress, houseScore);
    const EndResult& result = progress.ends.back();
    EndEntry end;
    end.end = endIndex;
    end.hammer = result.hammer;
    for (int team = 0; team < 2; ++team) {
        end.points[team] = result.points[team];
        end.totals[team] = progress.totals[team];
        // A dead engine shows up at its next request; the score is only information for it.
        static_cast<void>(
            SendCommand(game.engines[team], ScoreCommand(result.points[team] - result.points[1 - team])));
    }
    game.log.ends.push_back(end);
    WriteEndLine(game.record, end, progress.hammer);
    Report(game);
    return true;
}

void Finish(Game& game, const GameProgress& progress) {
    GameOutcome& outcome = game.log.outcome;
    outcome.totals[0] = progress.totals[0];
    outcome.totals[1] = progress.totals[1];
    if (outcome.forfeited[0] != outcome.forfeited[1]) {
        outcome.winner = outcome.forfeited[0] ? 1 : 0;
    } else if (!outcome.forfeited[0]) {
        outcome.winner = Leader(progress);
    }
    game.log.finished = true;
    WriteResultLine(game.record, game.log);
    CloseRecord(game.record);
    for (int team = 0; team < 2; ++team) {
        if (game.started[team]) {
            StopEngine(game.engines[team]);
        }
    }
    WritePage(game);
}

}  // namespace

void RemoveStonesOutOfPlay(records::GameState& state, const SheetModel& model) {
    for (records::StonePosition& stone : state.stones) {
        if ((stone.x != 0.0f || stone.y != 0.0f) && !model.inPlay(stone)) {
            stone = records::StonePosition{0.0f, 0.0f};
        }
    }
}

GameLog PlayGame(const GameSetup& setup, const SheetModel& model, const ProgressCallback& progress) {
    Game game;
    game.log.setup = setup;
    game.model = &model;
    game.progress = &progress;
    std::string error;
    if (!OpenRecord(game.record, setup.folder + "/record.jsonl", error)) {
        std::fprintf(stderr, "curling-match: %s\n", error.c_str());
    }
    WriteGameLine(game.record, setup);
    StartEngines(game);
    CheckReady(game);
    GameProgress state;
    state.regularEnds = setup.ends;
    state.hammer = setup.firstHammer;
    bool playing = !game.log.outcome.forfeited[0] && !game.log.outcome.forfeited[1];
    while (playing && !GameOver(state)) {
        playing = PlayEnd(game, state);
    }
    Finish(game, state);
    return game.log;
}

}  // namespace host
