"""Shots per second of curling.simulate_many against the C++ loop, on the same 10,994 test shots.

Usage (from the repository, after the build):
    PYTHONPATH=build/python /usr/bin/python3 bench/batch/bench_simulate_many.py [rounds]
Each round runs build/bin/bench_batch once and then the module, so both see the same load; every
figure is the fastest of the rounds (5 by default).
"""

import pathlib
import re
import subprocess
import sys
import time

import numpy as np

import curling

ROOT = pathlib.Path(__file__).resolve().parents[2]
ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 5


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
