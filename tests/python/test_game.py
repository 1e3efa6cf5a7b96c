"""curling.Game: the host's rules and noise through the module, and bad input refused."""

import copy
import math

import numpy as np
import pytest

import curling
from curling import Game, Shot, Target

TEE = Target(2.375, 4.88, 0)
DRAW = curling.create_shot(*TEE)


def drawer(game):
    return DRAW


def scatter(seed):
    """Draws around the house, either curl."""
    rng = np.random.default_rng(seed)
    return lambda game: Target(rng.uniform(1.6, 3.1), rng.uniform(3.5, 9.0), int(rng.integers(2)))


def whole_game(game, team0, team1, paths=False):
    while not game.over:
        game.play((team0 if game.team == 0 else team1)(game), paths=paths)
    return game


BAD_CALLS = [
    ("a seed that is a float", lambda: Game(seed=1.5), TypeError, "seed must be an integer"),
    ("a seed that is a bool", lambda: Game(seed=True), TypeError, "seed must be an integer"),
    ("a seed that is text", lambda: Game(seed="7"), TypeError, "seed must be an integer"),
    ("a negative seed", lambda: Game(seed=-1), ValueError, "seed must lie in"),
    ("a seed beyond 64 bits", lambda: Game(seed=2 ** 64), ValueError, "seed must lie in"),
    ("no ends", lambda: Game(ends=0), ValueError, "ends must lie in 1..100"),
    ("ends as a float", lambda: Game(ends=2.0), TypeError, "ends must be an integer"),
    ("noise not finite", lambda: Game(noise=math.nan), ValueError, "noise must lie in 0..100"),
    ("negative noise", lambda: Game(noise=-0.5), ValueError, "noise must lie in 0..100"),
    ("noise as text", lambda: Game(noise="1"), TypeError, "noise must be a real number"),
    ("hammer 2", lambda: Game(hammer=2), ValueError, "hammer must lie in 0..1"),
    ("game 0", lambda: Game(game=0), ValueError, "game must lie in"),
    ("a shot as text", lambda: Game().play("0 -30 0"), TypeError, "must be a sequence of three numbers"),
    ("a shot of a number", lambda: Game().play(3.0), TypeError, "must be a sequence of three numbers"),
    ("a shot of two numbers", lambda: Game().play((0.0, -30.0)), ValueError, "must hold 3 numbers"),
    ("a shot with text in it", lambda: Game().play((0.0, "x", 0)), TypeError, "must hold real numbers"),
    ("a shot with a complex number", lambda: Game().play((0.0, -3j, 0)), TypeError, "must hold real numbers"),
    ("a velocity not finite", lambda: Game().play((math.inf, -30.0, 0)), ValueError, "vx must be a finite"),
    ("a target not finite", lambda: Game().play(Target(2.0, math.nan, 0)), ValueError, "y must be a finite"),
    ("curl 2", lambda: Game().play((0.0, -30.0, 2)), ValueError, "curl must be 0 or 1"),
    ("a shot the host throws away", lambda: Game().play((0.0, -101.0, 0)), ValueError, "above 100 m/s"),
    ("neither shot nor target", lambda: Game().play(), TypeError, "a shot or a target"),
    ("both shot and target", lambda: Game().play(DRAW, target=TEE), TypeError, "a shot or a target"),
    ("play_many with rows that differ from the games",
     lambda: curling.play_many([Game()], np.zeros((2, 3))), ValueError, r"shape \(1, 3\)"),
    ("play_many with one game twice",
     lambda: (lambda g: curling.play_many([g, g], [DRAW, DRAW]))(Game()), RuntimeError, "appears twice"),
]


@pytest.mark.parametrize("call, error, reason", [c[1:] for c in BAD_CALLS], ids=[c[0] for c in BAD_CALLS])
def test_bad_input_raises_with_the_reason(call, error, reason):
    with pytest.raises(error, match=reason):
        call()


