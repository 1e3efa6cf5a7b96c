"""Games under the host's rules as reinforcement-learning environments, with Gymnasium's interface.

The agent plays team 0, the first engine of a curling-match; the opponent, any player, team 1. Episode k
after a seeding is game k of a match with that seed: the same noise, and the same first hammer, which
alternates (the opponent holds it in odd-numbered episodes, so the agent throws first in episode 1).
The opponent's stones are played inside reset() and step(), so every observation asks for the agent's
stone.

With `gymnasium` importable, Env is a gymnasium.Env and VectorEnv a gymnasium.vector.VectorEnv (1.0 and
later), their spaces gymnasium.spaces; without it both work the same with curling.spaces, on NumPy alone.
"""

import operator
from typing import Any, Dict, List, Optional, Sequence, Tuple

import numpy as np

from . import _curling, players
from ._curling import Game, PlayedShot, Target

try:
    import gymnasium
    from gymnasium import spaces as _spaces
    from gymnasium.vector.utils import batch_space as _batch_space
    _EnvBase: Any = gymnasium.Env
    try:
        from gymnasium.vector import AutoresetMode as _AutoresetMode
        _VectorBase: Any = gymnasium.vector.VectorEnv
    except ImportError:  # before 1.0 the vector interface differed: stand alone
        _AutoresetMode = None
        _VectorBase = object
except ImportError:
    gymnasium = None
    from . import spaces as _spaces
    from .spaces import batch_space as _batch_space
    _EnvBase = object
    _VectorBase = object
    _AutoresetMode = None

__all__ = ["Env", "VectorEnv", "observation_space", "action_space"]

AGENT, OPPONENT = 0, 1
EXTRA_ENDS = 3  # a game tied after its regular ends runs to at most this many more
STONES_PER_TEAM = 8

# Actions must lie in these bounds. Targets reach from a draw short of the hog line to takeouts aimed far
# past the end of the sheet, as the engine's own grid does; shots cover every speed up to the host's
# limit that reaches the house side of the hog line.
TARGET_LOW, TARGET_HIGH = (0.0, -60.0), (12.0, 11.28)  # metres
SHOT_LOW, SHOT_HIGH = (-10.0, -60.0), (10.0, 0.0)      # m/s
SHEET_WIDTH, HOG_LINE_Y = 4.75, 11.28                  # metres: every stone in play lies within


def observation_space(ends: int) -> Any:
    """What Env observes, for a game of `ends` regular ends.

    stones: (16, 2) float32, every stone in metres, (0, 0) when not in play; stone i is the i-th of the
    end, the agent's are the odd ones when it holds the hammer. shot_number: stones thrown in the end,
    0..15. end: the end in play (0 first; after the game, the ends played). score: (2,) int64, the
    points of the agent and of the opponent. hammer: 1 when the agent holds the end's last stone.
    """
    most_points = STONES_PER_TEAM * (ends + EXTRA_ENDS)
    return _spaces.Dict({
        "stones": _spaces.Box(0.0, np.array([SHEET_WIDTH, HOG_LINE_Y] * 16, np.float32).reshape(16, 2),
                              shape=(16, 2), dtype=np.float32),
        "shot_number": _spaces.Discrete(16),
        "end": _spaces.Discrete(ends + EXTRA_ENDS + 1),
        "score": _spaces.Box(0, most_points, shape=(2,), dtype=np.int64),
        "hammer": _spaces.Discrete(2),
    })


def action_space(action: str) -> Any:
    """The agent's action: (3,) float32, a target (x, y in metres) or a shot (vx, vy in m/s), then the
    curl, where anything below 0.5 means 0 and the rest 1."""
    low, high = (TARGET_LOW, TARGET_HIGH) if action == "target" else (SHOT_LOW, SHOT_HIGH)
    return _spaces.Box(np.array(low + (0.0,), np.float32), np.array(high + (1.0,), np.float32),
                       shape=(3,), dtype=np.float32)


def _first_hammer(episode: int) -> int:
    return OPPONENT if episode % 2 == 1 else AGENT


def _checked_seed(seed: Any) -> int:
    if isinstance(seed, (bool, np.bool_)) or not hasattr(type(seed), "__index__"):
        raise TypeError(f"seed must be an integer, got {type(seed).__name__}")
    seed = operator.index(seed)
    if not 0 <= seed < 2 ** 64:
        raise ValueError(f"seed must lie in 0..{2 ** 64 - 1}, got {seed}")
    return seed


