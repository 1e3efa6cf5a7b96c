import os
import sys

# Box2D times every step with gettimeofday for a profile nothing reads. The extension answers those
# calls from its own clock, stopped during the fast path's steps (half the cost of a collision shot),
# and real time otherwise. Box2D finds that clock only when the extension is loaded deep-bound: its own
# dependencies then look in it before the process's C library. Nothing else in the process is touched.
# CURLING_SYSTEM_CLOCK=1 loads it as any other extension; the results are the same either way.
_flags = sys.getdlopenflags()
if hasattr(os, "RTLD_DEEPBIND") and os.environ.get("CURLING_SYSTEM_CLOCK") != "1":
    sys.setdlopenflags(_flags | os.RTLD_DEEPBIND)
try:
    from ._curling import (BestShot, Search, create_shot, evaluate, lone_rest, score, simulate,
                           simulate_many)
    from ._curling import __doc__
finally:
    sys.setdlopenflags(_flags)

from ._curling import Game, PlayedShot, Shot, Target, play_many
from . import players, spaces
from .env import Env, VectorEnv

__all__ = ["BestShot", "Env", "Game", "PlayedShot", "Search", "Shot", "Target", "VectorEnv", "create_shot",
           "evaluate", "lone_rest", "play_many", "players", "score", "simulate", "simulate_many", "spaces"]
