"""pip install . into a fresh virtual environment of another Python, used from another folder."""

import os
import pathlib
import shutil
import subprocess
import sys
import zipfile

import pytest

SOURCE = pathlib.Path(os.environ.get("CURLING_SOURCE", pathlib.Path(__file__).parents[2]))
OTHER = pathlib.Path(os.environ.get("CURLING_OTHER_PYTHON", "/root/.pyenv/versions/3.11.7/bin/python3"))

USE = """
import pathlib, sys
import numpy as np
import curling
where = pathlib.Path(curling.__file__).parent
assert where.is_relative_to(pathlib.Path(sys.prefix)), where
assert (where / "_curling.pyi").exists() and (where / "py.typed").exists()
game = curling.Game(ends=1, seed=2)
while not game.over:
    game.play(curling.players.drawer()(game))
env = curling.Env(ends=1)
env.reset(seed=1)
env.step(np.array([2.375, 4.88, 0], np.float32))
print(sys.version_info[:3], game.totals)
"""


def run(command, **kwargs):
    done = subprocess.run([str(c) for c in command], capture_output=True, text=True, **kwargs)
    said = f"{done.stdout[-3000:]}\n{done.stderr[-3000:]}"
    assert done.returncode == 0, f"{' '.join(map(str, command))}\n{said}"
    return done.stdout


def source_copy(folder):
    """The project's sources without any build: pip builds what it installs from nothing."""
    def skip(directory, names):
        top = pathlib.Path(directory) == SOURCE
        return [n for n in names
                if n in (".git", "__pycache__") or (top and n.startswith(("build", "matches")))]
    shutil.copytree(SOURCE, folder, ignore=skip, symlinks=True)
    return folder


def lend(environment, python, modules):
    """Puts Debian's build of `modules` on the environment's path: this machine has no package index to
    install them from, and the other Python shares Debian's ABI."""
    where = "import sysconfig; print(sysconfig.get_paths()['purelib'])"
    site = pathlib.Path(run([python, "-c", where]).strip())
    lent = environment / "lent"
    lent.mkdir()
    debian = pathlib.Path("/usr/lib/python3/dist-packages")
    for module in modules:
        for entry in debian.glob(module + "*"):
            if entry.name == module or entry.name.startswith(module + "-"):
                (lent / entry.name).symlink_to(entry)
    (site / "lent.pth").write_text(str(lent) + "\n")


def test_pip_installs_the_package_into_a_fresh_environment_of_another_python(tmp_path):
    if not OTHER.exists():
        pytest.skip(f"no Python other than Debian's at {OTHER} (set CURLING_OTHER_PYTHON to one)")
    debian = sys.version_info[:2]
    other = tuple(int(n) for n in run([OTHER, "-c", "import sys; print(*sys.version_info[:2])"]).split())
    environment = tmp_path / "environment"
    run([OTHER, "-m", "venv", environment])
    python = environment / "bin" / "python"
    missing = [m for m in ("numpy", "wheel") if subprocess.run([python, "-c", "import " + m]).returncode != 0]
    if missing and other != debian:
        pytest.skip(f"{OTHER} is Python {other}, Debian's {debian}: it needs a NumPy of its own, and no "
                    "package index is reachable to install one")
    if missing:
        lend(environment, python, missing)
    clean = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PYTHONHOME")}
    source = source_copy(tmp_path / "source")
    pip = [python, "-m", "pip"]
    run(pip + ["install", "--no-build-isolation", "--no-index", source], env=clean, timeout=3000)

    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    print(run([python, "-c", USE], cwd=elsewhere, env=clean))

    # A wheel from the same tree reuses its build; it holds the extension, the stubs and the marker.
    wheels = tmp_path / "wheels"
    run(pip + ["wheel", "--no-build-isolation", "--no-index", "--no-deps", "-w", wheels, source], env=clean,
        timeout=3000)
    [wheel] = wheels.glob("curling-*.whl")
    names = zipfile.ZipFile(wheel).namelist()
    for part in ("curling/__init__.py", "curling/env.py", "curling/_curling.pyi", "curling/py.typed"):
        assert part in names
    assert any(n.startswith("curling/_curling.") and n.endswith(".so") for n in names)
