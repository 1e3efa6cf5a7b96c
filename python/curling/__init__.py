from ._curling import (BestShot, Search, create_shot, evaluate, lone_rest, score, simulate,
                       simulate_many)
from ._curling import __doc__

from ._curling import Game, PlayedShot, Shot, Target, play_many
from . import players, spaces
from .env import Env, VectorEnv

__all__ = ["BestShot", "Env", "Game", "PlayedShot", "Search", "Shot", "Target", "VectorEnv", "create_shot",
           "evaluate", "lone_rest", "play_many", "players", "score", "simulate", "simulate_many", "spaces"]
