"""Checks the editor on a Wayland compositor (weston, headless):

    wayland_check.py PID SCREENSHOT_DIR EXPECTED_HP ROM

- the window is 442 x 379 below its own title bar, and fully opaque;
- a screenshot shows none of the compositor's background colour (pure green)
  inside the window: the previews are drawn opaque;
- Load ROM through its file dialog works: the dialog is driven through the
  accessibility bus (the compositor has no input to inject), the ROM's path
  typed into its name field and Open pressed; HP then shows the ROM's value.

Exit status 0 when all hold, 1 otherwise, 77 when the accessibility bus
cannot be reached.
"""
import glob
import os
import re
import struct
import subprocess
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y_tree  # noqa: E402  (exits 77 without python3-pyatspi)
from a11y_tree import pyatspi  # noqa: E402

CLIENT_WIDTH, CLIENT_HEIGHT, TITLE_BAR = 442, 379, 24
BACKGROUND = (0, 255, 0)


def fail(message):
    print(f"FAILED: {message}", file=sys.stderr)
    sys.exit(1)


def window_on_screen(seconds=15):
    """The window's place on the output, from the compositor's scene graph."""
    end = time.time() + seconds
    while time.time() < end:
        graph = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True,
                               timeout=5).stdout
        found = re.search(r"top-level window 'Varsk Unit Editor'.*\n\s*position: "
                          r"\((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)\n\s*\[([^\]]*)\]", graph)
        if found:
            x0, y0, x1, y1 = (int(v) for v in found.groups()[:4])
            return x0, y0, x1 - x0, y1 - y0, found.group(5)
        time.sleep(0.2)
    fail("the editor window did not appear on the compositor")


def read_png(path):
    """Width, height and rows of RGB triples of an 8-bit RGB or RGBA PNG."""
    data = open(path, "rb").read()
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        fail(f"unexpected PNG format {header}")
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(chunks))
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, corner = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, step)])
        previous = line
    return width, height, rows


def find(node, role, name=None):
    for child in node:
        if child is None:
            continue
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def wait_for(what, probe, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail(what)


def main():
    pid, shots, expected_hp, rom = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    x, y, width, height, opacity = window_on_screen()
    if (width, height) != (CLIENT_WIDTH, TITLE_BAR + CLIENT_HEIGHT):
        fail(f"the window is {width} x {height}, not {CLIENT_WIDTH} x {TITLE_BAR} + {CLIENT_HEIGHT}")
    if opacity != "fully opaque":
        fail(f"the compositor finds the window {opacity}")

    time.sleep(0.5)  # the previews are drawn 100 ms after start-up
    subprocess.run(["weston-screenshooter"], cwd=shots, check=True, timeout=10)
    shot = sorted(glob.glob(os.path.join(shots, "wayland-screenshot-*.png")))[-1]
    _, _, rows = read_png(shot)
    holes = sum(1 for row in rows[y:y + height] for pixel in row[x:x + width] if pixel == BACKGROUND)
    if holes:
        fail(f"{holes} pixels of the window show the desktop behind it")

    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:
        print(f"skipped: the accessibility bus cannot be reached: {error}", file=sys.stderr)
        return 77
    app = a11y_tree.find_application(pid)
    if app is None:
        fail("the editor did not appear on the accessibility bus")
    button = wait_for("no Load ROM button", lambda: find(app, "push button", "Load ROM"))
    button.queryAction().doAction(0)
    dialog = wait_for("Load ROM opened no file dialog",
                      lambda: next((w for w in app if w is not None and w.name == "Open"), None))
    name_field = wait_for("the file dialog has no name field",
                          lambda: next((t for t in a11y_tree.controls(dialog)
                                        if t.getRoleName() == "text"
                                        and t.getState().contains(pyatspi.STATE_EDITABLE)
                                        and t.getState().contains(pyatspi.STATE_SHOWING)), None))
    name_field.queryEditableText().setTextContents(rom)
    find(dialog, "push button", "Open").queryAction().doAction(0)
    hp_field = find(app, "text", "HP")

    def hp_shows_rom():
        text = hp_field.queryText()
        return text.getText(0, text.characterCount) == expected_hp
    wait_for(f"after Load ROM, HP does not show the ROM's {expected_hp}", hp_shows_rom)
    print(f"wayland: {width} x {height} at ({x}, {y}), opaque, Load ROM through the dialog works")
    return 0


if __name__ == "__main__":
    sys.exit(main())
