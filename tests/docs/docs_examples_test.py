#!/usr/bin/env python3
"""Runs the command examples of the README, docs/ and the man pages against
the build's sample ROM and compares what they print with what the text shows.

Usage: docs_examples_test.py SOURCE_DIR BIN_DIR RUN_DIR VERSION

Each document runs in a fresh copy of RUN_DIR (the sample ROM and the name
lists), its examples in the order they stand, so a file one example writes is
there for the next. An indented block is an example when it runs a program of
the build (`../bin/...`) or copies the sample ROM; synopses, build commands
and file contents are not run. Two ways of showing output are read:

  $ ../bin/varsk-units info sample-rom.gba     "$ " lines are commands; the
  Tables:     yes (bytes 4194762..4205223)      lines after one are its output
                                                (stdout and stderr together)

  ../bin/varsk-units diff a.gba b.gba           a line of a plain block is a
  #   12 AR-31 Skirmisher hp: 205 -> 250        command; "#   " lines right
                                                after it are its output

A command continued by a trailing backslash is joined; fenced blocks are read
as indented ones. An output line "..." stands for any number of lines. The copy's folder is shown
as /home/user/varsk/build/default/run, and CRLF line ends as line ends. A block that cannot run here (it needs
the window) follows the line <!-- example: not run -->, and is counted.
A command must end with status 0 (diff and cmp: 0 or 1), or with 1 or 2 where
the output shown is an error message. A picture an example writes under the
name of one in docs/ must be that picture, byte for byte.

Man pages: the lines between .EX and .EE run with the build's programs first in
PATH and the installed data folder mapped to the copy; they must succeed.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

SHOWN_RUN_DIR = "/home/user/varsk/build/default/run"
NOT_RUN_MARK = "<!-- example: not run -->"
# A command of the build or one that sets up the sample ROM makes a block an example.
EXAMPLE_COMMAND = re.compile(r"^(\.\./bin/|cp sample-rom\.gba |cd build/default/run$)")


class Failure(Exception):
    pass


def markdown_blocks(path):
    """Yields (line number, lines, marked not run) for each indented block."""
    lines = open(path, encoding="utf-8").read().split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.lstrip().startswith("```"):
            start = i
            fence_indent = len(line) - len(line.lstrip(" "))
            i += 1
            block = []
            while i < len(lines) and not lines[i].lstrip().startswith("```"):
                block.append(lines[i][fence_indent:])
                i += 1
            i += 1
            yield start + 1, block, marked_before(lines, start)
            continue
        indent = len(line) - len(line.lstrip(" "))
        previous = lines[i - 1] if i > 0 else ""
        starts_block = (
            line.strip()
            and indent >= 4
            and previous.strip() == ""
            and not line.lstrip().startswith(("- ", "* "))
        )
        if not starts_block:
            i += 1
            continue
        start = i
        block = []
        while i < len(lines) and (not lines[i].strip() or
                                  len(lines[i]) - len(lines[i].lstrip(" ")) >= indent):
            block.append(lines[i][indent:])
            i += 1
        while block and not block[-1].strip():
            block.pop()
        yield start + 1, block, marked_before(lines, start)


def marked_before(lines, start):
    """Whether the last non-blank line before line `start` is the not-run mark."""
    j = start - 1
    while j >= 0 and not lines[j].strip():
        j -= 1
    return j >= 0 and lines[j].strip() == NOT_RUN_MARK


def joined(block):
    """The block's lines with a command continued by a trailing backslash joined."""
    lines = []
    continued = False
    for line in block:
        if continued:
            lines[-1] = lines[-1][:-1] + " " + line.strip()
        else:
            lines.append(line)
        continued = lines[-1].endswith("\\")
    return lines


def steps_of(block):
    """The block as (command, expected output lines or None)."""
    block = joined(block)
    steps = []
    if any(line.startswith("$ ") for line in block):
        for line in block:
            if line.startswith("$ "):
                steps.append([line[2:], []])
            elif steps:
                steps[-1][1].append(line)
        return [(command, output) for command, output in steps]
    for line in block:
        if line.startswith("#   ") and steps and steps[-1][1] is not None:
            steps[-1][1].append(line[4:])
        elif line.startswith("#"):
            if steps and steps[-1][1] == []:
                steps[-1][1] = None  # a narrative comment ends the output
        elif line.strip():
            steps.append([line, []])
    # A plain command with no "#   " lines shows no output to compare.
    return [(command, output or None) for command, output in steps]


def matches(expected, actual):
    """Whether the actual lines match the expected ones ("..." is any lines)."""
    if not expected:
        return not actual
    if expected[0] == "...":
        return any(matches(expected[1:], actual[k:]) for k in range(len(actual) + 1))
    return bool(actual) and expected[0] == actual[0] and matches(expected[1:], actual[1:])


class Session:
    """A fresh copy of the run folder in which one document's examples run."""

    def __init__(self, bin_dir, run_dir):
        self.root = tempfile.mkdtemp(prefix="varsk-docs-")
        self.run = os.path.join(self.root, "run")
        self.share = os.path.join(self.root, "share")
        os.symlink(bin_dir, os.path.join(self.root, "bin"))
        for folder in (self.run, self.share):
            os.mkdir(folder)
            for name in os.listdir(run_dir):
                if name == "sample-rom.gba" or re.fullmatch(r"namestring[CEJ]\.txt", name):
                    shutil.copy(os.path.join(run_dir, name), folder)
        os.chmod(os.path.join(self.share, "sample-rom.gba"), 0o444)
        self.env = dict(os.environ, LC_ALL="C.UTF-8", COLUMNS="80",
                        PATH=os.path.join(self.root, "bin") + os.pathsep + os.environ["PATH"])
        self.env.pop("VARSK_NAMES", None)

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def run_command(self, command):
        result = subprocess.run(["bash", "-c", command], cwd=self.run, env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, timeout=120)
        text = result.stdout.decode("utf-8", "replace").replace(self.run, SHOWN_RUN_DIR)
        # CSV lines end in CRLF; the text shows line ends alike.
        lines = text.replace("\r\n", "\n").split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        return result.returncode, lines


