"""Same seed, same game: curling.Game and curling-match referee a game alike, to the byte of its record."""

import json
import re
import subprocess

import pytest

from curling import Game, Target, players
from conftest import built


def without_timings(line):
    """The seconds an engine took to answer: the only thing in a record the clock decides."""
    return re.sub(r',"seconds":[^,}]+', "", line)


@pytest.mark.parametrize("engines, seed, ends", [
    (("CURLING_DRAWER", "CURLING_RANDOM"), 3, 3),
    (("CURLING_ENGINE", "CURLING_ENGINE"), 7, 2),
], ids=["drawer against random", "search against itself"])
def test_the_same_seed_plays_the_same_game_as_curling_match(engines, seed, ends, tmp_path, search):
    paths = [built(name) for name in engines]
    subprocess.run([built("CURLING_MATCH"), "--engine", paths[0], "--engine", paths[1], "--seed", str(seed),
                    "--ends", str(ends), "--out", str(tmp_path)], check=True, capture_output=True, timeout=1200)
    host = (tmp_path / "record.jsonl").read_text().splitlines()

    chosen = {"CURLING_DRAWER": players.drawer(), "CURLING_RANDOM": players.random(1),
              "CURLING_ENGINE": players.search(search)}
    team = [chosen[name] for name in engines]
    game = Game(ends=ends, seed=seed)
    while not game.over:
        game.play(team[game.team](game), paths=True)
    module = game.record(names=paths)

    # The shots sent and played, every stone after each, the paths, the line score and the result.
    assert [without_timings(line) for line in module] == [without_timings(line) for line in host]
    assert '"delivered":false' not in "".join(host)


def test_save_writes_the_record_and_a_replay_of_the_game_so_far(tmp_path):
    game = Game(ends=1, seed=2)
    for stone in range(3):
        game.play(Target(2.375, 4.88 + stone, stone % 2), paths=stone > 0)
    game.save(tmp_path / "new" / "folder", names=("red", "yellow"))
    record = (tmp_path / "new/folder/record.jsonl").read_text().splitlines()
    assert record == game.record(names=["red", "yellow"])
    assert [json.loads(line)["type"] for line in record] == ["game", "shot", "shot", "shot"]
    assert json.loads(record[0])["engines"] == ["red", "yellow"]
    assert [("path" in json.loads(line)) for line in record[1:]] == [False, True, True]
    data = (tmp_path / "new/folder/replay-data.js").read_text()
    assert data.count("\nR.s(") == 3 and "R.r(" not in data, "a game in play has no result yet"
    assert 'src="replay-data.js"' in (tmp_path / "new/folder/replay.html").read_text()
    (tmp_path / "file").write_text("")
    with pytest.raises(OSError, match="file"):
        game.save(tmp_path / "file")
