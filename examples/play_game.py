"""A game of 8 ends: the engine's search against a player that draws to random spots near the house.

Every shot is played as a delivery would be: its lone resting point moves by normal noise (0.0725 m
across, 0.29 m along the sheet) and the moved point is turned back into a shot with the same curl.
"""
import numpy as np

import curling

rng = np.random.default_rng(7)
search = curling.Search()
points = {"search": 0, "random": 0}
hammer = "random"  # the team with the last stone; it throws the odd-numbered stones
for end in range(8):
    first = "search" if hammer == "random" else "random"
    stones = np.zeros((16, 2), np.float32)
    for shot_number in range(16):
        if (hammer if shot_number % 2 else first) == "search":
            shot = search.best_shot(stones, shot_number, end).shot
        else:
            shot = curling.create_shot(*rng.normal((2.375, 5.5), (0.6, 1.2)), rng.integers(2))
        x, y = np.add(curling.lone_rest(*shot), rng.normal(0, (0.0725, 0.29)))
        stones = curling.simulate(stones, shot_number, curling.create_shot(x, y, shot[2]))
    score = curling.score(stones)  # positive when the team that threw first scored
    scorer = first if score > 0 else hammer
    points[scorer] += abs(score)
    print(f"end {end + 1}: " + (f"{scorer} scores {abs(score)}" if score else "blank"))
    if score < 0:
        hammer = first  # the scoring team gives up the hammer; a blank end keeps it
print(f"search {points['search']}, random {points['random']}")
