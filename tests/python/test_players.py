"""curling.players: the host's engines as players, each sending what its process sends."""

import subprocess

import numpy as np
import pytest

import curling
from curling import Game, Shot, players
from conftest import built

DRAW = curling.create_shot(2.375, 4.88, 0)


@pytest.mark.parametrize("call, error, reason", [
    (lambda: players.random(2.5), TypeError, "seed must be an integer"),
    (lambda: players.random(-1), ValueError, "seed must lie in"),
    (lambda: players.engine_reply((80.0, -80.0, 0)), ValueError, "above 100"),
    (lambda: players.engine_reply("BESTSHOT 0 0 0"), TypeError, "three numbers"),
], ids=["a float seed", "a negative seed", "a reply too fast", "a reply as text"])
def test_bad_input_raises_with_the_reason(call, error, reason):
    with pytest.raises(error, match=reason):
        call()


def test_a_reply_carries_six_decimals_and_the_drawer_sends_the_draw_to_the_button():
    assert players.engine_reply((0.12345649, -29.9876543, 1)) == Shot(
        float(np.float32(0.123456)), float(np.float32(-29.987654)), 1)
    assert players.drawer()(Game()) == players.engine_reply(DRAW) != DRAW


def test_the_random_player_answers_as_curling_random_does():
    """Its answers in a game are curling-random's replies to as many GOs, in order."""
    seed, count = 5, 12
    commands = "NEWGAME\nISREADY\n" + "GO\n" * count
    run = subprocess.run([built("CURLING_RANDOM"), str(seed)], input=commands.encode(), capture_output=True,
                         check=True, timeout=300)
    replies = [r.split() for r in run.stdout.decode().replace("READYOK", "").split("BESTSHOT")[1:]]
    expected = [Shot(float(np.float32(r[0])), float(np.float32(r[1])), int(r[2])) for r in replies]
    # Over two ends, whoever holds the hammer in the second.
    game, player, answers = Game(ends=2, seed=1, hammer=0), players.random(seed), []
    while len(answers) < count:
        if game.team == 1:
            answers.append(player(game))
        game.play(answers[-1] if game.team == 1 else DRAW)
    assert answers == expected
    assert player(Game(seed=9)) == expected[0], "every game starts its sequence again"


def test_search_player_sends_the_search_choice_as_its_reply_reads(search):
    game = Game(ends=2, seed=1)
    game.play(DRAW)
    best = search.best_shot(game.stones, 1, 0, 2)
    assert players.search(search)(game) == players.engine_reply(best.shot)
