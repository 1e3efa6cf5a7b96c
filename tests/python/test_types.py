"""The type stubs and docstrings describe the extension as it is: every name, every parameter."""

import ast
import inspect
import pathlib
import re

import curling
from curling import _curling

STUBS = ast.parse((pathlib.Path(curling.__file__).parent / "_curling.pyi").read_text())


def public(names):
    return {n for n in names if not n.startswith("_") or n in ("__init__", "__eq__")}


def stub_parameters(function):
    arguments = function.args
    return [a.arg for a in arguments.posonlyargs + arguments.args + arguments.kwonlyargs if a.arg != "self"]


def runtime_parameters(function):
    """The parameter names of every overload pybind11 lists at the head of a docstring."""
    lines = (function.__doc__ or "").splitlines()
    heads = [line for line in lines if re.match(r"^(\d+\. )?\w+\(", line)]
    names = []
    for head in heads[:1]:
        inner = head[head.index("(") + 1:head.rindex(") ->")]
        names += [p.split(":")[0].strip() for p in re.split(r",\s*(?![^\[]*\])", inner) if p.strip()]
    return [n for n in names if n not in ("self", "*")]


def stubbed():
    functions = {n.name: n for n in STUBS.body if isinstance(n, ast.FunctionDef)}
    classes = {n.name: {m.name: m for m in n.body if isinstance(m, ast.FunctionDef)}
               for n in STUBS.body if isinstance(n, ast.ClassDef)}
    return functions, classes


def test_every_name_of_the_extension_has_a_stub_and_no_stub_is_stale():
    functions, classes = stubbed()
    runtime = public(n for n in dir(_curling) if not isinstance(getattr(_curling, n), type(_curling)))
    assert runtime == set(functions) | set(classes)
    for name, members in classes.items():
        cls = getattr(_curling, name)
        if issubclass(cls, tuple):
            continue
        own = public(n for n in vars(cls) if n not in ("__module__", "__doc__"))
        if (cls.__init__.__doc__ or "").startswith("Initialize self"):
            own.discard("__init__")  # pybind11's stand-in, which refuses: no constructor is defined
        assert own == public(members), name


def test_stubs_name_the_parameters_the_extension_takes():
    functions, classes = stubbed()
    for name, stub in functions.items():
        assert stub_parameters(stub) == runtime_parameters(getattr(_curling, name)), name
    for name, members in classes.items():
        for member, stub in members.items():
            cls = getattr(_curling, name)
            attribute = inspect.getattr_static(cls, member, None)
            if callable(attribute) and not isinstance(attribute, property) and member != "__eq__":
                assert stub_parameters(stub) == runtime_parameters(getattr(cls, member)), f"{name}.{member}"


def test_help_reads_as_a_manual():
    undocumented = [name for name in curling.__all__ if not (getattr(curling, name).__doc__ or "").strip()]
    assert undocumented == []
    for word in ("metres", "m/s", "Game", "Env", "players"):
        assert word in curling.__doc__
