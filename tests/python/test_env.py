"""curling.Env and VectorEnv: Gymnasium's contract, the host's game inside, and bad actions refused."""

import os
import subprocess
import sys

import numpy as np
import pytest

import curling
from curling import Env, Game, VectorEnv, players, spaces

CENTRE = np.array([2.375, 4.88, 0.0], np.float32)


def check_contract(env, steps=200):
    """What Gymnasium's checker asks of an environment, on the spaces it declares."""
    obs, info = env.reset(seed=3)
    assert isinstance(info, dict) and env.observation_space.contains(obs), obs
    again, _ = env.reset(seed=3)
    assert all(np.array_equal(obs[key], again[key]) for key in obs), "reset(seed) repeats itself"
    env.action_space.seed(1)
    for _ in range(steps):
        action = env.action_space.sample()
        assert env.action_space.contains(action)
        obs, reward, terminated, truncated, info = env.step(action)
        assert env.observation_space.contains(obs), obs
        assert type(reward) is float and type(terminated) is bool and truncated is False
        assert isinstance(info, dict)
        if terminated:
            obs, info = env.reset()
            assert env.observation_space.contains(obs)


def test_the_environment_keeps_gymnasiums_contract_without_gymnasium():
    check_contract(Env(ends=1))
    check_contract(Env(players.random(4), ends=2, action="shot", reward="win", noise=0.5))


def test_gymnasiums_own_checker_passes_where_gymnasium_is_installed():
    gymnasium = pytest.importorskip("gymnasium", reason="gymnasium is not installed here (not in Debian, "
                                    "no PyPI): its own checker runs where it is")
    from gymnasium.utils.env_checker import check_env
    env = Env(ends=1)
    assert isinstance(env, gymnasium.Env)
    check_env(env, skip_render_check=True)


def test_without_gymnasium_the_module_stands_on_numpy_alone():
    # Blocks gymnasium's import, so that this runs the same where it is installed.
    code = ("import sys; sys.modules['gymnasium'] = None\n"
            "import curling, curling.env, curling.spaces as s\n"
            "assert curling.Env.__mro__[1] is object and curling.env.gymnasium is None\n"
            "env = curling.Env(ends=1)\n"
            "assert isinstance(env.observation_space, s.Dict) and isinstance(env.action_space, s.Box)\n"
            "assert isinstance(curling.VectorEnv(2, ends=1).observation_space['end'], s.MultiDiscrete)\n"
            "env.reset(); env.step(env.action_space.sample())\n"
            "loaded = {m.split('.')[0] for m in sys.modules if sys.modules[m] is not None}\n"
            "assert 'gymnasium' not in loaded\n")
    subprocess.run([sys.executable, "-c", code], check=True, env=dict(os.environ))


def test_an_episode_is_the_game_a_player_would_play_by_hand():
    """Agent's targets in, the drawer's stones between them: the Game that Env played is the one made by
    hand from the same seed, game number and first hammer."""
    env = Env(players.drawer(), ends=2, seed=5)
    drawer = players.drawer()

    def opponent_stones(game):
        while not game.over and game.team == 1:
            game.play(drawer(game))

    for episode in (1, 2):
        obs, _ = env.reset()
        hand = Game(ends=2, seed=5, game=episode, hammer=1 if episode == 1 else 0)
        opponent_stones(hand)
        total, terminated = 0.0, False
        while not terminated:
            target = (2.2 + 0.05 * obs["shot_number"], 5.5, obs["shot_number"] % 2)
            hand.play(target=target)
            opponent_stones(hand)
            obs, reward, terminated, _, info = env.step(np.array(target, np.float32))
            total += reward
            assert info["played"][0].team == 0 and all(p.team == 1 for p in info["played"][1:])
        assert env.game.record() == hand.record() and hand.over
        assert total == hand.totals[0] - hand.totals[1]
        assert list(obs["score"]) == list(hand.totals)


def test_the_opponent_throws_first_when_the_agent_holds_the_hammer():
    env = Env(players.drawer(), ends=1)
    obs, info = env.reset()
    assert obs["hammer"] == 0 and obs["shot_number"] == 0 and info["played"] == []
    obs, info = env.reset()
    assert obs["hammer"] == 1 and obs["shot_number"] == 1 and len(info["played"]) == 1


def test_win_reward_comes_once_at_the_end_with_the_winners_sign():
    env = Env(players.random(2), ends=1, reward="win")
    for seed in (1, 2, 3):
        env.reset(seed=seed)
        rewards, terminated = [], False
        while not terminated:
            _, reward, terminated, _, _ = env.step(CENTRE)
            rewards.append(reward)
        assert rewards[:-1] == [0.0] * (len(rewards) - 1)
        assert rewards[-1] == {0: 1.0, 1: -1.0, None: 0.0}[env.game.winner]


BAD = [
    ("an action of two numbers", [2.3, 5.0], ValueError, r"shape \(3,\)"),
    ("an action in a batch of one", [[2.3, 5.0, 0]], ValueError, r"shape \(3,\)"),
    ("an action of text", ["a", "b", "c"], TypeError, "real numbers"),
    ("an action of complex numbers", np.zeros(3, complex), TypeError, "real numbers"),
    ("an action not finite", [np.nan, 5.0, 0], ValueError, "not finite"),
    ("a target beyond the action space", [2.3, 30.0, 0], ValueError, r"action \(1,\) is 30.0"),
    ("a curl beyond the action space", [2.3, 5.0, 2], ValueError, r"action \(2,\)"),
]


