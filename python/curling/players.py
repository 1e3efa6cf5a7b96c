"""Players: anything that, given a Game, says what its team throws next.

A player is any callable `player(game) -> shot`, where the shot is a curling.Shot (vx, vy, curl) in m/s,
a curling.Target (x, y, curl) in metres (turned into the shot that rests there alone), or a plain
sequence of three numbers, taken as a shot. It is called when `game.team` is its team to throw, and
must not play on the game itself.

The built-ins are the match host's three engines, each sending exactly what its engine process sends:
the velocities as the host reads them back from a "BESTSHOT %f %f %d" reply, six decimals.

    search()      the engine's own search: its GO on the position the host would describe
    drawer()      curling-drawer: the draw to the button, every time
    random(seed)  curling-random started with `seed`: a candidate shot of the engine's grid drawn at
                  random, the same sequence in every game, whatever the position
"""

import threading
from typing import Callable, Optional, Sequence, Union

from . import _curling
from ._curling import Game, RandomChoices, Search, Shot, Target, engine_reply

__all__ = ["Player", "search", "drawer", "random", "engine_reply", "SearchPlayer", "DrawerPlayer",
           "RandomPlayer"]

Player = Callable[[Game], Union[Shot, Target, Sequence[float]]]

_shared_search: Optional[Search] = None
_shared_lock = threading.Lock()


def _search_tables() -> Search:
    """One readiness check for every search player of the process (about a second, once)."""
    global _shared_search
    with _shared_lock:
        if _shared_search is None:
            _shared_search = Search()
        return _shared_search


class SearchPlayer:
    """The engine's choice: its search on the position the host sends it, its reply as the host reads it."""

    def __init__(self, tables: Optional[Search] = None) -> None:
        self._search = tables

    def __call__(self, game: Game) -> Shot:
        if self._search is None:
            self._search = _search_tables()
        best = self._search.best_shot(game.stones, game.shot_number, game.end, game.ends_now)
        return engine_reply(best.shot)

    def __repr__(self) -> str:
        return "curling.players.search()"


class DrawerPlayer:
    """curling-drawer: create_shot of the tee (2.375, 4.88) with curl 0, as its reply reads."""

    def __init__(self) -> None:
        self.shot = engine_reply(_curling.create_shot(2.375, 4.88, 0))

    def __call__(self, game: Game) -> Shot:
        return self.shot

    def __repr__(self) -> str:
        return "curling.players.drawer()"


class RandomPlayer:
    """curling-random `seed`: its k-th answer in a game is the k-th draw of its seed's sequence."""

    def __init__(self, seed: int = 1) -> None:
        self.seed = seed
        self._choices = RandomChoices(seed)

    def __call__(self, game: Game) -> Shot:
        # The engine process starts afresh every game and is asked once for each of its team's stones,
        # eight an end, so its answer follows from how many it has thrown.
        return self._choices.choice(game.end * 8 + game.shot_number // 2)

    def __repr__(self) -> str:
        return f"curling.players.random({self.seed})"


def search(tables: Optional[Search] = None) -> SearchPlayer:
    """The engine's search as a player. Its tables (a Search) are made once per process unless given."""
    return SearchPlayer(tables)


def drawer() -> DrawerPlayer:
    """The host's baseline curling-drawer as a player: the draw to the button."""
    return DrawerPlayer()


def random(seed: int = 1) -> RandomPlayer:
    """The host's baseline curling-random with `seed` (0..2^64 - 1) as a player."""
    return RandomPlayer(seed)
