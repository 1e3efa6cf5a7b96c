#include "studio/games.h"

#include "host/game_record.h"
#include "host/match_runner.h"
#include "host/protocol.h"
#include "host/referee.h"
#include "host/replay_page.h"
#include "host/sheet_model.h"
#include "studio/engine_seat.h"
#include "studio/requests.h"

#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>

namespace studio {

// One game and what plays it. The mutex guards everything but the seats, which only the game's own
// thread touches.
struct StudioGame {
    std::string id;
    std::string folder;  // its name under the matches folder
    Player players[2] = {Player::Person, Player::Engine};
    host::Referee referee;
    host::GameLog log;
    host::GameRecord record;
    std::FILE* replay = nullptr;
    EngineSeat seats[2];
    int scoresSent = 0;  // ends whose score the engines have been told
    bool thinking = false;
    bool over = false;
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable wake;
    std::thread engines;
};

namespace {

using nlohmann::json;

constexpr int MaxRunningGames = 4;  // each engine team is a process with the search's tables
constexpr std::size_t KeptGames = 64;

const char* PlayerName(Player player) {
    return player == Player::Person ? "person" : "engine";
}

void AppendReplay(StudioGame& game, const std::string& line) {
    if (game.replay != nullptr) {
        std::fputs(line.c_str(), game.replay);
        std::fflush(game.replay);
    }
}

// The folder, the record and the replay page, as the match host starts them.
bool StartFiles(StudioGame& game, std::string& error) {
    const host::GameSetup& setup = game.log.setup;
    if (!host::MakeFolders(setup.folder, error) ||
        !host::OpenRecord(game.record, setup.folder + "/record.jsonl", error)) {
        return false;
    }
    host::WriteGameLine(game.record, setup);
    game.replay = std::fopen((setup.folder + "/" + host::ReplayDataFile).c_str(), "w");
    if (!host::WriteReplayPage(setup, setup.folder + "/replay.html") || game.replay == nullptr) {
        error = "cannot write the replay page in " + setup.folder;
        return false;
    }
    AppendReplay(game, host::ReplayGameLine(setup));
    return true;
}

void Finish(StudioGame& game) {
    host::GameOutcome& outcome = game.log.outcome;
    const host::GameOutcome onPoints = host::Outcome(game.referee);
    outcome.totals[0] = onPoints.totals[0];
    outcome.totals[1] = onPoints.totals[1];
    if (outcome.forfeited[0] != outcome.forfeited[1]) {
        outcome.winner = outcome.forfeited[0] ? 1 : 0;
    } else if (!outcome.forfeited[0]) {
        outcome.winner = onPoints.winner;
    }
    game.log.finished = true;
    game.over = true;
    host::WriteResultLine(game.record, game.log);
    AppendReplay(game, host::ReplayResultLine(game.log));
    if (game.replay != nullptr) {
        std::fclose(game.replay);
        game.replay = nullptr;
    }
    host::CloseRecord(game.record);
}

// Plays the next stone with what its thrower chose, and records it as the match host records a stone.
void PlayAndRecord(StudioGame& game, host::ShotEntry entry) {
    // The game is not over, so the stone is played.
    static_cast<void>(host::PlayStone(game.referee, host::EngineSheetModel(), std::move(entry), game.log));
    const host::ShotEntry& shot = game.log.shots.back();
    host::WriteShotLine(game.record, shot);
    AppendReplay(game, host::ReplayShotLine(shot, game.log.setup));
    if (shot.shot == host::StonesPerEnd - 1) {
        const host::EndEntry& end = game.log.ends.back();
        host::WriteEndLine(game.record, end);
        AppendReplay(game, host::ReplayEndLine(end));
    }
    if (host::GameOver(game.referee)) {
        Finish(game);
    }
}

void Forfeit(StudioGame& game, int team, const std::string& why) {
    game.log.outcome.forfeited[team] = true;
    game.log.forfeitMessage =
        std::string(team == 0 ? "red" : "yellow") + " (the engine) " + why + "; it forfeits the game";
    Finish(game);
}

bool EngineToThrow(const StudioGame& game) {
    return game.players[host::NextStone(game.referee).team] == Player::Engine;
}

// Tells the engines the scores of the ends played since they were last told, as the match host does.
void SendScores(StudioGame& game, const std::vector<host::EndEntry>& ends) {
    for (; game.scoresSent < static_cast<int>(ends.size()); ++game.scoresSent) {
        const host::EndEntry& end = ends[static_cast<std::size_t>(game.scoresSent)];
        for (int team = 0; team < 2; ++team) {
            if (game.players[team] == Player::Engine) {
                static_cast<void>(host::SendCommand(
                    game.seats[team].process, host::ScoreCommand(end.points[team] - end.points[1 - team]),
                    host::SecondsFromNow(game.seats[team].seconds)));
            }
        }
    }
}

// The game's own thread: readies its engines, then throws each engine stone as its turn comes.
void RunEngines(StudioGame& game) {
    for (int team = 0; team < 2; ++team) {
        std::string error;
        if (game.players[team] == Player::Engine &&
            !StartSeat(game.seats[team], game.log.setup.engines[team],
                       game.log.setup.folder + "/engine-" + std::to_string(team + 1) + ".log", error)) {
            std::lock_guard<std::mutex> lock(game.mutex);
            Forfeit(game, team, "could not start: " + error);
            break;
        }
    }
    std::unique_lock<std::mutex> lock(game.mutex);
    for (;;) {
        game.wake.wait(lock, [&game] { return game.stopping || game.over || EngineToThrow(game); });
        if (game.stopping || game.over) {
            break;
        }
        host::ShotEntry entry = host::NextStone(game.referee);
        const records::GameState position = game.referee.end;
        const int ends = host::EndsNow(game.referee);
        const std::vector<host::EndEntry> endsSoFar = game.log.ends;
        game.thinking = true;
        lock.unlock();
        SendScores(game, endsSoFar);
        std::string fault;
        EngineSeat& seat = game.seats[entry.team];
        entry.delivered = AskShot(seat, position, entry.shot, entry.end, ends, entry.sent, fault);
        const bool gone = !entry.delivered && platform::WaitForChild(seat.process.child, 0.0);
        lock.lock();
        game.thinking = false;
        if (game.stopping) {
            break;
        }
        if (gone) {
            Forfeit(game, entry.team, "ended while choosing: " + fault);
            break;
        }
        entry.fault = fault;
        PlayAndRecord(game, std::move(entry));
        game.wake.notify_all();
    }
    lock.unlock();
    for (EngineSeat& seat : game.seats) {
        StopSeat(seat);
    }
}

json StateJson(const StudioGame& game) {
    const host::Referee& referee = game.referee;
    const host::ShotEntry next = host::NextStone(referee);
    json ends = json::array();
    for (const host::EndEntry& end : game.log.ends) {
        ends.push_back({{"points", {end.points[0], end.points[1]}}, {"hammer", end.hammer}});
    }
    json stones = json::array();
    for (const records::StonePosition& stone : referee.end.stones) {
        stones.push_back(StoneJson(stone));
    }
    const char* waiting = game.over ? "nobody" : PlayerName(game.players[next.team]);
    return {{"id", game.id},
            {"folder", game.folder},
            {"players", {PlayerName(game.players[0]), PlayerName(game.players[1])}},
            {"regularEnds", referee.progress.regularEnds},
            {"seed", referee.seed},
            {"end", next.end},
            {"shotNumber", referee.end.shotNumber},
            {"hammer", referee.progress.hammer},
            {"toThrow", next.team},
            {"waitingFor", waiting},
            {"thinking", game.thinking},
            {"over", game.over},
            {"totals", {referee.progress.totals[0], referee.progress.totals[1]}},
            {"ends", std::move(ends)},
            {"stones", std::move(stones)},
            {"shots", game.log.shots.size()},
            {"message", game.log.forfeitMessage}};
}

std::string FolderName(int id) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    return "studio-" + std::string(stamp) + "-game" + std::to_string(id);
}

}  // namespace

