"""Descriptions of observations and actions for machines without Gymnasium.

When `gymnasium` is importable, curling.Env describes its spaces with gymnasium.spaces itself; otherwise
with these classes, which keep the part of that interface a learner reads: `shape`, `dtype`, the bounds,
`sample()`, `contains()` (also as `in`) and `seed()`. They depend on nothing but NumPy.
"""

from typing import Any, Dict as DictType, Iterator, Optional, Sequence, Tuple, Union

import numpy as np

__all__ = ["Space", "Box", "Discrete", "MultiDiscrete", "Dict"]


class Space:
    """A set of values of one shape and dtype, with a random generator to sample it."""

    def __init__(self, shape: Optional[Tuple[int, ...]], dtype: Any, seed: Optional[int] = None) -> None:
        self.shape = shape
        self.dtype = None if dtype is None else np.dtype(dtype)
        self.np_random = np.random.default_rng(seed)

    def seed(self, seed: Optional[int] = None) -> list:
        """Restarts the sampling generator from `seed` (None: from fresh entropy)."""
        self.np_random = np.random.default_rng(seed)
        return [seed]

    def sample(self) -> Any:
        raise NotImplementedError

    def contains(self, x: Any) -> bool:
        raise NotImplementedError

    def __contains__(self, x: Any) -> bool:
        return self.contains(x)


class Box(Space):
    """Arrays of `shape` and `dtype` with every element within [low, high]."""

    def __init__(self, low: Union[float, np.ndarray], high: Union[float, np.ndarray],
                 shape: Optional[Sequence[int]] = None, dtype: Any = np.float32,
                 seed: Optional[int] = None) -> None:
        if shape is None:
            shape = np.shape(low) if np.ndim(low) > 0 else np.shape(high)
        shape = tuple(int(n) for n in shape)
        super().__init__(shape, dtype, seed)
        self.low = np.broadcast_to(np.asarray(low, self.dtype), shape).copy()
        self.high = np.broadcast_to(np.asarray(high, self.dtype), shape).copy()
        if (self.low > self.high).any():
            raise ValueError("Box: low must not exceed high")

    def sample(self) -> np.ndarray:
        if np.issubdtype(self.dtype, np.integer):
            return self.np_random.integers(self.low, self.high, endpoint=True).astype(self.dtype)
        return self.np_random.uniform(self.low, self.high).astype(self.dtype)

    def contains(self, x: Any) -> bool:
        if not isinstance(x, np.ndarray):
            x = np.asarray(x)
            if np.issubdtype(x.dtype, np.number) and np.can_cast(x.dtype, self.dtype):
                x = x.astype(self.dtype)
        return (x.shape == self.shape and x.dtype == self.dtype and
                bool(np.all(x >= self.low)) and bool(np.all(x <= self.high)))

    def __repr__(self) -> str:
        return f"Box({self.low.min()}, {self.high.max()}, {self.shape}, {self.dtype})"

    def __eq__(self, other: Any) -> bool:
        return (isinstance(other, Box) and other.shape == self.shape and other.dtype == self.dtype and
                np.array_equal(other.low, self.low) and np.array_equal(other.high, self.high))


class Discrete(Space):
    """The integers start, start + 1, ..., start + n - 1, sampled as np.int64."""

    def __init__(self, n: int, seed: Optional[int] = None, start: int = 0) -> None:
        super().__init__((), np.int64, seed)
        self.n = int(n)
        self.start = int(start)

    def sample(self) -> np.int64:
        return np.int64(self.start + self.np_random.integers(self.n))

    def contains(self, x: Any) -> bool:
        if isinstance(x, (int, np.integer)) and not isinstance(x, (bool, np.bool_)):
            value = int(x)
        elif isinstance(x, np.ndarray) and x.shape == () and np.issubdtype(x.dtype, np.integer):
            value = int(x)
        else:
            return False
        return self.start <= value < self.start + self.n

    def __repr__(self) -> str:
        return f"Discrete({self.n})" if self.start == 0 else f"Discrete({self.n}, start={self.start})"

    def __eq__(self, other: Any) -> bool:
        return isinstance(other, Discrete) and other.n == self.n and other.start == self.start


class MultiDiscrete(Space):
    """Arrays of int64 whose element i lies in 0 .. nvec[i] - 1: a batch of Discrete values."""

    def __init__(self, nvec: Sequence[int], seed: Optional[int] = None) -> None:
        self.nvec = np.asarray(nvec, np.int64)
        super().__init__(self.nvec.shape, np.int64, seed)

    def sample(self) -> np.ndarray:
        return self.np_random.integers(self.nvec).astype(np.int64)

    def contains(self, x: Any) -> bool:
        x = np.asarray(x)
        return (x.shape == self.shape and np.issubdtype(x.dtype, np.integer) and
                bool(np.all(x >= 0)) and bool(np.all(x < self.nvec)))

    def __repr__(self) -> str:
        return f"MultiDiscrete({self.nvec.tolist()})"

    def __eq__(self, other: Any) -> bool:
        return isinstance(other, MultiDiscrete) and np.array_equal(other.nvec, self.nvec)


class Dict(Space):
    """Dictionaries of named values, each in its own space."""

    def __init__(self, spaces: DictType[str, Space], seed: Optional[int] = None) -> None:
        super().__init__(None, None, seed)
        self.spaces = dict(spaces)

    def seed(self, seed: Optional[int] = None) -> list:
        """Seeds every space from one generator started at `seed`."""
        seeds = np.random.SeedSequence(seed).spawn(len(self.spaces))
        for space, child in zip(self.spaces.values(), seeds):
            space.seed(int(child.generate_state(1)[0]))
        return [seed]

    def sample(self) -> DictType[str, Any]:
        return {key: space.sample() for key, space in self.spaces.items()}

    def contains(self, x: Any) -> bool:
        return (isinstance(x, dict) and x.keys() == self.spaces.keys() and
                all(space.contains(x[key]) for key, space in self.spaces.items()))

    def __getitem__(self, key: str) -> Space:
        return self.spaces[key]

    def __iter__(self) -> Iterator[str]:
        return iter(self.spaces)

    def keys(self):
        return self.spaces.keys()

    def items(self):
        return self.spaces.items()

    def __repr__(self) -> str:
        return "Dict(" + ", ".join(f"{key!r}: {space}" for key, space in self.spaces.items()) + ")"

    def __eq__(self, other: Any) -> bool:
        return isinstance(other, Dict) and other.spaces == self.spaces


def batch_space(space: Space, n: int) -> Space:
    """The space of n values of `space` stacked along a new first axis."""
    if isinstance(space, Box):
        shape = (n,) + space.shape
        return Box(np.broadcast_to(space.low, shape), np.broadcast_to(space.high, shape), dtype=space.dtype)
    if isinstance(space, Discrete):
        if space.start != 0:
            raise ValueError("only Discrete spaces that start at 0 batch")
        return MultiDiscrete([space.n] * n)
    if isinstance(space, Dict):
        return Dict({key: batch_space(inner, n) for key, inner in space.items()})
    raise TypeError(f"cannot batch {space!r}")