def allowed_status(command, status, expected=None):
    # An example whose output is an error message ends with 1 or 2; diff
    # reports "the tables differ" with status 1, and cmp the same.
    if expected and expected[0].startswith("varsk-units: ") and "warning" not in expected[0]:
        return status in (1, 2)
    if re.search(r"(^|/)varsk-units diff |^cmp ", command):
        return status in (0, 1)
    return status == 0


def check_markdown(path, name, bin_dir, run_dir, docs_dir, counts):
    session = Session(bin_dir, run_dir)
    try:
        for line_number, block, marked in markdown_blocks(path):
            steps = steps_of(block)
            if not any(EXAMPLE_COMMAND.match(command) for command, _ in steps):
                continue
            if marked:
                counts["not run"] += 1
                continue
            counts["run"] += 1
            for command, expected in steps:
                if command == "cd build/default/run":
                    continue
                where = f"{name}:{line_number}: {command}"
                status, actual = session.run_command(command)
                if expected is not None and not matches(expected, actual):
                    raise Failure(f"{where}\n  the text shows:\n    " +
                                  "\n    ".join(expected) +
                                  "\n  the program printed:\n    " + "\n    ".join(actual))
                if not allowed_status(command, status, expected):
                    raise Failure(f"{where}\n  exit status {status}:\n    " +
                                  "\n    ".join(actual))
        counts["pictures"] += check_pictures(session, docs_dir, name)
    finally:
        session.close()


def check_pictures(session, docs_dir, name):
    """A file an example writes under the name of a picture in docs/ must be
    that picture: the docs show what the program makes. Returns how many."""
    compared = 0
    for made in os.listdir(session.run):
        shown = os.path.join(docs_dir, made)
        if made.endswith((".svg", ".png")) and os.path.isfile(shown):
            with open(shown, "rb") as a, open(os.path.join(session.run, made), "rb") as b:
                if a.read() != b.read():
                    raise Failure(f"{name}: docs/{made} differs from what its example writes")
            compared += 1
    return compared


def man_examples(path):
    """The lines between .EX and .EE, as a shell reads them."""
    text = open(path, encoding="utf-8").read()
    for block in re.findall(r"^\.EX\n(.*?)^\.EE$", text, re.S | re.M):
        for line in block.split("\n"):
            if not line.strip() or line.startswith("."):
                continue
            line = line.replace("\\-", "-").replace("\\(aq", "'").replace("\\e", "\\")
            yield line


def check_man_page(path, name, bin_dir, run_dir, counts):
    session = Session(bin_dir, run_dir)
    try:
        for command in man_examples(path):
            counts["man"] += 1
            command = command.replace("/usr/share/varsk", session.share)
            if re.match(r"^varsk-unit-editor\b", command):
                continue  # needs the window
            status, actual = session.run_command(command)
            if not allowed_status(command, status):
                raise Failure(f"{name}: {command}\n  exit status {status}:\n    " +
                              "\n    ".join(actual))
    finally:
        session.close()


def check_versions(source_dir, version):
    """Release numbers named in the README and the changelog are the program's."""
    readme = open(os.path.join(source_dir, "README.md"), encoding="utf-8").read()
    for found in re.findall(r"varsk-unit-editor_([0-9][0-9.]*[0-9])_", readme):
        if found != version:
            raise Failure(f"README.md names the package version {found}; the program is {version}")
    changelog = open(os.path.join(source_dir, "CHANGELOG.md"), encoding="utf-8").read()
    newest = re.search(r"^## \[?([0-9][0-9.]*[0-9])", changelog, re.M)
    if not newest or newest.group(1) != version:
        raise Failure(f"CHANGELOG.md's newest release is not {version}")


def main():
    source_dir, bin_dir, run_dir, version = sys.argv[1:5]
    counts = {"run": 0, "not run": 0, "man": 0, "pictures": 0}
    documents = ["README.md", "CONTRIBUTING.md"] + sorted(
        os.path.join("docs", name) for name in os.listdir(os.path.join(source_dir, "docs"))
        if name.endswith(".md"))
    try:
        check_versions(source_dir, version)
        for name in documents:
            check_markdown(os.path.join(source_dir, name), name, bin_dir, run_dir,
                           os.path.join(source_dir, "docs"), counts)
        for name in ("varsk-units.1.in", "varsk-unit-editor.1.in"):
            check_man_page(os.path.join(source_dir, "packaging", name), name, bin_dir, run_dir,
                           counts)
        # Examples that are no longer found are a fault of this test.
        if counts["run"] < 20 or counts["man"] < 8:
            raise Failure(f"only {counts['run']} example blocks and {counts['man']} man page "
                          "lines were found: has the way examples are written changed?")
    except Failure as failure:
        print(f"FAIL {failure}")
        return 1
    print(f"{counts['run']} example blocks ran as shown, {counts['not run']} marked not run; "
          f"{counts['man']} man page example lines ran; {counts['pictures']} pictures in docs/ "
          "are what their examples write")
    return 0


if __name__ == "__main__":
    sys.exit(main())
