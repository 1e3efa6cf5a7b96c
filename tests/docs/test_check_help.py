"""The help checker reads the three kinds of help and two kinds of page the project has, passes them when
they agree, and finds each kind of mismatch planted in one of them."""

import os
import stat
import sys

import pytest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_help  # noqa: E402  (the checker beside this file)

# As CLI11 prints it: a vector flag, a value with commas and brackets, a description on the next line.
CLI11_HELP = """Plays games.
Usage: match [OPTIONS] [SUBCOMMAND]

Options:
  -h,--help               Print this help message and exit
  --engine PATH ...       an engine; give it twice
  --ends N                ends of a game, 1 to 100 (default 8)
  --paired                games in pairs
                          -- a description that wraps onto a dash
  --sprt E0,E1[,A,B]      stop early
  --a-flag-with-a-long-name FOLDER
                          a description of its own line

Subcommands:
  merge                   Pools shards.
"""
FLAGS_PAGE = """# Match

## Flags

| flag | default | meaning |
|---|---|---|
| `--engine PATH` | beside it | an engine |
| `--ends N` | 8 | ends |
| `--paired` | off | pairs |
| `--sprt E0,E1[,A,B]` | off | stop early |
| `--a-flag-with-a-long-name FOLDER` | | long |
| `--help`, `-h` | | the flags |

Prose after the table with `--not-a-flag X`.

## Later

| flag | meaning |
|---|---|
| `--elsewhere` | not in the flags table |
"""

# As argparse prints it: a positional argument, and flags whose help wraps.
ARGPARSE_HELP = """usage: bench.py [-h] --bin FOLDER [--analyses N] [ROUNDS]

positional arguments:
  ROUNDS          rounds (1 to 1000,
                  default 5)

options:
  -h, --help      show this help message and exit
  --bin FOLDER    the programs' folder
  --analyses N    analyses
"""
# As the Google Benchmark program prints its own flags, then the library's list, which is not its own.
EQUALS_HELP = """Micro benchmarks.
Usage: micro [FLAGS]

  --benchmark_filter=REGEX   only these
  --benchmark_list_tests=true  list them
  --help                     this text

Every flag the library reads:
benchmark [--benchmark_list_tests={true|false}]
          [--benchmark_color={auto|true|false}]
"""
COMMANDS_PAGE = """# Benchmarks

```sh
./build/bin/micro --in-a-code-block
```

| command | what it prints |
|---|---|
| `/usr/bin/python3 bench/bench.py --bin FOLDER [--analyses N] [ROUNDS]` | figures |
| `./build/bin/micro [--benchmark_filter=REGEX] [--benchmark_list_tests=true]` | `./build/bin/micro --x` |
| `./build/bin/speed [--fast-only yes\\|no]` | with a pipe |
"""
PIPE_HELP = """Usage: speed [OPTIONS]

Options:
  -h,--help            Print this help message and exit
  --fast-only yes|no   leave the plain path out
"""


def write(path, text, executable=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)
    if executable:
        os.chmod(path, stat.S_IRWXU)


def program_printing(root, name, help_text, code=0):
    path = os.path.join(root, "bin", name)
    write(path, "#!/bin/sh\ncat <<'HELP'\n%sHELP\nexit %d\n" % (help_text, code), executable=True)
    return path


def check(root, name, help_text, page_text, where, code=0):
    command = [program_printing(root, name, help_text, code), "--help"]
    program = check_help.Program(name, command, "docs/page.md", where)
    write(os.path.join(root, "docs", "page.md"), page_text)
    return check_help.check_program(program, root, os.path.join(root, "bin"), "python3")


SOUND = [
    ("CLI11 help, flags table", CLI11_HELP, FLAGS_PAGE, "#flags"),
    ("argparse help, command line", ARGPARSE_HELP, COMMANDS_PAGE, "/usr/bin/python3 bench/bench.py"),
    ("flags with =, the library's list left out", EQUALS_HELP, COMMANDS_PAGE, "./build/bin/micro"),
    ("an escaped pipe in a table", PIPE_HELP, COMMANDS_PAGE, "./build/bin/speed"),
]


