"""Shots per second of curling.simulate_many against the C++ loop, on the same 10,994 test shots.

Usage (from the repository, after the build):
    PYTHONPATH=build/python /usr/bin/python3 bench/batch/bench_simulate_many.py [rounds]  (or --help)
Each round runs build/bin/bench_batch once and then the module, so both see the same load; every
figure is the fastest of the rounds (5 by default).
"""

import argparse
import os
import pathlib
import re
import subprocess
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
        prog="bench_simulate_many.py",
        description="Shots per second of curling.simulate_many against the C++ loop (bench_batch).")
    parser.add_argument("rounds", nargs="?", type=round_count, default=5, metavar="ROUNDS",
                        help="rounds; every figure is the fastest of them (1 to 1000, default 5)")
    return parser.parse_args().rounds


# Read before the module is imported, so that --help works without a build.
ROUNDS = rounds_from_command_line()

import numpy as np  # noqa: E402

import curling  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]


def position(name):
    stones = np.zeros(32, np.float32)
    for line in (ROOT / "tests/fixtures/positions" / f"{name}.txt").read_text().splitlines():
        words = line.split()
        if words[:1] == ["POSITION"]:
            stones[:len(words) - 1] = [float(w) for w in words[1:33]]
        elif words[:1] == ["SETSTATE"]:
            shot_number = int(words[1])
    return stones.reshape(16, 2), shot_number


shots = curling.Search().test_shots
best = {}
for _ in range(ROUNDS):
    cpp = subprocess.run([ROOT / "build/bin/bench_batch", "1"], capture_output=True, text=True, check=True)
    for name, kind, rate in re.findall(r"(\S+), C\+\+ (\w+), \d threads?: (\d+)", cpp.stdout):
        best[name, "C++ " + kind] = max(best.get((name, "C++ " + kind), 0), float(rate))
    for name in ("crowded_house_shot8", "empty_sheet"):
        stones, shot_number = position(name)
        for threads in (1, 2):
            start = time.perf_counter()
            curling.simulate_many(stones, shot_number, shots, threads=threads)
            rate = len(shots) / (time.perf_counter() - start)
            best[name, f"module {threads}"] = max(best.get((name, f"module {threads}"), 0), rate)

print(f"{len(shots)} test shots, fastest of {ROUNDS} rounds")
print(f"{'position':22} {'threads':>7} {'C++ shots/s':>12} {'module shots/s':>15} {'module costs':>13}")
for name in ("empty_sheet", "crowded_house_shot8"):
    for threads, kind in ((1, "loop"), (2, "batch")):
        cpp, module = best[name, "C++ " + kind], best[name, f"module {threads}"]
        print(f"{name:22} {threads:>7} {cpp:>12.0f} {module:>15.0f} {100 * (cpp / module - 1):>+12.1f}%")
