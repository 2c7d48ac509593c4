#!/usr/bin/env python3
"""The layout of our dialog templates, read as data (dialog units):

- push buttons of one row (same top and height) stand 4 units apart;
- a top-level dialog keeps even margins: its left margin equals its right
  margin, and the bottom row of buttons stands as far from the bottom edge as
  its right-most button from the right edge (or the row is centred);
- OK and Cancel sit in the bottom row, OK left of Cancel, Cancel right-most.

Templates whose layout is made at run time are listed in RUNTIME with the
reason. Usage: check_layouts.py <source root> [file.rc ...] (a failing file
given alone shows that the checks bite).
"""
import os
import re
import sys

FILES = ["resources/tarvenex.rc", "tests/ui3d/gui/SkinnedDialogs.rc", "tests/ui3d/gui/PropertySheetPages.rc"]

# Templates placed by code, not by their coordinates.
RUNTIME = {
    "IDD_TIP": "the dialog fits itself around the note paper at start",
    "IDD_AUTOPROGRESS": "one bar, no buttons",
    "IDD_SKINNED_ALL": "a showcase grid of every control, not a dialog of the program",
}

GAP = 4
PUSH = ("PUSHBUTTON", "DEFPUSHBUTTON")


def parse(text):
    """Yields (name, style, (x, y, w, h), controls); a control is
    (kind, id, x, y, w, h)."""
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        m = re.match(r"^(\w+)\s+DIALOGEX\s+(-?\d+)\s*,\s*(-?\d+)\s*,\s*(\d+)\s*,\s*(\d+)", lines[i])
        if not m:
            i += 1
            continue
        name = m.group(1)
        box = tuple(int(m.group(k)) for k in range(2, 6))
        style = ""
        controls = []
        i += 1
        while i < len(lines) and lines[i].strip() != "BEGIN":
            if lines[i].startswith("STYLE"):
                style = lines[i]
            i += 1
        i += 1
        stmt = ""
        while i < len(lines) and lines[i].strip() != "END":
            line = lines[i].split("//")[0].rstrip()
            stmt = (stmt + " " + line.strip()) if stmt else line.strip()
            if not stmt.endswith(",") and not stmt.endswith("|"):
                c = control(stmt)
                if c:
                    controls.append(c)
                stmt = ""
            i += 1
        yield name, style, box, controls
        i += 1


def control(stmt):
    kind = stmt.split()[0] if stmt else ""
    # A push button whose text names a colour swatch becomes a swatch in the
    # skinned dialog: swatches sit in a row of their own, not a button row.
    if kind in PUSH and re.match(r'\w+\s+"ClrRadioBtn ', stmt):
        kind = "SWATCH"
    # Drop quoted texts, then read the numbers after the id.
    body = re.sub(r'"[^"]*"\s*,', "", stmt[len(kind):]).strip()
    parts = [p.strip() for p in body.split(",")]
    if kind == "CONTROL":
        # CONTROL text, id, class, style, x, y, w, h
        parts = parts[:1] + parts[3:]
    try:
        ident = parts[0]
        x, y, w, h = (int(p) for p in parts[1:5])
    except (ValueError, IndexError):
        return None
    return kind, ident, x, y, w, h


def check(name, style, box, controls):
    problems = []
    buttons = [c for c in controls if c[0] in PUSH]
    rows = {}
    for b in buttons:
        rows.setdefault((b[3], b[5]), []).append(b)
    for row in rows.values():
        row.sort(key=lambda b: b[2])
        for a, b in zip(row, row[1:]):
            gap = b[2] - (a[2] + a[4])
            if gap != GAP:
                problems.append("%s and %s: %d units apart, not %d" % (a[1], b[1], gap, GAP))
    if "WS_CHILD" in style or name in RUNTIME or not controls:
        return problems
    _, _, cx, cy = box
    left = min(c[2] for c in controls)
    right = cx - max(c[2] + c[4] for c in controls)
    if left != right:
        problems.append("left margin %d, right margin %d" % (left, right))
    bottom_y = max(c[3] + c[5] for c in controls)
    last = [b for b in buttons if b[3] + b[5] == bottom_y]
    if last:
        row_left = min(b[2] for b in last)
        row_right = max(b[2] + b[4] for b in last)
        bottom = cy - bottom_y
        centred = abs(row_left - (cx - row_right)) <= 1
        if not centred and cx - row_right != bottom:
            problems.append("bottom row %d from the bottom, %d from the right" % (bottom, cx - row_right))
    ids = {b[1]: b for b in buttons}
    ok, cancel = ids.get("IDOK"), ids.get("IDCANCEL")
    if ok and cancel:
        if ok[3] != cancel[3] or ok[2] > cancel[2]:
            problems.append("OK is not left of Cancel in one row")
        if cancel[2] + cancel[4] != max(b[2] + b[4] for b in buttons if b[3] == cancel[3]):
            problems.append("Cancel is not the right-most button of its row")
        if cancel[3] + cancel[5] != bottom_y:
            problems.append("OK and Cancel are not the bottom row")
    return problems


def main(argv):
    root = argv[1]
    files = [os.path.join(root, f) for f in FILES] if len(argv) < 3 else argv[2:]
    failures = 0
    for path in files:
        with open(path, encoding="latin-1") as f:
            text = f.read()
        for name, style, box, controls in parse(text):
            for problem in check(name, style, box, controls):
                print("%s: %s: %s" % (os.path.basename(path), name, problem))
                failures += 1
    print("%d layout problem(s)" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
