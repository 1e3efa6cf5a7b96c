"""The link checker finds each kind of fault in a small tree of its own and passes a sound one."""

import os
import stat
import subprocess
import sys

import pytest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_links.py")

# Headings with code, punctuation and a repeat, links the checker must leave alone, and every kind of
# reference it follows.
SOUND_README = """# Project
See [the guide](docs/guide.md), [its faults](docs/guide.md#faults-restarts-and-forfeits),
[the second one](docs/guide.md#faults-restarts-and-forfeits-1), [Python](docs/guide.md#python-import-curling),
[the site](https://example.org/missing.md), [mail](mailto:someone@example.org), `[code](nowhere.md)`
and [the engine's folder](engine/) with `engine/main.cpp`.

```sh
./scripts/play --ends 2    # a comment with a [link](nowhere.md) in a code block
./build/bin/curling-match --engine build/bin/curling-engine
```
"""
SOUND_GUIDE = """# Guide
## Faults, restarts and forfeits
Back to [the top](../README.md) and [this page](#guide).
## Faults, restarts and forfeits
## Python: `import curling`
Run `./build/bin/curling-engine`.
"""


def make_tree(root, readme=SOUND_README, guide=SOUND_GUIDE):
    os.makedirs(os.path.join(root, "docs"))
    os.makedirs(os.path.join(root, "scripts"))
    os.makedirs(os.path.join(root, "engine"))
    os.makedirs(os.path.join(root, "bin"))
    with open(os.path.join(root, "README.md"), "w", encoding="utf-8") as file:
        file.write(readme)
    with open(os.path.join(root, "docs", "guide.md"), "w", encoding="utf-8") as file:
        file.write(guide)
    for name in ("scripts/play", "scripts/notes", "bin/curling-match", "bin/curling-engine", "engine/main.cpp"):
        open(os.path.join(root, name), "w").close()
    os.chmod(os.path.join(root, "scripts/play"), stat.S_IRWXU)


def run_checker(root, *extra):
    return subprocess.run([sys.executable, CHECKER, str(root), os.path.join(root, "bin"), *extra],
                          capture_output=True, text=True)


def test_sound_tree_passes(tmp_path):
    make_tree(str(tmp_path))
    result = run_checker(tmp_path)
    assert result.returncode == 0, result.stdout


FAULTS = [
    ("missing file", "See [x](docs/gone.md).\n", "README.md:1: link to docs/gone.md: no such file"),
    ("missing anchor", "See [x](docs/guide.md#faults).\n", "docs/guide.md#faults: no heading"),
    ("anchor of a repeat too many", "[x](docs/guide.md#faults-restarts-and-forfeits-2)\n", "no heading"),
    ("own missing anchor", "# Top\n[x](#bottom)\n", "README.md:2: link to #bottom: no heading"),
    ("heading inside code", "```\n# Shell comment\n```\n[x](#shell-comment)\n", "no heading"),
    ("missing script", "Run `./scripts/plays`.\n", "./scripts/plays: no such executable script"),
    ("script not executable", "```\n./scripts/notes\n```\n", "./scripts/notes: no such executable script"),
    ("program not built", "Run ./build/bin/curling-studio.\n", "build/bin/curling-studio: not built"),
    ("program without ./", "--engine build/bin/curling-drawer\n", "build/bin/curling-drawer: not built"),
    ("stale source path", "See `host/json_reader.cpp`.\n", "host/json_reader.cpp: no such file"),
]


@pytest.mark.parametrize("planted, expected", [(text, message) for _, text, message in FAULTS],
                         ids=[name for name, _, _ in FAULTS])
def test_planted_fault_fails(tmp_path, planted, expected):
    make_tree(str(tmp_path), readme=planted)
    result = run_checker(tmp_path)
    assert result.returncode == 1
    assert expected in result.stdout


def test_program_left_out_of_the_build_passes(tmp_path):
    make_tree(str(tmp_path), readme="Time it: `./build/bin/bench_batch 5`.\n")
    assert run_checker(tmp_path).returncode == 1
    assert run_checker(tmp_path, "--not-built", "bench_batch").returncode == 0


def test_installed_copy_is_checked_for_links_alone(tmp_path):
    # The pages as installed: no scripts, programs or sources beside them, and none looked for.
    make_tree(str(tmp_path))
    for name in ("scripts/play", "scripts/notes", "bin/curling-match", "bin/curling-engine", "engine/main.cpp"):
        os.remove(os.path.join(tmp_path, name))
    links_only = [sys.executable, CHECKER, "--links-only", str(tmp_path)]
    assert run_checker(tmp_path).returncode == 1
    result = subprocess.run(links_only, capture_output=True, text=True)
    assert result.returncode == 0, result.stdout
    os.remove(os.path.join(tmp_path, "docs", "guide.md"))
    result = subprocess.run(links_only, capture_output=True, text=True)
    assert result.returncode == 1
    assert "README.md:2: link to docs/guide.md: no such file" in result.stdout
