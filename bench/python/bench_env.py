"""What curling.Env costs over the bare physics, and VectorEnv on one and two threads.

Usage (from the repository, after the build):
    PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_env.py [rounds]

1. Env.step against curling.simulate: an Env against the drawer plays a fixed list of the agent's shots;
   then curling.simulate plays every stone of those games, the agent's and the drawer's, on the same
   positions. Both count stones per second of the process's own processor time, which other work on
   the machine disturbs less than the wall clock. With the host's noise (scale 1) the bare side also
   delivers each shot as the host does, by hand; without noise it plays the shots alone, and then
   with the lone resting point that the host works out for every shot anyway.
2. VectorEnv(16) against the drawer, agent targets at random: steps per wall-clock second on 1 and 2
   threads.
Rounds alternate the sides, so both see the same load; every figure is the fastest round (5 by default).
"""

import argparse
import os
import time


class OneLineParser(argparse.ArgumentParser):
    """A bad command line is one line on stderr and exit code 2, as in the other benchmarks."""

    def error(self, message):
        self.exit(2, f"{self.prog}: {message} (try --help)\n")


def round_count(text):
    if not text.isdigit() or not 1 <= int(text) <= 1000:
        raise argparse.ArgumentTypeError(f"wants a whole number from 1 to 1000, not {text!r}")
    return int(text)


def rounds_from_command_line():
    parser = OneLineParser(
        prog="bench_env.py",
        description="What curling.Env costs over the bare physics, and VectorEnv on one and two threads.")
    parser.add_argument("rounds", nargs="?", type=round_count, default=5, metavar="ROUNDS",
                        help="rounds; every figure is the fastest of them (1 to 1000, default 5)")
    return parser.parse_args().rounds


# Read before the module is imported, so that --help works without a build.
ROUNDS = rounds_from_command_line()

import numpy as np  # noqa: E402

import curling  # noqa: E402

STEPS = 400  # agent stones per Env round: 400 steps, about 800 stones


def agent_shots():
    rng = np.random.default_rng(1)
    draws = [curling.create_shot(x, y, c) for x, y, c in
             zip(rng.uniform(1.6, 3.1, STEPS), rng.uniform(3.5, 9.0, STEPS), rng.integers(0, 2, STEPS))]
    return np.array(draws, np.float32)


def env_round(shots, noise):
    """Env.step (and reset) over the shots: the seconds and every stone played, a PlayedShot each."""
    env = curling.Env(curling.players.drawer(), ends=8, seed=3, noise=noise, action="shot")
    start = time.process_time()
    _, info = env.reset()
    plays = [info["played"]]
    for shot in shots:
        _, _, terminated, _, info = env.step(shot)
        plays.append(info["played"])
        if terminated:
            _, info = env.reset()
            plays.append(info["played"])
    seconds = time.process_time() - start
    stones = []
    for step in plays:
        stones += step
    return seconds, stones


def bare_round(stones, work):
    """The same stones with curling.simulate on the positions before them, after `work`: "noise", the
    host's delivery written by hand (the lone resting point moved by normal noise, turned back into a
    shot); "aim", the lone resting point alone, which the host works out (and records) for every shot
    even without noise; or nothing."""
    before = [p.stones if p.shot < 15 else np.zeros((16, 2), np.float32) for p in stones]
    before = [np.zeros((16, 2), np.float32)] + before[:-1]
    rng = np.random.default_rng(1)
    start = time.process_time()
    for stones_before, played in zip(before, stones):
        shot = played.sent if work == "noise" else played.played
        if work:
            x, y = curling.lone_rest(*shot)
        if work == "noise":
            dx, dy = rng.normal(0.0, (0.0725, 0.29))
            shot = curling.create_shot(x + dx, y + dy, shot[2])
        curling.simulate(stones_before, played.shot, shot)
    return time.process_time() - start


def vector_round(threads, steps=60):
    env = curling.VectorEnv(16, curling.players.drawer(), ends=8, seed=5, threads=threads)
    env.reset()
    env.action_space.seed(1)
    actions = [env.action_space.sample() for _ in range(steps)]
    start = time.perf_counter()
    stones = 0
    for action in actions:
        _, _, _, _, info = env.step(action)
        stones += sum(len(p) for p in info["played"])
    return steps / (time.perf_counter() - start), stones


shots = agent_shots()
print(f"load average before: {os.getloadavg()[0]:.1f}")
comparisons = [(1.0, "noise", "the host's noise by hand, then simulate"), (0.0, "", "simulate alone"),
               (0.0, "aim", "lone_rest, then simulate")]
for noise, work, bare in comparisons:
    best_env = best_bare = 0.0
    for _ in range(ROUNDS):
        seconds, stones = env_round(shots, noise)
        best_env = max(best_env, len(stones) / seconds)
        best_bare = max(best_bare, len(stones) / bare_round(stones, work))
    print(f"noise {noise:g}: Env.step {best_env:,.0f} stones/s ({best_env / 2:,.0f} steps/s); {bare}: "
          f"{best_bare:,.0f} stones/s; Env costs {100 * (best_bare / best_env - 1):+.1f}%")
rates = {1: 0.0, 2: 0.0}
for _ in range(ROUNDS):
    for threads in rates:
        rate, stones = vector_round(threads)
        rates[threads] = max(rates[threads], rate)
print(f"VectorEnv(16): {rates[1]:,.0f} steps/s on 1 thread, {rates[2]:,.0f} on 2 ({rates[2] / rates[1]:.2f}x)"
      f"; about {stones / 60 / 16:.2f} stones per game and step")
print(f"load average after: {os.getloadavg()[0]:.1f}")