def _checked_choice(value: Any, name: str, choices: Sequence[str]) -> str:
    if value not in choices:
        raise ValueError(f"{name} must be one of {', '.join(map(repr, choices))}, got {value!r}")
    return value


def _checked_actions(actions: Any, shape: Tuple[int, ...], low: np.ndarray, high: np.ndarray) -> np.ndarray:
    """The actions as float64 with the curl rounded, or TypeError/ValueError saying what is wrong."""
    array = np.asarray(actions)
    if array.dtype.kind not in "fiu":
        raise TypeError(f"actions must be real numbers, got dtype {array.dtype}")
    if array.shape != shape:
        raise ValueError(f"an action must have shape {shape}, got {array.shape}")
    array = array.astype(np.float64)
    # One comparison in the common case; NaN fails it too and is named below.
    if not ((array >= low) & (array <= high)).all():
        if not np.isfinite(array).all():
            raise ValueError("an action holds a number that is not finite")
        where = np.argwhere((array < low) | (array > high))[0]
        raise ValueError(f"action {tuple(int(i) for i in where)} is {array[tuple(where)]}, outside "
                         f"{low[where[-1]]}..{high[where[-1]]}")
    array[..., 2] = array[..., 2] >= 0.5
    return array


def _checked_action(action: Any, low: Tuple[float, ...], high: Tuple[float, ...]) -> Tuple[float, float, int]:
    """One action as (a, b, curl) in plain numbers: the checks of _checked_actions, quicker for three."""
    array = np.asarray(action)
    if array.dtype.kind not in "fiu" or array.shape != (3,):
        return tuple(_checked_actions(array, (3,), np.array(low), np.array(high)).tolist())
    a, b, curl = array.tolist()
    if not (low[0] <= a <= high[0] and low[1] <= b <= high[1] and low[2] <= curl <= high[2]):
        _checked_actions(array, (3,), np.array(low), np.array(high))  # raises, saying why
    return float(a), float(b), int(curl >= 0.5)


def _as_shot(answer: Any) -> Any:
    """A player's answer as a shot; targets become the shot create_shot gives."""
    if isinstance(answer, Target):
        return _curling.create_shot(*answer)
    return answer


def _play_answer(game: Game, player: Any) -> PlayedShot:
    """Plays the player's answer; an answer the game refuses is told as the player's."""
    answer = player(game)
    try:
        return game.play(answer)
    except (TypeError, ValueError) as error:
        raise type(error)(f"the opponent {player!r} answered {answer!r}: {error}") from error


def _observe(game: Game) -> Dict[str, Any]:
    totals = game.totals
    return {
        "stones": game.stones,
        "shot_number": np.int64(game.shot_number),
        "end": np.int64(game.end),
        "score": np.array([totals[AGENT], totals[OPPONENT]], np.int64),
        "hammer": np.int64(game.hammer == AGENT),
    }


def _reward(kind: str, game: Game, before: Tuple[int, int]) -> float:
    if kind == "points":
        after = game.totals
        return float((after[AGENT] - before[AGENT]) - (after[OPPONENT] - before[OPPONENT]))
    if not game.over:
        return 0.0
    return {AGENT: 1.0, OPPONENT: -1.0, None: 0.0}[game.winner]


