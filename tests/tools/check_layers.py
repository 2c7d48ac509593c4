#!/usr/bin/env python3
"""Fails when a product file includes a file of a floor above its own.

The floors, from the bottom (an include may only point down or stay level):
  1 framework/
  2 services/, ui3d/system/, the array template (collection/Sequence.h,
    collection/SequenceException.h)
  3 collection/
  4 ui3d/ (the rest) and skins/
  5 dialogs/, delivery/, fields/
  6 app/
msnhook/ and focushook/ stand apart: they include only their own files and the
array template; the plain API headers below may be included from any floor.
resources/resource.h holds only resource ids and may be included anywhere.

Usage: check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

PRODUCT_FOLDERS = ["framework", "services", "collection", "ui3d", "skins",
                   "dialogs", "delivery", "fields", "app", "msnhook", "focushook",
                   "resources"]

ARRAY_TEMPLATE = {"collection/Sequence.h", "collection/SequenceException.h"}
APART = {"msnhook", "focushook"}
# Plain API headers of the apart libraries: includable from any floor.
API_HEADERS = {"msnhook/MsnHookApi.h"}
ANYWHERE = {"resources/resource.h"} | API_HEADERS

# (file, included prefix): the few includes that point up, each with its reason.
EXCEPTIONS = {
    ("collection/TvnxSave.cpp", "dialogs/Progress.h"):
        "a collection operation shows its own progress window",
    ("collection/SmilieDraw.cpp", "ui3d/drawing/"):
        "a smilie draws itself with the drawing toolkit",
    ("collection/SmilieDraw.cpp", "ui3d/CellLook.h"):
        "a smilie draws itself in the look of its cell",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(path):
    """The floor of a product path (folder-relative, with slashes)."""
    if path in ARRAY_TEMPLATE:
        return 2
    top = path.split("/", 1)[0]
    if top == "framework":
        return 1
    if top == "services" or path.startswith("ui3d/system/"):
        return 2
    if top == "collection":
        return 3
    if top in ("ui3d", "skins"):
        return 4
    if top in ("dialogs", "delivery", "fields"):
        return 5
    if top == "app":
        return 6
    return None


def excepted(src, inc):
    for (f, prefix), _ in EXCEPTIONS.items():
        if src == f and (inc == prefix or (prefix.endswith("/") and inc.startswith(prefix))):
            return True
    return False


def violations(root):
    found = []
    for folder in PRODUCT_FOLDERS:
        base = os.path.join(root, folder)
        for dirpath, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".c", ".rc")):
                    continue
                full = os.path.join(dirpath, name)
                src = os.path.relpath(full, root).replace(os.sep, "/")
                with open(full, encoding="latin-1") as f:
                    for lineno, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        inc = m.group(1)
                        problem = check(src, inc)
                        if problem:
                            found.append("%s:%d: includes \"%s\": %s" % (src, lineno, inc, problem))
    return found


def check(src, inc):
    inc_top = inc.split("/", 1)[0]
    src_top = src.split("/", 1)[0]
    if inc_top not in PRODUCT_FOLDERS or inc in ANYWHERE or excepted(src, inc):
        return None
    if src_top in APART:
        if inc_top == src_top or inc in ARRAY_TEMPLATE:
            return None
        return "%s/ stands apart and may include only its own files and the array template" % src_top
    if inc_top in APART:
        return "%s/ is a library apart; only its plain API headers may be included" % inc_top
    src_floor, inc_floor = floor_of(src), floor_of(inc)
    if src_floor is None or inc_floor is None:
        return None
    if inc_floor > src_floor:
        return "floor %d includes floor %d" % (src_floor, inc_floor)
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    found = violations(os.path.abspath(root))
    for line in found:
        print(line)
    if found:
        print("%d include(s) point up a floor" % len(found))
        return 1
    print("layering: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