def test_a_refused_stone_leaves_the_game_as_it_was():
    game = Game(ends=1, seed=2)
    game.play(DRAW)
    before = game.shots
    for bad in [(0.0, math.nan, 0), (0.0, -30.0, 3), "shot"]:
        with pytest.raises((TypeError, ValueError)):
            game.play(bad)
    with pytest.raises(ValueError, match=r"actions\[1\]"):
        curling.play_many([game, Game()], [DRAW, (0.0, -30.0, 7)])
    assert game.shots == before and game.shot_number == 1


def test_a_game_over_refuses_another_stone():
    game = whole_game(Game(ends=1, seed=4, noise=0.0), drawer, drawer)
    assert game.over and game.shot_number == 0 and game.end >= 1
    with pytest.raises(ValueError, match="the game is over"):
        game.play(DRAW)
    with pytest.raises(ValueError, match=r"games\[0\] is over"):
        curling.play_many([game], [DRAW])


def test_the_line_score_is_the_house_score_of_each_ends_last_stones():
    game = whole_game(Game(ends=3, seed=11), scatter(3), drawer)
    scores, shots = game.scores, game.shots
    assert scores.shape == (len(shots) // 16, 2) and scores.dtype == np.int64
    for end, last in enumerate(shots[15::16]):
        # Positive house scores go to the team without the end's hammer, the one that threw stone 0.
        house = curling.score(last.stones)
        first = shots[16 * end].team
        expected = [0, 0]
        expected[first if house > 0 else 1 - first] = abs(house)
        assert tuple(scores[end]) == tuple(expected) == last.scored
    assert game.totals == tuple(scores.sum(axis=0))
    assert game.winner == (None if game.totals[0] == game.totals[1] else int(np.argmax(game.totals)))


def test_noise_moves_the_lone_resting_point_and_zero_noise_plays_the_shot_sent():
    for noise in (0.0, 1.0, 3.0):
        played = Game(seed=5, noise=noise).play(DRAW)
        assert played.sent == DRAW
        assert played.aimed == pytest.approx(curling.lone_rest(*DRAW), abs=0)
        moved = math.dist(played.aimed, played.moved)
        if noise == 0.0:
            assert played.played == DRAW and moved == 0.0
        else:
            assert played.played == curling.create_shot(*played.moved, DRAW.curl)
            assert 0.0 < moved < 2.0 * noise


def test_a_target_is_played_as_the_shot_that_rests_there():
    by_target = Game(seed=8).play(target=(2.0, 6.0, 1))
    by_tuple = Game(seed=8).play(Target(2.0, 6.0, 1))
    by_shot = Game(seed=8).play(curling.create_shot(2.0, 6.0, 1))
    assert by_target == by_tuple == by_shot
    assert by_shot.sent == curling.create_shot(2.0, 6.0, 1)


def test_copies_and_paths_change_nothing_in_the_game():
    game = Game(ends=1, seed=6)
    for _ in range(5):
        game.play(DRAW)
    for twin in (game.copy(), copy.copy(game), copy.deepcopy(game)):
        assert twin.shots == game.shots
        shot = Shot(0.1, -31.0, 1)
        with_paths = twin.play(shot, paths=True)
        without = game.copy().play(shot)
        assert game.shot_number == 5, "a copy plays on its own"
        assert without.path is None and with_paths.path.ndim == 3
        np.testing.assert_array_equal(with_paths.stones, without.stones)
        last = with_paths.path[-1]
        on_sheet = ~np.isnan(last[:, 0])
        np.testing.assert_allclose(last[on_sheet], with_paths.stones[on_sheet], atol=0)


@pytest.mark.parametrize("threads", [1, 3])
def test_play_many_equals_play_at_any_thread_count(threads):
    rng = np.random.default_rng(threads)
    games = [Game(ends=1, seed=2, game=g) for g in range(1, 6)]
    alone = [g.copy() for g in games]
    for _ in range(16):
        rows = np.column_stack([rng.uniform(1.5, 3.2, 5), rng.uniform(3.0, 9.0, 5), rng.integers(0, 2, 5)])
        together = curling.play_many(games, rows, targets=True, threads=threads)
        assert together == [g.play(target=row) for g, row in zip(alone, rows)]
    assert [g.shots for g in games] == [g.shots for g in alone]