bool ReadGameRequest(const json& body, GameRequest& request, std::string& error) {
    request = GameRequest{};
    const auto players = body.find("players");
    if (players == body.end() || !players->is_array() || players->size() != 2) {
        error = "\"players\" must be two of \"person\" and \"engine\", red first";
        return false;
    }
    for (int team = 0; team < 2; ++team) {
        const json& player = (*players)[static_cast<std::size_t>(team)];
        if (player != "person" && player != "engine") {
            error = "\"players\" must be two of \"person\" and \"engine\", red first";
            return false;
        }
        request.players[team] = player == "person" ? Player::Person : Player::Engine;
    }
    long long ends = request.ends;
    long long hammer = request.firstHammer;
    if (!ReadOptionalInteger(body, "ends", 1, 10, ends, error) ||
        !ReadOptionalSeed(body, "seed", request.seed, error) ||
        !ReadOptionalInteger(body, "firstHammer", 0, 1, hammer, error)) {
        return false;
    }
    request.ends = static_cast<int>(ends);
    request.firstHammer = static_cast<int>(hammer);
    return true;
}

GameTable::GameTable(std::string matchesFolder, std::string enginePath)
    : matches_(std::move(matchesFolder)), engine_(std::move(enginePath)) {}

GameTable::~GameTable() {
    for (auto& entry : games_) {
        StudioGame& game = *entry.second;
        {
            std::lock_guard<std::mutex> lock(game.mutex);
            game.stopping = true;
        }
        // An engine still choosing is stopped rather than waited for.
        for (const EngineSeat& seat : game.seats) {
            if (seat.process.child.pid > 0) {
                platform::KillChild(seat.process.child);
            }
        }
        game.wake.notify_all();
        if (game.engines.joinable()) {
            game.engines.join();
        }
    }
}

