#!/usr/bin/env python3
"""Checks that each program's --help and its page in docs/ name the same flags.

Every program of PROGRAMS is run with --help. Its flags are the lines of the help that begin with a dash,
each with the name of its value (`--engine PATH`, `--benchmark_filter=REGEX`), and its positional
arguments the names listed under "Positionals:" or "positional arguments:". Its page documents them
either in a flags table, the first table under a heading, one flag per row in the first column, or in
its command line as the page quotes it, the first code span that starts with that command
(`./build/bin/bench_speed [--fast-runs N] ...`). A flag on one side only, a value named otherwise on the
other side, or other positional arguments are faults. -h and --help, which every program answers, are
left out; defaults and ranges are for a reader to compare. The engines, the baselines among them, read
no flags: they speak the protocol only.

Usage: check_help.py SOURCE_DIR BIN_DIR [--python PYTHON] [--not-built NAME]...
--python runs the Python scripts (this interpreter by default); --not-built names a program this build
leaves out. Prints one line per fault and exits 1 when there is any.
"""

import argparse
import collections
import os
import re
import subprocess
import sys

from check_links import INLINE_CODE, Page, slug

# How to ask for the help ({bin}, {source} and {python} filled in), the page, and where on it: "#anchor"
# for the flags table under that heading, otherwise the start of the command line the page quotes.
Program = collections.namedtuple("Program", "name command page where")

BENCHMARKS = "docs/benchmarks.md"


def built(name, page, where, *arguments):
    return Program(name, ["{bin}/" + name.split()[0], *arguments, "--help"], page, where)


def script(path, page, where):
    return Program(os.path.basename(path), ["{python}", "{source}/" + path, "--help"], page, where)


PROGRAMS = [
    built("curling-match", "docs/match-host.md", "#flags"),
    built("curling-match merge", "docs/match-host.md", "curling-match merge", "merge"),
    built("curling-studio", "docs/studio.md", "#flags"),
    built("bench_speed", BENCHMARKS, "./build/bin/bench_speed"),
    built("bench_engine", BENCHMARKS, "./build/bin/bench_engine"),
    built("bench_search", BENCHMARKS, "./build/bin/bench_search"),
    built("bench_physics", BENCHMARKS, "./build/bin/bench_physics"),
    built("bench_micro", BENCHMARKS, "./build/bin/bench_micro"),
    built("bench_batch", BENCHMARKS, "./build/bin/bench_batch"),
    script("bench/batch/bench_simulate_many.py", BENCHMARKS,
           "PYTHONPATH=build/python /usr/bin/python3 bench/batch/bench_simulate_many.py"),
    script("bench/python/bench_env.py", BENCHMARKS,
           "PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_env.py"),
    script("bench/studio/bench_studio.py", BENCHMARKS, "/usr/bin/python3 bench/studio/bench_studio.py"),
]

HELP_FLAGS = {"-h", "--help"}
OPTION_LINE = re.compile(r"^ {1,4}-")  # deeper lines continue a description
POSITIONALS_HEADING = re.compile(r"^(Positionals|positional arguments):\s*$")


class Usage:
    """The flags of a program, each with its value's name ("" for none), and its positional arguments."""

    def __init__(self):
        self.flags = {}
        self.positionals = []
        self.lists_help = False

    def add_flag(self, text):
        flag, value = split_flag(text)
        if flag in HELP_FLAGS:
            self.lists_help = True
        else:
            self.flags[flag] = value


def split_flag(text):
    """`--engine PATH ...` or `--benchmark_out=FILE` into the flag and its value's name."""
    match = re.match(r"(-{1,2}[\w-]+)(?:[ =](.*))?$", text.strip())
    if not match:
        return text.strip(), ""
    value = (match.group(2) or "").strip()
    return match.group(1), re.sub(r"\s*\.\.\.$", "", value)  # CLI11 marks a flag given more than once


def positional_name(text):
    """The name shown for a positional argument: its last word, without a trailing "...". """
    words = text.replace("...", " ").split()
    return words[-1] if words else ""


def read_help(text):
    usage = Usage()
    positionals = False
    for line in text.splitlines():
        if POSITIONALS_HEADING.match(line):
            positionals = True
            continue
        if not line.strip() or not line.startswith(" "):
            positionals = False
            continue
        invocation = re.split(r"\s{2,}", line.strip(), maxsplit=1)[0]
        if OPTION_LINE.match(line):
            # "-h,--help" and "-h, --help" hold two names; the commas of a value ("E0,E1[,A,B]") do not.
            for name in re.split(r",\s*(?=-)", invocation):
                usage.add_flag(name)
        elif positionals and re.match(r"^ {1,4}\S", line):
            usage.positionals.append(positional_name(invocation))
    return usage