class Env(_EnvBase):
    """A game against `opponent` as an environment: reset() starts a game, step(action) throws the agent's
    stone and then the opponent's, until the agent is to throw again or the game is over.

    opponent: a player (see curling.players; the drawer when None). ends: regular ends, 1..100. seed: the
    noise of every episode, with the episode's number. noise: its scale, 0..100 (1: the host's).
    action: "target" (x, y, curl: where the stone should rest, in metres) or "shot" (vx, vy, curl in
    m/s). reward: "points" (each step, the agent's points scored in it minus the opponent's) or "win"
    (at the end, 1 for a win, -1 for a loss, 0 for a draw).

    step() returns (observation, reward, terminated, truncated, info): terminated once the game is over,
    truncated never; info["played"] lists the PlayedShots of the step, the agent's first. env.game is the
    Game in play. Bad actions (wrong shape or dtype, numbers not finite or outside the action space)
    raise TypeError or ValueError and leave the game as it was.
    """

    metadata: Dict[str, Any] = {"render_modes": []}
    render_mode = None

    def __init__(self, opponent: Optional[players.Player] = None, ends: int = 8, seed: int = 1,
                 noise: float = 1.0, action: str = "target", reward: str = "points") -> None:
        self.opponent = players.drawer() if opponent is None else opponent
        if not callable(self.opponent):
            raise TypeError(f"opponent must be a player, a callable from a Game to a shot, got "
                            f"{type(self.opponent).__name__}")
        self.action = _checked_choice(action, "action", ("target", "shot"))
        self.reward = _checked_choice(reward, "reward", ("points", "win"))
        Game(ends, seed, noise)  # refuses what a game would refuse, now rather than at reset()
        self.ends, self.noise = ends, noise
        self.observation_space = observation_space(ends)
        self.action_space = action_space(action)
        self._low = np.asarray(self.action_space.low, np.float64)
        self._high = np.asarray(self.action_space.high, np.float64)
        self._bounds = (tuple(self._low.tolist()), tuple(self._high.tolist()))
        self._seed = _checked_seed(seed)
        self._episode = 0
        self.game: Optional[Game] = None

    def reset(self, *, seed: Optional[int] = None,
              options: Optional[Dict[str, Any]] = None) -> Tuple[Dict[str, Any], Dict[str, Any]]:
        """Starts the next game, or game 1 of `seed` when one is given; returns (observation, info)."""
        if seed is not None:
            self._seed = _checked_seed(seed)
            self._episode = 0
        if gymnasium is not None:
            super().reset(seed=seed)
        self._episode += 1
        self.game = Game(self.ends, self._seed, self.noise, game=self._episode,
                         hammer=_first_hammer(self._episode))
        played = self._opponent_stones()
        return _observe(self.game), {"played": played}

    def step(self, action: Any) -> Tuple[Dict[str, Any], float, bool, bool, Dict[str, Any]]:
        """Throws the agent's stone, then the opponent's while it is theirs to throw."""
        game = self.game
        if game is None:
            raise ValueError("call reset() before step()")
        if game.over:
            raise ValueError("the game is over: call reset() to start the next")
        if game.team != AGENT:
            raise ValueError("the opponent's stone is due (its player failed): call reset()")
        aim = _checked_action(action, self._bounds[0], self._bounds[1])
        before = game.totals
        played = [game.play(target=aim) if self.action == "target" else game.play(aim)]
        played += self._opponent_stones()
        return _observe(game), _reward(self.reward, game, before), game.over, False, {"played": played}

    def _opponent_stones(self) -> List[PlayedShot]:
        game = self.game
        played = []
        while not game.over and game.team == OPPONENT:
            played.append(_play_answer(game, self.opponent))
        return played