@pytest.mark.parametrize("help_text, page, where", [case[1:] for case in SOUND],
                         ids=[case[0] for case in SOUND])
def test_agreeing_help_and_page_pass(tmp_path, help_text, page, where):
    assert check(str(tmp_path), "prog", help_text, page, where) == []


ENDS_ROW = "| `--ends N` | 8 | ends |\n"
ENDS_LINE = "  --ends N                ends of a game, 1 to 100 (default 8)\n"
FILTER_LINE = "  --benchmark_filter=REGEX   only these\n"
FAULTS = [
    ("flag missing from the page", CLI11_HELP, FLAGS_PAGE.replace(ENDS_ROW, ""), "#flags",
     "--ends is in --help but not on docs/page.md"),
    ("flag missing from the help", CLI11_HELP.replace(ENDS_LINE, ""), FLAGS_PAGE, "#flags",
     "--ends is on docs/page.md (#flags) but not in --help"),
    ("value named otherwise", CLI11_HELP, FLAGS_PAGE.replace("`--ends N`", "`--ends ENDS`"), "#flags",
     "--ends takes N in --help but ENDS on"),
    ("value on one side only", CLI11_HELP, FLAGS_PAGE.replace("`--paired`", "`--paired yes`"), "#flags",
     "--paired takes no value in --help but yes on"),
    ("positional named otherwise", ARGPARSE_HELP, COMMANDS_PAGE.replace("[ROUNDS]", "[rounds]"),
     "/usr/bin/python3 bench/bench.py", "arguments ROUNDS in --help but rounds on"),
    ("flag of the command line missing", ARGPARSE_HELP, COMMANDS_PAGE.replace(" [--analyses N]", ""),
     "/usr/bin/python3 bench/bench.py", "--analyses is in --help but not on"),
    ("flag with = missing from the help", EQUALS_HELP.replace(FILTER_LINE, ""), COMMANDS_PAGE,
     "./build/bin/micro", "--benchmark_filter is on docs/page.md"),
    ("no flags table", CLI11_HELP, FLAGS_PAGE.replace("## Flags", "## Flag list"), "#flags",
     "has no flags table under a heading #flags"),
    ("no command line", ARGPARSE_HELP, COMMANDS_PAGE, "/usr/bin/python3 bench/other.py",
     "has no code span that starts with `/usr/bin/python3 bench/other.py`"),
    ("no help at all", "READYOK", FLAGS_PAGE, "#flags", "what --help printed is no help"),
]


@pytest.mark.parametrize("help_text, page, where, expected", [case[1:] for case in FAULTS],
                         ids=[case[0] for case in FAULTS])
def test_planted_mismatch_is_found(tmp_path, help_text, page, where, expected):
    faults = check(str(tmp_path), "prog", help_text, page, where)
    assert len(faults) == 1 and expected in faults[0], faults


def test_a_help_that_fails_is_a_fault(tmp_path):
    faults = check(str(tmp_path), "prog", CLI11_HELP, FLAGS_PAGE, "#flags", code=3)
    assert faults == ["prog: --help ended with code 3: "]


def test_the_whole_run_fails_on_a_fault_and_skips_what_is_not_built(tmp_path, capsys):
    root = str(tmp_path)
    program_printing(root, "prog", CLI11_HELP)
    write(os.path.join(root, "docs", "page.md"), FLAGS_PAGE.replace(ENDS_ROW, ""))
    programs = [check_help.Program("prog", ["{bin}/prog", "--help"], "docs/page.md", "#flags")]
    assert check_help.main([root, os.path.join(root, "bin")], programs) == 1
    assert "1 programs checked, 1 faults" in capsys.readouterr().out
    assert check_help.main([root, os.path.join(root, "bin"), "--not-built", "prog"], programs) == 0