def table_cells(line):
    """A table row's cells; a pipe escaped as \\| stays within its cell."""
    cells = re.split(r"(?<!\\)\|", line.strip().strip("|"))
    return [cell.strip().replace("\\|", "|") for cell in cells]


def read_flags_table(lines, anchor):
    """The usage in the first table under the heading with that anchor, or None without one."""
    under, usage, started = False, Usage(), False
    for line in lines:
        heading = re.match(r"^#{1,6}\s+(.*?)\s*#*\s*$", line)
        if heading:
            if under:
                break
            under = slug(heading.group(1)) == anchor
            continue
        if not under:
            continue
        if line.lstrip().startswith("|"):
            started = True
            first = table_cells(line)[0]
            for code in INLINE_CODE.findall(first):
                if code.startswith("-"):
                    usage.add_flag(code)
                elif re.match(r"^[A-Z][\w.]*$", code):
                    usage.positionals.append(positional_name(code))
        elif started:
            break
    return usage if started else None


def read_command_line(lines, command):
    """The usage that the first code span starting with `command` shows, or None without one."""
    for line in lines:
        for code in INLINE_CODE.findall(line.replace("\\|", "|")):
            if code == command or code.startswith(command + " "):
                return parse_synopsis(code[len(command):])
    return None


def parse_synopsis(text):
    """`--bin FOLDER [--runs N] [--keep=FOLDER] DIR...`: a flag takes the name after it within its brackets,
    or the bare name after a bare flag; anything else is a positional argument."""
    usage = Usage()
    items = re.findall(r"\[([^\[\]]*)\]|(\S+)", text)
    items = [(bracketed or bare, bool(bare)) for bracketed, bare in items]
    while items:
        item, bare = items.pop(0)
        if not item.startswith("-"):
            usage.positionals.append(positional_name(item))
            continue
        if bare and "=" not in item and items and items[0][1] and not items[0][0].startswith("-"):
            item += " " + items.pop(0)[0]
        usage.add_flag(item)
    return usage


def compare(program, shown, documented):
    faults = []
    where = "%s (%s)" % (program.page, program.where)
    for flag in sorted(set(shown.flags) - set(documented.flags)):
        faults.append("%s: %s is in --help but not on %s" % (program.name, flag, where))
    for flag in sorted(set(documented.flags) - set(shown.flags)):
        faults.append("%s: %s is on %s but not in --help" % (program.name, flag, where))
    for flag in sorted(set(shown.flags) & set(documented.flags)):
        value, named = shown.flags[flag] or "no value", documented.flags[flag] or "no value"
        if value != named:
            faults.append("%s: %s takes %s in --help but %s on %s" % (program.name, flag, value, named, where))
    if shown.positionals != documented.positionals:
        faults.append("%s: arguments %s in --help but %s on %s" % (
            program.name, " ".join(shown.positionals) or "none", " ".join(documented.positionals) or "none",
            where))
    return faults


def check_program(program, source_dir, bin_dir, python):
    command = [part.format(bin=bin_dir, source=source_dir, python=python) for part in program.command]
    try:
        run = subprocess.run(command, capture_output=True, text=True, timeout=60, stdin=subprocess.DEVNULL)
    except (OSError, subprocess.TimeoutExpired) as error:
        return ["%s: --help did not run: %s" % (program.name, error)]
    if run.returncode != 0:
        return ["%s: --help ended with code %d: %s" % (program.name, run.returncode, run.stderr.strip())]
    shown = read_help(run.stdout)
    if not shown.lists_help:
        return ["%s: what --help printed is no help: %r" % (program.name, run.stdout[:200])]
    page = os.path.join(source_dir, program.page)
    lines = [line for _, line in Page(page).prose]
    if program.where.startswith("#"):
        documented = read_flags_table(lines, program.where[1:])
        missing = "no flags table under a heading %s" % program.where
    else:
        documented = read_command_line(lines, program.where)
        missing = "no code span that starts with `%s`" % program.where
    if documented is None:
        return ["%s: %s has %s" % (program.name, program.page, missing)]
    return compare(program, shown, documented)


def main(arguments, programs=PROGRAMS):
    parser = argparse.ArgumentParser(description="Checks that each program's --help matches its page.")
    parser.add_argument("source_dir")
    parser.add_argument("bin_dir")
    parser.add_argument("--python", default=sys.executable, help="runs the Python scripts")
    parser.add_argument("--not-built", action="append", default=[], metavar="NAME",
                        help="a program this build leaves out")
    options = parser.parse_args(arguments)
    source_dir, bin_dir = os.path.abspath(options.source_dir), os.path.abspath(options.bin_dir)
    faults, checked = [], 0
    for program in programs:
        if program.name in options.not_built:
            continue
        checked += 1
        faults += check_program(program, source_dir, bin_dir, options.python)
    for line in faults:
        print(line)
    print("%d programs checked, %d faults" % (checked, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