@pytest.mark.parametrize("action, error, reason", [b[1:] for b in BAD], ids=[b[0] for b in BAD])
def test_bad_actions_raise_with_the_reason_and_leave_the_game(action, error, reason):
    env = Env(ends=1)
    env.reset()
    with pytest.raises(error, match=reason):
        env.step(action)
    assert env.game.shot_number == 0 and env.game.shots == []


@pytest.mark.parametrize("make, error, reason", [
    (lambda: Env(opponent=3), TypeError, "opponent must be a player"),
    (lambda: Env(action="aim"), ValueError, "action must be one of"),
    (lambda: Env(reward="score"), ValueError, "reward must be one of"),
    (lambda: Env(seed=1.0), TypeError, "seed must be an integer"),
    (lambda: Env(ends=200), ValueError, "ends must lie in"),
    (lambda: Env().reset(seed="1"), TypeError, "seed must be an integer"),
    (lambda: Env().reset(seed=-3), ValueError, "seed must lie in"),
    (lambda: Env().step(CENTRE), ValueError, "call reset"),
    (lambda: VectorEnv(0), ValueError, "n must lie in"),
    (lambda: VectorEnv(2.0), TypeError, "n must be an integer"),
    (lambda: VectorEnv(2, threads=-1), ValueError, "threads must be"),
    (lambda: VectorEnv(2).step(np.zeros((2, 3))), ValueError, "call reset"),
])
def test_bad_settings_raise_with_the_reason(make, error, reason):
    with pytest.raises(error, match=reason):
        make()


def test_an_opponent_that_fails_stops_the_game_until_reset():
    calls = []

    def flaky(game):
        calls.append(game.shot_number)
        if len(calls) == 2:
            raise RuntimeError("the player's own fault")
        return None if len(calls) == 3 else curling.create_shot(2.375, 4.88, 0)

    for make in (lambda: Env(flaky, ends=1), lambda: VectorEnv(1, flaky, ends=1)):
        calls.clear()
        env = make()
        env.reset()
        step = CENTRE if isinstance(env, Env) else CENTRE[None]
        env.step(step)
        with pytest.raises(RuntimeError, match="own fault"):
            env.step(step)
        with pytest.raises(ValueError, match="opponent's stone is due"):
            env.step(step)
        with pytest.raises((TypeError, ValueError), match="the opponent .* answered"):
            env.reset()  # an Env's second game opens with the opponent's stone, a VectorEnv's first not
            env.step(step)


def test_a_finished_game_takes_no_step_until_reset():
    env = Env(ends=1)
    env.reset()
    terminated = False
    while not terminated:
        _, _, terminated, _, _ = env.step(CENTRE)
    with pytest.raises(ValueError, match="call reset"):
        env.step(CENTRE)


def vector_run(threads, steps=20):
    env = VectorEnv(3, players.random(7), ends=1, seed=4, threads=threads)
    obs, _ = env.reset()
    env.action_space.seed(2)
    rows = [obs]
    for _ in range(steps):
        obs, rewards, terminated, truncated, info = env.step(env.action_space.sample())
        assert env.observation_space.contains(obs) and not truncated.any()
        rows += [obs, rewards, terminated]
        rows += [final for final in info["final_observation"][terminated]] if terminated.any() else []
    return rows, env


def test_vector_games_are_the_same_at_any_thread_count_and_restart_themselves():
    one, env = vector_run(1)
    two, _ = vector_run(2)
    assert len(one) == len(two)
    for a, b in zip(one, two):
        if isinstance(a, dict):
            assert all(np.array_equal(a[k], b[k]) for k in a)
        else:
            np.testing.assert_array_equal(a, b)
    # Eight agent stones end a one-end game unless it runs to extra ends: games restarted.
    assert [g.game for g in env.games] != [1, 2, 3]
    assert all((g.game - (i + 1)) % 3 == 0 for i, g in enumerate(env.games))


def test_vector_game_i_is_the_episode_i_plus_1_of_one_environment():
    vector = VectorEnv(2, players.drawer(), ends=1, seed=6)
    obs, _ = vector.reset()
    single = Env(players.drawer(), ends=1, seed=6)
    single.reset()
    second, _ = single.reset()
    assert all(np.array_equal(obs[key][1], second[key]) for key in second)
    actions = np.tile(CENTRE, (2, 1))
    _, rewards, _, _, _ = vector.step(actions)
    _, reward, _, _, _ = single.step(CENTRE)
    assert rewards[1] == reward and vector.games[1].record() == single.game.record()


def test_the_fallback_spaces_sample_what_they_contain():
    space = spaces.Dict({"box": spaces.Box(0.0, np.array([4.75, 11.28], np.float32), (2,)),
                         "count": spaces.Box(0, 30, (2,), np.int64), "end": spaces.Discrete(12)})
    space.seed(5)
    first = [space.sample() for _ in range(20)]
    space.seed(5)
    assert all(space.contains(s) for s in first)
    again = [space.sample() for _ in range(20)]
    assert all(np.array_equal(a[k], b[k]) for a, b in zip(first, again) for k in a)
    box, discrete = spaces.Box(-1.0, 1.0, (2,)), spaces.Discrete(3)
    assert not box.contains(np.array([0.0, 1.5], np.float32)) and not box.contains(np.zeros(3, np.float32))
    assert discrete.contains(2) and not discrete.contains(3) and not discrete.contains(True)
    batched = spaces.batch_space(spaces.Dict({"b": box, "d": discrete}), 4)
    assert batched["b"].shape == (4, 2) and batched["d"].contains(np.array([0, 1, 2, 2]))
    assert not batched["d"].contains(np.array([0, 1, 2, 3]))
