"""The module's own contract: bad inputs raise with a reason, batches equal loops, frames equal records."""

import math

import numpy as np
import pytest

import curling
from conftest import all_positions

EMPTY = np.zeros((16, 2))
DRAW = (0.0, -29.57, 0)


def with_stone(index, x, y):
    stones = EMPTY.copy()
    stones[index] = (x, y)
    return stones


BAD_CALLS = [
    ("stones of the wrong shape", lambda: curling.simulate(np.zeros((15, 2)), 0, DRAW), "shape (16, 2)"),
    ("flat stones", lambda: curling.score(np.zeros(32)), "shape (16, 2)"),
    ("a stone at NaN", lambda: curling.simulate(with_stone(3, math.nan, 5.0), 4, DRAW), "stone 3"),
    ("a stone at infinity", lambda: curling.evaluate(with_stone(0, 2.0, math.inf), 1), "not finite"),
    ("shot number 16", lambda: curling.simulate(EMPTY, 16, DRAW), "0..15"),
    ("shot number -1", lambda: curling.evaluate(EMPTY, -1), "0..15"),
    ("score past the end", lambda: curling.score(EMPTY, 17), "0..16"),
    ("a NaN velocity", lambda: curling.simulate(EMPTY, 0, (math.nan, -30.0, 0)), "vx"),
    ("a speed beyond float", lambda: curling.lone_rest(0.0, -1e39, 0), "vy"),
    ("curl 2", lambda: curling.simulate(EMPTY, 0, (0.0, -30.0, 2)), "curl must be 0 or 1"),
    ("curl 0.5", lambda: curling.create_shot(2.375, 4.88, 0.5), "curl must be 0 or 1"),
    ("a target at infinity", lambda: curling.create_shot(math.inf, 4.88, 0), "x must be"),
    ("a shot of two numbers", lambda: curling.simulate(EMPTY, 0, (0.0, -30.0)), "3 numbers"),
    ("shots of the wrong shape", lambda: curling.simulate_many(EMPTY, 0, np.zeros((4, 2))), "(n, 3)"),
    ("a bad shot in a batch", lambda: curling.simulate_many(EMPTY, 0, [DRAW, (0, -30, 3)]), "shots[1]"),
    ("positions and shots that differ in number",
     lambda: curling.simulate_many(np.zeros((3, 16, 2)), 0, [DRAW] * 2), "3 positions for 2 shots"),
    ("shot numbers that differ in number",
     lambda: curling.simulate_many(np.zeros((2, 16, 2)), [0, 1, 2], [DRAW] * 2), "one int per position"),
    ("a shot number out of range in a batch",
     lambda: curling.simulate_many(np.zeros((2, 16, 2)), [0, 16], [DRAW] * 2), "0..15"),
    ("negative threads", lambda: curling.simulate_many(EMPTY, 0, [DRAW], threads=-1), "threads"),
]


@pytest.mark.parametrize("call, reason", [c[1:] for c in BAD_CALLS], ids=[c[0] for c in BAD_CALLS])
def test_bad_inputs_raise_value_error_with_the_reason(call, reason):
    with pytest.raises(ValueError, match=reason.replace("(", r"\(").replace(")", r"\)").replace("[", r"\[")):
        call()


def test_a_search_refuses_a_finished_end(search):
    with pytest.raises(ValueError, match="0..15"):
        search.best_shot(EMPTY, 16)


def bits(array):
    return np.ascontiguousarray(array, np.float32).view(np.uint32)


@pytest.mark.parametrize("position", all_positions()[::3], ids=lambda p: p["name"])
def test_a_batch_equals_the_loop_at_any_thread_count(position, test_shots):
    stones, n = position["stones"], position["shot_number"]
    shots = test_shots[n::41]
    loop = np.array([curling.simulate(stones, n, shot) for shot in shots])
    for threads in (1, 3):
        np.testing.assert_array_equal(bits(curling.simulate_many(stones, n, shots, threads=threads)), bits(loop))
    # One position per shot, every other one empty before the first stone.
    starts = np.array([stones if i % 2 else EMPTY for i in range(len(shots))])
    numbers = np.array([n if i % 2 else 0 for i in range(len(shots))])
    mixed = curling.simulate_many(starts, numbers, shots)
    np.testing.assert_array_equal(bits(mixed[1::2]), bits(loop[1::2]))
    np.testing.assert_array_equal(bits(mixed[0::2]), bits(curling.simulate_many(EMPTY, 0, shots[0::2])))


@pytest.mark.parametrize("position", all_positions()[1::4], ids=lambda p: p["name"])
def test_frames_end_where_the_fast_play_ends(position, test_shots):
    stones, n = position["stones"], position["shot_number"]
    for shot in test_shots[n::1571]:
        after = curling.simulate(stones, n, shot)
        framed, frames = curling.simulate(stones, n, shot, trajectory=True)
        np.testing.assert_array_equal(bits(framed), bits(after))
        assert frames.shape[1:] == (16, 2) and len(frames) > 1
        np.testing.assert_array_equal(frames[0, n], np.float32([2.375, 41.28]))
        assert np.isnan(frames[:, n + 1:]).all(), "stones not yet delivered are never in play"


def test_a_lone_draw_rests_where_lone_rest_and_create_shot_say():
    for x, y, curl in [(2.375, 4.88, 0), (1.2, 6.3, 1), (3.9, 3.5, 0), (2.0, 10.0, 1)]:
        shot = curling.create_shot(x, y, curl)
        assert shot[2] == curl
        rest = curling.lone_rest(*shot)
        assert math.dist(rest, (x, y)) < 1e-3
        np.testing.assert_array_equal(curling.simulate(EMPTY, 0, shot)[0], np.float32(rest))


SCORES = [
    ("nothing in the house", [], 15, 0, 0.0),
    ("one stone of the first team on the tee", [(0, 2.375, 4.88)], 1, 1, -5.0),
    ("the hammer team lies two", [(1, 2.375, 4.88), (3, 2.5, 5.0), (0, 3.5, 5.5)], 4, -2, None),
    ("undelivered stones do not count", [(0, 2.375, 4.88), (5, 2.375, 4.9)], 1, 1, None),
]


@pytest.mark.parametrize("stones, shot_number, end_score, value", [c[1:] for c in SCORES],
                         ids=[c[0] for c in SCORES])
def test_score_and_evaluate(stones, shot_number, end_score, value):
    position = EMPTY.copy()
    for index, x, y in stones:
        position[index] = (x, y)
    assert curling.score(position, shot_number) == end_score
    if value is not None:
        assert curling.evaluate(position, shot_number) == value
