"""Reads the editor's accessibility tree from the real AT-SPI bus and checks
that a screen reader can tell every control apart: the window is a frame,
and every edit, check box, drop-down list, button and image has a name of its
own. Then presses Tab round the window (xdotool) and checks that every
enabled control but Load ROM, which is no tab stop as designed, gets the
keyboard.

    a11y_tree.py PID

Exit status: 0 when every control is named once, 1 otherwise, 77 when the
accessibility bus cannot be reached (python3-pyatspi or at-spi2-core missing).
"""
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:
    print("skipped: python3-pyatspi is not installed", file=sys.stderr)
    sys.exit(77)

CONTROL_ROLES = {"text", "check box", "combo box", "push button", "image"}


def find_application(pid, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    return None


def controls(node):
    """Every control below `node`; the items inside a list are its own."""
    for child in node:
        if child is None:
            continue
        role = child.getRoleName()
        if role in CONTROL_ROLES:
            yield child
        if role != "list":
            yield from controls(child)


def has(node, state):
    return node.getState().contains(state)


def focused(window):
    for control in controls(window):
        if has(control, pyatspi.STATE_FOCUSED):
            return control.name
    return None


def tab_round(window):
    """The names that get the keyboard while Tab is pressed round the window."""
    reachable = {c.name for c in controls(window)
                 if has(c, pyatspi.STATE_SHOWING) and has(c, pyatspi.STATE_SENSITIVE)
                 and has(c, pyatspi.STATE_FOCUSABLE) and c.name != "Load ROM"}
    reached = []
    previous = focused(window)
    for _ in range(len(reachable) + 2):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        # The bus tells of the new focus a moment later.
        name = focused(window)
        end = time.time() + 2
        while name == previous and time.time() < end:
            time.sleep(0.02)
            name = focused(window)
        reached.append(name)
        previous = name
    return reachable, reached


def main():
    pid = int(sys.argv[1])
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:  # the bus or its registry did not start
        print(f"skipped: the accessibility bus cannot be reached: {error}", file=sys.stderr)
        return 77
    app = find_application(pid)
    if app is None:
        print("FAILED: the editor did not appear on the accessibility bus", file=sys.stderr)
        return 1
    windows = [w for w in app if w is not None and w.name == "Varsk Unit Editor"]
    if len(windows) != 1:
        print(f"FAILED: expected one editor window, found {len(windows)}", file=sys.stderr)
        return 1
    window = windows[0]
    problems = []
    if window.getRoleName() != "frame":
        problems.append(f"the window is a {window.getRoleName()}, not a frame")
    seen = {}
    count = 0
    for control in controls(window):
        count += 1
        name = control.name.strip()
        if not name:
            problems.append(f"a {control.getRoleName()} has no name")
        elif name in seen:
            problems.append(f"{control.getRoleName()} and {seen[name]} are both named '{name}'")
        else:
            seen[name] = control.getRoleName()
    reachable, reached = tab_round(window)
    for name in sorted(reachable - set(reached)):
        problems.append(f"Tab never reaches '{name}'")
    for problem in problems:
        print(f"FAILED: {problem}", file=sys.stderr)
    if problems:
        print("Tab order: " + ", ".join(str(n) for n in reached), file=sys.stderr)
        return 1
    print(f"accessibility: {count} controls, each with a name of its own; "
          f"Tab reaches all {len(reachable)} that take the keyboard")
    return 0


if __name__ == "__main__":
    sys.exit(main())