class VectorEnv(_VectorBase):
    """n games against `opponent` stepped together: the stones of one step are thrown in every game at
    once, their simulations on the module's threads without the GIL (threads: 0 for one per processor).
    Each game is played on its own, so the results are the same at any thread count.

    The arguments are Env's; game i (0..n-1) plays the episodes numbered i + 1, i + 1 + n, i + 1 + 2n, …
    of the seed, so the n games together play the games of one match. Observations and rewards stack
    those of the n games along a first axis; actions are (n, 3). A game that ends is reset in the same
    step: its row then shows the next game's start, info["final_observation"][i] (with
    info["_final_observation"][i] True) the last observation of the game that ended, and
    info["started"][i] the opponent's stones that opened the next. info["played"][i] lists the
    PlayedShots of the step in game i.
    """

    metadata: Dict[str, Any] = {"render_modes": []}
    if _AutoresetMode is not None:
        metadata["autoreset_mode"] = _AutoresetMode.SAME_STEP
    render_mode = None

    def __init__(self, n: int, opponent: Optional[players.Player] = None, ends: int = 8, seed: int = 1,
                 noise: float = 1.0, action: str = "target", reward: str = "points",
                 threads: int = 0) -> None:
        if isinstance(n, (bool, np.bool_)) or not hasattr(type(n), "__index__"):
            raise TypeError(f"n must be an integer, got {type(n).__name__}")
        if not 1 <= operator.index(n) <= 100000:
            raise ValueError(f"n must lie in 1..100000, got {n}")
        if isinstance(threads, (bool, np.bool_)) or not hasattr(type(threads), "__index__"):
            raise TypeError(f"threads must be an integer, got {type(threads).__name__}")
        if operator.index(threads) < 0:
            raise ValueError(f"threads must be 0 (one per processor) or more, got {threads}")
        self.envs = [Env(opponent, ends, seed, noise, action, reward) for _ in range(operator.index(n))]
        self.num_envs = len(self.envs)
        self.threads = operator.index(threads)
        self.opponent = self.envs[0].opponent
        for env in self.envs:
            env.opponent = self.opponent
        self.single_observation_space = self.envs[0].observation_space
        self.single_action_space = self.envs[0].action_space
        self.observation_space = _batch_space(self.single_observation_space, self.num_envs)
        self.action_space = _batch_space(self.single_action_space, self.num_envs)
        self._low, self._high = self.envs[0]._low, self.envs[0]._high
        self._seed = self.envs[0]._seed
        self._started = False

    @property
    def games(self) -> List[Optional[Game]]:
        """The game in play of each of the n environments."""
        return [env.game for env in self.envs]

    def reset(self, *, seed: Optional[int] = None,
              options: Optional[Dict[str, Any]] = None) -> Tuple[Dict[str, np.ndarray], Dict[str, Any]]:
        """Starts every game afresh: the first n games of the seed (a new one when given)."""
        if seed is not None:
            self._seed = _checked_seed(seed)
        for i, env in enumerate(self.envs):
            env._seed, env._episode = self._seed, i + 1 - self.num_envs  # the next episode is i + 1
            self._start(i)
        self._started = True
        played = self._opponent_stones(list(range(self.num_envs)))
        return self._observe(), {"played": played}

    def step(self, actions: Any) -> Tuple[Dict[str, np.ndarray], np.ndarray, np.ndarray, np.ndarray,
                                          Dict[str, Any]]:
        """Throws every game's agent stone, then the opponents', with the games that end reset."""
        if not self._started:
            raise ValueError("call reset() before step()")
        n = self.num_envs
        if any(env.game.team != AGENT for env in self.envs if not env.game.over):
            raise ValueError("an opponent's stone is due (its player failed): call reset()")
        rows = _checked_actions(actions, (n, 3), self._low, self._high)
        before = [env.game.totals for env in self.envs]
        played: List[List[PlayedShot]] = [[] for _ in range(n)]
        agent = _curling.play_many(self.games, rows, targets=self.envs[0].action == "target",
                                   threads=self.threads)
        for i, shot in enumerate(agent):
            played[i].append(shot)
        for i, shots in enumerate(self._opponent_stones(list(range(n)))):
            played[i] += shots
        rewards = np.array([_reward(env.reward, env.game, before[i]) for i, env in enumerate(self.envs)])
        terminated = np.array([env.game.over for env in self.envs])
        info: Dict[str, Any] = {"played": played}
        if terminated.any():
            info.update(self._restart(np.flatnonzero(terminated), played))
        return self._observe(), rewards, terminated, np.zeros(n, bool), info

    def close(self, **kwargs: Any) -> None:
        pass

    def _start(self, i: int) -> None:
        env = self.envs[i]
        env._episode += self.num_envs
        env.game = Game(env.ends, env._seed, env.noise, game=env._episode, hammer=_first_hammer(env._episode))

    def _restart(self, ended: np.ndarray, played: List[List[PlayedShot]]) -> Dict[str, Any]:
        final = np.full(self.num_envs, None, object)
        final_info = np.full(self.num_envs, None, object)
        mask = np.zeros(self.num_envs, bool)
        for i in ended:
            final[i] = _observe(self.envs[i].game)
            final_info[i] = {"played": played[i]}
            mask[i] = True
            self._start(int(i))
        started: List[List[PlayedShot]] = [[] for _ in range(self.num_envs)]
        for i, shots in zip(ended, self._opponent_stones([int(i) for i in ended])):
            started[i] = shots
        return {"final_observation": final, "_final_observation": mask, "final_info": final_info,
                "_final_info": mask.copy(), "started": started}

    def _opponent_stones(self, which: List[int]) -> List[List[PlayedShot]]:
        """Plays the opponent's stones in the games `which` until the agent is to throw in each."""
        played: Dict[int, List[PlayedShot]] = {i: [] for i in which}

        def opponents_turn(i: int) -> bool:
            return not self.envs[i].game.over and self.envs[i].game.team == OPPONENT

        waiting = [i for i in which if opponents_turn(i)]
        while waiting:
            games = [self.envs[i].game for i in waiting]
            answers = [_as_shot(self.opponent(game)) for game in games]
            try:
                shots = np.array(answers, np.float64).reshape(len(games), 3)
            except (TypeError, ValueError) as error:
                raise ValueError(f"the opponent {self.opponent!r} answered {answers!r}: {error}") from error
            for i, shot in zip(waiting, _curling.play_many(games, shots, threads=self.threads)):
                played[i].append(shot)
            waiting = [i for i in waiting if opponents_turn(i)]
        return [played[i] for i in which]

    def _observe(self) -> Dict[str, np.ndarray]:
        rows = [_observe(env.game) for env in self.envs]
        return {key: np.stack([row[key] for row in rows]) for key in rows[0]}
