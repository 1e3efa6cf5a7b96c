#pragma once

#include "studio/api_reply.h"

#include <nlohmann/json.hpp>
#include "records/game_state.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// Games played in the studio: a person against the engine, or the engine against itself, under the
// match host's referee (its rules, its noise from the seed, its removal of stones out of play), so the
// same seed gives the game curling-match gives. Each game is recorded as the host records one, in a
// folder of its own under the matches folder: Watch lists it and its replay.html opens it.
namespace studio {

enum class Player { Person, Engine };

struct GameRequest {
    Player players[2] = {Player::Person, Player::Engine};  // red (team 0), then yellow
    int ends = 8;
    uint64_t seed = 1;
    int firstHammer = 1;  // the team that throws last in the first end, as in a match's first game
};

// Reads {"players": ["person"|"engine", ...], "ends", "seed", "firstHammer"}; all but players optional.
[[nodiscard]] bool ReadGameRequest(const nlohmann::json& body, GameRequest& request, std::string& error);

struct StudioGame;

// Every game of this run of the studio, by id. Safe to call from any number of threads.
class GameTable {
public:
    GameTable(std::string matchesFolder, std::string enginePath);
    ~GameTable();  // stops every game's engines
    GameTable(const GameTable&) = delete;
    GameTable& operator=(const GameTable&) = delete;

    // Starts a game and answers its state; its engines get ready in the background.
    ApiReply Create(const GameRequest& request);
    ApiReply State(const std::string& id);
    // A person's stone, as sent: 409 when it is not a person's turn or the game is over.
    ApiReply PersonShot(const std::string& id, const records::ShotVector& sent);
    // The game's record, for its event stream. False with the refusal for an unknown game.
    [[nodiscard]] bool RecordPath(const std::string& id, std::string& path, ApiReply& refusal);

private:
    std::shared_ptr<StudioGame> Find(const std::string& id);

    std::string matches_;
    std::string engine_;
    std::mutex mutex_;
    int nextId_ = 1;
    std::map<std::string, std::shared_ptr<StudioGame>> games_;
};

}  // namespace studio
