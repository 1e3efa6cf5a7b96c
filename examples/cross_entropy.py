"""Learning to beat the drawer with the cross-entropy method, and a plot of the learning curve.

The player is a table: for each of its eight stones of an end, and for having the hammer or not, a
target (x, y in metres) and a curl. The cross-entropy method keeps a normal distribution over tables: each
iteration draws a population of tables, plays every one against curling-drawer in a VectorEnv (all games
stepped together on the module's threads), keeps the best fifth and refits the distribution to them.
The curve shows the points per end of the population and of its elite, and those of the distribution's
mean table, iteration by iteration.

    cross_entropy.py [--iterations N] [--population N] [--games N] [--out PNG]
"""
import argparse

import numpy as np

import curling

parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("--iterations", type=int, default=30)
parser.add_argument("--population", type=int, default=32)
parser.add_argument("--games", type=int, default=4, help="one-end games each table plays per iteration")
parser.add_argument("--out", default="cross_entropy.png")
parser.add_argument("--seed", type=int, default=1)
arguments = parser.parse_args()

# A table row per (hammer, stone): x, y and a curl score (curl 1 when positive). The first tables aim
# around the house and the guard zone, either curl.
mean = np.tile([2.375, 7.0, 0.0], (2, 8, 1))
spread = np.tile([0.8, 3.0, 1.0], (2, 8, 1))
space = curling.env.action_space("target")
low, high = space.low.astype(np.float64), space.high.astype(np.float64)


def actions(tables, observations):
    """Each game's target from its own table, for the stone it is about to throw."""
    hammer = observations["hammer"]
    stone = observations["shot_number"] // 2
    rows = tables[np.arange(len(tables)), hammer, stone]
    aims = np.column_stack([rows[:, 0], rows[:, 1], rows[:, 2] > 0])
    return np.clip(aims, low, high).astype(np.float32)


def points_per_end(env, tables, games, seed):
    """Every table's points per end over `games` one-end games of `seed`, all tables at once."""
    observations, _ = env.reset(seed=seed)
    points = np.zeros(len(tables))
    ended = np.zeros(len(tables), int)
    while ended.min() < games:
        observations, rewards, terminated, _, _ = env.step(actions(tables, observations))
        counting = ended < games
        points += np.where(counting, rewards, 0.0)
        ended += terminated & counting
    return points / games


rng = np.random.default_rng(arguments.seed)
population = curling.VectorEnv(arguments.population, curling.players.drawer(), ends=1)
judge = curling.VectorEnv(arguments.population, curling.players.drawer(), ends=1)
elite_count = max(2, arguments.population // 5)
curve = []
for iteration in range(arguments.iterations):
    tables = mean + spread * rng.standard_normal((arguments.population,) + mean.shape)
    scores = points_per_end(population, tables, arguments.games, seed=1000 * arguments.seed + iteration)
    elite = tables[np.argsort(scores)[-elite_count:]]
    mean, spread = elite.mean(axis=0), elite.std(axis=0) + 0.02
    # The mean table in as many games as a whole population plays, on the same noise every iteration.
    judged = points_per_end(judge, np.repeat(mean[None], arguments.population, axis=0), arguments.games,
                            seed=arguments.seed).mean()
    curve.append((scores.mean(), np.sort(scores)[-elite_count:].mean(), judged))
    print(f"iteration {iteration + 1}: population {curve[-1][0]:+.2f}, elite {curve[-1][1]:+.2f}, "
          f"mean table {judged:+.2f} points per end")

import matplotlib  # noqa: E402  (after the learning: only the plot needs it)
matplotlib.use("Agg")
from matplotlib import pyplot  # noqa: E402

figure, axes = pyplot.subplots(figsize=(7, 4))
x = np.arange(1, len(curve) + 1)
for column, label in enumerate(["population", "elite (best fifth)", "mean table, the same games every time"]):
    axes.plot(x, [row[column] for row in curve], marker="o", markersize=3, label=label)
axes.axhline(0.0, color="grey", linewidth=0.8)
axes.set_xlabel("iteration")
axes.set_ylabel("points per end against the drawer")
axes.set_title(f"Cross-entropy method, {arguments.population} tables × {arguments.games} one-end games")
axes.legend()
figure.tight_layout()
figure.savefig(arguments.out, dpi=100)
print(f"learning curve: {arguments.out}")
