#!/usr/bin/env python3
"""The SVG that `varsk-units plot` writes, read by python's own XML reader:
one marker per entry that meets the filter and holds both fields (circles for
MS entries, triangles for ships), each titled with the entry's number, name
and the two values the dump gives; names with markup characters survive.

    plot_svg_test.py VARSK_UNITS ROM
"""
import csv
import io
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def run(units, *args):
    done = subprocess.run([units, *args], capture_output=True)
    if done.returncode != 0:
        sys.exit(f"FAILED: varsk-units {' '.join(args)}: {done.stderr.decode()}")
    return done.stdout


def write_names(folder):
    for language in "CEJ":
        lines = [f"{language} unit {n}" for n in range(1, 405)]
        lines[6] = 'Gun & "Heavy" <b>Æther</b>'  # entry 7
        with open(os.path.join(folder, f"namestring{language}.txt"), "w", encoding="utf-8") as f:
            f.write("\r\n".join(lines) + "\r\n")


def points(path):
    found = {}
    for element in ET.parse(path).getroot().iter():
        classes = element.get("class", "").split()
        if "point" not in classes:
            continue
        entry = int(element.get("data-entry"))
        if entry in found:
            sys.exit(f"FAILED: entry {entry} has two markers")
        title = element.find(SVG + "title")
        found[entry] = (element.tag.removeprefix(SVG), classes[1], title.text)
    return found


def main():
    units, rom = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        write_names(folder)
        dump = run(units, "dump", rom, "--names", folder, "--format", "csv").decode("utf-8")
        rows = list(csv.DictReader(io.StringIO(dump)))
        cases = [
            ("cost", "hp", "", lambda r: True),
            ("move", "w2.ammo", "kind=ms hp>200", lambda r: r["kind"] == "ms" and int(r["hp"]) > 200),
            ("defense", "entryIndex", "", lambda r: True),  # a field of ships alone
            ("cost", "hp", "heavy", lambda r: "heavy" in r["nameE"].lower()),
        ]
        for x, y, text, meets in cases:
            svg = os.path.join(folder, "chart.svg")
            args = ["plot", rom, "--names", folder, "--x", x, "--y", y, "-o", svg]
            if text:
                args += ["--filter", text]
            if not any(meets(r) and r[x] != "" and r[y] != "" for r in rows):
                continue
            run(units, *args)
            found = points(svg)
            expected = {int(r["entryIndex"]): r for r in rows if meets(r) and r[x] != "" and r[y] != ""}
            if set(found) != set(expected):
                sys.exit(f"FAILED: {x}/{y} '{text}': markers for {sorted(set(found) ^ set(expected))[:10]} "
                         f"differ from the dump's entries")
            for entry, row in expected.items():
                tag, kind, title = found[entry]
                shape = "circle" if row["kind"] == "ms" else "polygon"
                if (tag, kind) != (shape, row["kind"]):
                    sys.exit(f"FAILED: entry {entry} ({row['kind']}) is a {tag} of class {kind}")
                want = f"{entry:03d} {row['nameE']}: {x} {row[x]}, {y} {row[y]}"
                if title != want:
                    sys.exit(f"FAILED: entry {entry} is titled {title!r}, not {want!r}")
            print(f"{x} against {y} '{text}': {len(found)} markers as the dump says")
        if 7 not in points(os.path.join(folder, "chart.svg")):
            sys.exit("FAILED: the last chart should hold entry 7, whose name has markup characters")


main()
