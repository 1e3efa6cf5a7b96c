#include "host/referee.h"

#include "host/noise.h"

#include <cassert>
#include <utility>

namespace host {

namespace {

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

void StartEnd(Referee& referee) {
    referee.end = records::GameState{};
    referee.end.currentEnd = static_cast<int32_t>(referee.progress.ends.size());
}

// Scores the end just completed and starts the next one.
void ScoreEnd(Referee& referee, const SheetModel& model, GameLog& log) {
    GameProgress& progress = referee.progress;
    RecordEnd(progress, model.endScore(referee.end));
    const EndResult& result = progress.ends.back();
    EndEntry end;
    end.end = static_cast<int>(progress.ends.size()) - 1;
    end.hammer = result.hammer;
    for (int team = 0; team < 2; ++team) {
        end.points[team] = result.points[team];
        end.totals[team] = progress.totals[team];
    }
    end.nextHammer = progress.hammer;
    log.ends.push_back(end);
    StartEnd(referee);
}

}  // namespace

Referee StartReferee(const GameSetup& setup) {
    assert(setup.ends >= 1 && (setup.firstHammer == 0 || setup.firstHammer == 1));
    Referee referee;
    referee.progress.regularEnds = setup.ends;
    referee.progress.hammer = setup.firstHammer;
    referee.seed = setup.seed;
    // Both games of a pair draw the same noise for the same shot of the same end.
    referee.noiseGame = setup.pair > 0 ? setup.pair : setup.game;
    referee.noiseScale = setup.noiseScale;
    StartEnd(referee);
    return referee;
}

ShotEntry NextStone(const Referee& referee) {
    ShotEntry entry;
    entry.end = static_cast<int>(referee.progress.ends.size());
    entry.shot = referee.end.shotNumber;
    entry.team = TeamForShot(referee.progress.hammer, entry.shot);
    return entry;
}

int EndsNow(const Referee& referee) {
    const int endIndex = static_cast<int>(referee.progress.ends.size());
    return endIndex < referee.progress.regularEnds ? referee.progress.regularEnds : endIndex + 1;
}

bool GameOver(const Referee& referee) {
    return GameOver(referee.progress);
}

bool PlayStone(Referee& referee, const SheetModel& model, ShotEntry entry, GameLog& log) {
    if (GameOver(referee)) {
        return false;
    }
    const ShotEntry next = NextStone(referee);
    entry.end = next.end;
    entry.shot = next.shot;
    entry.team = next.team;
    records::GameState& state = referee.end;
    assert(state.shotNumber >= 0 && state.shotNumber < StonesPerEnd);
    if (entry.delivered) {
        const int shotIndex = entry.end * StonesPerEnd + entry.shot;
        const NoiseOffset offset = DrawNoise(referee.seed, referee.noiseGame, shotIndex, referee.noiseScale);
        const Delivery delivery = Deliver(model, entry.sent, offset, referee.noiseScale);
        entry.played = delivery.played;
        entry.aimed = delivery.aimed;
        entry.moved = delivery.moved;
        // The shot number lies in 0..15, so the shot is always played.
        [[maybe_unused]] const bool played =
            model.simulateShot(state, delivery.played, referee.keepPaths ? &entry.path : nullptr);
        assert(played);
    } else {
        state.stones[entry.shot] = records::StonePosition{0.0f, 0.0f};  // delivered, out of play
    }
    state.shotNumber = entry.shot + 1;
    RemoveStonesOutOfPlay(state, model);
    assert(SoundAfterShot(state, entry.shot, model));
    for (int i = 0; i < records::StoneCount; ++i) {
        entry.stones[i] = state.stones[i];
    }
    log.shots.push_back(std::move(entry));
    if (state.shotNumber == StonesPerEnd) {
        ScoreEnd(referee, model, log);
    }
    return true;
}

GameOutcome Outcome(const Referee& referee) {
    GameOutcome outcome;
    outcome.totals[0] = referee.progress.totals[0];
    outcome.totals[1] = referee.progress.totals[1];
    outcome.winner = Leader(referee.progress);
    return outcome;
}

void RemoveStonesOutOfPlay(records::GameState& state, const SheetModel& model) {
    for (records::StonePosition& stone : state.stones) {
        if ((stone.x != 0.0f || stone.y != 0.0f) && !model.inPlay(stone)) {
            stone = records::StonePosition{0.0f, 0.0f};
        }
    }
}

}  // namespace host
