from ._curling import (BestShot, Search, create_shot, evaluate, lone_rest, score, simulate,
                       simulate_many)
from ._curling import __doc__

__all__ = ["BestShot", "Search", "create_shot", "evaluate", "lone_rest", "score", "simulate",
           "simulate_many"]
