"""Samples 10,000 random shots, plays them in one batch on a crowded house, prints shots per second."""
import time

import numpy as np

import curling

rng = np.random.default_rng(1)
count = 10_000
# Draw weight down to takeout weight, aimed anywhere across the house, either curl.
shots = np.column_stack([rng.uniform(-2.5, 2.5, count), rng.uniform(-36.0, -29.0, count),
                         rng.integers(0, 2, count)])
stones = np.zeros((16, 2), np.float32)
stones[:8] = [(2.375, 4.88), (2.7, 5.3), (2.0, 4.5), (2.375, 7.4), (2.95, 4.3), (1.85, 5.5),
              (2.45, 3.75), (2.1, 8.4)]
start = time.perf_counter()
after = curling.simulate_many(stones, 8, shots)
seconds = time.perf_counter() - start
in_house = np.mean(np.hypot(after[:, 8, 0] - 2.375, after[:, 8, 1] - 4.88) < 1.975)
print(f"{count} shots in {seconds:.2f} s: {count / seconds:.0f} shots per second; "
      f"{100 * in_house:.0f}% of the thrown stones stay in the house")
