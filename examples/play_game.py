"""A game of 8 ends under the match host's rules: the engine's search against curling-random.

The Game referees it as curling-match would (who throws, the execution noise, the hammer, extra ends),
so `curling-match --engine curling-engine --engine "curling-random" --seed 7` plays this very game. The
record and an animated replay go to the folder given (replay-python/ by default).
"""
import sys

import curling

folder = sys.argv[1] if len(sys.argv) > 1 else "replay-python"
team = [curling.players.search(), curling.players.random(1)]
game = curling.Game(ends=8, seed=7)
while not game.over:
    played = game.play(team[game.team](game), paths=True)
    if played.scored is not None:
        print(f"end {played.end + 1}: search {played.scored[0]}, random {played.scored[1]}")
print(f"search {game.totals[0]}, random {game.totals[1]}")
game.save(folder, names=("search", "random"))
print(f"replay: {folder}/replay.html")
