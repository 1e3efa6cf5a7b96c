#include "host/match_rules.h"

#include <cassert>

namespace host {

int TeamForShot(int hammer, int shot) {
    assert((hammer == 0 || hammer == 1) && shot >= 0 && shot < StonesPerEnd);
    return shot % 2 == 1 ? hammer : 1 - hammer;
}

void RecordEnd(GameProgress& game, int houseScore) {
    // A game ends before its extra ends run out, and one team scores at most its eight stones.
    assert(!GameOver(game));
    assert(game.hammer == 0 || game.hammer == 1);
    assert(houseScore >= -StonesPerEnd / 2 && houseScore <= StonesPerEnd / 2);
    EndResult end;
    end.hammer = game.hammer;
    if (houseScore != 0) {
        int scorer = houseScore > 0 ? 1 - game.hammer : game.hammer;
        end.points[scorer] = houseScore > 0 ? houseScore : -houseScore;
        game.totals[scorer] += end.points[scorer];
        game.hammer = 1 - scorer;
    }
    game.ends.push_back(end);
}

bool GameOver(const GameProgress& game) {
    int played = static_cast<int>(game.ends.size());
    if (played < game.regularEnds) {
        return false;
    }
    return Leader(game) >= 0 || played >= game.regularEnds + MaxExtraEnds;
}

int Leader(const GameProgress& game) {
    if (game.totals[0] == game.totals[1]) {
        return -1;
    }
    return game.totals[0] > game.totals[1] ? 0 : 1;
}

void AddGame(MatchTally& tally, const GameOutcome& outcome, int engine1Team) {
    bool bothForfeited = outcome.forfeited[0] && outcome.forfeited[1];
    for (int team = 0; team < 2; ++team) {
        const int engine = team == engine1Team ? 0 : 1;
        tally.points[engine] += outcome.totals[team];
        if (bothForfeited || (outcome.winner >= 0 && outcome.winner != team)) {
            ++tally.losses[engine];
        } else if (outcome.winner == team) {
            ++tally.wins[engine];
        } else {
            ++tally.draws[engine];
        }
    }
}

}  // namespace host
