#include "host/game_runner.h"

#include "host/engine_process.h"
#include "host/game_record.h"
#include "host/noise.h"
#include "host/protocol.h"
#include "host/replay_page.h"

#include <cassert>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace host {

namespace {

struct Game {
    GameLog log;
    const SheetModel* model = nullptr;
    const ProgressCallback* progress = nullptr;
    GameRecord record;
    EngineProcess engines[2];
    bool started[2] = {false, false};
    std::FILE* replay = nullptr;  // the replay's data file, appended to as the game goes
    int restarts[2] = {0, 0};
};

// An engine that needs more restarts than this in one game forfeits it.
constexpr int MaxRestarts = 3;

std::string LogPath(const Game& game, int team) {
    return game.log.setup.folder + "/engine-" + std::to_string(EngineNumber(game.log.setup, team)) + ".log";
}

std::string EngineName(const Game& game, int team) {
    return "engine " + std::to_string(EngineNumber(game.log.setup, team)) + " (" +
           game.log.setup.engines[team] + ")";
}

void Forfeit(Game& game, int team, const std::string& what) {
    game.log.outcome.forfeited[team] = true;
    std::string message = EngineName(game, team) + ' ' + what;
    // The last line an engine wrote on its standard error: usually the best clue to why it stopped.
    std::string clue = Printable(LastLogLine(game.engines[team]));
    if (!clue.empty()) {
        message += "; the last line of its log: \"" + clue + '"';
    }
    message += "; it forfeits the game";
    game.log.forfeitMessage += (game.log.forfeitMessage.empty() ? "" : "\n") + message;
}

void StartEngines(Game& game) {
    for (int team = 0; team < 2; ++team) {
        std::string error;
        EngineProcess& engine = game.engines[team];
        game.started[team] = engine.log.Open(LogPath(game, team), game.log.setup.logLimitBytes, error) &&
                             StartEngine(game.log.setup.engines[team], engine, error);
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

// Why the commands could not be written before `what`, or "" when they were.
std::string SendAll(EngineProcess& engine, const std::vector<std::string>& commands, Deadline deadline,
                    double seconds, const std::string& what) {
    for (const std::string& command : commands) {
        const platform::WriteStatus status = SendCommand(engine, command, deadline);
        if (status == platform::WriteStatus::Closed) {
            return "stopped reading its input before " + what + " (it " + DescribeEnd(engine) + ')';
        }
        if (status == platform::WriteStatus::TimedOut) {
            return "left its input unread: commands before " + what + " could not be written within " +
                   Seconds(seconds);
        }
    }
    return "";
}

// Why the engine failed its ready check, or "" when it answered READYOK in time.
std::string AwaitReady(EngineProcess& engine, Deadline deadline, double seconds) {
    std::string reply;
    const ReplyStatus status = AwaitReply(engine, deadline, reply);
    if (status == ReplyStatus::Closed) {
        return DescribeEnd(engine) + " before answering ISREADY";
    }
    if (status == ReplyStatus::TimedOut) {
        return "did not answer ISREADY within " + Seconds(seconds);
    }
    return IsReadyReply(reply) ? "" : "answered ISREADY with \"" + Printable(reply) + "\" instead of READYOK";
}

const std::vector<std::string> ReadyCheck = {"NEWGAME\n", "ISREADY\n"};

// NEWGAME and ISREADY go to both engines first, so that they prepare at the same time.
void CheckReady(Game& game) {
    const double seconds = game.log.setup.shotTimeout;
    const Deadline deadline = SecondsFromNow(seconds);
    for (int team = 0; team < 2; ++team) {
        if (!game.started[team]) {
            continue;
        }
        const std::string fault =
            SendAll(game.engines[team], ReadyCheck, deadline, seconds, "the ready check");
        if (!fault.empty()) {
            Forfeit(game, team, fault);
            game.started[team] = false;
        }
    }
    for (int team = 0; team < 2; ++team) {
        if (game.started[team]) {
            const std::string fault = AwaitReady(game.engines[team], deadline, seconds);
            if (!fault.empty()) {
                Forfeit(game, team, fault);
            }
        }
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// After a shot's time ran out, the engine may still be searching: it gets the grace period to answer the
// stale GO, whose answer is dropped, or it is restarted, so that it never eats into the next shot's time.
// False when it is gone or cannot be restarted (it forfeits).
bool Recover(Game& game, int team, ShotEntry& entry) {
    EngineProcess& engine = game.engines[team];
    const GameSetup& setup = game.log.setup;
    std::string late;
    const ReplyStatus status = AwaitReply(engine, SecondsFromNow(setup.graceSeconds), late);
    if (status == ReplyStatus::Received) {
        entry.fault += "; the late reply came within the grace period and was dropped";
        return true;
    }
    if (status == ReplyStatus::Closed) {
        Forfeit(game, team, DescribeEnd(engine) + " after a shot's time ran out");
        return false;
    }
    if (game.restarts[team] == MaxRestarts) {
        Forfeit(game, team,
                "did not answer GO within " + Seconds(setup.shotTimeout) + " and the grace period of " +
                    Seconds(setup.graceSeconds) + " once more after " + std::to_string(MaxRestarts) +
                    " restarts");
        return false;
    }
    ++game.restarts[team];
    entry.fault +=
        "; no reply within the grace period of " + Seconds(setup.graceSeconds) + " either: restarted";
    entry.restarted = true;
    engine.log.Note(
        "curling-match: no reply to GO within the shot's time and the grace period; restarting it");
    StopEngine(engine);
    std::string fault;
    const Deadline deadline = SecondsFromNow(setup.shotTimeout);
    if (!StartEngine(setup.engines[team], engine, fault)) {
        fault = "cannot be started again: " + fault;
    } else {
        fault = SendAll(engine, ReadyCheck, deadline, setup.shotTimeout, "the ready check after its restart");
        if (fault.empty()) {
            fault = AwaitReady(engine, deadline, setup.shotTimeout);
        }
    }
    if (!fault.empty()) {
        Forfeit(game, team, "was restarted after a shot without reply, but " + fault);
        return false;
    }
    return true;
}

// Asks the engine of the team to throw for its shot. False when the engine is gone (it forfeits);
// otherwise the entry says whether a usable shot came back.
bool RequestShot(Game& game, const records::GameState& state, int endsNow, ShotEntry& entry) {
    EngineProcess& engine = game.engines[entry.team];
    const double seconds = game.log.setup.shotTimeout;
    std::string where = "shot " + std::to_string(entry.shot + 1) + " of end " + std::to_string(entry.end + 1);
    int hammerToThrow = entry.shot % 2 == 1 ? 1 : 0;
    auto start = std::chrono::steady_clock::now();
    const Deadline deadline = SecondsFromNow(seconds);
    // Nothing sent before this GO may answer it.
    entry.dropped = Printable(TakeUnasked(engine));
    const std::string fault = SendAll(
        engine,
        {PositionCommand(state), SetStateCommand(entry.shot, entry.end, endsNow, hammerToThrow), "GO\n"},
        deadline, seconds, where);
    if (!fault.empty()) {
        Forfeit(game, entry.team, fault);
        return false;
    }
    std::string reply;
    ReplyStatus status = AwaitReply(engine, deadline, reply);
    entry.seconds = SecondsSince(start);
    if (status == ReplyStatus::Closed) {
        Forfeit(game, entry.team, DescribeEnd(engine) + " while choosing " + where);
        return false;
    }
    if (status == ReplyStatus::TimedOut) {
        entry.fault = "no reply within " + Seconds(seconds);
        entry.reply = Printable(engine.received);
        return Recover(game, entry.team, entry);
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

// What the engines are told after a shot: the stones still to come at (0, 0), the others at (0, 0) or
// in play.
[[maybe_unused]] bool SoundAfterShot(const records::GameState& state, int shot, const SheetModel& model) {
    for (int i = 0; i < records::StoneCount; ++i) {
        const records::StonePosition& stone = state.stones[i];
        const bool away = stone.x == 0.0f && stone.y == 0.0f;
        if (!away && (i > shot || !model.inPlay(stone))) {
            return false;
        }
    }
    return state.shotNumber == shot + 1;
}

void Play(Game& game, records::GameState& state, ShotEntry& entry) {
    const GameSetup& setup = game.log.setup;
    assert(state.shotNumber == entry.shot);
    if (entry.delivered) {
        int shotIndex = entry.end * StonesPerEnd + entry.shot;
        // Both games of a pair draw the same noise for the same shot of the same end.
        NoiseOffset offset =
            DrawNoise(setup.seed, setup.pair > 0 ? setup.pair : setup.game, shotIndex, setup.noiseScale);
        Delivery delivery = Deliver(*game.model, entry.sent, offset, setup.noiseScale);
        entry.played = delivery.played;
        entry.aimed = delivery.aimed;
        entry.moved = delivery.moved;
        // Shot 0..15 of an end is always played.
        [[maybe_unused]] const bool played = game.model->simulateShot(state, delivery.played, entry.path);
        assert(played);
    } else {
        state.stones[entry.shot] = records::StonePosition{0.0f, 0.0f};  // delivered, out of play
    }
    state.shotNumber = entry.shot + 1;
    RemoveStonesOutOfPlay(state, *game.model);
    assert(SoundAfterShot(state, entry.shot, *game.model));
    for (int i = 0; i < records::StoneCount; ++i) {
        entry.stones[i] = state.stones[i];
    }
}

// The page once, then the data it loads, a line for the game; every line is flushed as it is written.
void StartReplay(Game& game) {
    const GameSetup& setup = game.log.setup;
    const std::string page = setup.folder + "/replay.html";
    const std::string data = setup.folder + "/" + ReplayDataFile;
    game.replay = std::fopen(data.c_str(), "w");
    if (!WriteReplayPage(setup, page) || game.replay == nullptr) {
        std::fprintf(stderr, "curling-match: cannot write %s; the record still follows the game\n",
                     page.c_str());
    }
}

void AppendReplay(Game& game, const std::string& line) {
    if (game.replay != nullptr) {
        std::fputs(line.c_str(), game.replay);
        std::fflush(game.replay);
    }
}

void Report(Game& game) {
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
        AppendReplay(game, ReplayShotLine(entry, game.log.setup));
        Report(game);
    }
    assert(state.shotNumber == StonesPerEnd);
    int houseScore = game.model->endScore(state);
    RecordEnd(progress, houseScore);
    const EndResult& result = progress.ends.back();
    EndEntry end;
    end.end = endIndex;
    end.hammer = result.hammer;
    for (int team = 0; team < 2; ++team) {
        end.points[team] = result.points[team];
        end.totals[team] = progress.totals[team];
        // A dead or deaf engine shows up at its next request; the score is only information for it.
        static_cast<void>(SendCommand(game.engines[team],
                                      ScoreCommand(result.points[team] - result.points[1 - team]),
                                      SecondsFromNow(game.log.setup.shotTimeout)));
    }
    game.log.ends.push_back(end);
    WriteEndLine(game.record, end, progress.hammer);
    AppendReplay(game, ReplayEndLine(end));
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
    for (int team = 0; team < 2; ++team) {
        if (game.started[team]) {
            StopEngine(game.engines[team]);
        }
        game.log.logCut[team] = game.engines[team].log.WasCut();
    }
    WriteResultLine(game.record, game.log);
    AppendReplay(game, ReplayResultLine(game.log));
    if (game.replay != nullptr) {
        std::fclose(game.replay);
    }
    CloseRecord(game.record);
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
    StartReplay(game);
    AppendReplay(game, ReplayGameLine(setup));
    StartEngines(game);
    CheckReady(game);
    assert(setup.ends >= 1 && (setup.firstHammer == 0 || setup.firstHammer == 1));
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
