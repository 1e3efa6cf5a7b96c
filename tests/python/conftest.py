"""Shared by the module's tests: the fixture positions, a prepared search and the built programs."""

import os
import pathlib

import numpy as np
import pytest

import curling

FIXTURES = pathlib.Path(os.environ.get("CURLING_FIXTURES", pathlib.Path(__file__).parents[1] / "fixtures"))


def _position(path):
    """The record an engine holds after the file's POSITION and SETSTATE lines."""
    stones = np.zeros(32, np.float32)
    state = [0, 0, 0, 0]
    for line in path.read_text().splitlines():
        words = line.split()
        if words[:1] == ["POSITION"]:
            stones[:] = 0
            stones[:len(words) - 1] = [float(w) for w in words[1:33]]
        elif words[:1] == ["SETSTATE"]:
            state = [int(w) for w in words[1:5]]
    return {"name": path.stem, "stones": stones.reshape(16, 2), "shot_number": state[0],
            "end": state[1], "ends": state[2], "commands": path.read_text()}


def all_positions():
    """The benchmark positions, then the generated ones (one per shot number)."""
    return [_position(p) for folder in ("positions", "generated")
            for p in sorted((FIXTURES / folder).glob("*.txt"))]


@pytest.fixture(scope="session")
def search():
    return curling.Search()


@pytest.fixture(scope="session")
def test_shots(search):
    return search.test_shots


def built(name):
    """A program or library of the build, named by CTest in the environment."""
    path = os.environ.get(name, "")
    assert os.path.exists(path), f"{name} names nothing built: run these tests through ctest"
    return path
