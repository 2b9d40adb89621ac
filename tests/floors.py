#!/usr/bin/env python3
"""Holds the floors of the code: a file may include its own floor and those below it, never
one above. From the ground up: base/, record/, dialogue/ (the console and the
correction-screen engine), screens/; on top, side by side, zelk's main program and zelkfile/.
The main program is the one part of dialogue/ that may include screens/: it runs them.

`floors.py ROOT` names each include that runs up as FILE:LINE and exits 1; `--graph` prints
the include graph folder to folder instead.
"""

import os
import re
import sys

MAIN_PROGRAM = {"dialogue/zelk.hpp", "dialogue/zelk.cpp", "dialogue/main.cpp"}

MAY_INCLUDE = {
    "base": {"base"},
    "record": {"base", "record"},
    "dialogue": {"base", "record", "dialogue"},
    "screens": {"base", "record", "dialogue", "screens"},
    "main program": {"base", "record", "dialogue", "screens", "main program"},
    "zelkfile": {"base", "record", "dialogue", "screens", "zelkfile"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def floor_of(path):
    """The floor a path relative to the source tree stands on, or None."""
    if path in MAIN_PROGRAM:
        return "main program"
    top = path.split("/", 1)[0]
    return top if top in MAY_INCLUDE and "/" in path else None


def includes(root):
    """(file, line number, included path) for every quoted include of the program's code."""
    for top in sorted(MAY_INCLUDE):
        for folder, _, names in sorted(os.walk(os.path.join(root, top))):
            for name in sorted(names):
                if not name.endswith((".hpp", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as lines:
                    for number, line in enumerate(lines, 1):
                        match = INCLUDE.match(line)
                        if match:
                            yield relative, number, match.group(1)


def main(argv):
    args = [a for a in argv[1:] if a != "--graph"]
    if len(args) != 1:
        print("usage: floors.py [--graph] ROOT", file=sys.stderr)
        return 2
    found = list(includes(args[0]))
    if not found:
        print(f"floors.py: no sources under {args[0]}", file=sys.stderr)
        return 2
    if "--graph" in argv:
        arrows = {(floor_of(f), floor_of(i) or i) for f, _, i in found if floor_of(f) != floor_of(i)}
        for source, target in sorted(arrows):
            print(f"{source} -> {target}")
        return 0
    faults = 0
    for source, number, included in found:
        here, there = floor_of(source), floor_of(included)
        if there is None:
            print(f'{source}:{number}: includes "{included}", which is on no floor of the program')
        elif there not in MAY_INCLUDE[here]:
            print(f'{source}:{number}: includes "{included}" of {there}, a floor that {here} '
                  f"may not include (it may: {', '.join(sorted(MAY_INCLUDE[here]))})")
        else:
            continue
        faults += 1
    if faults:
        print(f"{faults} include(s) against the floors")
        return 1
    print(f"{len(found)} includes, each on its own floor or below")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
