"""Two agents through curling.Env against the drawer: one that throws at random, then the engine's search.

The random agent samples the action space (targets: where its stone should rest); the search agent sends
the shot the engine would send. Prints each game's line score. Usage: env_players.py [ends]
"""
import sys

import numpy as np

import curling


def play_episode(env, choose):
    observation, _ = env.reset()
    terminated, points = False, 0.0
    while not terminated:
        observation, reward, terminated, _, _ = env.step(choose(env, observation))
        points += reward
    return points


ends = int(sys.argv[1]) if len(sys.argv) > 1 else 2

env = curling.Env(curling.players.drawer(), ends=ends, seed=1, action="target")
env.action_space.seed(3)
points = play_episode(env, lambda env, observation: env.action_space.sample())
print(f"random agent: line score {env.game.scores.tolist()}, points {points:+.0f}")

search = curling.players.search()
env = curling.Env(curling.players.drawer(), ends=ends, seed=1, action="shot")
points = play_episode(env, lambda env, observation: np.array(search(env.game), np.float32))
print(f"search agent: line score {env.game.scores.tolist()}, points {points:+.0f}")
