#!/usr/bin/env python3
"""Checks what README.md and docs/*.md point at.

Every relative link must reach a file or folder, and a link's #anchor a heading of the Markdown file it
names (anchors made as GitHub makes them). Every ./scripts/NAME named anywhere, code blocks included,
must be an executable script of the source tree; every build/bin/NAME a program in the build's own bin
folder, since a dev or asan build keeps its programs in build/<preset>/bin. A path of the source tree
quoted in backticks (`host/options.cpp`) must exist too, so a renamed file does not leave a stale name.

Usage: check_links.py SOURCE_DIR BIN_DIR [--not-built NAME]...
       check_links.py --links-only DOC_DIR
--not-built names a program this build leaves out (bench_batch without the Python module).
--links-only checks the links alone, of an installed copy of the pages, which has no scripts, programs
or sources beside it. Prints one line per fault and exits 1 when there is any.
"""

import argparse
import os
import re
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
EXTERNAL = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")
SCRIPT = re.compile(r"(?<![\w./-])\./scripts/([\w.-]+)")
PROGRAM = re.compile(r"(?<![\w./-])(?:\./)?build/bin/([\w.-]+)")
INLINE_CODE = re.compile(r"`([^`]+)`")
# Only paths under the project's own top folders: `build/...`, `/usr/...` or `matches/...` are not ours.
SOURCE_PATH = re.compile(
    r"^(?:records|platform|physics|evaluation|search|engine|simulator|host|studio|web|python|windows|tests|bench|fuzz|"
    r"examples|scripts|cmake|docs|\.ci)/[\w./-]*$")
FENCE = re.compile(r"^\s*(```|~~~)")


def slug(heading):
    """The anchor GitHub gives a heading: lower case, punctuation dropped, spaces made hyphens."""
    text = re.sub(r"[^\w\- ]", "", heading.strip().lower())
    return text.replace(" ", "-")


class Page:
    """A Markdown file split into prose lines (code spans kept) and code-block lines."""

    def __init__(self, path):
        self.path = path
        self.prose = []  # (line number, text)
        self.code = []
        fenced = False
        with open(path, encoding="utf-8") as file:
            for number, line in enumerate(file, 1):
                if FENCE.match(line):
                    fenced = not fenced
                    continue
                (self.code if fenced else self.prose).append((number, line.rstrip("\n")))
        self.anchors = set()
        for _, line in self.prose:
            heading = re.match(r"^#{1,6}\s+(.*?)\s*#*\s*$", line)
            if heading:
                base = slug(heading.group(1))
                anchor, repeat = base, 0
                while anchor in self.anchors:  # GitHub numbers a repeated heading's anchor
                    repeat += 1
                    anchor = "%s-%d" % (base, repeat)
                self.anchors.add(anchor)


def check_page(page, source_dir, bin_dir, not_built, pages, links_only=False):
    faults = []
    where = os.path.relpath(page.path, source_dir)

    def fault(number, text):
        faults.append((number, "%s:%d: %s" % (where, number, text)))

    for number, line in page.prose:
        without_code = INLINE_CODE.sub("", line)
        for target in LINK.findall(without_code):
            if EXTERNAL.match(target):
                continue
            path, _, anchor = target.partition("#")
            resolved = os.path.normpath(os.path.join(os.path.dirname(page.path), path)) if path else page.path
            if not os.path.exists(resolved):
                fault(number, "link to %s: no such file" % target)
                continue
            if anchor and resolved.endswith(".md"):
                if resolved not in pages:
                    pages[resolved] = Page(resolved)
                if anchor not in pages[resolved].anchors:
                    fault(number, "link to %s: no heading with that anchor" % target)
        for quoted in INLINE_CODE.findall(line):
            if not links_only and SOURCE_PATH.match(quoted) and not os.path.exists(os.path.join(source_dir, quoted)):
                fault(number, "%s: no such file in the source tree" % quoted)

    for number, line in [] if links_only else page.prose + page.code:
        for name in SCRIPT.findall(line):
            script = os.path.join(source_dir, "scripts", name)
            if not (os.path.isfile(script) and os.access(script, os.X_OK)):
                fault(number, "./scripts/%s: no such executable script" % name)
        for name in PROGRAM.findall(line):
            name = name.rstrip(".")
            if name not in not_built and not os.path.isfile(os.path.join(bin_dir, name)):
                fault(number, "build/bin/%s: not built into %s" % (name, bin_dir))
    return [text for _, text in sorted(faults)]


def main(arguments):
    parser = argparse.ArgumentParser(description="Checks the links and commands of README.md and docs/.")
    parser.add_argument("source_dir")
    parser.add_argument("bin_dir", nargs="?")
    parser.add_argument("--not-built", action="append", default=[], metavar="NAME",
                        help="a program this build leaves out")
    parser.add_argument("--links-only", action="store_true",
                        help="check the links alone, of installed pages without the source tree")
    options = parser.parse_args(arguments)
    if (options.bin_dir is None) != options.links_only:
        parser.error("give BIN_DIR, or --links-only without it")
    source_dir = os.path.abspath(options.source_dir)
    bin_dir = os.path.abspath(options.bin_dir) if options.bin_dir else None
    not_built = set(options.not_built)
    files = [os.path.join(source_dir, "README.md")]
    docs = os.path.join(source_dir, "docs")
    if os.path.isdir(docs):
        files += sorted(os.path.join(docs, name) for name in os.listdir(docs) if name.endswith(".md"))
    pages = {}
    faults = []
    for path in files:
        pages.setdefault(path, Page(path))
        faults += check_page(pages[path], source_dir, bin_dir, not_built, pages, options.links_only)
    for line in faults:
        print(line)
    print("%d Markdown files checked, %d faults" % (len(files), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