std::shared_ptr<StudioGame> GameTable::Find(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = games_.find(id);
    return found == games_.end() ? nullptr : found->second;
}

ApiReply GameTable::Create(const GameRequest& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    int running = 0;
    for (auto& entry : games_) {
        std::lock_guard<std::mutex> gameLock(entry.second->mutex);
        running += entry.second->over ? 0 : 1;
    }
    if (running >= MaxRunningGames) {
        return ErrorReply(503, "four games are being played already; finish one first");
    }
    auto game = std::make_shared<StudioGame>();
    game->id = std::to_string(nextId_++);
    game->folder = FolderName(std::stoi(game->id));
    host::GameSetup& setup = game->log.setup;
    setup.ends = request.ends;
    setup.seed = request.seed;
    setup.firstHammer = request.firstHammer;
    setup.folder = matches_ + "/" + game->folder;
    for (int team = 0; team < 2; ++team) {
        game->players[team] = request.players[team];
        setup.engines[team] =
            request.players[team] == Player::Engine ? engine_ : "a person in curling-studio";
    }
    game->referee = host::StartReferee(setup);
    std::string error;
    if (!StartFiles(*game, error)) {
        return ErrorReply(500, error);
    }
    game->engines = std::thread(RunEngines, std::ref(*game));
    // Finished games beyond the kept number go, oldest first; their folders stay.
    for (auto it = games_.begin(); games_.size() >= KeptGames && it != games_.end();) {
        bool over = false;
        {
            std::lock_guard<std::mutex> gameLock(it->second->mutex);
            over = it->second->over;
        }
        if (!over) {
            ++it;
            continue;
        }
        if (it->second->engines.joinable()) {
            it->second->engines.join();  // its thread has nothing left but stopping its engines
        }
        it = games_.erase(it);
    }
    games_[game->id] = game;
    std::lock_guard<std::mutex> gameLock(game->mutex);
    return JsonReply(StateJson(*game));
}

ApiReply GameTable::State(const std::string& id) {
    const std::shared_ptr<StudioGame> game = Find(id);
    if (!game) {
        return ErrorReply(404, "no such game: " + id);
    }
    std::lock_guard<std::mutex> lock(game->mutex);
    return JsonReply(StateJson(*game));
}

ApiReply GameTable::PersonShot(const std::string& id, const records::ShotVector& sent) {
    const std::shared_ptr<StudioGame> game = Find(id);
    if (!game) {
        return ErrorReply(404, "no such game: " + id);
    }
    std::lock_guard<std::mutex> lock(game->mutex);
    if (game->over) {
        return ErrorReply(409, "the game is over");
    }
    if (EngineToThrow(*game)) {
        return ErrorReply(409, "it is the engine's turn, not a person's");
    }
    host::ShotEntry entry = host::NextStone(game->referee);
    entry.delivered = true;
    entry.sent = sent;
    PlayAndRecord(*game, std::move(entry));
    game->wake.notify_all();
    return JsonReply(StateJson(*game));
}

bool GameTable::RecordPath(const std::string& id, std::string& path, ApiReply& refusal) {
    const std::shared_ptr<StudioGame> game = Find(id);
    if (!game) {
        refusal = ErrorReply(404, "no such game: " + id);
        return false;
    }
    path = game->log.setup.folder + "/record.jsonl";
    return true;
}

}  // namespace studio
