#include "python/game_in_play.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <thread>

namespace python {

GameInPlay StartGame(int ends, uint64_t seed, double noise, int game, int hammer) {
    GameInPlay started;
    started.setup.ends = ends;
    started.setup.seed = seed;
    started.setup.noiseScale = noise;
    started.setup.game = game;
    started.setup.firstHammer = hammer;
    started.referee = host::StartReferee(started.setup);
    started.log.setup = started.setup;
    return started;
}

const host::SheetModel& EngineSheet() {
    static const host::SheetModel sheet = host::EngineSheetModel();
    return sheet;
}

void PlayNext(GameInPlay& game, const records::ShotVector& sent, bool paths) {
    host::ShotEntry entry;
    entry.delivered = true;
    entry.sent = sent;
    game.referee.keepPaths = paths;
    const bool played = host::PlayStone(game.referee, EngineSheet(), std::move(entry), game.log);
    assert(played);
    static_cast<void>(played);
}

void PlayNextOnThreads(const std::vector<GameInPlay*>& games, const std::vector<records::ShotVector>& sent,
                       int threads, bool paths) {
    assert(games.size() == sent.size());
    const int count = static_cast<int>(games.size());
    std::atomic<int> next{0};
    auto play = [&] {
        for (int i = next++; i < count; i = next++) {
            PlayNext(*games[static_cast<std::size_t>(i)], sent[static_cast<std::size_t>(i)], paths);
        }
    };
    EngineSheet().warmUp();
    const int helpers = std::max(0, std::min(threads, count) - 1);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(helpers));
    for (int t = 0; t < helpers; ++t) {
        workers.emplace_back(play);
    }
    play();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

}  // namespace python
