"""The module answers as the engine does: its physics bit for bit, its values, its inverse, its BESTSHOT."""

import ctypes
import subprocess

import numpy as np
import pytest

import curling
from conftest import FIXTURES, all_positions, built

POSITIONS = all_positions()
BENCHMARK = [p for p in POSITIONS if (FIXTURES / "positions" / (p["name"] + ".txt")).exists()]


def test_simulate_equals_the_engines_physics_bit_for_bit(test_shots):
    records, expected = [], []
    for position in POSITIONS:
        stones, n = position["stones"], position["shot_number"]
        shots = test_shots[n::97]
        expected.append(curling.simulate_many(stones, n, shots))
        for vx, vy, curl in shots:
            records.append(np.array([n], np.int32).tobytes() + np.array([vx, vy], np.float32).tobytes() +
                           np.array([curl], np.int32).tobytes() + stones.astype(np.float32).tobytes())
    replay = subprocess.run([built("CURLING_REPLAY_SHOTS")], input=b"".join(records), capture_output=True,
                            check=True)
    engine = np.frombuffer(replay.stdout, np.uint32).reshape(-1, 16, 2)
    np.testing.assert_array_equal(np.concatenate(expected).view(np.uint32), engine)


def test_create_shot_equals_the_simulator_library(test_shots, search):
    class Record(ctypes.Structure):
        _fields_ = [("x", ctypes.c_float), ("y", ctypes.c_float), ("curl", ctypes.c_uint32)]

    library = ctypes.CDLL(built("CURLING_SIMULATOR"))
    library.CreateShot.argtypes = [Record, ctypes.POINTER(Record)]
    for x, y, curl in search.test_targets[::53]:
        shot = Record()
        library.CreateShot(Record(x, y, int(curl)), ctypes.byref(shot))
        assert curling.create_shot(x, y, curl) == (shot.x, shot.y, shot.curl & 0xFF)


@pytest.fixture(scope="module")
def engine_replies():
    """One engine session: a readiness check, then a GO on every benchmark position."""
    commands = "ISREADY\n" + "".join(p["commands"] + "GO\n" for p in BENCHMARK)
    run = subprocess.run([built("CURLING_ENGINE")], input=commands.encode(), capture_output=True,
                         check=True, timeout=600)
    replies = run.stdout.decode()
    assert replies.startswith("READYOK")
    return ["BESTSHOT" + r for r in replies[len("READYOK"):].split("BESTSHOT")[1:]]


@pytest.mark.parametrize("index", range(len(BENCHMARK)), ids=[p["name"] for p in BENCHMARK])
def test_best_shot_and_values_equal_the_engines(index, search, test_shots, engine_replies):
    position = BENCHMARK[index]
    stones, n = position["stones"], position["shot_number"]
    best = search.best_shot(stones, n, position["end"], position["ends"])
    assert "BESTSHOT %f %f %d" % best.shot == engine_replies[index]
    assert best.values.shape == (10994,) and best.values.dtype == np.float64
    # A value is the outcome of its test shot as simulate and score or evaluate see it, for the team
    # that threw: the evaluation for the team to throw next, negated. Every fifth cell is checked.
    cells = slice(index % 5, None, 5)
    after = curling.simulate_many(stones, n, test_shots[cells])
    if n == 15:
        expected = [-curling.score(a) for a in after]
    else:
        expected = [-curling.evaluate(a, n + 1) for a in after]
    np.testing.assert_array_equal(best.values[cells], expected)
    chosen = np.flatnonzero((test_shots == np.float32(best.shot)).all(axis=1))
    assert len(chosen) > 0 and (search.test_targets[chosen[0]] == np.float32(best.target)).all()
